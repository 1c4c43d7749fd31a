#include "app/appstate.h"
#include "catalogue/catalogue.h"
#include "common/datafile.h"
#include "position/conversions.h"
#include "position/positiondata.h"
#include "position/positionfile.h"
#include "position/positionfilecommands.h"
#include "position/positiongrid.h"
#include "scriptedprompter.h"
#include "testenv.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace {

using Col = PositionGrid::Column;
using Answer = Prompter::Answer;

// A small catalogue of our own, so that the tests do not depend on the
// shipped lists: code, lead, pulses, an unused item, homing code.
const char kNewCatalogue[] = "4\r\n\" 28L-100\",2,400,0,1\r\n\" 28H-100\",6,400,0,1\r\n"
                             "\" 42L-100\",2,400,0,2\r\n\"E42L-100\",2,400,0,2\r\n";
const char kOldCatalogue[] = "2\r\n\" 42L-100\",2,400,0,1\r\n\" 28L-100\",2,400,0,1\r\n";
const char kRwCatalogue[] = "1\r\n\" 28H-100\",6,400,0,0\r\n";

QByteArray shiftJis(const QString &text)
{
    return EncodeShiftJis(text).value();
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A position file as written by hand: the model record, then three
// positions of VEL, ACC, pulses and comment.
QString positionFile(const QString &modelRecord, const QStringList &rows)
{
    QString text = QStringLiteral("\"KT-E1\",\"Position\"\r\n") + modelRecord + QStringLiteral("\r\n");
    for (const QString &row : rows)
        text += row + QStringLiteral("\r\n");
    return text;
}

const QStringList kRows{QStringLiteral("\"5\",\"3\",\"2000\",\"start\""),
                        QStringLiteral("\"1\",\"1\",\"0\",\"\""),
                        QStringLiteral("\"9\",\"2\",\"6667\",\"far end\"")};

// Everything an open could change, as one text to compare.
struct Snapshot
{
    QStringList cells;
    QStringList tables;
    QString model;
    bool operator==(const Snapshot &) const = default;
};

// The File commands with a grid, a catalogue and scripted answers; the
// model is the first-run default KT- 28L-100 (new generation, lead 2).
struct Fixture
{
    QTemporaryDir dir;
    AppState state;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<Catalogue> catalogue;
    PositionData data;
    PositionGrid grid;
    QLabel lblDeviceType;
    QLabel lblFileName;
    std::unique_ptr<PositionFileCommands> commands;

    Fixture()
    {
        SetLangOffset(10000);
        state.gLanguage = 2;
        state.gLangOffset = 10000;
        writeBytes(path("lists/nktdevice.lst"), kNewCatalogue);
        writeBytes(path("lists/ktdevice.lst"), kOldCatalogue);
        writeBytes(path("lists/rwdevice.lst"), kRwCatalogue);
        catalogue = std::make_unique<Catalogue>(state, prompter, path("lists"));
        state.gChkSize = state.gDevSize = QStringLiteral(" 28");
        state.gChkSpeed = state.gDevSpeed = QStringLiteral("L");
        state.gChkStroke = state.gDevStroke = 100;
        state.gDevLead = 2;
        Culc_MaxPulse(state);
        Culc_MaxMm(state);
        grid.attach(state, data);
        lblDeviceType.setText(QStringLiteral("KT- 28L-100"));
        commands = std::make_unique<PositionFileCommands>(state, prompter, dialogs, grid, *catalogue);
        commands->setDeviceTypeLabel(&lblDeviceType);
        commands->setFileNameLabel(&lblFileName);
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    void open(const QString &file)
    {
        dialogs.choose(file);
        commands->fileOpen();
    }

    // A complete, valid table typed into the grid.
    void fillTable()
    {
        for (int r = 1; r <= 3; ++r) {
            grid.setCellText(r, Col::ColVel, QString::number(r));
            grid.setCellText(r, Col::ColAcc, QStringLiteral("2"));
            grid.setCellText(r, Col::ColMm, MmCellText(10.0 * r));
            grid.setCellText(r, Col::ColComment, QStringLiteral("pos %1").arg(r));
        }
        data.gDataChanged = true;
    }

    Snapshot snapshot() const
    {
        Snapshot s;
        for (int r = 0; r < PositionGrid::kRowCount; ++r)
            for (int c = 0; c < PositionGrid::kColumnCount; ++c)
                s.cells << grid.cellText(r, c);
        for (int i = 0; i <= 3; ++i)
            for (int f = 0; f < PositionTable::kFieldCount; ++f)
                s.tables << data.workPosDA.text(i, f) << data.PosiDataArray.text(i, f);
        s.model = QStringList{lblDeviceType.text(), commands->docName(), data.gFileModel, data.gFileNewOld,
                              state.familyCode(), state.gDevSize, state.gDevSpeed,
                              QString::number(state.gDevStroke), QString::number(state.gDevLead),
                              QString::number(state.gIsNewType), QString::number(state.gMaxPulse)}
                      .join(u'|');
        return s;
    }
};

// Makes every write beyond a few bytes fail for a while, as a full disk
// does; the file size limit holds for the superuser too.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old{};
};

} // namespace

