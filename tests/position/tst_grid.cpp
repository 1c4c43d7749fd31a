#include "app/appstate.h"
#include "position/conversions.h"
#include "position/positiondata.h"
#include "position/positiongrid.h"
#include "testenv.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

using Col = PositionGrid::Column;

// A grid on the screen for one model, with the tables it works on.
struct Fixture
{
    AppState state;
    PositionData data;
    PositionGrid grid;
    QSignalSpy beeps{&grid, &PositionGrid::beeped};

    Fixture(int lead, bool pulseShown, bool roundUp = true)
    {
        state.gDevStroke = 100;
        state.gDevLead = static_cast<int16_t>(lead);
        state.gDevPPR = 400;
        state.gPulsePosDisp = pulseShown;
        state.gMmRoundUp = roundUp;
        Culc_MaxPulse(state);
        Culc_MaxMm(state);
        grid.attach(state, data);
        grid.resize(640, 160);
        grid.show();
        QApplication::setActiveWindow(&grid);
    }

    QLineEdit *box() const { return grid.txtEdit(); }

    // Types text into a cell as the user does: the first key on the grid
    // opens the edit box, the rest goes into the box.
    void type(int row, int column, const QString &text)
    {
        grid.setCurrentCell(row, column);
        QTest::keyClicks(&grid, text.left(1));
        QTest::keyClicks(box(), text.mid(1));
    }

    void enter(int row, int column, const QString &text)
    {
        type(row, column, text);
        QTest::keyClick(box(), Qt::Key_Return);
    }

    QString cell(int row, int column) const { return grid.cellText(row, column); }
};

} // namespace

class TestGrid : public QObject
{
    Q_OBJECT
private slots:
    void typedDigitOpensBoxAndEnterStoresIt()
    {
        Fixture f(6, false);
        f.grid.setCurrentCell(1, Col::ColVel);
        QTest::keyClick(&f.grid, '7');
        QVERIFY(f.box()->isVisible());
        QCOMPARE(f.box()->text(), QStringLiteral("7"));
        QCOMPARE(f.box()->geometry(), f.grid.visualItemRect(f.grid.item(1, Col::ColVel)));

        QTest::keyClick(f.box(), Qt::Key_Return);
        QVERIFY(!f.box()->isVisible());
        QCOMPARE(f.cell(1, Col::ColVel), QStringLiteral("7"));
        QCOMPARE(f.grid.currentRow(), 1);
        QCOMPARE(f.grid.currentColumn(), int(Col::ColAcc));
        QVERIFY(f.data.gDataChanged);
        QCOMPARE(f.beeps.count(), 0);
    }

