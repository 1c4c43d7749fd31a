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
    void snapMmToPulse_data()
    {
        QTest::addColumn<double>("mm");
        QTest::addColumn<QString>("roundedUp");
        QTest::addColumn<QString>("roundedDown");
        // Lead 4, 400 pulses: 0.01 mm a pulse.
        QTest::newRow("half pulse 0.015") << 0.015 << "0.020" << "0.010";
        QTest::newRow("half pulse 10.125") << 10.125 << "10.130" << "10.120";
        QTest::newRow("above half 1.006") << 1.006 << "1.010" << "1.010";
        QTest::newRow("below half 1.004") << 1.004 << "1.000" << "1.000";
        // q = 100.49999999999999: a half at four decimals, but q + 0.5 stays below 101.
        QTest::newRow("1.005 just below half") << 1.005 << "1.000" << "1.000";
        // q = 1000.5000000000001: a half either way.
        QTest::newRow("10.005 just above half") << 10.005 << "10.010" << "10.000";
        QTest::newRow("on a pulse") << 2.34 << "2.340" << "2.340";
    }
    void snapMmToPulse()
    {
        QFETCH(double, mm);
        QFETCH(QString, roundedUp);
        QFETCH(QString, roundedDown);
        const AppState s = model(100, 4, 400);
        QCOMPARE(FormatFixed3(SnapMmToPulse(s, mm, MmRounding::Up)), roundedUp);
        QCOMPARE(FormatFixed3(SnapMmToPulse(s, mm, MmRounding::Down)), roundedDown);
    }

    void mmToPulseRoundsHalfToEven_data()
    {
        QTest::addColumn<int>("lead");
        QTest::addColumn<int>("ppr");
        QTest::addColumn<double>("mm");
        QTest::addColumn<double>("pulses");
        QTest::newRow("2.5 to 2") << 4 << 400 << 0.025 << 2.0;
        QTest::newRow("3.5 to 4") << 4 << 1 << 14.0 << 4.0;
        QTest::newRow("4.5 to 4") << 4 << 1 << 18.0 << 4.0;
        QTest::newRow("nearest") << 6 << 400 << 100.005 << 6667.0;
    }
    void mmToPulseRoundsHalfToEven()
    {
        QFETCH(int, lead);
        QFETCH(int, ppr);
        QFETCH(double, mm);
        QFETCH(double, pulses);
        QCOMPARE(MmToPulse(model(100, lead, ppr), mm), pulses);
    }

    void limits_data()
    {
        QTest::addColumn<int>("stroke");
        QTest::addColumn<int>("lead");
        QTest::addColumn<int>("ppr");
        QTest::addColumn<int>("maxPulse");
        QTest::addColumn<QString>("maxMm");
        QTest::newRow("raised to next pulse") << 100 << 6 << 400 << 6667 << "100.005";
        QTest::newRow("whole stays") << 100 << 10 << 400 << 4000 << "100.000";
        QTest::newRow("third of a pulse") << 50 << 6 << 400 << 3334 << "50.010";
        QTest::newRow("192 pulses") << 100 << 12 << 192 << 1600 << "100.000";
    }
    void limits()
    {
        QFETCH(int, stroke);
        QFETCH(int, lead);
        QFETCH(int, ppr);
        QFETCH(int, maxPulse);
        QFETCH(QString, maxMm);
        const AppState s = model(stroke, lead, ppr);
        QCOMPARE(s.gMaxPulse, maxPulse);
        QCOMPARE(FormatFixed3(s.gMaxMm), maxMm);
        // The largest position in mm lies on the largest pulse, not beyond it.
        QVERIFY(s.gMaxMm <= PulseToMm(s, s.gMaxPulse));
    }

    void devMaxPulseRoundsToOneDecimalFirst_data()
    {
        QTest::addColumn<double>("stroke");
        QTest::addColumn<double>("lead");
        QTest::addColumn<double>("ppr");
        QTest::addColumn<double>("pulses");
        QTest::newRow("fraction under 0.05 dropped") << 100.04 << 1.0 << 1.0 << 100.0;
        QTest::newRow("fraction 0.1 raised") << 100.1 << 1.0 << 1.0 << 101.0;
        QTest::newRow("one seventh") << 1.0 << 7.0 << 400.0 << 58.0;
    }
    void devMaxPulseRoundsToOneDecimalFirst()
    {
        QFETCH(double, stroke);
        QFETCH(double, lead);
        QFETCH(double, ppr);
        QFETCH(double, pulses);
        QCOMPARE(Culc_DevMaxPulse(stroke, lead, ppr), pulses);
    }

    void pulseScale_data()
    {
        QTest::addColumn<int>("lead");
        QTest::addColumn<int>("ppr");
        QTest::addColumn<QString>("perMm");
        QTest::addColumn<QString>("perPulse");
        QTest::newRow("lead 6") << 6 << 400 << "1mm = 66.667Pulse" << "1Pulse= 0.015mm";
        QTest::newRow("lead 2") << 2 << 400 << "1mm = 200Pulse" << "1Pulse= 0.005mm";
        QTest::newRow("lead 12, 192") << 12 << 192 << "1mm = 16Pulse" << "1Pulse= 0.063mm";
    }
    void pulseScale()
    {
        QFETCH(int, lead);
        QFETCH(int, ppr);
        QFETCH(QString, perMm);
        QFETCH(QString, perPulse);
        SetLangOffset(10000);
        const PulseScaleTexts texts = ShowPulseScale(model(100, lead, ppr));
        SetLangOffset(0);
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
        data.workPosDA.at(2, PosComment) = QStringLiteral("end");

        CopyWorkPosDA2PosiDataArray(data);
        QCOMPARE(data.PosiDataArray.text(2, PosPulse), QStringLiteral("6667"));
        QCOMPARE(data.PosiDataArray.text(2, PosComment), QStringLiteral("end"));
        QCOMPARE(data.PosiDataArray.text(2, PosMm), QStringLiteral(" 99.000"));

        RecalcMmFromPulse(data, s);
        QCOMPARE(FormatFixed3(data.PosiDataArray.number(2, PosMm)), QStringLiteral("100.005"));
    }

    void newTableDefaultsToModelAcceleration_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<int>("acc");
        QTest::newRow("KT-42D") << " 42" << "D" << 2;
        QTest::newRow("KT-42H") << " 42" << "H" << 3;
        QTest::newRow("KT-28D") << " 28" << "D" << 3;
    }
    void newTableDefaultsToModelAcceleration()
    {
        QFETCH(QString, size);
        QFETCH(QString, speed);
        QFETCH(int, acc);
        AppState s = model(100, 12, 192);
        s.gDevSize = size;
        s.gDevSpeed = speed;
        PositionData data;
        InitPosiData(data, s);
        for (int i = 1; i <= 3; ++i) {
            QCOMPARE(data.PosiDataArray.number(i, PosAcc), double(acc));
            QCOMPARE(data.workPosDA.number(i, PosAcc), double(acc));
        }
    }
};

KTED_TEST_MAIN(TestConversions)
#include "tst_conversions.moc"
