// The position table's transfer with the controller and its verification,
// through a pseudo-terminal to the simulated controller: the lines the
// controller received, the messages the user read, the tables afterwards.

#include "transferrig.h"

#include "link/controllermodes.h"
#include "position/conversions.h"
#include "position/frmdatashogo.h"
#include "position/positiondata.h"
#include "position/positionfilecommands.h"
#include "position/positiongrid.h"
#include "position/positiontransfer.h"
#include "position/positionverify.h"

#include <QApplication>
#include <QSignalSpy>
#include <QtTest>

using Answer = Prompter::Answer;

namespace {

const QString kTransmit = QStringLiteral("Data is transmitted to controller,Yes?");
const QString kCompleted = QStringLiteral("Completed data transmit.");
const QString kUnmatched =
    QStringLiteral("Actuator setting by the side of PC and in side of controller unmatched.");
const QString kReadQuestion = QStringLiteral("Read the data from controller?");
const QStringList kActuatorLines{"0RD14", "0RD13", "0RD11"};
const QStringList kReadLines{"0CM1", "0RP1", "0RP2", "0RP3", "0RV"};
const QString kE35Block = QStringLiteral("2345003200FFFFFF");

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadToController_data();
    void loadToController();
    void loadRefused_data();
    void loadRefused();
    void getFromController_data();
    void getFromController();
    void verifyWithController_data();
    void verifyWithController();
    void verifyWithFile();
    void menuVerifyTakesTheWholeTable();

private:
    // Rows "vel,acc,mm" (or "" for an empty position) into the grid.
    void fillGrid(const QStringList &rows);
    void setControllerPositions(const QList<uint32_t> &pulses);

    std::unique_ptr<LinkRig> m_rig;
    std::unique_ptr<PositionData> m_data;
    std::unique_ptr<PositionGrid> m_grid;
    std::unique_ptr<PositionFileCommands> m_files;
    std::unique_ptr<ControllerModes> m_modes;
    std::unique_ptr<PositionTransfer> m_transfer;
    std::unique_ptr<PositionVerify> m_verify;
};

