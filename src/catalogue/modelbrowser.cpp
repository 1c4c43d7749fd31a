#include "catalogue/modelbrowser.h"

#include "catalogue/listfiles.h"
#include "common/numbers.h"

#include <cmath>
#include <limits>

namespace {

// The text shown: `want` when the list holds it, else the list's first
// entry, else the text as it was.
QString pick(const QStringList &list, const QString &want, const QString &fallback)
{
    if (list.contains(want))
        return want;
    return list.isEmpty() ? fallback : list.first();
}

// Sizes built for one speed only: their speed always shows "L".
bool onlyLowSpeed(const QString &size)
{
    return size == QLatin1String(" 20") || size == QLatin1String("E35");
}

} // namespace

ModelBrowser::ModelBrowser(const AppState &model, Prompter &prompter, const QString &listDir)
    : m_model(model)
    , m_browse(model)
    , m_catalogue(m_browse, prompter, listDir)
{
}

bool ModelBrowser::browse(const QString &family, bool isNewType)
{
    const bool kt = IsKtFamily(family);
    m_browse.gDevFamily = kt ? QStringLiteral("KT") : QStringLiteral("RW");
    m_catalogue.selection().gSelFamily = m_browse.gDevFamily;
    m_catalogue.selection().gSelIsNewType = kt && isNewType;
    m_catalogue.clearNoDevListFile();
    return m_catalogue.ReadDeviceList(Catalogue::Generation::Selection) == 0;
}

bool ModelBrowser::isKtNew() const
{
    return IsKtFamily(family()) && isNewType();
}

ModelLists ModelBrowser::refreshAll(const QString &size)
{
    ModelLists lists;
    const CatalogueTables &t = m_catalogue.tables();
    for (int i = 0; i <= t.gDevSizeLast; ++i)
        lists.sizes.append(t.gDevSizeList[static_cast<size_t>(i)]);
    lists.size = pick(lists.sizes, normalizedSize(size), size);
    fillSpeeds(lists);
    fillStrokes(lists);
    return lists;
}

ModelLists ModelBrowser::refreshFromSize(const ModelLists &lists, const QString &size)
{
    ModelLists next = lists;
    next.size = normalizedSize(size);
    fillSpeeds(next);
    fillStrokes(next);
    return next;
}

ModelLists ModelBrowser::refreshFromSpeed(const ModelLists &lists, const QString &speed)
{
    ModelLists next = lists;
    next.speed = speed.trimmed();
    fillStrokes(next);
    return next;
}

void ModelBrowser::fillSpeeds(ModelLists &lists)
{
    m_catalogue.MakeSpeedList(lists.size);
    const CatalogueTables &t = m_catalogue.tables();
    lists.speeds.clear();
    for (int i = 0; i <= t.gDevSpeedLast; ++i)
        lists.speeds.append(t.gDevSpeedList[static_cast<size_t>(i)]);
    QString want = lists.speed;
    if (onlyLowSpeed(lists.size))
        want = QStringLiteral("L");
    else if (!m_model.gDevSpeed.isEmpty())
        want = m_model.gDevSpeed;
    lists.speed = pick(lists.speeds, want, lists.speed);
}

void ModelBrowser::fillStrokes(ModelLists &lists) const
{
    const CatalogueTables &t = m_catalogue.tables();
    lists.strokes.clear();
    for (int i = 1; i <= t.gDevListCount; ++i) {
        const DeviceRecord &r = t.gDevList[static_cast<size_t>(i)];
        if (r.size == lists.size && r.speed == lists.speed)
            lists.strokes.append(QString::number(static_cast<int>(r.stroke)));
    }
    lists.stroke = pick(lists.strokes, QString::number(m_model.gDevStroke), lists.stroke);
}

int ModelBrowser::homeCode(const QString &size, const QString &speed, const QString &stroke)
{
    if (isKtNew())
        return HomeFixedSensor;
    return m_catalogue.GetHomeCode(isNewType(), family(), normalizedSize(size), speed.trimmed(),
                                   strokeValue(stroke));
}

std::optional<DeviceRecord> ModelBrowser::lookup(const QString &size, const QString &speed, int stroke)
{
    return m_catalogue.LookupModel(family(), isNewType(), normalizedSize(size), speed.trimmed(), stroke);
}

QString ModelBrowser::normalizedSize(const QString &text)
{
    return text.size() == 2 ? u' ' + text : text;
}

int ModelBrowser::strokeValue(const QString &text)
{
    const double v = RoundHalfEven(LeadingNumber(text));
    if (!std::isfinite(v) || std::abs(v) > std::numeric_limits<int16_t>::max())
        return 0;
    return static_cast<int>(v);
}
