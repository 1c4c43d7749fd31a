#include "app/appstate.h"
#include "common/numbers.h"
#include "position/conversions.h"
#include "position/positiondata.h"
#include "position/positiongrid.h"
#include "testenv.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

using Col = PositionGrid::Column;

// A model of stroke 100 mm with its limits worked out.
AppState model(int lead, int ppr)
{
    AppState s;
    s.gDevStroke = 100;
    s.gDevLead = static_cast<int16_t>(lead);
    s.gDevPPR = static_cast<int16_t>(ppr);
    Culc_MaxPulse(s);
    Culc_MaxMm(s);
    return s;
}

// A grid on the screen for a stroke-100 model of 400 pulses, with the
// tables it works on.
struct Fixture
{
    AppState state;
    PositionData data;
    PositionGrid grid;
    QSignalSpy beeps{&grid, &PositionGrid::beeped};

    Fixture(int lead, bool pulseShown, bool roundUp = true)
    {
        state = model(lead, 400);
        state.gPulsePosDisp = pulseShown;
        state.gMmRoundUp = roundUp;
        grid.attach(state, data);
        grid.resize(640, 160);
        grid.show();
        QApplication::setActiveWindow(&grid);
    }

    QLineEdit *box() const { return grid.txtEdit(); }
    QString cell(int row, int column) const { return grid.cellText(row, column); }
    // The cells of a row from VEL to the comment.
    QString row(int r) const
    {
        QStringList cells;
        for (int c = Col::ColVel; c <= Col::ColComment; ++c)
            cells << cell(r, c);
        return cells.join(u'|');
    }

    // As the user types: the first key on the grid opens the edit box, the
    // rest goes into the box; Enter stores it.
    void typeHere(const QString &text)
    {
        QTest::keyClicks(&grid, text.left(1));
        QTest::keyClicks(box(), text.mid(1));
    }
    void enter(int row, int column, const QString &text)
    {
        grid.setCurrentCell(row, column);
        typeHere(text);
        QTest::keyClick(box(), Qt::Key_Return);
    }
};

} // namespace

class TestGrid : public QObject
{
    Q_OBJECT
private slots:
    // Stroke 100 mm: the largest position and the pulse scale shown in the
    // status bar.
    void limits_data()
    {
        QTest::addColumn<int>("lead");
        QTest::addColumn<int>("ppr");
        QTest::addColumn<int>("maxPulse");
        QTest::addColumn<QString>("maxMm");
        QTest::addColumn<QString>("perMm");
        QTest::addColumn<QString>("perPulse");
        QTest::newRow("raised to the next pulse") << 6 << 400 << 6667 << "100.005" << "1mm = 66.667Pulse"
                                                  << "1Pulse= 0.015mm";
        QTest::newRow("a whole value stays") << 10 << 400 << 4000 << "100.000" << "1mm = 40Pulse" << "1Pulse= 0.025mm";
        QTest::newRow("192 pulses") << 12 << 192 << 1600 << "100.000" << "1mm = 16Pulse" << "1Pulse= 0.063mm";
    }
    void limits()
    {
        QFETCH(int, lead);
        QFETCH(int, ppr);
        QFETCH(int, maxPulse);
        QFETCH(QString, maxMm);
        QFETCH(QString, perMm);
        QFETCH(QString, perPulse);
        const AppState s = model(lead, ppr);
        QCOMPARE(s.gMaxPulse, maxPulse);
        QCOMPARE(FormatFixed3(s.gMaxMm), maxMm);
        QVERIFY(s.gMaxMm <= PulseToMm(s, s.gMaxPulse));
        SetLangOffset(10000);
        const PulseScaleTexts texts = ShowPulseScale(s);
        QCOMPARE(texts.perMm, perMm);
        QCOMPARE(texts.perPulse, perPulse);
    }

