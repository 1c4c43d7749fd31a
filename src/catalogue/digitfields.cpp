#include "catalogue/digitfields.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

DigitFields::DigitFields(QObject *parent)
    : QObject(parent)
{
}

void DigitFields::add(const Field &field)
{
    m_fields.append(field);
    field.edit->installEventFilter(this);
    connect(field.edit, &QLineEdit::textEdited, this, [this, edit = field.edit] { m_edited.insert(edit); });
}

bool DigitFields::isEdited(const QLineEdit *edit) const
{
    return m_edited.contains(edit);
}

const DigitFields::Field *DigitFields::fieldOf(const QObject *watched) const
{
    for (const Field &f : m_fields) {
        if (f.edit == watched)
            return &f;
    }
    return nullptr;
}

bool DigitFields::swallowKey(const Field &field, const QKeyEvent &key) const
{
    if (key.matches(QKeySequence::Paste))
        return true;
    const QString text = key.text();
    // Keys that type nothing (Tab, Escape, Backspace, arrows) and the
    // shortcuts (copy, select all) are not characters of the field.
    if (text.isEmpty() || text.at(0) < u' ' || (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    if (field.edit->text().size() >= field.fullLength)
        return true;
    return !(text.size() == 1 && text.at(0) >= u'0' && text.at(0) <= u'9');
}

bool DigitFields::checkLeave(QLineEdit *edit)
{
    const Field *field = fieldOf(edit);
    if (!field || !field->accepts)
        return true;
    if (field->onlyWhenEdited && !m_edited.contains(edit))
        return true;
    m_edited.remove(edit);
    if (field->accepts(edit->text()))
        return true;
    edit->clear();
    if (field->beep)
        QApplication::beep();
    emit refused(edit);
    if (field->refocus)
        QTimer::singleShot(0, edit, [edit] { edit->setFocus(Qt::OtherFocusReason); });
    return false;
}

bool DigitFields::eventFilter(QObject *watched, QEvent *event)
{
    const Field *field = fieldOf(watched);
    if (!field)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        if (field->fullLength <= 0)
            break;
        const auto &key = static_cast<const QKeyEvent &>(*event);
        if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
            if (field->next)
                field->next->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (swallowKey(*field, key))
            return true;
        break;
    }
    case QEvent::FocusOut: {
        // Another window coming to the front (a message box) is not leaving
        // the field.
        const Qt::FocusReason reason = static_cast<const QFocusEvent &>(*event).reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            checkLeave(field->edit);
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