void TestTransfer::init()
{
    m_rig = std::make_unique<LinkRig>(QString::fromLatin1(QTest::currentTestFunction()) + u'-'
                                      + QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY2(m_rig->started, qPrintable(m_rig->error));
    Culc_MaxPulse(m_rig->app);
    Culc_MaxMm(m_rig->app);
    QCOMPARE(m_rig->app.gMaxPulse, 20000);

    m_data = std::make_unique<PositionData>();
    m_grid = std::make_unique<PositionGrid>();
    m_grid->attach(m_rig->app, *m_data);
    m_grid->Init_flgdData(true);
    m_files = std::make_unique<PositionFileCommands>(m_rig->app, m_rig->prompter, m_rig->dialogs, *m_grid,
                                                     *m_rig->catalogue);
    m_modes = std::make_unique<ControllerModes>(*m_rig->link, m_rig->prompter, m_rig->surface);
    m_transfer = std::make_unique<PositionTransfer>(m_rig->app, *m_data, *m_grid, *m_rig->link, *m_modes,
                                                    m_rig->prompter, m_rig->progress, *m_files,
                                                    *m_rig->settings, m_rig->surface);
    m_verify = std::make_unique<PositionVerify>(*m_data, *m_grid, *m_transfer, *m_files, *m_rig->link,
                                                m_rig->prompter, m_rig->dialogs, m_rig->surface, nullptr);
}

void TestTransfer::cleanup()
{
    m_verify.reset();
    m_transfer.reset();
    m_modes.reset();
    m_files.reset();
    m_grid.reset();
    m_data.reset();
    m_rig.reset();
}

void TestTransfer::fillGrid(const QStringList &rows)
{
    for (int i = 1; i <= 3; ++i) {
        const QStringList cells = rows.value(i - 1).split(u',');
        m_grid->setCellText(i, PositionGrid::ColVel, cells.value(0));
        m_grid->setCellText(i, PositionGrid::ColAcc, cells.value(1));
        m_grid->setCellText(i, PositionGrid::ColMm, cells.value(2));
    }
}

void TestTransfer::setControllerPositions(const QList<uint32_t> &pulses)
{
    for (int i = 1; i <= 3; ++i)
        m_rig->sim.model().setPosition(i, {5, 3, 0, 2, pulses.value(i - 1)});
}

void TestTransfer::loadToController_data()
{
    QTest::addColumn<bool>("changeBkCd");
    QTest::addColumn<int>("currentDownNo");
    QTest::addColumn<QStringList>("records");

    // Position 3 at the model's largest position, which is also the
    // controller's stroke: equal passes both checks.
    QTest::newRow("current down as the controller does")
        << false << 0 << QStringList{"0WP11102000000", "0WP253020009C4", "0WP39202004E20"};
    QTest::newRow("current down switched off")
        << true << 0 << QStringList{"0WP11100000000", "0WP253000009C4", "0WP39200004E20"};
}

void TestTransfer::loadToController()
{
    QFETCH(bool, changeBkCd);
    QFETCH(int, currentDownNo);
    QFETCH(QStringList, records);

    fillGrid({"1,1,0", "5,3,12.5", "9,2,100"});
    m_transfer->setCurrentDown(changeBkCd, currentDownNo);
    QSignalSpy stale(m_transfer.get(), &PositionTransfer::moveDataStale);
    m_rig->prompter.answer(Answer::Ok);
    m_transfer->LoadToCt();

    QCOMPARE(m_rig->lines(), (QStringList{"0CM1", "0RD10"} + kActuatorLines + records));
    QCOMPARE(m_rig->prompter.texts(), (QStringList{kTransmit, kCompleted}));
    QCOMPARE(stale.count(), 1);
    QCOMPARE(m_rig->sim.model().position(2).pulses, 2500u);
    QVERIFY(!m_rig->progress.isVisible());
    QVERIFY(!m_rig->link->isPortOpen());
    QCOMPARE(m_rig->surface.log,
             (QStringList{"buttons 0", "toolbar 0", "menus 0", "busy 1", "busy 0", "buttons 1", "toolbar 1",
                          "menus 1"}));
}

void TestTransfer::loadRefused_data()
{
    QTest::addColumn<QStringList>("grid");
    QTest::addColumn<QString>("controller"); // "stroke=hex6" or "model=block14"
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("lines");

    const QStringList good{"1,1,0", "5,3,12.5", "9,2,50"};
    QTest::newRow("all three empty") << QStringList{"", "", ""} << "" << QList<Answer>{}
                                     << QStringList{"No data in the list.\n\nInput data and try it again."}
                                     << QStringList{};
    QTest::newRow("position 2 empty")
        << QStringList{"1,1,0", "", "9,2,50"} << "" << QList<Answer>{}
        << QStringList{"No data in some Positions!\n\nConfirm the position data indicated below once again."
                       "\n\n< Position No.2>\n\n"}
        << QStringList{};
    QTest::newRow("VEL 10 is wrong")
        << QStringList{"1,1,0", "10,3,12.5", "9,2,50"} << "" << QList<Answer>{}
        << QStringList{"Wrong data in some Positions!\n\nConfirm the position data indicated below once "
                       "again.\n\n< Position No.2>\n\n"}
        << QStringList{};
    QTest::newRow("transfer cancelled") << good << "" << QList<Answer>{Answer::Cancel}
                                        << QStringList{kTransmit} << QStringList{};
    // 2500 pulses equal the stroke and pass; 2502 does not.
    QTest::newRow("beyond the controller's stroke")
        << QStringList{"1,1,12.5", "5,3,0", "9,2,12.51"} << "stroke=0009C4" << QList<Answer>{Answer::Ok}
        << QStringList{kTransmit, "Some position data exceed the soft limit in the Parameter(Stroke)\n\n"
                                  "Confirm the position data indicated bellow, and try it again.\n\n"
                                  "< Position No.3,>"}
        << QStringList{"0CM1", "0RD10"};
    QTest::newRow("other actuator, Cancel")
        << good << "model=" + kE35Block << QList<Answer>{Answer::Ok, Answer::Cancel}
        << QStringList{kTransmit, kUnmatched + "\n\nPosition data may not be written in correctly.\n\n"
                                               "Is writing continued?"}
        << QStringList{"0CM1", "0RD10"} + kActuatorLines;
    QTest::newRow("other actuator, OK writes")
        << good << "model=" + kE35Block << QList<Answer>{Answer::Ok, Answer::Ok}
        << QStringList{kTransmit, kUnmatched + "\n\nPosition data may not be written in correctly.\n\n"
                                               "Is writing continued?",
                       kCompleted}
        << QStringList{"0CM1", "0RD10"} + kActuatorLines
               + QStringList{"0WP11102000000", "0WP253020009C4", "0WP39202002710"};
}

// Load to controller refuses empty, wrong and over-stroke tables before
// anything is sent, and asks before writing to another actuator.
void TestTransfer::loadRefused()
{
    QFETCH(QStringList, grid);
    QFETCH(QString, controller);
    QFETCH(QList<Answer>, answers);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, lines);

    fillGrid(grid);
    if (controller.startsWith(QLatin1String("stroke=")))
        m_rig->sim.model().setBlock(QStringLiteral("10"), controller.mid(7) + QStringLiteral("02020202FF"));
    else if (controller.startsWith(QLatin1String("model=")))
        m_rig->sim.model().setBlock(QStringLiteral("14"), controller.mid(6));
    for (Answer a : answers)
        m_rig->prompter.answer(a);
    m_transfer->LoadToCt();

    QCOMPARE(m_rig->prompter.texts(), messages);
    QCOMPARE(m_rig->lines(), lines);
    QCOMPARE(m_rig->prompter.pendingAnswers(), 0);
    QVERIFY(!m_rig->progress.isVisible());
    QVERIFY(!m_rig->link->isPortOpen());
    QVERIFY(!m_rig->surface.busy);
}

