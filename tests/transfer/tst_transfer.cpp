// The position table's transfer with the controller and its verification,
// through a pseudo-terminal to the simulated controller: the lines the
// controller received, the messages the user read, the tables afterwards.

#include "positionrig.h"

#include "position/frmdatashogo.h"

#include <QApplication>
#include <QSignalSpy>
#include <QtTest>

using Answer = Prompter::Answer;

namespace {

const QString kTransmit = QStringLiteral("Data is transmitted to controller,Yes?");
const QString kCompleted = QStringLiteral("Completed data transmit.");
const QString kUnmatched =
    QStringLiteral("Actuator setting by the side of PC and in side of controller unmatched.");
// The actuator read begins with communication mode, as every exchange does.
const QStringList kActuatorLines{"0CM1", "0RD14", "0RD13", "0RD11"};
const QStringList kReadLines{"0CM1", "0RP1", "0RP2", "0RP3", "0RV"};
const QString kE35Block = QStringLiteral("2345003200FFFFFF");
const QString kCtOk = QStringLiteral("Data : indicated and inside of controller\n\nResult of Verification : OK");

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

    std::unique_ptr<PositionRig> m_rig;

private slots:
    void init()
    {
        m_rig = std::make_unique<PositionRig>(QString::fromLatin1(QTest::currentTestFunction()) + u'-'
                                              + QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY2(m_rig->started, qPrintable(m_rig->error));
        QCOMPARE(m_rig->app.gMaxPulse, 20000);
    }

    void cleanup() { m_rig.reset(); }

    void loadToController_data()
    {
        QTest::addColumn<QStringList>("grid");
        QTest::addColumn<QString>("controller"); // "stroke=hex6" or "model=block14"
        QTest::addColumn<bool>("currentDownOff");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("lines");

        const QStringList checked = QStringList{"0CM1", "0RD10"} + kActuatorLines;
        const QStringList good{"1,1,0", "5,3,12.5", "9,2,50"};
        // Position 3 at the model's largest position, which is also the
        // controller's stroke: equal passes both checks.
        const QStringList full{"1,1,0", "5,3,12.5", "9,2,100"};
        const QString otherActuator =
            kUnmatched + "\n\nPosition data may not be written in correctly.\n\nIs writing continued?";
        const QString wrong = QStringLiteral(
            "Wrong data in some Positions!\n\nConfirm the position data indicated below once again.\n\n"
            "< Position No.2>\n\n");

        QTest::newRow("current down as the controller does")
            << full << "" << false << QList<Answer>{Answer::Ok} << QStringList{kTransmit, kCompleted}
            << checked + QStringList{"0WP11102000000", "0WP253020009C4", "0WP39202004E20"};
        QTest::newRow("current down switched off")
            << full << "" << true << QList<Answer>{Answer::Ok} << QStringList{kTransmit, kCompleted}
            << checked + QStringList{"0WP11100000000", "0WP253000009C4", "0WP39200004E20"};
        QTest::newRow("position 2 empty")
            << QStringList{"1,1,0", "", "9,2,50"} << "" << false << QList<Answer>{}
            << QStringList{"No data in some Positions!\n\nConfirm the position data indicated below once again."
                           "\n\n< Position No.2>\n\n"}
            << QStringList{};
        QTest::newRow("VEL 10 is wrong") << QStringList{"1,1,0", "10,3,12.5", "9,2,50"} << "" << false
                                         << QList<Answer>{} << QStringList{wrong} << QStringList{};
        QTest::newRow("transfer cancelled")
            << good << "" << false << QList<Answer>{Answer::Cancel} << QStringList{kTransmit} << QStringList{};
        // 2500 pulses equal the stroke and pass; 2502 does not.
        QTest::newRow("beyond the controller's stroke")
            << QStringList{"1,1,12.5", "5,3,0", "9,2,12.51"} << "stroke=0009C4" << false
            << QList<Answer>{Answer::Ok}
            << QStringList{kTransmit, "Some position data exceed the soft limit in the Parameter(Stroke)\n\n"
                                      "Confirm the position data indicated bellow, and try it again.\n\n"
                                      "< Position No.3,>"}
            << QStringList{"0CM1", "0RD10"};
        QTest::newRow("other actuator, Cancel")
            << good << "model=" + kE35Block << false << QList<Answer>{Answer::Ok, Answer::Cancel}
            << QStringList{kTransmit, otherActuator} << checked;
        QTest::newRow("other actuator, OK writes")
            << good << "model=" + kE35Block << false << QList<Answer>{Answer::Ok, Answer::Ok}
            << QStringList{kTransmit, otherActuator, kCompleted}
            << checked + QStringList{"0WP11102000000", "0WP253020009C4", "0WP39202002710"};
    }

    // Load to controller: the records on the wire; empty, wrong and
    // over-stroke tables are refused before anything is sent, and another
    // actuator is asked about first.
    void loadToController()
    {
        QFETCH(QStringList, grid);
        QFETCH(QString, controller);
        QFETCH(bool, currentDownOff);
        QFETCH(QList<Answer>, answers);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, lines);

        m_rig->fill(grid);
        if (controller.startsWith(QLatin1String("stroke=")))
            m_rig->sim.model().setBlock(QStringLiteral("10"), controller.mid(7) + QStringLiteral("02020202FF"));
        else if (controller.startsWith(QLatin1String("model=")))
            m_rig->sim.model().setBlock(QStringLiteral("14"), controller.mid(6));
        m_rig->transfer.setCurrentDown(currentDownOff, 0);
        QSignalSpy stale(&m_rig->transfer, &PositionTransfer::moveDataStale);
        for (Answer a : answers)
            m_rig->prompter.answer(a);
        m_rig->transfer.LoadToCt();

        QCOMPARE(m_rig->prompter.texts(), messages);
        QCOMPARE(m_rig->lines(), lines);
        QCOMPARE(m_rig->prompter.pendingAnswers(), 0);
        QVERIFY(!m_rig->progress.isVisible());
        QVERIFY(!m_rig->link->isPortOpen());
        QVERIFY(!m_rig->surface.busy);
        const bool written = messages.last() == kCompleted;
        QCOMPARE(stale.count(), written ? 1 : 0);
        if (written) {
            QCOMPARE(m_rig->sim.model().position(2).pulses, 2500u);
            QCOMPARE(m_rig->surface.log, (QStringList{"buttons 0", "toolbar 0", "menus 0", "busy 1", "busy 0",
                                                      "buttons 1", "toolbar 1", "menus 1"}));
        }
    }

