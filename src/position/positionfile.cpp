#include "position/positionfile.h"

#include "app/appstate.h"
#include "app/datafilefault.h"
#include "app/prompter.h"
#include "common/datafile.h"
#include "common/numbers.h"
#include "common/seqfile.h"
#include "position/positiondata.h"
#include "text/stringtable.h"

#include <QFile>

namespace {

const QString kFileId = QStringLiteral("KT-E1");
const QString kPositionKind = QStringLiteral("Position");
const QString kNew = QStringLiteral("NEW");
const QString kOld = QStringLiteral("OLD");

constexpr int kMsgNotDataFile = 362;
constexpr int kMsgOpenCancelled = 363;
constexpr int kMsgCannotRead = 722;
constexpr int kLabelNew = 148;
constexpr int kLabelOld = 149;

// Reads the identification record and the model text; false when the
// identification is wrong or the data ends early (fault says where).
bool readHead(SequentialReader &reader, QString &model, DataFileFault &fault)
{
    const std::optional<QString> id = reader.next();
    if (!id || *id != kFileId) {
        fault = {1, 1, id};
        return false;
    }
    const std::optional<QString> kind = reader.next();
    if (!kind || *kind != kPositionKind) {
        fault = {1, 2, kind};
        return false;
    }
    const std::optional<QString> m = reader.next();
    if (!m) {
        fault = {2, 1, std::nullopt};
        return false;
    }
    model = *m;
    return true;
}

// A comment as the table keeps it: control characters (a NUL, say) would
// cut it short on screen and make the next save refuse a character the user
// cannot see, so they are dropped when the file is read.
QString withoutControls(const QString &comment)
{
    QString kept;
    kept.reserve(comment.size());
    for (const QChar ch : comment) {
        if (ch.category() != QChar::Other_Control)
            kept += ch;
    }
    return kept;
}

bool isUpperLetter(const QString &s)
{
    return s.size() == 1 && s.at(0) >= u'A' && s.at(0) <= u'Z';
}

} // namespace

PositionFileContent ParsePositionFile(const QString &text, PositionFileProblem &problem,
                                      DataFileFault *where)
{
    PositionFileContent content;
    problem = PositionFileProblem::NotPositionFile;
    DataFileFault fault;
    const auto report = [&] {
        if (where)
            *where = fault;
        return content;
    };

    SequentialReader reader(text);
    if (!readHead(reader, content.model, fault))
        return report();

    SequentialReader afterFlag = reader;
    const std::optional<QString> flag = afterFlag.next();
    // Records 3 to 5 hold the positions, with or without the flag.
    constexpr int firstRecord = 3;
    if (flag && (*flag == kNew || *flag == kOld)) {
        content.newOld = *flag;
        reader = afterFlag;
    } else {
        // An earlier version's file: record 2 ends after the model text and
        // position 1 follows.
        content.newOld = kOld;
    }

    PositionFileProblem found = PositionFileProblem::None;
    for (int i = 0; i < static_cast<int>(content.rows.size()); ++i) {
        std::array<std::optional<QString>, 4> fields;
        for (size_t f = 0; f < fields.size(); ++f) {
            fields[f] = reader.next();
            if (!fields[f]) {
                fault = {firstRecord + i, static_cast<int>(f) + 1, std::nullopt};
                return report();
            }
        }
        PositionFileRow &row = content.rows[static_cast<size_t>(i)];
        row = {*fields[0], *fields[1], *fields[2], withoutControls(*fields[3])};
        // Speed and acceleration are 16-bit, the pulses 32-bit: a number
        // beyond its field counts as not numeric rather than wrapping.
        const std::array<bool, 3> numeric{
            IsNumericText(row.vel) && RoundToInt16(LeadingNumber(row.vel)).has_value(),
            IsNumericText(row.acc) && RoundToInt16(LeadingNumber(row.acc)).has_value(),
            IsNumericText(row.pulses) && RoundToInt32(LeadingNumber(row.pulses)).has_value()};
        for (size_t f = 0; f < numeric.size(); ++f) {
            if (!numeric[f] && found == PositionFileProblem::None) {
                found = PositionFileProblem::NotNumeric;
                fault = {firstRecord + i, static_cast<int>(f) + 1, fields[f]};
            }
        }
    }
    problem = found;
    return report();
}

QString ComposePositionFile(const PositionFileContent &content)
{
    SequentialWriter writer;
    writer.addText(kFileId);
    writer.addText(kPositionKind);
    writer.endRecord();
    writer.addText(content.model);
    writer.addText(content.newOld);
    writer.endRecord();
    for (const PositionFileRow &row : content.rows) {
        writer.addText(row.vel);
        writer.addText(row.acc);
        writer.addText(row.pulses);
        writer.addText(row.comment);
        writer.endRecord();
    }
    return writer.text();
}

QString UnstorableCharacters(const QString &comment)
{
    QString bad;
    for (const QChar ch : comment) {
        if ((ch == u'"' || ch.category() == QChar::Other_Control) && !bad.contains(ch))
            bad += ch;
    }
    // Characters outside code page 932 are named once each by the encoder.
    QString notInShiftJis;
    if (!EncodeShiftJis(comment, &notInShiftJis))
        bad += notInShiftJis;
    return bad;
}

