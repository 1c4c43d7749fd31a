#include "app/appstate.h"
#include "position/conversions.h"
#include "position/positiondata.h"
#include "position/positiongrid.h"
#include "testenv.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

using Col = PositionGrid::Column;

// A grid on the screen for a stroke-100 model, with the tables it works on.
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
    QString cell(int row, int column) const { return grid.cellText(row, column); }

    // As the user types: the first key on the grid opens the edit box, the
    // rest goes into the box.
    void type(int row, int column, const QString &text)
    {
        grid.setCurrentCell(row, column);
        typeHere(text);
    }
    void typeHere(const QString &text)
    {
        QTest::keyClicks(&grid, text.left(1));
        QTest::keyClicks(box(), text.mid(1));
    }
    void enter(int row, int column, const QString &text)
    {
        type(row, column, text);
        QTest::keyClick(box(), Qt::Key_Return);
    }
};

} // namespace

class TestGrid : public QObject
{
    Q_OBJECT
private slots:
    void typedSevenOnVelIsStoredByEnter()
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
        QTest::newRow("mm negative") << int(Col::ColMm) << "-1";
        QTest::newRow("mm beyond the stroke") << int(Col::ColMm) << "100.006";
        QTest::newRow("pulse with a fraction") << int(Col::ColPulse) << "100.5";
        QTest::newRow("pulse one beyond the largest") << int(Col::ColPulse) << "6668";
    }
    void invalidValueEmptiesCellsAndBeeps()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        Fixture f(6, true);
        f.enter(2, Col::ColVel, QStringLiteral("5"));
        f.enter(2, Col::ColMm, QStringLiteral("15"));
        f.enter(2, column, typed);
        QCOMPARE(f.beeps.count(), 1);
        // mm and pulses go together; the speed stands alone.
        const bool position = column == Col::ColMm || column == Col::ColPulse;
        QCOMPARE(f.cell(2, column), QString());
        QCOMPARE(f.cell(2, Col::ColMm).isEmpty(), position);
        QCOMPARE(f.cell(2, Col::ColPulse).isEmpty(), position);
        QCOMPARE(f.cell(2, Col::ColVel).isEmpty(), column == Col::ColVel);
    }

    void valueIsConvertedAndShown_data()
    {
        QTest::addColumn<int>("lead");
        QTest::addColumn<QString>("rounding"); // the stored choice, or an option button's
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("mm");
        QTest::addColumn<QString>("pulses");
        // Lead 4: 0.01 mm a pulse; the text is cut to three decimals first.
        QTest::newRow("cut, up") << 4 << "up" << int(Col::ColMm) << "12.34567" << " 12.350" << "   1235";
        QTest::newRow("cut, down button") << 4 << "button down" << int(Col::ColMm) << "12.34567" << " 12.340"
                                          << "   1234";
        QTest::newRow("0.015 up") << 4 << "up" << int(Col::ColMm) << "0.015" << "  0.020" << "      2";
        QTest::newRow("0.015 down") << 4 << "down" << int(Col::ColMm) << "0.015" << "  0.010" << "      1";
        QTest::newRow("10.125 up") << 4 << "up" << int(Col::ColMm) << "10.125" << " 10.130" << "   1013";
        QTest::newRow("10.125 down") << 4 << "down" << int(Col::ColMm) << "10.125" << " 10.120" << "   1012";
        QTest::newRow("1.006 down") << 4 << "down" << int(Col::ColMm) << "1.006" << "  1.010" << "    101";
        QTest::newRow("1.004 up") << 4 << "up" << int(Col::ColMm) << "1.004" << "  1.000" << "    100";
        // Half a pulse only at four decimals: q = 100.49999999999999 stays
        // below the upper pulse; q = 1000.5000000000001 is a half both ways.
        QTest::newRow("1.005 up") << 4 << "up" << int(Col::ColMm) << "1.005" << "  1.000" << "    100";
        QTest::newRow("10.005 up button") << 4 << "button up" << int(Col::ColMm) << "10.005" << " 10.010"
                                          << "   1001";
        QTest::newRow("10.005 down") << 4 << "down" << int(Col::ColMm) << "10.005" << " 10.000" << "   1000";
        // Lead 6: the largest position is 6667 pulses = 100.005 mm.
        QTest::newRow("largest mm") << 6 << "up" << int(Col::ColMm) << "100.005" << "100.005" << "   6667";
        QTest::newRow("largest pulse") << 6 << "up" << int(Col::ColPulse) << "6667" << "100.005" << "   6667";
    }
    void valueIsConvertedAndShown()
    {
        QFETCH(int, lead);
        QFETCH(QString, rounding);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, mm);
        QFETCH(QString, pulses);
        const bool up = rounding.endsWith(QLatin1String("up"));
        const bool button = rounding.startsWith(QLatin1String("button"));
        Fixture f(lead, true, button ? !up : up);
        if (button)
            f.grid.setRoundUp(up);
        f.enter(3, column, typed);
        QCOMPARE(f.cell(3, Col::ColMm), mm);
        QCOMPARE(f.cell(3, Col::ColPulse), pulses);
        QCOMPARE(f.data.PosiDataArray.number(3, PosPulse), pulses.toDouble());
        QCOMPARE(f.beeps.count(), 0);
    }

    void keysMoveTheCurrentCell_data()
    {
        QTest::addColumn<bool>("pulseShown");
        QTest::addColumn<bool>("inBox"); // "1" typed into the box first
        QTest::addColumn<int>("key");
        QTest::addColumn<QPoint>("from"); // (column, row)
        QTest::addColumn<QPoint>("to");
        const int enter = Qt::Key_Return;
        QTest::newRow("grid Enter: mm to comment, pulses hidden") << false << false << enter << QPoint(3, 1) << QPoint(5, 1);
        QTest::newRow("grid Enter: mm to pulses, shown") << true << false << enter << QPoint(3, 1) << QPoint(4, 1);
        QTest::newRow("grid Enter: row 3 comment to row 1") << false << false << enter << QPoint(5, 3) << QPoint(1, 1);
        QTest::newRow("grid Enter: No. stays") << false << false << enter << QPoint(0, 2) << QPoint(0, 2);
        QTest::newRow("box Enter: mm to comment, shown") << true << true << enter << QPoint(3, 1) << QPoint(5, 1);
        QTest::newRow("box Enter: VEL to ACC") << false << true << enter << QPoint(1, 2) << QPoint(2, 2);
        QTest::newRow("box Enter: row 3 comment to row 1") << false << true << enter << QPoint(5, 3) << QPoint(1, 1);
        QTest::newRow("box Enter: No. stays") << false << true << enter << QPoint(0, 2) << QPoint(0, 2);
        QTest::newRow("box Up wraps from row 1") << false << true << int(Qt::Key_Up) << QPoint(1, 1) << QPoint(1, 3);
        QTest::newRow("box Down wraps from row 3") << false << true << int(Qt::Key_Down) << QPoint(2, 3) << QPoint(2, 1);
        QTest::newRow("box Right from comment") << false << true << int(Qt::Key_Right) << QPoint(5, 2) << QPoint(1, 2);
        QTest::newRow("box Right over hidden pulses") << false << true << int(Qt::Key_Right) << QPoint(3, 2) << QPoint(5, 2);
    }
    void keysMoveTheCurrentCell()
    {
        QFETCH(bool, pulseShown);
        QFETCH(bool, inBox);
        QFETCH(int, key);
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        Fixture f(4, pulseShown);
        f.grid.setCurrentCell(from.y(), from.x());
        if (inBox)
            f.typeHere(QStringLiteral("1"));
        QTest::keyClick(inBox ? static_cast<QWidget *>(f.box()) : &f.grid, Qt::Key(key));
        QVERIFY(!f.box()->isVisible());
        QCOMPARE(QPoint(f.grid.currentColumn(), f.grid.currentRow()), to);
        if (inBox) {
            // Committed on the way; the No. column keeps its number.
            const QString expected = from.x() == Col::ColNo ? QString::number(from.y()) : QStringLiteral("1");
            QCOMPARE(f.cell(from.y(), from.x()).trimmed().left(1), expected);
            QVERIFY(f.data.gDataChanged);
        }
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
    }

    void clickOnAnotherCellStoresTheEdit()
    {
        Fixture f(4, false);
        f.type(1, Col::ColVel, QStringLiteral("7"));
        QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {},
                          f.grid.visualItemRect(f.grid.item(3, Col::ColAcc)).center());
        QVERIFY(!f.box()->isVisible());
        QCOMPARE(f.cell(1, Col::ColVel), QStringLiteral("7"));
        QCOMPARE(f.cell(3, Col::ColAcc), QString());
        QCOMPARE(f.grid.currentRow(), 3);
    }

    void selectionIsFilled_data()
    {
        QTest::addColumn<int>("prefillColumn"); // 7 entered in every row first; 0: none
        QTest::addColumn<QRect>("selection");   // columns as x, rows as y
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");     // rows 1..3 of VEL, ACC, mm, pulses
        QTest::addColumn<int>("beeps");
        QTest::newRow("VEL in three rows") << 0 << QRect(1, 1, 1, 3) << "5" << "5,,,|5,,,|5,,," << 0;
        QTest::newRow("VEL and ACC selected: VEL only, beep")
            << 0 << QRect(1, 1, 2, 2) << "3" << "3,,,|3,,,|,,," << 1;
        QTest::newRow("mm in three rows")
            << 0 << QRect(3, 1, 1, 3) << "2" << ",,2.000,200|,,2.000,200|,,2.000,200" << 0;
        QTest::newRow("invalid VEL: current cell only") << 1 << QRect(1, 2, 1, 2) << "0" << "7,,,|,,,|7,,," << 1;
        QTest::newRow("invalid pulses over rows: no beep")
            << 3 << QRect(4, 1, 1, 2) << "-9" << ",,,|,,,|,,7.000,700" << 0;
    }
    void selectionIsFilled()
    {
        QFETCH(int, prefillColumn);
        QFETCH(QRect, selection);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        QFETCH(int, beeps);
        Fixture f(4, true);
        for (int r = 1; prefillColumn && r <= 3; ++r)
            f.enter(r, prefillColumn, QStringLiteral("7"));
        f.beeps.clear();

        f.grid.setCurrentCell(selection.top(), selection.left());
        f.grid.setRangeSelected(QTableWidgetSelectionRange(selection.top(), selection.left(), selection.bottom(),
                                                           selection.right()),
                                true);
        f.typeHere(typed);
        QTest::keyClick(f.box(), Qt::Key_Return);

        QStringList rows;
        for (int r = 1; r <= 3; ++r) {
            QStringList cells;
            for (int c = Col::ColVel; c <= Col::ColPulse; ++c)
                cells << f.cell(r, c).trimmed();
            rows << cells.join(u',');
        }
        QCOMPARE(rows.join(u'|'), after);
        QCOMPARE(f.beeps.count(), beeps);
        if (selection.left() == Col::ColMm)
            for (int r = 1; r <= 3; ++r)
                QCOMPARE(f.data.PosiDataArray.number(r, PosPulse), 200.0);
    }

    void commentKeepsToWhatItsFileCanHold_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("trimmed") << "x near home  " << "x near home";
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

    void takeOverIsAllOrNothing()
    {
        Fixture f(6, false);
        for (int r = 1; r <= 3; ++r) {
            f.grid.setCellText(r, Col::ColVel, QStringLiteral("2"));
            f.grid.setCellText(r, Col::ColAcc, r == 3 ? QStringLiteral("a") : QStringLiteral("1"));
            f.grid.setCellText(r, Col::ColMm, QStringLiteral("  1.000"));
        }
        const PositionTable before = f.data.PosiDataArray;
        QCOMPARE(f.grid.PosiDataTorikomi(), 1);
        QVERIFY(f.data.PosiDataArray == before);
        f.data.gErrPos[3] = true; // a position that failed a check is skipped
        QCOMPARE(f.grid.PosiDataTorikomi(), 0);
        QCOMPARE(f.data.PosiDataArray.number(1, PosPulse), 67.0);
    }

    void mmColumnFollowsANewLead()
    {
        Fixture f(6, true);
        f.enter(1, Col::ColPulse, QStringLiteral("400"));
        QCOMPARE(f.cell(1, Col::ColMm), QStringLiteral("  6.000"));
        f.state.gDevLead = 2;
        f.grid.RefreshMmColumn();
        QCOMPARE(f.cell(1, Col::ColMm), QStringLiteral("  2.000"));
    }
};

KTED_TEST_MAIN(TestGrid)
#include "tst_grid.moc"