    void getFromController_data()
    {
        QTest::addColumn<QStringList>("grid");
        QTest::addColumn<bool>("otherModel");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("read");

        const QStringList empty{"", "", ""};
        QTest::newRow("empty table, same actuator")
            << empty << false << QList<Answer>{Answer::Yes} << kActuatorLines + kReadLines << true;
        QTest::newRow("empty table, No") << empty << false << QList<Answer>{Answer::No} << QStringList{} << false;
        QTest::newRow("edited table, Cancel")
            << QStringList{"1,1,0", "", ""} << false << QList<Answer>{Answer::Cancel} << QStringList{} << false;
        QTest::newRow("edited table, No reads over it")
            << QStringList{"1,1,0", "", ""} << false << QList<Answer>{Answer::No} << kActuatorLines + kReadLines
            << true;
        QTest::newRow("other actuator, Cancel")
            << empty << true << QList<Answer>{Answer::Yes, Answer::Cancel} << kActuatorLines << false;
        QTest::newRow("other actuator, OK takes it")
            << empty << true << QList<Answer>{Answer::Yes, Answer::Ok} << kActuatorLines + kReadLines << true;
    }

    // Get from controller: position 2 read as 001A2B is 6699 pulses; the
    // comments of the file opened last stay.
    void getFromController()
    {
        QFETCH(QStringList, grid);
        QFETCH(bool, otherModel);
        QFETCH(QList<Answer>, answers);
        QFETCH(QStringList, lines);
        QFETCH(bool, read);

        m_rig->fill(grid);
        m_rig->sim.model().setPosition(2, {7, 2, 1, 2, 0x001A2B});
        if (otherModel)
            m_rig->sim.model().setBlock(QStringLiteral("14"), kE35Block);
        m_rig->data.workPosDA.at(2, PosComment) = QStringLiteral("from the last file");
        for (Answer a : answers)
            m_rig->prompter.answer(a);
        m_rig->transfer.GetFromCt();

        QCOMPARE(m_rig->lines(), lines);
        QCOMPARE(m_rig->prompter.pendingAnswers(), 0);
        QVERIFY(!m_rig->link->isPortOpen());
        QCOMPARE(m_rig->app.gDevSize, otherModel && read ? QStringLiteral("E35") : QStringLiteral(" 28"));
        QCOMPARE(m_rig->settings->readText(SettingsKey::DevSize, QString()),
                 otherModel && read ? QStringLiteral("E35") : QString());
        if (!read) {
            QVERIFY(m_rig->data.workPosDA.at(2, PosPulse).isNull());
            return;
        }
        QCOMPARE(m_rig->data.workPosDA.number(2, PosPulse), 6699.0);
        QCOMPARE(m_rig->data.PosiDataArray.number(2, PosVel), 7.0);
        QCOMPARE(m_rig->grid.cellText(2, PositionGrid::ColVel), QStringLiteral("7"));
        QCOMPARE(m_rig->grid.cellText(2, PositionGrid::ColMm), MmCellText(6699 * 2.0 / 400.0));
        QCOMPARE(m_rig->grid.cellText(2, PositionGrid::ColComment), QStringLiteral("from the last file"));
        QCOMPARE(m_rig->files.docName(), QStringLiteral("Inside of C/T"));
    }

