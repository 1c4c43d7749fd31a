#pragma once

#include <QList>
#include <QObject>
#include <QSet>

#include <functional>

class QKeyEvent;
class QLineEdit;
class QWidget;

// The rules of a window's numeric text fields, as one table:
// - keys: Enter moves the focus to the next field; a field that holds its
//   full length takes no further character (Backspace still works, also
//   when text is selected); otherwise only the digits 0 to 9 are taken.
//   Keys that type nothing (Tab, arrows, Delete) are left alone; pasting
//   is refused, since it would bypass the rules.
// - leaving: a field whose value its check refuses is emptied, with a beep,
//   and may take the focus back.
// The checks can be limited to what the user typed, so that a value read
// from a file or the controller is never destroyed by passing through its
// field.
class DigitFields : public QObject
{
    Q_OBJECT
public:
    struct Field
    {
        QLineEdit *edit = nullptr;
        int fullLength = 0;              // 0: no key rules
        QWidget *next = nullptr;         // the focus on Enter
        std::function<bool(const QString &)> accepts;  // the leave check; none when empty
        bool onlyWhenEdited = false;     // check only text the user typed
        bool refocus = false;            // a refused field takes the focus back
        bool beep = true;
    };

    explicit DigitFields(QObject *parent = nullptr);

    void add(const Field &field);

    // The user typed into the field since it was last checked.
    bool isEdited(const QLineEdit *edit) const;
    // The window filled its fields: nothing of theirs was typed by the user.
    void forgetEdits() { m_edited.clear(); }

    // The leave check of a field, as when it loses the focus; true when the
    // field kept its text.
    bool checkLeave(QLineEdit *edit);

signals:
    // A leave check emptied the field.
    void refused(QLineEdit *edit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const Field *fieldOf(const QObject *watched) const;
    bool swallowKey(const Field &field, const QKeyEvent &key) const;

    QList<Field> m_fields;
    QSet<const QLineEdit *> m_edited;
};
