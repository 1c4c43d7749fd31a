#pragma once

#include <QString>

// Every message box of the program goes through one Prompter: the desktop
// build shows real message boxes, tests answer in script and record the
// exact texts shown.
class Prompter
{
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Exclamation, Question, Critical };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Prompter() = default;

    // Shows text modally with the given buttons and icon, captioned with the
    // application title unless a caption is given; returns the button
    // pressed. Closing the box counts as Cancel, or as No for Yes/No, or as
    // OK for a box with OK only.
    virtual Answer ask(const QString &text, Buttons buttons, Icon icon,
                       const QString &caption = QString()) = 0;

    // The answer of a box closed without a button: OK for a box with OK
    // only, No for Yes/No, Cancel otherwise.
    static Answer closedAnswer(Buttons buttons)
    {
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::OkCancel:
        case Buttons::YesNoCancel:
            break;
        }
        return Answer::Cancel;
    }

    // A message with OK only.
    void tell(const QString &text, Icon icon = Icon::Exclamation,
              const QString &caption = QString())
    {
        ask(text, Buttons::Ok, icon, caption);
    }
};
