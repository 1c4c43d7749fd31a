#include "parameters/parameterfile.h"

#include "app/prompter.h"
#include "common/datafile.h"
#include "common/numbers.h"
#include "common/seqfile.h"
#include "parameters/parameterset.h"
#include "text/stringtable.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kFileMark = QStringLiteral("KT-E1");
const QString kFileKind = QStringLiteral("Parameter");
constexpr int kShortestFileValues = 15;

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
                 Prompter &prompter, DataFileFault *where)
{
    const auto notOurs = [&prompter](const DataFileFault &fault) {
        QString text = JoinTexts({362, 363});
        if (fault.isSet())
            text += QStringLiteral("\n\n") + DataFileFaultText(fault);
        prompter.tell(text, Prompter::Icon::Exclamation);
        return 1;
    };

    QString content;
    if (!ReadDataFile(path, content, kTableFileMaxBytes).ok) {
        // Binary junk, or a file far too large for a parameter file, is not
        // one of ours; a file that cannot be opened at all is the caller's
        // message alone.
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly))
            return 1;
        return notOurs({});
    }

    SequentialReader reader(content);
    const std::optional<QString> mark = reader.next();
    if (!mark || *mark != kFileMark)
        return notOurs({1, 1, mark});
    const std::optional<QString> kind = reader.next();
    if (!kind || *kind != kFileKind)
        return notOurs({1, 2, kind});

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
    // The shortest real file is that of an RW controller, 15 values; fewer
    // would leave the rest of the window at 0 and the model blank.
    if (count < kShortestFileValues) {
        if (where)
            *where = {2, count + 1, std::nullopt};
        return 1;
    }

    modernizeModel(values[22]);
    int failed = 0;
    if (!ParaDAConvertible(values, &failed)) {
        if (where && failed > 0)
            *where = {2, failed, values[static_cast<size_t>(failed)].toText()};
        return 1;
    }

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

int SaveParaFileAs(const QString &path, const ParameterSet &set, QString *error)
{
    const DataFileResult written = WriteDataFile(path, ParaFileText(set));
    if (!written.ok && error)
        *error = written.error;
    return written.ok ? 0 : 1;
}
