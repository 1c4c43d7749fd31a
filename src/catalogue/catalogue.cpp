#include "catalogue/catalogue.h"

#include "app/appstate.h"
#include "app/prompter.h"
#include "catalogue/listfiles.h"
#include "common/datafile.h"
#include "common/numbers.h"
#include "common/seqfile.h"
#include "text/stringtable.h"

#include <QDir>

#include <algorithm>

namespace {

// String table entries of the catalogue's messages.
enum MessageId : int {
    MsgNoDevListFile = 551,     // "No device list file."
    MsgPutDevListFile = 552,    // where the file belongs
    MsgDevInfoNotFound = 575,   // "Fail to find device information..."
};

// Items of one default-parameter record: the model code, parameters 1 to
// 17, 19, 20, 23 and 24.
constexpr int kStdPrmFirstBlock = 17;

// The numeric value of the next item. An empty item reads as 0, as the
// controller tools always read their lists; text that is not a number, or
// the end of the data, is a malformed file.
std::optional<double> NextNumber(SequentialReader &reader)
{
    const std::optional<QString> item = reader.next();
    if (!item)
        return std::nullopt;
    const QString text = item->trimmed();
    if (text.isEmpty())
        return 0.0;
    if (!IsNumericText(text))
        return std::nullopt;
    return LeadingNumber(text);
}

std::optional<int16_t> NextInt16(SequentialReader &reader)
{
    const std::optional<double> value = NextNumber(reader);
    return value ? RoundToInt16(*value) : std::nullopt;
}

std::optional<int32_t> NextInt32(SequentialReader &reader)
{
    const std::optional<double> value = NextNumber(reader);
    return value ? RoundToInt32(*value) : std::nullopt;
}

// The count that opens a list file: a number, which must be a whole 16-bit
// count of at least 0. A count that is not a number is a damaged file, not
// an empty list.
std::optional<int16_t> CountOf(const QString &item)
{
    if (!IsNumericText(item))
        return std::nullopt;
    const std::optional<int16_t> count = RoundToInt16(LeadingNumber(item));
    if (!count || *count < 0)
        return std::nullopt;
    return count;
}

void SplitDeviceCode(DeviceRecord &record)
{
    record.size = record.code.left(3);
    record.speed = record.code.mid(3, 1);
    record.stroke = LeadingNumber(record.code.mid(5, 3));
}

// A device catalogue file taken apart: the count item and every record
// read in full. `complete` is false when the file ended early, held more
// than 99 models or a malformed item.
struct ParsedDeviceList
{
    std::optional<QString> countItem;
    QList<DeviceRecord> rows;
    bool complete = false;
};

ParsedDeviceList ParseDeviceList(const QString &text)
{
    ParsedDeviceList parsed;
    SequentialReader reader(text);
    parsed.countItem = reader.next();
    if (!parsed.countItem)
        return parsed;
    const std::optional<int16_t> count = CountOf(*parsed.countItem);
    if (!count)
        return parsed;
    for (int i = 1; i <= *count; ++i) {
        if (i > CatalogueTables::kMaxModels)
            return parsed;
        DeviceRecord record;
        const std::optional<QString> code = reader.next();
        if (!code)
            return parsed;
        record.code = *code;
        const std::optional<int16_t> lead = NextInt16(reader);
        const std::optional<int16_t> ppr = lead ? NextInt16(reader) : std::nullopt;
        const std::optional<QString> reserved = ppr ? reader.next() : std::nullopt;
        const std::optional<int16_t> homeCode = reserved ? NextInt16(reader) : std::nullopt;
        if (!homeCode)
            return parsed;
        record.lead = *lead;
        record.ppr = *ppr;
        record.reserved = *reserved;
        record.homeCode = *homeCode;
        SplitDeviceCode(record);
        parsed.rows.append(record);
    }
    parsed.complete = true;
    return parsed;
}

bool Matches(const DeviceRecord &record, const QString &size, const QString &speed, int stroke)
{
    return record.size == size && record.speed == speed && record.stroke == stroke;
}

// The first row of the list with that size, speed and stroke.
const DeviceRecord *FindModel(const QList<DeviceRecord> &rows, const QString &size,
                              const QString &speed, int stroke)
{
    for (const DeviceRecord &row : rows) {
        if (Matches(row, size, speed, stroke))
            return &row;
    }
    return nullptr;
}

// A lead or pulse count of 0 or less would make every conversion of the
// model divide by zero or run backwards, so such an entry is not used.
bool CanConvert(const DeviceRecord &record)
{
    return record.lead > 0 && record.ppr > 0;
}

} // namespace

Catalogue::Catalogue(AppState &state, Prompter &prompter, const QString &listDir)
    : m_state(state)
    , m_prompter(prompter)
    , m_listDir(listDir)
{
}

QString Catalogue::filePath(const QString &fileName) const
{
    return QDir(m_listDir).filePath(fileName);
}