    void invalidValueEmptiesCellsAndBeeps_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        // Lead 6: at most 6667 pulses, 100.005 mm.
        QTest::newRow("VEL 10") << int(Col::ColVel) << "10";
        QTest::newRow("VEL 0") << int(Col::ColVel) << "0";
        QTest::newRow("VEL not a number") << int(Col::ColVel) << "x";
        QTest::newRow("ACC 4") << int(Col::ColAcc) << "4";
        QTest::newRow("ACC 0") << int(Col::ColAcc) << "0";
        QTest::newRow("mm negative") << int(Col::ColMm) << "-1";
        QTest::newRow("mm above the stroke") << int(Col::ColMm) << "100.006";
        QTest::newRow("pulse with a fraction") << int(Col::ColPulse) << "100.5";
        QTest::newRow("pulse above the stroke") << int(Col::ColPulse) << "6668";
        QTest::newRow("pulse negative") << int(Col::ColPulse) << "-1";
    }
    void invalidValueEmptiesCellsAndBeeps()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        Fixture f(6, true);
        f.enter(2, Col::ColVel, QStringLiteral("5"));
        f.enter(2, Col::ColAcc, QStringLiteral("2"));
        f.enter(2, Col::ColMm, QStringLiteral("15"));
        QCOMPARE(f.cell(2, Col::ColPulse), QStringLiteral("   1000"));

        f.enter(2, column, typed);
        QCOMPARE(f.beeps.count(), 1);
        QCOMPARE(f.cell(2, column), QString());
        const bool position = column == Col::ColMm || column == Col::ColPulse;
        // mm and pulses go together; speed and acceleration stand alone.
        QCOMPARE(f.cell(2, Col::ColMm).isEmpty(), position);
        QCOMPARE(f.cell(2, Col::ColPulse).isEmpty(), position);
        QCOMPARE(f.cell(2, Col::ColVel).isEmpty(), column == Col::ColVel);
    }

    void valueIsConvertedAndShown_data()
    {
        QTest::addColumn<int>("lead");
        QTest::addColumn<bool>("roundUp");
        QTest::addColumn<bool>("viaOptionButton");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("mm");
        QTest::addColumn<QString>("pulses");
        // Lead 4: 0.01 mm a pulse. The typed text is cut to three decimals
        // before it is moved onto a pulse.
        QTest::newRow("cut, up") << 4 << true << false << int(Col::ColMm) << "12.34567" << " 12.350" << "   1235";
        QTest::newRow("cut, down") << 4 << false << true << int(Col::ColMm) << "12.34567" << " 12.340" << "   1234";
        QTest::newRow("0.015 up") << 4 << true << false << int(Col::ColMm) << "0.015" << "  0.020" << "      2";
        QTest::newRow("0.015 down") << 4 << false << false << int(Col::ColMm) << "0.015" << "  0.010" << "      1";
        QTest::newRow("10.005 up") << 4 << true << true << int(Col::ColMm) << "10.005" << " 10.010" << "   1001";
        QTest::newRow("10.005 down") << 4 << false << true << int(Col::ColMm) << "10.005" << " 10.000" << "   1000";
        QTest::newRow("1.005 up") << 4 << true << false << int(Col::ColMm) << "1.005" << "  1.000" << "    100";
        // Lead 6: the largest position is 6667 pulses = 100.005 mm.
        QTest::newRow("largest mm") << 6 << true << false << int(Col::ColMm) << "100.005" << "100.005" << "   6667";
        QTest::newRow("largest pulse") << 6 << true << false << int(Col::ColPulse) << "6667" << "100.005" << "   6667";
        QTest::newRow("pulse to mm") << 6 << true << false << int(Col::ColPulse) << "1" << "  0.015" << "      1";
    }
    void valueIsConvertedAndShown()
    {
        QFETCH(int, lead);
        QFETCH(bool, roundUp);
        QFETCH(bool, viaOptionButton);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, mm);
        QFETCH(QString, pulses);
        // The rounding starts from the stored choice; the option buttons
        // change it for the rest of the run.
        Fixture f(lead, true, viaOptionButton ? !roundUp : roundUp);
        if (viaOptionButton)
            f.grid.setRoundUp(roundUp);

        f.enter(3, column, typed);
        QCOMPARE(f.cell(3, Col::ColMm), mm);
        QCOMPARE(f.cell(3, Col::ColPulse), pulses);
        QCOMPARE(f.data.PosiDataArray.number(3, PosPulse), pulses.trimmed().toDouble());
        QCOMPARE(f.beeps.count(), 0);
    }

    void enterMovesOn_data()
    {
        QTest::addColumn<bool>("pulseShown");
        QTest::addColumn<bool>("inBox");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("toRow");
        QTest::addColumn<int>("toColumn");
        QTest::newRow("grid: mm to comment, pulses hidden") << false << false << 1 << 3 << 1 << 5;
        QTest::newRow("grid: mm to pulses, pulses shown") << true << false << 1 << 3 << 1 << 4;
        QTest::newRow("grid: VEL to ACC") << false << false << 2 << 1 << 2 << 2;
        QTest::newRow("grid: comment of row 3 to row 1") << false << false << 3 << 5 << 1 << 1;
        QTest::newRow("grid: No. stays") << false << false << 2 << 0 << 2 << 0;
        QTest::newRow("box: mm to comment, pulses hidden") << false << true << 1 << 3 << 1 << 5;
        QTest::newRow("box: mm to comment, pulses shown") << true << true << 1 << 3 << 1 << 5;
        QTest::newRow("box: pulses to comment") << true << true << 2 << 4 << 2 << 5;
        QTest::newRow("box: comment to next row") << false << true << 1 << 5 << 2 << 1;
        QTest::newRow("box: comment of row 3 to row 1") << false << true << 3 << 5 << 1 << 1;
    }
    void enterMovesOn()
    {
        QFETCH(bool, pulseShown);
        QFETCH(bool, inBox);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, toRow);
        QFETCH(int, toColumn);
        Fixture f(4, pulseShown);
        if (inBox) {
            f.enter(row, column, QStringLiteral("1"));
        } else {
            f.grid.setCurrentCell(row, column);
            QTest::keyClick(&f.grid, Qt::Key_Return);
            QVERIFY(!f.box()->isVisible());
        }
        QCOMPARE(f.grid.currentRow(), toRow);
        QCOMPARE(f.grid.currentColumn(), toColumn);
    }

    void commentKeepsToWhatItsFileCanHold_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("trimmed") << "  near home  " << "near home";
        QTest::newRow("double quote left out") << "a\"b" << "ab";
        QTest::newRow("at most 20 characters") << "abcdefghijklmnopqrstuvwxyz" << "abcdefghijklmnopqrst";
    }
    void commentKeepsToWhatItsFileCanHold()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Fixture f(4, false);
        f.enter(1, Col::ColComment, typed);
        QCOMPARE(f.cell(1, Col::ColComment), stored);
    }

    void numberColumnIsNotEdited()
    {
        Fixture f(4, false);
        f.grid.setCurrentCell(2, Col::ColNo);
        QTest::mouseDClick(f.grid.viewport(), Qt::LeftButton, {},
                           f.grid.visualItemRect(f.grid.item(2, Col::ColNo)).center());
        QVERIFY(f.box()->isVisible());
        QCOMPARE(f.box()->text(), QStringLiteral("2"));
        QTest::keyClicks(f.box(), QStringLiteral("9"));
        QTest::keyClick(f.box(), Qt::Key_Return);
        QCOMPARE(f.cell(2, Col::ColNo), QStringLiteral("2"));
        QVERIFY(f.data.gDataChanged);
    }

    void clickingAnotherCellStoresTheEdit()
    {
        Fixture f(4, false);
        f.type(1, Col::ColVel, QStringLiteral("7"));
        QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {},
                          f.grid.visualItemRect(f.grid.item(3, Col::ColAcc)).center());
        QVERIFY(!f.box()->isVisible());
        QCOMPARE(f.cell(1, Col::ColVel), QStringLiteral("7"));
        QCOMPARE(f.cell(3, Col::ColAcc), QString());
        QCOMPARE(f.grid.currentRow(), 3);
        QCOMPARE(f.grid.currentColumn(), int(Col::ColAcc));
    }

    void escapeKeepsTheCell()
    {
        Fixture f(4, false);
        f.enter(2, Col::ColVel, QStringLiteral("5"));
        f.data.gDataChanged = false;
        f.type(2, Col::ColVel, QStringLiteral("8"));
        QTest::keyClick(f.box(), Qt::Key_Escape);
        QVERIFY(!f.box()->isVisible());
        QCOMPARE(f.cell(2, Col::ColVel), QStringLiteral("5"));
        QVERIFY(!f.data.gDataChanged);
        QCOMPARE(f.grid.currentRow(), 2);
        QCOMPARE(f.grid.currentColumn(), int(Col::ColVel));
    }

    void arrowCommitsAndMoves_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("pulseShown");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("toRow");
        QTest::addColumn<int>("toColumn");
        QTest::newRow("up wraps from row 1") << int(Qt::Key_Up) << false << 1 << 1 << 3 << 1;
        QTest::newRow("up") << int(Qt::Key_Up) << false << 3 << 2 << 2 << 2;
        QTest::newRow("down wraps from row 3") << int(Qt::Key_Down) << false << 3 << 1 << 1 << 1;
        QTest::newRow("right") << int(Qt::Key_Right) << false << 2 << 1 << 2 << 2;
        QTest::newRow("right from comment") << int(Qt::Key_Right) << false << 2 << 5 << 2 << 1;
        QTest::newRow("right over hidden pulses") << int(Qt::Key_Right) << false << 2 << 3 << 2 << 5;
        QTest::newRow("right to shown pulses") << int(Qt::Key_Right) << true << 2 << 3 << 2 << 4;
    }
    void arrowCommitsAndMoves()
    {
        QFETCH(int, key);
        QFETCH(bool, pulseShown);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, toRow);
        QFETCH(int, toColumn);
        Fixture f(4, pulseShown);
        f.type(row, column, QStringLiteral("2"));
        QTest::keyClick(f.box(), Qt::Key(key));
        QVERIFY(!f.box()->isVisible());
        QVERIFY(!f.cell(row, column).trimmed().isEmpty()); // committed, not dropped
        QCOMPARE(f.cell(row, column).trimmed().left(1), QStringLiteral("2"));
        QCOMPARE(f.grid.currentRow(), toRow);
        QCOMPARE(f.grid.currentColumn(), toColumn);
    }

    void selectionIsFilled_data()
    {
        QTest::addColumn<int>("prefillColumn");    // 7 typed into every row first (0: none)
        QTest::addColumn<QList<int>>("selection"); // top, left, bottom, right
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("column1");
        QTest::addColumn<QStringList>("column2");
        QTest::addColumn<QStringList>("mm");
        QTest::addColumn<QStringList>("pulses");
        QTest::addColumn<int>("beeps");
        const QStringList none{"", "", ""};
        QTest::newRow("VEL in three rows")
            << 0 << QList<int>{1, 1, 3, 1} << "5" << QStringList{"5", "5", "5"} << none << none << none << 0;
        QTest::newRow("VEL and ACC selected: VEL only, with a beep")
            << 0 << QList<int>{1, 1, 2, 2} << "3" << QStringList{"3", "3", ""} << none << none << none << 1;
        QTest::newRow("mm in three rows")
            << 0 << QList<int>{1, 3, 3, 3} << "2" << none << none << QStringList{"  2.000", "  2.000", "  2.000"}
            << QStringList{"    200", "    200", "    200"} << 0;
        QTest::newRow("invalid VEL empties the current cell only")
            << int(Col::ColVel) << QList<int>{2, 1, 3, 1} << "0" << QStringList{"7", "", "7"} << none << none << none << 1;
        QTest::newRow("invalid pulses over rows: silently")
            << int(Col::ColMm) << QList<int>{1, 4, 2, 4} << "-9" << none << none << QStringList{"", "", "  7.000"}
            << QStringList{"", "", "    700"} << 0;
    }
    void selectionIsFilled()
    {
        QFETCH(int, prefillColumn);
        QFETCH(QList<int>, selection);
        QFETCH(QString, typed);
        QFETCH(QStringList, column1);
        QFETCH(QStringList, column2);
        QFETCH(QStringList, mm);
        QFETCH(QStringList, pulses);
        QFETCH(int, beeps);
        Fixture f(4, true);
        if (prefillColumn != 0) {
            for (int r = 1; r <= 3; ++r)
                f.enter(r, prefillColumn, QStringLiteral("7"));
        }
        f.beeps.clear();

        f.grid.setCurrentCell(selection[0], selection[1]);
        f.grid.setRangeSelected(QTableWidgetSelectionRange(selection[0], selection[1], selection[2], selection[3]),
                                true);
        QTest::keyClicks(&f.grid, typed.left(1));
        QTest::keyClicks(f.box(), typed.mid(1));
        QTest::keyClick(f.box(), Qt::Key_Return);

        for (int r = 1; r <= 3; ++r) {
            QCOMPARE(f.cell(r, Col::ColVel), column1[r - 1]);
            QCOMPARE(f.cell(r, Col::ColAcc), column2[r - 1]);
            QCOMPARE(f.cell(r, Col::ColMm), mm[r - 1]);
            QCOMPARE(f.cell(r, Col::ColPulse), pulses[r - 1]);
        }
        if (selection[1] == Col::ColMm)
            for (int r = selection[0]; r <= selection[2]; ++r)
                QCOMPARE(f.data.PosiDataArray.number(r, PosPulse), pulses[r - 1].trimmed().toDouble());
        QCOMPARE(f.beeps.count(), beeps);
    }

    void takeOverReadsTheGrid()
    {
        Fixture f(6, false);
        const QStringList row1{"1", "9", "3", "100.005", "", "first"};
        const QStringList row3{"3", "1", "1", "  0.015", "", ""};
        for (int c = 1; c <= 5; ++c) {
            f.grid.setCellText(1, c, row1[c]);
            f.grid.setCellText(3, c, row3[c]);
        }
        f.data.gErrPos[2] = true; // position 2 failed a check: left alone
        f.data.PosiDataArray.at(2, PosVel) = QVariant::fromValue<int16_t>(4);

        QCOMPARE(f.grid.PosiDataTorikomi(), 0);
        const PositionTable &t = f.data.PosiDataArray;
        QCOMPARE(t.number(1, PosVel), 9.0);
        QCOMPARE(t.number(1, PosAcc), 3.0);
        QCOMPARE(t.number(1, PosOut), 0.0);
        QCOMPARE(t.text(1, PosMm), QStringLiteral("100.005"));
        QCOMPARE(t.number(1, PosPulse), 6667.0);
        QCOMPARE(t.text(1, PosComment), QStringLiteral("first"));
        QCOMPARE(t.number(3, PosPulse), 1.0);
        QCOMPARE(t.number(2, PosVel), 4.0);
    }

    void takeOverFailsWholeOnText()
    {
        Fixture f(6, false);
        for (int r = 1; r <= 3; ++r) {
            f.grid.setCellText(r, Col::ColVel, QStringLiteral("2"));
            f.grid.setCellText(r, Col::ColAcc, QStringLiteral("2"));
            f.grid.setCellText(r, Col::ColMm, QStringLiteral("  1.000"));
        }
        f.grid.setCellText(3, Col::ColAcc, QStringLiteral("a"));
        const PositionTable before = f.data.PosiDataArray;
        QCOMPARE(f.grid.PosiDataTorikomi(), 1);
        QVERIFY(f.data.PosiDataArray == before);
    }

    void displayShowsTheTable_data()
    {
        QTest::addColumn<bool>("pulseShown");
        QTest::newRow("pulses hidden") << false;
        QTest::newRow("pulses shown") << true;
    }
    void displayShowsTheTable()
    {
        QFETCH(bool, pulseShown);
        Fixture f(6, pulseShown);
        InitPosiData(f.data, f.state);
        f.data.PosiDataArray.at(2, PosVel) = QVariant::fromValue<int16_t>(8);
        f.data.PosiDataArray.at(2, PosPulse) = QVariant::fromValue<int32_t>(6667);
        f.data.PosiDataArray.at(2, PosComment) = QStringLiteral("far end");
        RecalcMmFromPulse(f.data, f.state);
        f.data.gDataChanged = true;

        f.grid.Disp_PosiData3();
        QCOMPARE(f.cell(2, Col::ColVel), QStringLiteral("8"));
        QCOMPARE(f.cell(2, Col::ColAcc), QStringLiteral("3"));
        QCOMPARE(f.cell(2, Col::ColMm), QStringLiteral("100.005"));
        QCOMPARE(f.cell(2, Col::ColPulse), pulseShown ? QStringLiteral("   6667") : QString());
        QCOMPARE(f.cell(2, Col::ColComment), QStringLiteral("far end"));
        QCOMPARE(f.grid.isColumnHidden(Col::ColPulse), !pulseShown);
        QVERIFY(!f.data.gDataChanged);
        // Nothing is being edited until the user picks a cell: typing does nothing.
        QCOMPARE(f.grid.currentRow(), 0);
        QTest::keyClick(&f.grid, '5');
        QVERIFY(!f.box()->isVisible());
    }

    void mmColumnFollowsANewLead()
    {
        Fixture f(6, true);
        f.enter(1, Col::ColPulse, QStringLiteral("400"));
        QCOMPARE(f.cell(1, Col::ColMm), QStringLiteral("  6.000"));
        f.state.gDevLead = 2;
        f.grid.RefreshMmColumn();
        QCOMPARE(f.cell(1, Col::ColMm), QStringLiteral("  2.000"));
        f.data.PosiDataArray.at(2, PosPulse) = 200000; // 1000 mm: does not fit the cell
        f.grid.RefreshMmColumn();
        QCOMPARE(f.cell(2, Col::ColMm), QString());
    }
};

KTED_TEST_MAIN(TestGrid)
#include "tst_grid.moc"
