#include "parameters/parameterblocks.h"

#include "app/devsetting.h"
#include "common/numbers.h"
#include "link/commandset.h"

const std::array<QString, ParaBlockCount> kParaBlockAddress = {
    QStringLiteral("00"), QStringLiteral("10"), QStringLiteral("11"),
    QStringLiteral("12"), QStringLiteral("13"), QStringLiteral("14"),
};

namespace {

const QString kUnused = QStringLiteral("FF");
const QString kFixed = QStringLiteral("02");

QString hex2(int64_t value) { return HexField(value, 2); }

// The homing byte of block "11": only a KT new-generation controller takes
// it; 00 selects the sensor, 01 pushing (also for an empty homing method).
QString homingByte(const ParameterSet &set)
{
    if (set.gParaType != 0)
        return kUnused;
    double v = 0.0;
    const bool sensor = set.gParaVertical.toNumber(v) && v == 1.0;
    return sensor ? QStringLiteral("00") : QStringLiteral("01");
}

QString typeByte(int32_t type)
{
    if (type == 1)
        return QStringLiteral("01");
    if (type == 2)
        return QStringLiteral("02");
    return QStringLiteral("00");
}

// The model bytes: size number (the size without a leading "E"), speed
// code (that of "E" for an "E" size) and stroke.
QString modelBytes(const ParameterSet &set)
{
    QString size = set.gParaActSize.trimmed();
    QChar speed = set.gParaActSpeed.isEmpty() ? QChar() : set.gParaActSpeed.at(0);
    if (size.startsWith(u'E')) {
        size.remove(0, 1);
        speed = u'E';
    }
    const int64_t sizeNumber = static_cast<int64_t>(LeadingNumber(size));
    return hex2(sizeNumber) + hex2(speed.unicode()) + HexField(set.gParaActStroke, 4);
}

bool allHex(const QString &digits)
{
    for (QChar c : digits) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

} // namespace

int SetParaData2LngData(const ParameterSet &set, bool defaultBox, ParaPayloads &out)
{
    const auto vel = [&set](int n) { return hex2(set.numericValue(n) * 4); };

    std::array<QString, ParaBlockCount> data;
    data[0] = kUnused + kFixed + hex2(set.gParaHomeOsikomi) + HexField(set.gParaHomeOffset, 4)
              + kUnused + kUnused + kUnused;
    data[1] = HexField(set.gParaStroke, 6) + kFixed + kFixed + kFixed + kFixed + kUnused;
    data[2] = vel(6) + vel(7) + vel(8) + hex2(set.gParaGentenModori) + hex2(set.gParaGentenHanten)
              + homingByte(set) + kUnused + kUnused;
    data[3] = vel(9) + vel(10) + vel(11) + vel(12) + vel(13) + vel(14) + kUnused + kUnused;
    const QString emgWay = (defaultBox || set.gParaEmgWay != 0) ? QStringLiteral("01") : QStringLiteral("00");
    const QString emgLogic = (defaultBox || set.gParaEmgLogic == 1) ? QStringLiteral("01") : QStringLiteral("00");
    data[4] = hex2(set.gParaJog[0]) + hex2(set.gParaJog[1]) + hex2(set.gParaJog[2]) + emgWay
              + emgLogic + hex2(set.gParaLead) + HexField(set.gParaPulse, 4);
    data[5] = modelBytes(set) + typeByte(set.gParaType) + kUnused + kUnused + kUnused;

    // A value too wide for its field turns into "X": such a block must never
    // reach the controller.
    for (const QString &d : data) {
        if (d.size() != 16 || !allHex(d))
            return 1;
    }
    for (int i = 0; i < ParaBlockCount; ++i)
        out.gParaBlock[static_cast<size_t>(i)] = kParaBlockAddress[static_cast<size_t>(i)] + data[static_cast<size_t>(i)];
    return 0;
}

bool DecodeParaBlock(int index, const QString &reply, ParaArray &values)
{
    const auto bytes = Ctl::BlockBytes(reply);
    if (!bytes)
        return false;
    // b[k] is byte Bk.
    std::array<int, 9> b{};
    for (size_t k = 1; k <= 8; ++k)
        b[k] = (*bytes)[k - 1];
    const auto set = [&values](int n, double v) { values[static_cast<size_t>(n)] = ParaValue::number(v); };

    switch (index) {
    case 0: // "00"
        set(3, b[3]);
        set(2, b[4] * 256 + b[5]);
        break;
    case 1: // "10"
        set(1, b[1] * 65536 + b[2] * 256 + b[3]);
        break;
    case 2: // "11": VEL 1..3 are kept times 4
        set(6, b[1] / 4.0);
        set(7, b[2] / 4.0);
        set(8, b[3] / 4.0);
        set(4, b[4]);
        set(5, b[5]);
        set(18, b[6] == 0 ? 1 : 0);
        break;
    case 3: // "12"
        for (int k = 1; k <= 6; ++k)
            set(8 + k, b[static_cast<size_t>(k)] / 4.0);
        break;
    case 4: // "13"
        set(15, b[1]);
        set(16, b[2]);
        set(17, b[3]);
        set(23, b[4]);
        set(24, b[5]);
        set(19, b[6]);
        set(20, b[7] * 256 + b[8]);
        break;
    case 5: { // "14": the model and the type
        // Zero-padded, never cut: a size or stroke wider than its field is
        // shown as it is.
        QString size = QString::number(b[1]).rightJustified(2, u'0');
        QString speed = QString(QChar(static_cast<char16_t>(b[2])));
        const QString stroke = QString::number(b[3] * 256 + b[4]).rightJustified(3, u'0');
        set(26, b[1]);
        values[27] = ParaValue::text(speed);
        set(28, b[3] * 256 + b[4]);
        set(21, b[5]);
        if (speed == u"E") {
            size = u'E' + size;
            speed = QStringLiteral("L");
        } else if (size.size() == 2) {
            size.prepend(u' ');
        }
        if (!ModelFormOk(size, speed, b[3] * 256 + b[4]))
            return false;
        values[22] = ParaValue::text(size + speed + u'-' + stroke);
        break;
    }
    default:
        return false;
    }
    return true;
}