void Catalogue::tellNoDevListFile()
{
    m_prompter.tell(JoinTexts({MsgNoDevListFile, MsgPutDevListFile}));
}

void Catalogue::tellNoDevListFileShort()
{
    m_prompter.tell(LoadText(MsgNoDevListFile));
}

int Catalogue::ReadDeviceList(Generation which)
{
    const bool isNewType =
        which == Generation::Selection ? m_selection.gSelIsNewType : m_state.gIsNewType;
    QString text;
    const bool opened =
        ReadDataFile(filePath(DeviceListFileName(m_state.gDevFamily, isNewType)), text).ok;
    const ParsedDeviceList parsed = opened ? ParseDeviceList(text) : ParsedDeviceList{};

    bool sizesFit = true;
    if (parsed.countItem) {
        // Whatever was read replaces the tables. The count is that of the
        // records actually held, so that no scan reaches past them when the
        // file broke off.
        m_tables.gDevList[0] = DeviceRecord{};
        m_tables.gDevList[0].code = *parsed.countItem;
        for (int i = 0; i < parsed.rows.size(); ++i)
            m_tables.gDevList[i + 1] = parsed.rows[i];
        m_tables.gDevListCount = static_cast<int16_t>(parsed.rows.size());
        sizesFit = rebuildSizeList();
        m_tables.gDevSpeedList.fill(QString());
        m_tables.gDevSpeedLast = -1;
    }

    if (!parsed.complete || !sizesFit) {
        m_tables.gNoDevListFile = true;
        tellNoDevListFile();
        return 1;
    }
    return 0;
}

// The distinct sizes of gDevList in order of first appearance; false when
// there are more than the list holds (it then keeps the first ones).
bool Catalogue::rebuildSizeList()
{
    m_tables.gDevSizeList.fill(QString());
    m_tables.gDevSizeLast = -1;
    for (int i = 1; i <= m_tables.gDevListCount; ++i) {
        const QString &size = m_tables.gDevList[i].size;
        const auto begin = m_tables.gDevSizeList.begin();
        if (std::find(begin, begin + m_tables.gDevSizeLast + 1, size)
            != begin + m_tables.gDevSizeLast + 1)
            continue;
        if (m_tables.gDevSizeLast + 1 >= CatalogueTables::kMaxSizes)
            return false;
        m_tables.gDevSizeList[++m_tables.gDevSizeLast] = size;
    }
    return true;
}

std::optional<QList<DeviceRecord>> Catalogue::readLookupTable(const QString &family,
                                                             bool isNewType)
{
    QString text;
    if (!ReadDataFile(filePath(DeviceListFileName(family, isNewType)), text).ok)
        return std::nullopt;
    ParsedDeviceList parsed = ParseDeviceList(text);
    if (!parsed.complete)
        return std::nullopt;
    return std::move(parsed.rows);
}

int Catalogue::CheckDeviceList(const QString &family, bool isNewType)
{
    if (!readLookupTable(family, isNewType)) {
        tellNoDevListFileShort();
        return 1;
    }
    return 0;
}

int Catalogue::SeekRido(const QString &family, bool isNewType, const QString &size,
                        const QString &speed, int stroke)
{
    const std::optional<QList<DeviceRecord>> rows = readLookupTable(family, isNewType);
    if (!rows) {
        tellNoDevListFile();
        return 0;
    }
    const DeviceRecord *model = FindModel(*rows, size, speed, stroke);
    return model && CanConvert(*model) ? model->lead : 0;
}

int Catalogue::CheckDevice(bool isNewType, const QString &family, const QString &size,
                           const QString &speed, int stroke)
{
    const std::optional<QList<DeviceRecord>> rows = readLookupTable(family, isNewType);
    if (!rows) {
        tellNoDevListFileShort();
        return 1;
    }
    return FindModel(*rows, size, speed, stroke) ? 0 : 1;
}

std::optional<DeviceRecord> Catalogue::LookupModel(const QString &family, bool isNewType,
                                                   const QString &size, const QString &speed,
                                                   int stroke)
{
    const std::optional<QList<DeviceRecord>> rows = readLookupTable(family, isNewType);
    if (!rows) {
        tellNoDevListFileShort();
        return std::nullopt;
    }
    const DeviceRecord *model = FindModel(*rows, size, speed, stroke);
    if (!model || !CanConvert(*model))
        return std::nullopt;
    return *model;
}

int Catalogue::CheckDeviceSize(bool isNewType, const QString &family, const QString &size)
{
    const std::optional<QList<DeviceRecord>> rows = readLookupTable(family, isNewType);
    if (!rows) {
        tellNoDevListFileShort();
        return 1;
    }
    for (const DeviceRecord &row : *rows) {
        if (row.size == size)
            return 0;
    }
    return 1;
}

int Catalogue::GetHomeCode(bool isNewType, const QString &family, const QString &size,
                           const QString &speed, int stroke)
{
    const std::optional<QList<DeviceRecord>> rows = readLookupTable(family, isNewType);
    if (!rows) {
        tellNoDevListFileShort();
        return HomeCodeNotFound;
    }
    const DeviceRecord *model = FindModel(*rows, size, speed, stroke);
    return model ? int{model->homeCode} : int{HomeCodeNotFound};
}

