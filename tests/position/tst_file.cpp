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

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QStringList kRows{QStringLiteral("\"5\",\"3\",\"2000\",\"start\""),
                        QStringLiteral("\"1\",\"1\",\"0\",\"\""),
                        QStringLiteral("\"9\",\"2\",\"6667\",\"far end\"")};
const QString kModel = QStringLiteral("\"KT- 28L-100\",\"NEW\"");

// A position file as written by hand, in Shift_JIS: the model record, then
// three positions of VEL, ACC, pulses and comment.
QByteArray positionFile(const QString &modelRecord, const QStringList &rows = kRows)
{
    QString text = QStringLiteral("\"KT-E1\",\"Position\"\r\n") + modelRecord + QStringLiteral("\r\n");
    for (const QString &row : rows)
        text += row + QStringLiteral("\r\n");
    return shiftJis(text);
}

// kRows with the record of one position replaced.
QStringList withRow(int position, const QString &row)
{
    QStringList rows = kRows;
    rows[position - 1] = row;
    return rows;
}

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
        state.gVType = true; // a new-generation KT is a V model
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

    // Everything an open could change.
    QStringList snapshot() const
    {
        QStringList s;
        for (int r = 0; r < PositionGrid::kRowCount; ++r)
            for (int c = 0; c < PositionGrid::kColumnCount; ++c)
                s << grid.cellText(r, c);
        for (int i = 0; i <= 3; ++i)
            for (int k = 0; k < PositionTable::kFieldCount; ++k)
                s << data.workPosDA.text(i, k) << data.PosiDataArray.text(i, k);
        return s << lblDeviceType.text() << commands->docName() << data.gFileModel << data.gFileNewOld
                 << state.familyCode() << state.gDevSize << QString::number(state.gDevLead)
                 << QString::number(state.gIsNewType) << QString::number(state.gMaxPulse);
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
    void fileOpensAndSavesItBack_data()
    {
        QTest::addColumn<QString>("model");      // record 2 as read
        QTest::addColumn<QString>("comment");    // of position 3
        QTest::addColumn<QString>("shown");      // the comment as shown and saved; "": as read
        QTest::addColumn<bool>("refused");       // the model: 444 and 445 are shown
        QTest::addColumn<QString>("savedModel"); // record 2 as written; "": as read
        // The model label written back carries the homing mark of the
        // catalogue: none for a V model of the new generation, "V" for the
        // old one, a blank for a fixed homing method, "_" for pushing.
        QTest::newRow("KT new generation") << kModel << "far end" << "" << false << "";
        QTest::newRow("KT old generation, V") << "\"KT- 42L-100V\",\"OLD\"" << "far end" << "" << false << "";
        QTest::newRow("KT new, fixed homing") << "\"KT- 42L-100 \",\"NEW\"" << "far end" << "" << false << "";
        QTest::newRow("RW") << "\"RW- 28H-100 \",\"OLD\"" << "far end" << "" << false << "";
        QTest::newRow("Japanese comment, a comma") << kModel << "原点付近, ｶﾅ" << "" << false << "";
        // Control characters (a NUL from a damaged file) are dropped.
        QTest::newRow("control characters in the comment")
            << kModel << QStringLiteral("ab%1cd%2").arg(QChar(0)).arg(QChar(0x1b)) << "abcd" << false << "";
        // An earlier version's file: model text only, read as old generation.
        QTest::newRow("one-field model record") << "\"KT-42L-100\"" << "c" << "" << false << "\"KT- 42L-100_\",\"OLD\"";
        // The short form of earlier versions: a two-character size, "E" as
        // the speed for the E sizes, a "V" after the stroke.
        QTest::newRow("short form, E") << "\"KT-42E-100\",\"NEW\"" << "c" << "" << false << "\"KT-E42L-100 \",\"NEW\"";
        QTest::newRow("short form, V") << "\"KT-42L-100V\",\"OLD\"" << "c" << "" << false << "\"KT- 42L-100V\",\"OLD\"";
        // A model text that names no listed model leaves the model as it was.
        QTest::newRow("stroke 0") << "\"KT- 28L-000\",\"NEW\"" << "c" << "" << true << kModel;
        QTest::newRow("stroke 700") << "\"KT- 28L-700\",\"NEW\"" << "c" << "" << true << kModel;
        QTest::newRow("lower-case speed") << "\"KT- 28l-100\",\"NEW\"" << "c" << "" << true << kModel;
        QTest::newRow("not in the catalogue") << "\"KT- 35L-100\",\"OLD\"" << "c" << "" << true << kModel;
        QTest::newRow("no family") << "\"XX- 28L-100\",\"NEW\"" << "c" << "" << true << kModel;
    }
    void fileOpensAndSavesItBack()
    {
        QFETCH(QString, model);
        QFETCH(QString, comment);
        QFETCH(QString, shown);
        QFETCH(bool, refused);
        QFETCH(QString, savedModel);
        Fixture f;
        const QString record = QStringLiteral("\"9\",\"2\",\"6667\",\"%1\"");
        writeBytes(f.path("in/table.ktd"), positionFile(model, withRow(3, record.arg(comment))));

        QSignalSpy locks(f.commands.get(), &PositionFileCommands::commandsLocked);
        f.open(f.path("in/table.ktd"));
        QCOMPARE(f.prompter.texts(), refused ? QStringList{JoinTexts({444, 445})} : QStringList());
        QCOMPARE(locks.count(), 2);
        QVERIFY(locks.first().first().toBool() && !locks.last().first().toBool());
        QCOMPARE(f.lblFileName.text(), QStringLiteral("table"));
        QCOMPARE(f.grid.cellText(1, Col::ColVel), QStringLiteral("5"));
        QCOMPARE(f.grid.cellText(3, Col::ColAcc), QStringLiteral("2"));
        QCOMPARE(f.grid.cellText(3, Col::ColMm), MmCellText(PulseToMm(f.state, 6667)));
        if (shown.isEmpty())
            shown = comment;
        QCOMPARE(f.grid.cellText(3, Col::ColComment), shown);
        QVERIFY(!f.data.gDataChanged);

        // Save writes it back without asking, next to the file last chosen
        // in a dialog rather than into the working folder.
        f.prompter.clear();
        QVERIFY(QFile::remove(f.path("in/table.ktd")));
        f.data.gDataChanged = true;
        QCOMPARE(f.commands->save(), PositionFileCommands::SaveResult::Saved);
        QCOMPARE(f.prompter.texts(), QStringList());
        QCOMPARE(f.dialogs.requests().size(), 1); // the open's
        QCOMPARE(FileBytes(f.path("in/table.ktd")),
                 positionFile(savedModel.isEmpty() ? model : savedModel, withRow(3, record.arg(shown))));
        QVERIFY(!f.data.gDataChanged);
    }

    void refusedFileChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("message"); // first message; 363 follows
        QTest::addColumn<QString>("where"); // the line naming record and field
        const QString unreadable = QStringLiteral("Record %1, field %2 could not be read (found: \"%3\").");
        QTest::newRow("parameter file")
            << shiftJis(QStringLiteral("\"KT-E1\",\"Parameter\"\r\n\"KT- 28L-100\",\"NEW\"\r\n")) << 362
            << unreadable.arg(1).arg(2).arg("Parameter");
        QTest::newRow("VEL not a number") << positionFile(kModel, withRow(2, "\"x\",\"1\",\"0\",\"\"")) << 362
                                          << unreadable.arg(4).arg(1).arg("x");
        QTest::newRow("pulses empty") << positionFile(kModel, withRow(3, "\"9\",\"2\",\"\",\"\"")) << 362
                                      << unreadable.arg(5).arg(3).arg("");
        QTest::newRow("pulses beyond 32 bits")
            << positionFile(kModel, withRow(1, "\"5\",\"3\",\"4294967296\",\"\"")) << 362
            << unreadable.arg(3).arg(3).arg("4294967296");
        QTest::newRow("records missing") << positionFile(kModel, kRows.mid(0, 2)) << 362
                                         << "Record 5, field 1 is missing (the file ends early).";
        QTest::newRow("not Shift_JIS") << QByteArray("\"KT-E1\",\"Position\"\r\n\"\x82\xff\"\r\n") << 362 << "";
        // Picked by mistake: refused before it is read, not loaded whole.
        QTest::newRow("512 MB file") << QByteArray("sparse") << 362 << "";
        QTest::newRow("missing file") << QByteArray() << 722 << "";
    }
    void refusedFileChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, message);
        QFETCH(QString, where);
        Fixture f;
        writeBytes(f.path("good.ktd"), positionFile("\"KT- 42L-100V\",\"OLD\""));
        f.open(f.path("good.ktd"));
        f.grid.setCellText(2, Col::ColComment, QStringLiteral("edited"));
        const QStringList before = f.snapshot();
        f.prompter.clear();

        const QString bad = f.path("bad.ktd");
        if (bytes == "sparse") {
            QFile big(bad);
            QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64(512) << 20));
        } else if (!bytes.isEmpty()) {
            writeBytes(bad, bytes);
        }
        f.open(bad);
        QFile::remove(bad);
        QCOMPARE(f.prompter.texts().size(), 1);
        if (message == 362)
            QCOMPARE(f.prompter.lastText(),
                     JoinTexts({362, 363}) + (where.isEmpty() ? QString() : QStringLiteral("\n\n") + where));
        else
            QVERIFY(f.prompter.lastText().startsWith(LoadText(message)));
        QCOMPARE(f.snapshot(), before);
    }

    void saveOfAnUntitledTableAsksForAName()
    {
        Fixture f;
        f.fillTable();
        QDir().mkpath(f.path("b"));
        f.dialogs.choose(f.path("b/first.ktd"));
        QCOMPARE(f.commands->save(), PositionFileCommands::SaveResult::Saved);
        const FileDialogs::Request &r = f.dialogs.requests().first();
        QCOMPARE(QStringList({r.title, r.initialName, r.defaultExtension}),
                 QStringList({LoadText(523), LoadText(490), LoadText(404)}));
        QVERIFY(r.confirmOverwrite);
        QVERIFY(QFile::exists(f.path("b/first.ktd")));
        QCOMPARE(f.lblFileName.text(), QStringLiteral("first"));
    }

    // A save refused by the table's checks (before the file dialog) or
    // failing in the write says why and keeps the old file.
    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("asked"); // the file dialog shown
        QTest::addColumn<QString>("message"); // its start
        const QString line = QStringLiteral("\n\n<") + LoadText(409) + QStringLiteral("%1>\n\n");
        QTest::newRow("all empty") << "empty" << false << JoinTexts({459, 460});
        QTest::newRow("position 2 empty") << "hole" << false << JoinTexts({475, 476}) + line.arg(2);
        QTest::newRow("VEL 12") << "VEL 12" << false << LoadText(467) + line.arg(1);
        QTest::newRow("comment Shift_JIS cannot hold") << "comment" << true << LoadText(720);
        QTest::newRow("write cut short") << "limit" << true << LoadText(721);
        QTest::newRow("folder under a regular file") << "folder" << true << LoadText(721);
    }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, how);
        QFETCH(bool, asked);
        QFETCH(QString, message);
        Fixture f;
        const QByteArray old = positionFile(kModel);
        const QString existing = f.path("c/table.ktd");
        writeBytes(existing, old);
        f.fillTable();
        for (int r = 1; r <= 3; ++r)
            if (how == QLatin1String("empty") || (how == QLatin1String("hole") && r == 2))
                f.grid.setCellText(r, Col::ColAcc, QString());
        if (how == QLatin1String("VEL 12"))
            f.grid.setCellText(1, Col::ColVel, QStringLiteral("12"));
        if (how == QLatin1String("comment"))
            f.grid.setCellText(2, Col::ColComment, QStringLiteral("Ünïcode 😀"));
        f.dialogs.choose(how == QLatin1String("folder") ? existing + QStringLiteral("/sub/table.ktd") : existing);
        PositionFileCommands::SaveResult result;
        {
            // The superuser writes into read-only folders, but not past the
            // file size limit: the write fails for real either way.
            const FileSizeLimit limit(how == QLatin1String("limit") ? 16 : RLIM_INFINITY);
            result = f.commands->saveAs();
        }
        QCOMPARE(result, PositionFileCommands::SaveResult::NotSaved);
        QCOMPARE(f.prompter.texts().size(), 1);
        QVERIFY2(f.prompter.lastText().startsWith(message), qPrintable(f.prompter.lastText()));
        QCOMPARE(f.dialogs.requests().size(), asked ? 1 : 0);
        QCOMPARE(FileBytes(existing), old);
        QCOMPARE(QDir(f.path("c")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("table.ktd")});
        QVERIFY(f.data.gDataChanged);
        QCOMPARE(f.commands->docName(), LoadText(483));
    }

    // A changed table is asked about before File New or the window's close
    // (unchanged tables and a busy close are the start-up test's).
    void unsavedChangesAreAskedAbout_data()
    {
        QTest::addColumn<bool>("isNew"); // File New; otherwise closing the window
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveTo"); // "": the save dialog is cancelled
        QTest::addColumn<bool>("goesOn");
        QTest::newRow("close, Cancel") << false << int(Answer::Cancel) << "" << false;
        QTest::newRow("close, Yes, dialog cancelled") << false << int(Answer::Yes) << "" << false;
        QTest::newRow("close, Yes, saved") << false << int(Answer::Yes) << "s.ktd" << true;
        QTest::newRow("new, No") << true << int(Answer::No) << "" << true;
        QTest::newRow("new, Cancel") << true << int(Answer::Cancel) << "" << false;
        QTest::newRow("new, Yes, dialog cancelled") << true << int(Answer::Yes) << "" << false;
    }
    void unsavedChangesAreAskedAbout()
    {
        QFETCH(bool, isNew);
        QFETCH(int, answer);
        QFETCH(QString, saveTo);
        QFETCH(bool, goesOn);
        Fixture f;
        f.fillTable();
        f.prompter.answer(Answer(answer));
        if (saveTo.isEmpty())
            f.dialogs.cancel();
        else
            f.dialogs.choose(f.path(saveTo));

        if (isNew) {
            f.commands->fileNew();
            QCOMPARE(f.grid.cellText(2, Col::ColComment).isEmpty(), goesOn);
            QCOMPARE(f.data.gDataChanged, !goesOn);
        } else {
            const auto closes = f.commands->closeRequest(false, false);
            QCOMPARE(closes == PositionFileCommands::CloseAnswer::Close, goesOn);
        }
        QCOMPARE(f.prompter.texts(), QStringList{LoadText(481) + QStringLiteral(" ") + LoadText(482)});
        QCOMPARE(QFile::exists(f.path("s.ktd")), !saveTo.isEmpty());
    }
};

KTED_TEST_MAIN(TestFile)
#include "tst_file.moc"