void TestTransfer::getFromController_data()
{
    QTest::addColumn<QStringList>("grid");
    QTest::addColumn<bool>("otherModel");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("read");

    const QString unmatchedRead = kUnmatched + "\n\nRead Actuator setting inside of controller?";
    QTest::newRow("empty table, same actuator") << QStringList{"", "", ""} << false
                                                << QList<Answer>{Answer::Yes} << kActuatorLines + kReadLines
                                                << true;
    QTest::newRow("empty table, No") << QStringList{"", "", ""} << false << QList<Answer>{Answer::No}
                                     << QStringList{} << false;
    QTest::newRow("edited table, Cancel") << QStringList{"1,1,0", "", ""} << false
                                          << QList<Answer>{Answer::Cancel} << QStringList{} << false;
    QTest::newRow("edited table, No reads over it")
        << QStringList{"1,1,0", "", ""} << false << QList<Answer>{Answer::No} << kActuatorLines + kReadLines
        << true;
    QTest::newRow("other actuator, Cancel") << QStringList{"", "", ""} << true
                                            << QList<Answer>{Answer::Yes, Answer::Cancel} << kActuatorLines
                                            << false;
    QTest::newRow("other actuator, OK takes it")
        << QStringList{"", "", ""} << true << QList<Answer>{Answer::Yes, Answer::Ok}
        << kActuatorLines + kReadLines << true;
}

// Get from controller: position 2 read as 001A2B is 6699 pulses; the
// comments of the file opened last stay.
void TestTransfer::getFromController()
{
    QFETCH(QStringList, grid);
    QFETCH(bool, otherModel);
    QFETCH(QList<Answer>, answers);
    QFETCH(QStringList, lines);
    QFETCH(bool, read);

    fillGrid(grid);
    m_rig->sim.model().setPosition(2, {7, 2, 1, 2, 0x001A2B});
    if (otherModel)
        m_rig->sim.model().setBlock(QStringLiteral("14"), kE35Block);
    m_data->workPosDA.at(2, PosComment) = QStringLiteral("from the last file");
    for (Answer a : answers)
        m_rig->prompter.answer(a);
    m_transfer->GetFromCt();

    QCOMPARE(m_rig->lines(), lines);
    QCOMPARE(m_rig->prompter.pendingAnswers(), 0);
    QVERIFY(!m_rig->link->isPortOpen());
    QCOMPARE(m_rig->app.gDevSize, otherModel && read ? QStringLiteral("E35") : QStringLiteral(" 28"));
    QCOMPARE(m_rig->settings->readText(SettingsKey::DevSize, QString()),
             otherModel && read ? QStringLiteral("E35") : QString());
    if (!read) {
        QVERIFY(m_data->workPosDA.at(2, PosPulse).isNull());
        return;
    }
    QCOMPARE(m_data->workPosDA.number(2, PosPulse), 6699.0);
    QCOMPARE(m_data->PosiDataArray.number(2, PosVel), 7.0);
    QCOMPARE(m_grid->cellText(2, PositionGrid::ColVel), QStringLiteral("7"));
    QCOMPARE(m_grid->cellText(2, PositionGrid::ColMm), MmCellText(6699 * 2.0 / 400.0));
    QCOMPARE(m_grid->cellText(2, PositionGrid::ColComment), QStringLiteral("from the last file"));
    QCOMPARE(m_files->docName(), QStringLiteral("Inside of C/T"));
}

