#pragma once

#include "app/prompter.h"

#include <QStringList>

#include <cstdio>

// The command-line tool's answers to the questions the commands ask. Every
// text goes to standard error in the chosen language. With --yes a question
// is answered Yes (or OK); without it the question is answered as a box
// closed without a button, which stops the command, and the text says how
// to answer Yes.
class CliPrompter : public Prompter
{
public:
    CliPrompter(bool answerYes, std::FILE *out);

    Answer ask(const QString &text, Buttons buttons, Icon icon, const QString &caption = QString()) override;

    // Every text shown, in order, for the JSON report.
    const QStringList &messages() const { return m_messages; }
    // A question was answered with a refusal.
    bool refusedQuestion() const { return m_refused; }

    // A line of the tool's own (a usage error, a list of ports).
    void print(const QString &text);

private:
    bool m_yes;
    std::FILE *m_out;
    QStringList m_messages;
    bool m_refused = false;
};
