#include "app/appstate.h"
#include "common/numbers.h"
#include "position/conversions.h"
#include "position/positiondata.h"
#include "text/stringtable.h"
#include "testenv.h"

#include <QApplication>
#include <QTest>

namespace {

AppState model(int stroke, int lead, int ppr)
{
    AppState s;
    s.gDevStroke = static_cast<int16_t>(stroke);
    s.gDevLead = static_cast<int16_t>(lead);
    s.gDevPPR = static_cast<int16_t>(ppr);
    Culc_MaxPulse(s);
    Culc_MaxMm(s);
    return s;
}

} // namespace

class TestConversions : public QObject
{
    Q_OBJECT
private slots:
    void limits_data()
    {
        QTest::addColumn<int>("lead");
        QTest::addColumn<int>("ppr");
        QTest::addColumn<int>("maxPulse");
        QTest::addColumn<QString>("maxMm");
        // Stroke 100 mm.
        QTest::newRow("raised to the next pulse") << 6 << 400 << 6667 << "100.005";
        QTest::newRow("a whole value stays") << 10 << 400 << 4000 << "100.000";
        QTest::newRow("192 pulses") << 12 << 192 << 1600 << "100.000";
    }
    void limits()
    {
        QFETCH(int, lead);
        QFETCH(int, ppr);
        QFETCH(int, maxPulse);
        QFETCH(QString, maxMm);
        const AppState s = model(100, lead, ppr);
        QCOMPARE(s.gMaxPulse, maxPulse);
        QCOMPARE(FormatFixed3(s.gMaxMm), maxMm);
        QVERIFY(s.gMaxMm <= PulseToMm(s, s.gMaxPulse));
    }

    // Lead 4 mm, 400 pulses: 0.01 mm a pulse, so these millimetres lie
    // exactly halfway between two pulses and go to the even one.
    void mmToPulsesAtATie_data()
    {
        QTest::addColumn<double>("mm");
        QTest::addColumn<double>("pulses");
        QTest::newRow("0.005 mm: 0, not 1") << 0.005 << 0.0;
        QTest::newRow("0.015 mm: 2") << 0.015 << 2.0;
        QTest::newRow("0.025 mm: 2, not 3") << 0.025 << 2.0;
        QTest::newRow("0.045 mm: 4, not 5") << 0.045 << 4.0;
    }
    void mmToPulsesAtATie()
    {
        QFETCH(double, mm);
        QFETCH(double, pulses);
        QCOMPARE(MmToPulse(model(100, 4, 400), mm), pulses);
    }

    void pulseScale_data()
    {
        QTest::addColumn<int>("lead");
        QTest::addColumn<int>("ppr");
        QTest::addColumn<QString>("perMm");
        QTest::addColumn<QString>("perPulse");
        QTest::newRow("lead 6") << 6 << 400 << "1mm = 66.667Pulse" << "1Pulse= 0.015mm";
        QTest::newRow("lead 2") << 2 << 400 << "1mm = 200Pulse" << "1Pulse= 0.005mm";
    }
    void pulseScale()
    {
        QFETCH(int, lead);
        QFETCH(int, ppr);
        QFETCH(QString, perMm);
        QFETCH(QString, perPulse);
        SetLangOffset(10000);
        const PulseScaleTexts texts = ShowPulseScale(model(100, lead, ppr));
        QCOMPARE(texts.perMm, perMm);
        QCOMPARE(texts.perPulse, perPulse);
    }

    void copyLeavesMmUntilRecalculated()
    {
        const AppState s = model(100, 6, 400);
        PositionData data;
        InitPosiData(data, s);
        data.PosiDataArray.at(2, PosMm) = QStringLiteral(" 99.000");
        data.workPosDA.at(2, PosPulse) = QVariant::fromValue<int32_t>(6667);
        CopyWorkPosDA2PosiDataArray(data);
        QCOMPARE(data.PosiDataArray.text(2, PosPulse), QStringLiteral("6667"));
        QCOMPARE(data.PosiDataArray.text(2, PosMm), QStringLiteral(" 99.000"));
        RecalcMmFromPulse(data, s);
        QCOMPARE(FormatFixed3(data.PosiDataArray.number(2, PosMm)), QStringLiteral("100.005"));
    }
};

KTED_TEST_MAIN(TestConversions)
#include "tst_conversions.moc"
