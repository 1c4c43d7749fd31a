#include "parameters/parameterfile.h"

#include "app/prompter.h"
#include "common/datafile.h"
#include "common/numbers.h"
#include "common/seqfile.h"
#include "parameters/parameterset.h"
#include "text/stringtable.h"

#include <QFileInfo>

namespace {

const QString kFileMark = QStringLiteral("KT-E1");
const QString kFileKind = QStringLiteral("Parameter");

ParaValue fieldValue(const QString &field, bool quoted)
{
    if (quoted)
        return ParaValue::text(field);
    if (field.isEmpty())
        return ParaValue();
    if (IsNumericText(field))
        return ParaValue::number(LeadingNumber(field));
    return ParaValue::text(field);
}

// An older model text has a two-character size without its leading blank
// ("35L-050"); the only old "E" model was written "35E-050".
void modernizeModel(ParaValue &model)
{
    if (!model.isText())
        return;
    const QString text = model.toText();
    if (text.size() != 7)
        return;
    if (text.at(2) == u'E')
        model = ParaValue::text(QStringLiteral("E35L-050"));
    else
        model = ParaValue::text(u' ' + text);
}

} // namespace

int OpenParaFile(const QString &path, const QString &fileTitle, ParameterSet &set,
                 Prompter &prompter)
{
    QString content;
    if (!ReadDataFile(path, content).ok)
        return 1;

    SequentialReader reader(content);
    const std::optional<QString> mark = reader.next();
    const std::optional<QString> kind = reader.next();
    if (!mark || !kind)
        return 1;
    if (*mark != kFileMark || *kind != kFileKind) {
        prompter.tell(JoinTexts({362, 363}), Prompter::Icon::Exclamation);
        return 1;
    }

    ParaArray values; // all empty: nothing survives from an earlier read
    int count = 0;
    while (!reader.atEnd()) {
        const std::optional<QString> field = reader.next();
        if (!field)
            break;
        if (count == ParaDAMaxValues)
            return 1;
        ++count;
        values[static_cast<size_t>(count)] = fieldValue(*field, reader.lastWasQuoted());
    }

    modernizeModel(values[22]);
    if (!ParaDAConvertible(values))
        return 1;

    values[0] = ParaValue::text(fileTitle.isEmpty() ? QFileInfo(path).fileName() : fileTitle);
    set.ParaDA = values;
    set.gParaDACount = static_cast<int16_t>(count + 1);
    return 0;
}

QString ParaFileText(const ParameterSet &set)
{
    SequentialWriter w;
    w.addText(kFileMark);
    w.addText(kFileKind);
    w.endRecord();
    for (int n = 1; n <= ParameterCount; ++n) {
        if (n == 18)
            w.addRaw(set.gParaVertical.toText());
        else if (n == 22)
            w.addText(set.gParaActuator);
        else
            w.addNumber(set.numericValue(n));
    }
    w.endRecord();
    return w.text();
}

int SaveParaFileAs(const QString &path, const ParameterSet &set)
{
    return WriteDataFile(path, ParaFileText(set)).ok ? 0 : 1;
}