    // Verification with the controller or with a file, through the button's
    // dialog or the menu entries; a file whose positions differ from the grid
    // only in their comments verifies as OK.
    void verify_data()
    {
        QTest::addColumn<int>("choice"); // -1, -2: the controller's, the file's menu entry
        QTest::addColumn<QList<uint32_t>>("controller");
        QTest::addColumn<QString>("edit"); // in the grid after the file was saved
        QTest::addColumn<QStringList>("messages");

        const QList<uint32_t> same{0, 2500, 10000};
        const QString file = QStringLiteral("Data : indicated and saved into the file(verify.ktd)\n\n");
        const QString ng = QStringLiteral("Result of Verification : NG.\n\nUnmatched Position No.\n\n");
        QTest::newRow("same") << int(frmDataShogo::Controller) << same << "" << QStringList{kCtOk};
        QTest::newRow("positions 1 and 3 differ")
            << int(frmDataShogo::Controller) << QList<uint32_t>{1, 2500, 9999} << ""
            << QStringList{"Data : indicated and inside of controller\n\n" + ng
                           + "< Position No.1>\n\n< Position No.3>\n\n"};
        QTest::newRow("cancelled") << int(frmDataShogo::None) << same << "" << QStringList{};
        QTest::newRow("menu entry, flags of an earlier write") << -1 << same << "" << QStringList{kCtOk};
        QTest::newRow("file, another comment") << int(frmDataShogo::File) << same << "comment"
                                               << QStringList{file + "Result of Verification : OK"};
        QTest::newRow("file menu entry, another ACC")
            << -2 << same << "acc" << QStringList{file + ng + "< Position No.3>\n\n"};
    }

    void verify()
    {
        QFETCH(int, choice);
        QFETCH(QList<uint32_t>, controller);
        QFETCH(QString, edit);
        QFETCH(QStringList, messages);

        m_rig->fill({"5,3,0", "5,3,12.5", "5,3,50"});
        for (int i = 1; i <= 3; ++i)
            m_rig->sim.model().setPosition(i, {5, 3, 0, 2, controller.value(i - 1)});
        if (choice == frmDataShogo::File || choice == -2) {
            const QString path = QDir(TestScratchDir()).filePath(QStringLiteral("verify.ktd"));
            QCOMPARE(m_rig->grid.PosiDataTorikomi(), 0); // a save writes the table taken over
            QVERIFY(m_rig->files.SaveFileAs(path));
            m_rig->dialogs.choose(path);
        }
        if (edit == QLatin1String("comment"))
            m_rig->grid.setCellText(2, PositionGrid::ColComment, QStringLiteral("changed"));
        else if (edit == QLatin1String("acc"))
            m_rig->grid.setCellText(3, PositionGrid::ColAcc, QStringLiteral("2"));
        if (choice == -1) {
            // Flags a write left behind must not keep a position out of the
            // comparison.
            m_rig->data.gErrPos.at(2) = true;
            m_rig->data.PosiDataArray.at(2, PosPulse) = 777;
            m_rig->verify.ShogoCtMenu();
        } else if (choice == -2) {
            m_rig->verify.ShogoFileMenu();
        } else {
            m_rig->verify.setChoiceSource([choice] { return choice; });
            m_rig->verify.PosiDataShogo();
        }

        QCOMPARE(m_rig->prompter.texts(), messages);
        const bool read = choice == frmDataShogo::Controller || choice == -1;
        QCOMPARE(m_rig->lines(), read ? kReadLines : QStringList{});
        QVERIFY(!m_rig->link->isPortOpen());
        QVERIFY(!m_rig->surface.busy);
    }
};

KTED_TEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