class TestFile : public QObject
{
    Q_OBJECT
private slots:
    void fileOpensAndSavesByteForByte_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("lastComment");
        QTest::newRow("KT new generation") << "\"KT- 28L-100\",\"NEW\"" << "far end";
        QTest::newRow("KT old generation, V") << "\"KT- 42L-100V\",\"OLD\"" << "far end";
        QTest::newRow("KT new, fixed homing") << "\"KT- 42L-100 \",\"NEW\"" << "far end";
        QTest::newRow("RW") << "\"RW- 28H-100 \",\"OLD\"" << "far end";
        QTest::newRow("Japanese comment") << "\"KT- 28L-100\",\"NEW\"" << "原点付近ｶﾅ";
    }
    void fileOpensAndSavesByteForByte()
    {
        QFETCH(QString, model);
        QFETCH(QString, lastComment);
        Fixture f;
        QStringList rows = kRows;
        rows[2] = QStringLiteral("\"9\",\"2\",\"6667\",\"%1\"").arg(lastComment);
        const QByteArray original = shiftJis(positionFile(model, rows));
        writeBytes(f.path("in/table.ktd"), original);

        QSignalSpy locks(f.commands.get(), &PositionFileCommands::commandsLocked);
        f.open(f.path("in/table.ktd"));
        QCOMPARE(f.prompter.texts(), QStringList());
        QCOMPARE(locks.count(), 2);
        QCOMPARE(locks.first().first().toBool(), true);
        QCOMPARE(locks.last().first().toBool(), false);

        QCOMPARE(f.lblDeviceType.text(), model.section(u'"', 1, 1));
        QCOMPARE(f.lblFileName.text(), QStringLiteral("table"));
        QCOMPARE(f.grid.cellText(1, Col::ColVel), QStringLiteral("5"));
        QCOMPARE(f.grid.cellText(3, Col::ColAcc), QStringLiteral("2"));
        QCOMPARE(f.grid.cellText(3, Col::ColMm), MmCellText(PulseToMm(f.state, 6667)));
        QCOMPARE(f.grid.cellText(3, Col::ColComment), lastComment);
        QVERIFY(!f.data.gDataChanged);

        QDir().mkpath(f.path("out"));
        f.dialogs.choose(f.path("out/copy.ktd"));
        QCOMPARE(f.commands->saveAs(), PositionFileCommands::SaveResult::Saved);
        QCOMPARE(f.prompter.texts(), QStringList());
        QCOMPARE(bytesOf(f.path("out/copy.ktd")), original);
        QCOMPARE(f.commands->docName(), QStringLiteral("copy"));
    }

    void oneFieldModelRecordOpensAsOld()
    {
        Fixture f;
        const QString text = positionFile(QStringLiteral("\"KT-42L-100\""),
                                          {QStringLiteral("\"4\",\"2\",\"1000\",\"a\""),
                                           QStringLiteral("\"5\",\"1\",\"2000\",\"b\""),
                                           QStringLiteral("\"6\",\"3\",\"3000\",\"c\"")});
        writeBytes(f.path("old.ktd"), shiftJis(text));
        f.open(f.path("old.ktd"));

        QCOMPARE(f.prompter.texts(), QStringList());
        QCOMPARE(f.data.gFileNewOld, QStringLiteral("OLD"));
        QCOMPARE(f.data.gNewOldType, LoadText(149));
        QVERIFY(!f.state.gIsNewType);
        QCOMPARE(f.state.gDevSize, QStringLiteral(" 42"));
        QCOMPARE(f.lblDeviceType.text(), QStringLiteral("KT- 42L-100_"));
        const QStringList expected{"4", "2", "  5.000", "a", "5", "1", " 10.000", "b", "6", "3", " 15.000", "c"};
        QStringList shown;
        for (int r = 1; r <= 3; ++r)
            for (int c : {Col::ColVel, Col::ColAcc, Col::ColMm, Col::ColComment})
                shown << f.grid.cellText(r, c);
        QCOMPARE(shown, expected);
    }

    void refusedFileChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("message"); // first message; 363 follows
        QTest::newRow("parameter file")
            << shiftJis(QStringLiteral("\"KT-E1\",\"Parameter\"\r\n\"KT- 28L-100\",\"NEW\"\r\n")) << 362;
        QStringList rows = kRows;
        rows[1] = QStringLiteral("\"x\",\"1\",\"0\",\"\"");
        QTest::newRow("VEL not a number") << shiftJis(positionFile("\"KT- 28L-100\",\"NEW\"", rows)) << 362;
        rows = kRows;
        rows[2] = QStringLiteral("\"9\",\"2\",\"\",\"\"");
        QTest::newRow("pulses empty") << shiftJis(positionFile("\"KT- 28L-100\",\"NEW\"", rows)) << 362;
        rows = kRows;
        rows[0] = QStringLiteral("\"5\",\"3\",\"4294967296\",\"\"");
        QTest::newRow("pulses beyond 32 bits") << shiftJis(positionFile("\"KT- 28L-100\",\"NEW\"", rows)) << 362;
        QTest::newRow("records missing")
            << shiftJis(positionFile("\"KT- 28L-100\",\"NEW\"", kRows.mid(0, 2))) << 362;
        QTest::newRow("not Shift_JIS") << QByteArray("\"KT-E1\",\"Position\"\r\n\"\x82\xff\"\r\n") << 362;
        QTest::newRow("missing file") << QByteArray() << 722;
    }
    void refusedFileChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, message);
        Fixture f;
        writeBytes(f.path("good.ktd"), shiftJis(positionFile("\"KT- 42L-100V\",\"OLD\"", kRows)));
        f.open(f.path("good.ktd"));
        f.grid.setCellText(2, Col::ColComment, QStringLiteral("edited"));
        const Snapshot before = f.snapshot();
        f.prompter.clear();

        const QString bad = f.path("bad.ktd");
        if (!bytes.isEmpty())
            writeBytes(bad, bytes);
        f.open(bad);
        QCOMPARE(f.prompter.texts().size(), 1);
        if (message == 362)
            QCOMPARE(f.prompter.lastText(), JoinTexts({362, 363}));
        else
            QVERIFY(f.prompter.lastText().startsWith(LoadText(message)));
        QVERIFY(f.snapshot() == before);
    }

    void modelTextIsDecoded_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("newOld");
        QTest::addColumn<QString>("decoded"); // type, size, speed, stroke, V; empty: unusable
        QTest::newRow("short form, E speed") << "KT-42E-100" << "OLD" << "1|E42|L|100|0";
        QTest::newRow("short form, V") << "KT-42L-100V" << "OLD" << "1| 42|L|100|1";
        QTest::newRow("short form, old, no V") << "KT-42L-100" << "OLD" << "1| 42|L|100|0";
        QTest::newRow("long form, new") << "KT- 28L-100" << "NEW" << "0| 28|L|100|1";
        QTest::newRow("long form, E size") << "KT-E35L-050 " << "NEW" << "0|E35|L|50|1";
        QTest::newRow("long form, old, underline") << "KT- 35H-200_" << "OLD" << "1| 35|H|200|0";
        QTest::newRow("RW") << "RW- 28H-100 " << "OLD" << "2| 28|H|100|0";
        QTest::newRow("stroke 0") << "KT- 28L-000" << "NEW" << "";
        QTest::newRow("stroke 700") << "KT- 28L-700" << "NEW" << "";
        QTest::newRow("lower-case speed") << "KT- 28l-100" << "NEW" << "";
        QTest::newRow("other family") << "KX- 28L-100" << "NEW" << "";
        QTest::newRow("cut short") << "KT-" << "NEW" << "";
    }
    void modelTextIsDecoded()
    {
        QFETCH(QString, model);
        QFETCH(QString, newOld);
        QFETCH(QString, decoded);
        const std::optional<DecodedFileModel> d = DecodeModelText(model, newOld);
        QCOMPARE(d.has_value(), !decoded.isEmpty());
        if (d) {
            const QString got = QStringList{d->devTypeNoText, d->size, d->speed, QString::number(d->stroke),
                                            QString::number(int(d->vType))}
                                    .join(u'|');
            QCOMPARE(got, decoded);
            QCOMPARE(d->isKT, decoded.at(0) != u'2');
        }
    }

    void modelLabelCarriesHomingMark_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("stroke");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<bool>("vType");
        QTest::addColumn<int>("homeCode");
        QTest::addColumn<QString>("label");
        QTest::newRow("fixed pushing") << "RW" << 50 << false << false << 0 << "RW- 28L-050 ";
        QTest::newRow("fixed sensor") << "KT" << 100 << true << true << 2 << "KT- 28L-100 ";
        QTest::newRow("choice, pushing") << "KT" << 100 << false << false << 1 << "KT- 28L-100_";
        QTest::newRow("choice, V new") << "KT" << 100 << true << true << 1 << "KT- 28L-100";
        QTest::newRow("choice, V old") << "KT" << 100 << false << true << 1 << "KT- 28L-100V";
        QTest::newRow("not listed") << "KT" << 100 << true << true << 99 << "KT- 28L-100";
        QTest::newRow("four-digit stroke") << "KT" << 1000 << true << true << 2 << "KT- 28L-X ";
    }
    void modelLabelCarriesHomingMark()
    {
        QFETCH(QString, family);
        QFETCH(int, stroke);
        QFETCH(bool, isNew);
        QFETCH(bool, vType);
        QFETCH(int, homeCode);
        QFETCH(QString, label);
        QCOMPARE(DevTypeText2(family, QStringLiteral(" 28"), QStringLiteral("L"), stroke, isNew, vType, homeCode),
                 label);
    }

    void unusableModelKeepsTheModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::newRow("stroke out of range") << "\"KT- 28L-999\",\"NEW\"";
        QTest::newRow("not in the catalogue") << "\"KT- 35L-100\",\"NEW\"";
        QTest::newRow("no family") << "\"XX- 28L-100\",\"NEW\"";
    }
    void unusableModelKeepsTheModel()
    {
        QFETCH(QString, model);
        Fixture f;
        writeBytes(f.path("odd.ktd"), shiftJis(positionFile(model, kRows)));
        f.open(f.path("odd.ktd"));
        QCOMPARE(f.prompter.texts(), QStringList{JoinTexts({444, 445})});
        // The table is loaded for the model as it was.
        QCOMPARE(f.state.gDevSize, QStringLiteral(" 28"));
        QCOMPARE(f.state.gDevStroke, int16_t(100));
        QVERIFY(f.state.gIsNewType && f.state.gIsKT);
        QCOMPARE(f.grid.cellText(1, Col::ColMm), QStringLiteral(" 10.000"));
        QCOMPARE(f.commands->docName(), QStringLiteral("odd"));
    }

    void saveRefusesAnIncompleteTable_data()
    {
        QTest::addColumn<int>("emptyRow");    // 0: none, 4: all
        QTest::addColumn<QString>("vel1");
        QTest::addColumn<QString>("message");
        const QString line2 = QStringLiteral("<") + LoadText(409) + QStringLiteral("2>\n\n");
        const QString line1 = QStringLiteral("<") + LoadText(409) + QStringLiteral("1>\n\n");
        QTest::newRow("all empty") << 4 << "1" << JoinTexts({459, 460});
        QTest::newRow("position 2 empty") << 2 << "1" << JoinTexts({475, 476}) + QStringLiteral("\n\n") + line2;
        QTest::newRow("VEL 12") << 0 << "12" << LoadText(467) + QStringLiteral("\n\n") + line1;
    }
    void saveRefusesAnIncompleteTable()
    {
        QFETCH(int, emptyRow);
        QFETCH(QString, vel1);
        QFETCH(QString, message);
        Fixture f;
        f.fillTable();
        f.grid.setCellText(1, Col::ColVel, vel1);
        for (int r = 1; r <= 3; ++r)
            if (emptyRow == r || emptyRow == 4)
                f.grid.setCellText(r, Col::ColAcc, QString());
        QCOMPARE(f.commands->saveAs(), PositionFileCommands::SaveResult::NotSaved);
        QCOMPARE(f.prompter.texts(), QStringList{message});
        QVERIFY(f.dialogs.requests().isEmpty());
        QVERIFY(f.data.gDataChanged);
    }

    void plainSaveWritesBesideTheLastChosenFile()
    {
        Fixture f;
        writeBytes(f.path("a/x.ktd"), shiftJis(positionFile("\"KT- 28L-100\",\"NEW\"", kRows)));
        f.open(f.path("a/x.ktd"));
        f.grid.setCellText(2, Col::ColVel, QStringLiteral("7"));
        f.data.gDataChanged = true;
        const QString elsewhere = QDir::currentPath();

        f.commands->fileSave();
        QCOMPARE(f.dialogs.requests().size(), 1); // only the open
        QCOMPARE(f.prompter.texts(), QStringList());
        QVERIFY(bytesOf(f.path("a/x.ktd")).contains("\"7\",\"1\",\"0\",\"\""));
        QVERIFY(!QFile::exists(QDir(elsewhere).filePath(QStringLiteral("x.ktd"))));
        QVERIFY(!f.data.gDataChanged);
    }

    void saveOfANewTableAsksForAName()
    {
        Fixture f;
        f.fillTable();
        QDir().mkpath(f.path("b"));
        f.dialogs.choose(f.path("b/first.ktd"));
        QCOMPARE(f.commands->save(), PositionFileCommands::SaveResult::Saved);
        QCOMPARE(f.dialogs.requests().size(), 1);
        const FileDialogs::Request &r = f.dialogs.requests().first();
        QCOMPARE(r.title, LoadText(523));
        QCOMPARE(r.initialName, LoadText(490));
        QCOMPARE(r.defaultExtension, LoadText(404));
        QVERIFY(r.confirmOverwrite);
        QVERIFY(QFile::exists(f.path("b/first.ktd")));
        QCOMPARE(f.lblFileName.text(), QStringLiteral("first"));
    }

    void commentShiftJisCannotHoldIsRefused()
    {
        Fixture f;
        const QByteArray old = shiftJis(positionFile("\"KT- 28L-100\",\"NEW\"", kRows));
        writeBytes(f.path("keep.ktd"), old);
        f.fillTable();
        f.grid.setCellText(2, Col::ColComment, QStringLiteral("Ünïcode 😀"));
        f.dialogs.choose(f.path("keep.ktd"));
        QCOMPARE(f.commands->saveAs(), PositionFileCommands::SaveResult::NotSaved);
        QCOMPARE(f.prompter.texts().size(), 1);
        QVERIFY(f.prompter.lastText().startsWith(LoadText(720)));
        QVERIFY(f.prompter.lastText().contains(QStringLiteral("😀")));
        QCOMPARE(bytesOf(f.path("keep.ktd")), old);
        QVERIFY(f.data.gDataChanged);
    }

    void failedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("underARegularFile");
        QTest::newRow("write cut short") << false;
        QTest::newRow("folder under a regular file") << true;
    }
    void failedWriteKeepsTheOldFile()
    {
        QFETCH(bool, underARegularFile);
        Fixture f;
        const QByteArray old = shiftJis(positionFile("\"KT- 28L-100\",\"NEW\"", kRows));
        const QString existing = f.path("c/table.ktd");
        writeBytes(existing, old);
        f.fillTable();
        const QString target = underARegularFile ? existing + QStringLiteral("/sub/table.ktd") : existing;
        f.dialogs.choose(target);
        PositionFileCommands::SaveResult result;
        {
            const FileSizeLimit limit(underARegularFile ? RLIM_INFINITY : 16);
            result = f.commands->saveAs();
        }
        QCOMPARE(result, PositionFileCommands::SaveResult::NotSaved);
        QCOMPARE(f.prompter.texts().size(), 1);
        QVERIFY(f.prompter.lastText().startsWith(LoadText(721)));
        QCOMPARE(bytesOf(existing), old);
        QCOMPARE(QDir(f.path("c")).entryList(QDir::Files), QStringList{QStringLiteral("table.ktd")});
        QVERIFY(f.data.gDataChanged);
        QCOMPARE(f.commands->docName(), LoadText(483));
    }

    void closeAsksFirst_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("fromCloseBox");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("saveTo"); // "": dialog cancelled
        QTest::addColumn<bool>("closes");
        QTest::newRow("unchanged, OK") << false << false << true << QList<Answer>{Answer::Ok} << "" << true;
        QTest::newRow("unchanged, Cancel") << false << false << true << QList<Answer>{Answer::Cancel} << "" << false;
        QTest::newRow("changed, No") << true << false << true << QList<Answer>{Answer::No} << "" << true;
        QTest::newRow("changed, Cancel") << true << false << true << QList<Answer>{Answer::Cancel} << "" << false;
        QTest::newRow("changed, Yes, dialog cancelled")
            << true << false << true << QList<Answer>{Answer::Yes} << "" << false;
        QTest::newRow("changed, Yes, saved") << true << false << true << QList<Answer>{Answer::Yes} << "s.ktd" << true;
        QTest::newRow("busy, close box") << false << true << true << QList<Answer>{} << "" << false;
        QTest::newRow("busy, File Exit") << false << true << false << QList<Answer>{Answer::Ok} << "" << true;
    }
    void closeAsksFirst()
    {
        QFETCH(bool, changed);
        QFETCH(bool, busy);
        QFETCH(bool, fromCloseBox);
        QFETCH(QList<Answer>, answers);
        QFETCH(QString, saveTo);
        QFETCH(bool, closes);
        Fixture f;
        f.fillTable();
        f.data.gDataChanged = changed;
        for (Answer a : answers)
            f.prompter.answer(a);
        if (saveTo.isEmpty())
            f.dialogs.cancel();
        else
            f.dialogs.choose(f.path(saveTo));

        const auto answer = f.commands->closeRequest(fromCloseBox, busy);
        QCOMPARE(answer == PositionFileCommands::CloseAnswer::Close, closes);
        QCOMPARE(f.prompter.shown().size(), answers.size());
        if (!answers.isEmpty()) {
            const QString question = changed ? LoadText(481) + QStringLiteral(" ") + LoadText(482)
                                             : QStringLiteral("Finish KT-ED.");
            QCOMPARE(f.prompter.shown().first().text, question);
        }
        QCOMPARE(QFile::exists(f.path("s.ktd")), !saveTo.isEmpty());
        QVERIFY(!f.commands->saveAsCancelled());
    }

    void newClearsOnlySettledTables_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("No: given up") << Answer::No << true;
        QTest::newRow("Cancel") << Answer::Cancel << false;
        QTest::newRow("Yes, dialog cancelled") << Answer::Yes << false;
    }
    void newClearsOnlySettledTables()
    {
        QFETCH(Answer, answer);
        QFETCH(bool, cleared);
        Fixture f;
        f.fillTable();
        f.commands->setDocName(QStringLiteral("mine"));
        f.prompter.answer(answer);
        f.dialogs.cancel();
        f.commands->fileNew();
        QCOMPARE(f.grid.cellText(2, Col::ColVel).isEmpty(), cleared);
        QCOMPARE(f.grid.cellText(2, Col::ColComment).isEmpty(), cleared);
        QCOMPARE(f.commands->docName(), cleared ? LoadText(483) : QStringLiteral("mine"));
        QCOMPARE(f.data.gDataChanged, !cleared);
    }
};

KTED_TEST_MAIN(TestFile)
#include "tst_file.moc"