int Catalogue::GetHomeCode(bool isNewType, const QString &size, const QString &speed,
                           int stroke)
{
    return GetHomeCode(isNewType, m_state.gDevFamily, size, speed, stroke);
}

void Catalogue::SeekRidoAndPPR()
{
    m_devInfoNotFound = false;
    for (int i = 1; i <= m_tables.gDevListCount; ++i) {
        const DeviceRecord &record = m_tables.gDevList[i];
        if (!Matches(record, m_state.gChkSize, m_state.gChkSpeed, m_state.gChkStroke))
            continue;
        if (!CanConvert(record))
            break;
        m_state.gDevLead = record.lead;
        m_state.gDevPPR = record.ppr;
        return;
    }
    m_devInfoNotFound = true;
    m_prompter.tell(LoadText(MsgDevInfoNotFound));
}

int Catalogue::SeekEachRidoAndPPR(const QString &family, bool isNewType, const QString &size,
                                  const QString &speed, int stroke, int16_t &lead,
                                  int16_t &ppr)
{
    const std::optional<QList<DeviceRecord>> rows = readLookupTable(family, isNewType);
    if (!rows) {
        tellNoDevListFile();
        return 1;
    }
    const DeviceRecord *model = FindModel(*rows, size, speed, stroke);
    if (!model || !CanConvert(*model))
        return 1;
    lead = model->lead;
    ppr = model->ppr;
    return 0;
}

void Catalogue::MakeSpeedList(const QString &size)
{
    m_tables.gDevSpeedList.fill(QString());
    m_tables.gDevSpeedLast = -1;
    for (int i = 1; i <= m_tables.gDevListCount; ++i) {
        const DeviceRecord &record = m_tables.gDevList[i];
        if (record.size != size)
            continue;
        const auto begin = m_tables.gDevSpeedList.begin();
        const auto end = begin + m_tables.gDevSpeedLast + 1;
        if (std::find(begin, end, record.speed) != end)
            continue;
        if (m_tables.gDevSpeedLast + 1 >= CatalogueTables::kMaxSpeeds)
            break;
        m_tables.gDevSpeedList[++m_tables.gDevSpeedLast] = record.speed;
    }
}

int Catalogue::ReadStdPrmList(bool vertical)
{
    m_tables.gNoStdPrmFile = false;
    const bool isKt = IsKtFamily(m_selection.gSelFamily);
    const int32_t type = isKt ? (m_selection.gSelIsNewType ? 0 : 1) : 2;
    const int32_t homing = isKt && vertical ? 1 : 0;

    auto fail = [this](int recordsRead) {
        m_tables.gStdPrmCount = static_cast<int16_t>(recordsRead);
        m_tables.gNoStdPrmFile = true;
        return 1;
    };

    QString text;
    if (!ReadDataFile(filePath(StdPrmListFileName(m_selection.gSelFamily,
                                                  m_selection.gSelIsNewType)),
                      text)
             .ok)
        return fail(0);
    SequentialReader reader(text);
    const std::optional<QString> countItem = reader.next();
    const std::optional<int16_t> count = countItem ? CountOf(*countItem) : std::nullopt;
    if (!count || !reader.next()) // the second item is read past
        return fail(0);

    for (int i = 1; i <= *count; ++i) {
        if (i > CatalogueTables::kMaxModels)
            return fail(i - 1);
        StdPrmRecord record;
        const std::optional<QString> code = reader.next();
        if (!code)
            return fail(i - 1);
        record.actuator = *code;
        // Parameters 1 to 17, then 19 and 20, then 23 and 24.
        static constexpr int kFromFile[] = {19, 20, 23, 24};
        for (int n = 1; n <= kStdPrmFirstBlock; ++n) {
            const std::optional<int32_t> v = NextInt32(reader);
            if (!v)
                return fail(i - 1);
            record.value[n] = *v;
        }
        for (int n : kFromFile) {
            const std::optional<int32_t> v = NextInt32(reader);
            if (!v)
                return fail(i - 1);
            record.value[n] = *v;
        }
        record.value[18] = homing;
        record.value[21] = type;
        record.size = record.actuator.left(3);
        record.speed = record.actuator.mid(3, 1);
        record.stroke = RoundToInt32(LeadingNumber(record.actuator.right(3))).value_or(0);
        m_tables.gStdPrmList[i] = record;
    }
    m_tables.gStdPrmCount = *count;
    return 0;
}

int Catalogue::FindStdPrm(const QString &size, const QString &speed, int stroke) const
{
    for (int i = 1; i <= m_tables.gStdPrmCount; ++i) {
        const StdPrmRecord &record = m_tables.gStdPrmList[i];
        if (record.size == size && record.speed == speed && record.stroke == stroke)
            return i;
    }
    return 0;
}