int ReadPosiFile(const QString &path, PositionData &data, Prompter &prompter)
{
    QString text;
    const DataFileResult read = ReadDataFile(path, text, kTableFileMaxBytes);
    if (!read.ok) {
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly)) {
            prompter.tell(LoadText(kMsgCannotRead) + QStringLiteral("\n") + path + QStringLiteral("\n\n")
                          + LoadText(kMsgOpenCancelled));
            return 1;
        }
        // Readable but not Shift_JIS text: not one of our files.
        prompter.tell(JoinTexts({kMsgNotDataFile, kMsgOpenCancelled}));
        return 1;
    }

    PositionFileProblem problem = PositionFileProblem::None;
    DataFileFault fault;
    const PositionFileContent content = ParsePositionFile(text, problem, &fault);
    if (problem != PositionFileProblem::None) {
        prompter.tell(JoinTexts({kMsgNotDataFile, kMsgOpenCancelled}) + QStringLiteral("\n\n")
                      + DataFileFaultText(fault));
        return 1;
    }

    // Everything checked: only now does the loaded table change.
    data.workPosDA.at(0, 1) = content.model;
    data.gFileModel = content.model;
    data.gFileNewOld = content.newOld;
    data.gNewOldType = LoadText(content.newOld == kNew ? kLabelNew : kLabelOld);
    for (int i = 1; i <= 3; ++i) {
        const PositionFileRow &row = content.rows.at(i - 1);
        data.workPosDA.at(i, PosVel) = QVariant::fromValue(*RoundToInt16(LeadingNumber(row.vel)));
        data.workPosDA.at(i, PosAcc) = QVariant::fromValue(*RoundToInt16(LeadingNumber(row.acc)));
        data.workPosDA.at(i, PosPulse) = QVariant::fromValue(*RoundToInt32(LeadingNumber(row.pulses)));
        // A position file holds no output value: a table opened from one
        // starts with output 0.
        data.workPosDA.at(i, PosOut) = QVariant::fromValue<int16_t>(0);
        data.workPosDA.at(i, PosComment) = row.comment;
    }
    return 0;
}

std::optional<DecodedFileModel> DecodeModelText(const QString &model, const QString &newOld)
{
    const QString family = model.left(3);
    DecodedFileModel d;
    if (family == QLatin1String("KT-")) {
        d.isKT = true;
        if (newOld == kNew) {
            d.selIsNewType = true;
            d.devTypeNoText = QStringLiteral("0");
            d.vType = true;
        } else {
            d.selIsNewType = false;
            d.devTypeNoText = QStringLiteral("1");
        }
    } else if (family == QLatin1String("RW-")) {
        d.isKT = false;
        d.selIsNewType = false;
        d.devTypeNoText = QStringLiteral("2");
        d.vType = false;
    } else {
        return std::nullopt;
    }

    int baseLength = 0;
    double stroke = 0;
    if (model.mid(6, 1) == QLatin1String("-")) {
        // Short form: a two-character size.
        d.size = QStringLiteral(" ") + model.mid(3, 2);
        d.speed = model.mid(5, 1);
        if (d.speed == QLatin1String("E")) {
            d.speed = QStringLiteral("L");
            d.size = QStringLiteral("E") + d.size.trimmed();
        }
        QString digits;
        for (qsizetype k = 7; k < model.size() && model.at(k) >= u'0' && model.at(k) <= u'9'; ++k)
            digits += model.at(k);
        stroke = LeadingNumber(digits);
        baseLength = 10;
    } else {
        d.size = model.mid(3, 3);
        d.speed = model.mid(6, 1);
        stroke = LeadingNumber(model.mid(8, 3));
        baseLength = 11;
    }

    if (d.size.size() != 3 || !isUpperLetter(d.speed) || stroke < 1 || stroke > 699)
        return std::nullopt;
    d.stroke = RoundToInt16(stroke).value_or(0);

    if (model.mid(baseLength, 3).contains(u'V'))
        d.vType = true;
    else if (!d.selIsNewType)
        d.vType = false;
    return d;
}

QString DevTypeText(const AppState &state)
{
    return state.gDevFamily + u'-' + state.gDevSize + state.gDevSpeed + u'-' + QString::number(state.gDevStroke);
}

QString DevTypeText2(const QString &family, const QString &size, const QString &speed, int stroke,
                     bool isNewType, bool vType, int homeCode)
{
    QString suffix;
    switch (homeCode) {
    case 0:
    case 2:
        suffix = QStringLiteral(" ");
        break;
    case 1:
        if (!vType)
            suffix = QStringLiteral("_");
        else if (!isNewType)
            suffix = QStringLiteral("V");
        break;
    default:
        break; // not listed
    }
    return family + QStringLiteral("-") + size + speed + QStringLiteral("-") + DecField(stroke, 3) + suffix;
}