void TestTransfer::verifyWithController_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<QList<uint32_t>>("controller");
    QTest::addColumn<QStringList>("messages");

    const QList<uint32_t> same{0, 2500, 10000};
    QTest::newRow("same") << int(frmDataShogo::Controller) << same
                          << QStringList{"Data : indicated and inside of controller\n\nResult of Verification : OK"};
    QTest::newRow("positions 1 and 3 differ")
        << int(frmDataShogo::Controller) << QList<uint32_t>{1, 2500, 9999}
        << QStringList{"Data : indicated and inside of controller\n\nResult of Verification : NG.\n\n"
                       "Unmatched Position No.\n\n< Position No.1>\n\n< Position No.3>\n\n"};
    QTest::newRow("cancelled") << int(frmDataShogo::None) << same << QStringList{};
}

void TestTransfer::verifyWithController()
{
    QFETCH(int, choice);
    QFETCH(QList<uint32_t>, controller);
    QFETCH(QStringList, messages);

    fillGrid({"5,3,0", "5,3,12.5", "5,3,50"});
    setControllerPositions(controller);
    m_verify->setChoiceSource([choice] { return choice; });
    m_verify->PosiDataShogo();

    QCOMPARE(m_rig->prompter.texts(), messages);
    QCOMPARE(m_rig->lines(), choice == frmDataShogo::Controller ? kReadLines : QStringList{});
    QVERIFY(!m_rig->link->isPortOpen());
    QVERIFY(!m_rig->surface.busy);
}

// A file whose positions differ from the grid only in their comments
// verifies as OK; a parameter file is refused by the reader.
void TestTransfer::verifyWithFile()
{
    fillGrid({"5,3,0", "5,3,12.5", "5,3,50"});
    const QString path = QDir(TestScratchDir()).filePath(QStringLiteral("verify.ktd"));
    QCOMPARE(m_grid->PosiDataTorikomi(), 0); // a save writes the table taken over
    QVERIFY(m_files->SaveFileAs(path));
    m_grid->setCellText(2, PositionGrid::ColComment, QStringLiteral("changed"));

    m_verify->setChoiceSource([] { return int(frmDataShogo::File); });
    m_rig->dialogs.choose(path);
    m_verify->PosiDataShogo();
    m_grid->setCellText(3, PositionGrid::ColAcc, QStringLiteral("2"));
    m_rig->dialogs.choose(path);
    m_verify->ShogoFileMenu();

    const QString head = QStringLiteral("Data : indicated and saved into the file(verify.ktd)\n\n");
    QCOMPARE(m_rig->prompter.texts(),
             (QStringList{head + "Result of Verification : OK",
                          head + "Result of Verification : NG.\n\nUnmatched Position No.\n\n< Position No.3>\n\n"}));
    QCOMPARE(m_rig->dialogs.requests().last().title, QStringLiteral("Open file to Verify"));
    QCOMPARE(m_rig->lines(), QStringList{});
}

// The menu entry runs without the checks of the button; flags a write left
// behind must not keep a position out of the comparison.
void TestTransfer::menuVerifyTakesTheWholeTable()
{
    fillGrid({"5,3,0", "5,3,12.5", "5,3,50"});
    setControllerPositions({0, 2500, 10000});
    m_data->gErrPos.at(2) = true;   // left by an earlier check
    m_data->PosiDataArray.at(2, PosPulse) = 777;
    m_verify->ShogoCtMenu();
    QCOMPARE(m_rig->prompter.texts(),
             QStringList{"Data : indicated and inside of controller\n\nResult of Verification : OK"});
    QCOMPARE(m_rig->lines(), kReadLines);
}

KTED_TEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
