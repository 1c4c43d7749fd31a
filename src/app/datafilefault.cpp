#include "app/datafilefault.h"

#include "text/stringtable.h"

namespace {

enum TextId : int { FieldUnreadable = 801, FieldMissing = 802 };

// A field is shown as it stood, cut short when long, with control
// characters as dots, so that the message stays one readable line.
constexpr qsizetype kShownChars = 24;

QString shown(const QString &field)
{
    QString text = field.left(kShownChars);
    for (QChar &ch : text) {
        if (ch.category() == QChar::Other_Control)
            ch = u'.';
    }
    if (field.size() > kShownChars)
        text += QStringLiteral("...");
    return u'"' + text + u'"';
}

} // namespace

QString DataFileFaultText(const DataFileFault &fault)
{
    if (!fault.isSet())
        return QString();
    if (!fault.found)
        return LoadText(FieldMissing).arg(fault.record).arg(fault.field);
    return LoadText(FieldUnreadable).arg(fault.record).arg(fault.field).arg(shown(*fault.found));
}