    // Row 2 holds VEL 5 and 15 mm when a value is typed into one of its
    // cells. A refused value beeps once and empties its cell: mm and pulses
    // go together, the speed stands alone.
    void enteredValue_data()
    {
        QTest::addColumn<int>("lead");
        QTest::addColumn<QString>("rounding"); // the stored choice, or an option button's
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("cells"); // the row afterwards, VEL to comment
        const int vel = Col::ColVel;
        const int mm = Col::ColMm;
        const int pulse = Col::ColPulse;
        const int comment = Col::ColComment;
        // Lead 6: at most 6667 pulses, 100.005 mm.
        QTest::newRow("VEL 10") << 6 << "up" << vel << "10" << "|| 15.000|   1000|";
        QTest::newRow("VEL 0") << 6 << "up" << vel << "0" << "|| 15.000|   1000|";
        QTest::newRow("VEL not a number") << 6 << "up" << vel << "x" << "|| 15.000|   1000|";
        QTest::newRow("ACC 4") << 6 << "up" << int(Col::ColAcc) << "4" << "5|| 15.000|   1000|";
        QTest::newRow("mm negative") << 6 << "up" << mm << "-1" << "5||||";
        QTest::newRow("mm beyond the stroke") << 6 << "up" << mm << "100.006" << "5||||";
        QTest::newRow("pulse with a fraction") << 6 << "up" << pulse << "100.5" << "5||||";
        QTest::newRow("pulse one beyond the largest") << 6 << "up" << pulse << "6668" << "5||||";
        QTest::newRow("largest mm") << 6 << "up" << mm << "100.005" << "5||100.005|   6667|";
        QTest::newRow("largest pulse") << 6 << "up" << pulse << "6667" << "5||100.005|   6667|";
        // Lead 4: 0.01 mm a pulse; the text is cut to three decimals first.
        QTest::newRow("cut, up") << 4 << "up" << mm << "12.34567" << "5|| 12.350|   1235|";
        QTest::newRow("cut, down button") << 4 << "button down" << mm << "12.34567" << "5|| 12.340|   1234|";
        QTest::newRow("0.015 up") << 4 << "up" << mm << "0.015" << "5||  0.020|      2|";
        QTest::newRow("0.015 down") << 4 << "down" << mm << "0.015" << "5||  0.010|      1|";
        QTest::newRow("10.125 up") << 4 << "up" << mm << "10.125" << "5|| 10.130|   1013|";
        QTest::newRow("10.125 down") << 4 << "down" << mm << "10.125" << "5|| 10.120|   1012|";
        QTest::newRow("1.006 down") << 4 << "down" << mm << "1.006" << "5||  1.010|    101|";
        QTest::newRow("1.004 up") << 4 << "up" << mm << "1.004" << "5||  1.000|    100|";
        // Half a pulse only at four decimals: q = 100.49999999999999 stays
        // below the upper pulse; q = 1000.5000000000001 is a half both ways.
        QTest::newRow("1.005 up") << 4 << "up" << mm << "1.005" << "5||  1.000|    100|";
        QTest::newRow("10.005 up button") << 4 << "button up" << mm << "10.005" << "5|| 10.010|   1001|";
        QTest::newRow("10.005 down") << 4 << "down" << mm << "10.005" << "5|| 10.000|   1000|";
        // The comment keeps to what its file can hold.
        QTest::newRow("comment trimmed") << 4 << "up" << comment << "x near home  " << "5|| 15.000|   1500|x near home";
        QTest::newRow("comment without double quotes") << 4 << "up" << comment << "a\"b" << "5|| 15.000|   1500|ab";
        QTest::newRow("comment of at most 20 characters")
            << 4 << "up" << comment << "abcdefghijklmnopqrstuvwxyz" << "5|| 15.000|   1500|abcdefghijklmnopqrst";
    }
    void enteredValue()
    {
        QFETCH(int, lead);
        QFETCH(QString, rounding);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, cells);
        const bool up = rounding.endsWith(QLatin1String("up"));
        const bool button = rounding.startsWith(QLatin1String("button"));
        Fixture f(lead, true, button ? !up : up);
        if (button)
            f.grid.setRoundUp(up);
        f.enter(2, Col::ColVel, QStringLiteral("5"));
        f.enter(2, Col::ColMm, QStringLiteral("15"));
        f.enter(2, column, typed);
        QCOMPARE(f.row(2), cells);
        QCOMPARE(f.beeps.count(), f.cell(2, column).isEmpty() ? 1 : 0);
        if (!f.cell(2, column).isEmpty())
            QCOMPARE(f.data.PosiDataArray.number(2, PosPulse), f.cell(2, Col::ColPulse).toDouble());
    }

    // VEL 5 in every row first. Typing opens the edit box over the cell;
    // a key that leaves the box, or a click elsewhere (key 0), stores it.
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
        QTest::newRow("box Escape keeps the cell") << false << true << int(Qt::Key_Escape) << QPoint(1, 2) << QPoint(1, 2);
        QTest::newRow("click on another cell") << false << true << 0 << QPoint(1, 1) << QPoint(2, 3);
    }
    void keysMoveTheCurrentCell()
    {
        QFETCH(bool, pulseShown);
        QFETCH(bool, inBox);
        QFETCH(int, key);
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        Fixture f(4, pulseShown);
        for (int r = 1; r <= 3; ++r)
            f.grid.setCellText(r, Col::ColVel, QStringLiteral("5"));
        f.data.gDataChanged = false;
        const QString before = f.cell(from.y(), from.x());
        const QString target = f.cell(to.y(), to.x());
        f.grid.setCurrentCell(from.y(), from.x());
        if (inBox) {
            f.typeHere(QStringLiteral("1"));
            QVERIFY(f.box()->isVisible());
            QCOMPARE(f.box()->text(), QStringLiteral("1"));
            QCOMPARE(f.box()->geometry(), f.grid.visualItemRect(f.grid.item(from.y(), from.x())));
        }
        if (key)
            QTest::keyClick(inBox ? static_cast<QWidget *>(f.box()) : &f.grid, Qt::Key(key));
        else
            QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {},
                              f.grid.visualItemRect(f.grid.item(to.y(), to.x())).center());
        QVERIFY(!f.box()->isVisible());
        QCOMPARE(QPoint(f.grid.currentColumn(), f.grid.currentRow()), to);
        // Stored on the way unless escaped; the No. column keeps its number.
        const bool stored = inBox && key != Qt::Key_Escape;
        QCOMPARE(f.cell(from.y(), from.x()).trimmed().left(1),
                 stored && from.x() != Col::ColNo ? QStringLiteral("1") : before.trimmed().left(1));
        if (to != from)
            QCOMPARE(f.cell(to.y(), to.x()), target);
        QCOMPARE(f.data.gDataChanged, stored);
        QCOMPARE(f.beeps.count(), 0);
    }

    void selectionIsFilled_data()
    {
        QTest::addColumn<int>("prefillColumn"); // 7 entered in every row first; 0: none
        QTest::addColumn<QRect>("selection");   // columns as x, rows as y
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");     // rows 1..3, VEL to comment
        QTest::addColumn<int>("beeps");
        QTest::newRow("VEL in three rows") << 0 << QRect(1, 1, 1, 3) << "5" << "5||||/5||||/5||||" << 0;
        QTest::newRow("VEL and ACC selected: VEL only, beep")
            << 0 << QRect(1, 1, 2, 2) << "3" << "3||||/3||||/||||" << 1;
        QTest::newRow("mm in three rows")
            << 0 << QRect(3, 1, 1, 3) << "2" << "||  2.000|    200|/||  2.000|    200|/||  2.000|    200|" << 0;
        QTest::newRow("invalid VEL: current cell only") << 1 << QRect(1, 2, 1, 2) << "0" << "7||||/||||/7||||" << 1;
        QTest::newRow("invalid pulses over rows: no beep")
            << 3 << QRect(4, 1, 1, 2) << "-9" << "||||/||||/||  7.000|    700|" << 0;
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
        QCOMPARE(QStringList({f.row(1), f.row(2), f.row(3)}).join(u'/'), after);
        QCOMPARE(f.beeps.count(), beeps);
        if (selection.left() == Col::ColMm)
            for (int r = 1; r <= 3; ++r)
                QCOMPARE(f.data.PosiDataArray.number(r, PosPulse), 200.0);
    }

    // Lead 4 mm, 400 pulses: 0.01 mm a pulse. The table is taken over
    // whole or not at all, a position that failed a check is skipped, and a
    // millimetre value halfway between two pulses goes to the even one.
    void takeOverIsAllOrNothing()
    {
        Fixture f(4, false);
        const QStringList mm{"  0.005", "  0.015", "  1.000"};
        for (int r = 1; r <= 3; ++r) {
            f.grid.setCellText(r, Col::ColVel, QStringLiteral("2"));
            f.grid.setCellText(r, Col::ColAcc, r == 3 ? QStringLiteral("a") : QStringLiteral("1"));
            f.grid.setCellText(r, Col::ColMm, mm[r - 1]);
        }
        const PositionTable before = f.data.PosiDataArray;
        QCOMPARE(f.grid.PosiDataTorikomi(), 1);
        QVERIFY(f.data.PosiDataArray == before);
        f.data.gErrPos[3] = true;
        QCOMPARE(f.grid.PosiDataTorikomi(), 0);
        QCOMPARE(f.data.PosiDataArray.number(1, PosPulse), 0.0); // not 1
        QCOMPARE(f.data.PosiDataArray.number(2, PosPulse), 2.0);
    }
};

KTED_TEST_MAIN(TestGrid)
#include "tst_grid.moc"
