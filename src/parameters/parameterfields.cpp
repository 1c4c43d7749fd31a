#include "parameters/parameterfields.h"

#include "app/prompter.h"
#include "catalogue/catalogue.h"
#include "common/numbers.h"
#include "parameters/parameterset.h"
#include "text/stringtable.h"

#include <algorithm>

namespace {

enum TextId : int {
    VTypeOnly = 367,
    VTypeChange = 368,
    NoData = 412,
    NoDataFill = 413,
    InvalidValue = 414,
    InvalidValueEnd = 415,
    InvalidValueConfirm = 416,
    ConversionError = 417,
};

constexpr int kJogMaximum = 30;

// A field's value as the window takes it: the leading number of its text,
// rounded half to even.
double fieldNumber(const QString &text)
{
    return RoundHalfEven(LeadingNumber(text));
}

bool isTextField(int number)
{
    return number >= 1 && number <= 20 && number != 18;
}

} // namespace

QString ModelSize(const ParameterFields &f)
{
    QString size = f.size;
    if (size.size() == 2)
        size.prepend(u' ');
    return size;
}

int Check_ParaDataUmu(const ParameterFields &f)
{
    for (int n = 1; n <= 20; ++n) {
        if (isTextField(n) && f.text.at(static_cast<size_t>(n)).isEmpty())
            return 1;
    }
    return f.size.isEmpty() || f.speed.isEmpty() || f.stroke.isEmpty() ? 1 : 0;
}

QString ParameterValueFailures(const ParameterFields &f, int currentType, Catalogue &catalogue)
{
    std::array<double, ParameterCount + 1> values{};
    for (int n = 1; n <= 20; ++n)
        values[static_cast<size_t>(n)] = fieldNumber(f.text.at(static_cast<size_t>(n)));
    const int type = f.type >= 0 ? f.type : currentType;
    values[21] = type;
    const bool defaults = f.defaultBox == ParameterFields::DefaultBox::Checked;
    values[23] = defaults ? 0 : (f.emgWayReset ? 0 : 1);
    values[24] = defaults ? 0 : (f.emgLogicB ? 0 : 1);

    QString failures = ParameterRangeFailures(values);

    const QString family = (type == 0 || type == 1) ? QStringLiteral("KT") : QStringLiteral("RW");
    const int stroke = static_cast<int>(std::clamp(RoundHalfEven(LeadingNumber(f.stroke)), -1.0, 1.0e6));
    const bool listed = catalogue.CheckDevice(type == 0, family, ModelSize(f), f.speed.trimmed(), stroke) == 0;
    if (!listed) {
        // Keep the list in ascending order: 22 goes before 23 and 24.
        const qsizetype at = failures.indexOf(QStringLiteral("23,"));
        const qsizetype at24 = failures.indexOf(QStringLiteral("24,"));
        const qsizetype pos = at >= 0 ? at : (at24 >= 0 ? at24 : failures.size());
        failures.insert(pos, QStringLiteral("22,"));
    }
    return failures;
}

int Check_VType(const ParameterFields &f)
{
    const QString size = ModelSize(f);
    return f.type == 0 && (size == QLatin1String(" 42") || size == QLatin1String(" 20")) && !f.sensor ? 1 : 0;
}

int TorikomiParaData(const ParameterFields &f, ParameterSet &set)
{
    ParameterSet next = set;
    for (int n = 1; n <= 20; ++n) {
        if (!isTextField(n))
            continue;
        const double v = LeadingNumber(f.text.at(static_cast<size_t>(n)));
        if (ParameterInfoOf(n).wide) {
            const auto r = RoundToInt32(v);
            if (!r)
                return 1;
            next.setNumericValue(n, *r);
        } else {
            const auto r = RoundToInt16(v);
            if (!r)
                return 1;
            next.setNumericValue(n, *r);
        }
    }
    next.gParaVertical = ParaValue::number(f.sensor ? 1 : 0);
    if (f.type >= 0)
        next.gParaType = f.type;

    next.gParaActSize = ModelSize(f);
    next.gParaActSpeed = f.speed.trimmed();
    const auto stroke = RoundToInt32(LeadingNumber(f.stroke));
    if (!stroke)
        return 1;
    next.gParaActStroke = *stroke;
    next.gParaActuator = ComposeActuator(next.gParaActSize, next.gParaActSpeed, next.gParaActStroke);

    switch (f.defaultBox) {
    case ParameterFields::DefaultBox::Unchecked:
        next.gParaEmgWay = f.emgWayReset ? 0 : 1;
        next.gParaEmgLogic = f.emgLogicB ? 0 : 1;
        break;
    case ParameterFields::DefaultBox::Checked:
        next.gParaEmgWay = 1;   // "Hold"
        next.gParaEmgLogic = 1; // "Logic A"
        break;
    case ParameterFields::DefaultBox::Grey:
        break;
    }
    set = next;
    return 0;
}

void ShowParameters(ParameterSet &set, bool detailShow, ParameterFields &f)
{
    for (int16_t &jog : set.gParaJog)
        jog = std::min<int16_t>(jog, kJogMaximum);
    for (int n = 1; n <= 20; ++n) {
        if (isTextField(n))
            f.text.at(static_cast<size_t>(n)) = QString::number(set.numericValue(n));
    }
    f.type = set.gParaType >= 0 && set.gParaType <= 2 ? set.gParaType : 0;
    double homing = 0.0;
    f.sensor = set.gParaVertical.toNumber(homing) && homing == 1.0;
    // A KT new controller homes on its sensor and an RW one by pushing,
    // whatever its homing byte says: the type's rule holds here too. The
    // homing text field shows the choice made.
    if (f.type == 0)
        f.sensor = true;
    else if (f.type == 2)
        f.sensor = false;
    f.text[18] = f.sensor ? QStringLiteral("1") : QStringLiteral("0");
    f.size = set.gParaActSize;
    f.speed = set.gParaActSpeed;
    f.stroke = QString::number(set.gParaActStroke);
    if (detailShow && f.defaultBox == ParameterFields::DefaultBox::Unchecked) {
        f.emgWayReset = set.gParaEmgWay == 0;
        f.emgLogicB = set.gParaEmgLogic == 0;
    }
}

int RunParameterPreChecks(ParameterFields &f, ParameterSet &set, Catalogue &catalogue, Prompter &prompter)
{
    if (Check_ParaDataUmu(f) == 1) {
        prompter.tell(JoinTexts({NoData, NoDataFill}), Prompter::Icon::None);
        return 1;
    }
    set.gParaNgNo = ParameterValueFailures(f, set.gParaType, catalogue);
    if (!set.gParaNgNo.isEmpty()) {
        prompter.tell(LoadText(InvalidValue) + set.gParaNgNo + LoadText(InvalidValueEnd) + QStringLiteral("\n\n")
                          + LoadText(InvalidValueConfirm),
                      Prompter::Icon::None);
        return 1;
    }
    if (Check_VType(f) == 1) {
        if (prompter.ask(JoinTexts({VTypeOnly, VTypeChange}), Prompter::Buttons::YesNo, Prompter::Icon::Exclamation)
            == Prompter::Answer::Yes) {
            f.sensor = true;
            f.text[18] = QStringLiteral("1");
        }
    }
    if (TorikomiParaData(f, set) == 1) {
        prompter.tell(LoadText(ConversionError), Prompter::Icon::None);
        return 1;
    }
    return 0;
}
