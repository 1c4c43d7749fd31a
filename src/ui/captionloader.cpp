#include "ui/captionloader.h"

#include "text/stringtable.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaProperty>
#include <QWidget>

namespace {

int idProperty(const QObject *o, const char *name)
{
    const QVariant v = o->property(name);
    if (!v.isValid())
        return 0;
    bool ok = false;
    const int id = v.toInt(&ok);
    return ok && id > 0 ? id : 0;
}

bool textFor(const QObject *o, const char *name, QString &text)
{
    const int id = idProperty(o, name);
    return id > 0 && TryLoadText(id, text);
}

// A control of a kind not listed below takes its caption through a writable
// "text" or "title" property when it has one; a plain frame without either
// gets it as its accessible name, so that the frame is still announced.
void setGenericCaption(QWidget *w, const QString &text)
{
    const QMetaObject *mo = w->metaObject();
    for (const char *name : {"text", "title"}) {
        const int index = mo->indexOfProperty(name);
        if (index >= 0 && mo->property(index).isWritable()
            && mo->property(index).metaType().id() == QMetaType::QString) {
            w->setProperty(name, text);
            return;
        }
    }
    w->setAccessibleName(text);
}

// In a menu entry, button or frame title "&" marks the mnemonic letter
// that follows it ("(&N)"). An "&" before a blank or a sign is the word
// "and" ("Clear All & New Data"): it is doubled so that it shows as itself
// instead of underlining the blank.
QString withLiteralAmpersands(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text.at(i);
        if (text.at(i) != u'&')
            continue;
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if (next == u'&') {
            out += next; // already written as a literal
            ++i;
        } else if (!next.isLetterOrNumber()) {
            out += u'&';
        }
    }
    return out;
}

void fillWidget(QWidget *w)
{
    QString text;
    if (textFor(w, CaptionProperty::CaptionId, text)) {
        if (auto *label = qobject_cast<QLabel *>(w))
            label->setText(text);
        else if (auto *menu = qobject_cast<QMenu *>(w))
            menu->setTitle(withLiteralAmpersands(text));
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            button->setText(withLiteralAmpersands(text));
        else if (auto *box = qobject_cast<QGroupBox *>(w))
            box->setTitle(withLiteralAmpersands(text));
        else if (auto *edit = qobject_cast<QLineEdit *>(w))
            edit->setText(text);
        else
            setGenericCaption(w, text);
    }
    if (textFor(w, CaptionProperty::TipId, text))
        w->setToolTip(text);
    if (textFor(w, CaptionProperty::NameId, text))
        w->setAccessibleName(text);
}

void fillAction(QAction *a)
{
    // Separators have no ID and stay separators in both languages.
    if (a->isSeparator())
        return;
    QString text;
    if (textFor(a, CaptionProperty::CaptionId, text))
        a->setText(withLiteralAmpersands(text));
    if (textFor(a, CaptionProperty::TipId, text))
        a->setToolTip(text);
}

} // namespace

void SetCaptionId(QObject *control, int captionId)
{
    control->setProperty(CaptionProperty::CaptionId, captionId);
}

void SetTipId(QObject *control, int tipId)
{
    control->setProperty(CaptionProperty::TipId, tipId);
}

void SetNameId(QObject *control, int nameId)
{
    control->setProperty(CaptionProperty::NameId, nameId);
}

int CaptionIdOf(const QObject *control)
{
    return idProperty(control, CaptionProperty::CaptionId);
}

int TipIdOf(const QObject *control)
{
    return idProperty(control, CaptionProperty::TipId);
}

void SetFormCaption(QWidget *window)
{
    if (!window)
        return;
    QString text;
    if (textFor(window, CaptionProperty::CaptionId, text))
        window->setWindowTitle(text);
    if (textFor(window, CaptionProperty::NameId, text))
        window->setAccessibleName(text);

    const QList<QWidget *> widgets = window->findChildren<QWidget *>();
    for (QWidget *w : widgets)
        fillWidget(w);
    const QList<QAction *> actions = window->findChildren<QAction *>();
    for (QAction *a : actions)
        fillAction(a);
}
