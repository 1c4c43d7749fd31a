// The catalogue's list files and look-ups, the device selection dialog and
// the stroke calculator, the dialogs driven through their own controls as
// the user would.

#include "app/appstate.h"
#include "catalogue/catalogue.h"
#include "catalogue/devicedialog.h"
#include "catalogue/digitfields.h"
#include "catalogue/listfiles.h"
#include "catalogue/strokecalculator.h"
#include "common/datafile.h"
#include "common/numbers.h"
#include "scriptedprompter.h"
#include "testenv.h"
#include "text/stringtable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kNoFile = QStringLiteral("No device list file.");
const QString kNoFileAdvice = QStringLiteral(
    "No device list file.\n\nPut device list file in the folder in which the program is "
    "saved in order to indicate device information correctly.");
const QString kNotFound = QStringLiteral("Fail to find device information...");

QString DeviceList(int count, const QStringList &records)
{
    return QString::number(count) + "\r\n" + records.join("\r\n") + "\r\n";
}
QString DeviceList(const QStringList &records) { return DeviceList(int(records.size()), records); }

// count models " 28L-001", " 28L-002", ... (or one model of each given size)
QStringList Models(int count, const QStringList &sizes = {})
{
    QStringList records;
    for (int i = 1; i <= count; ++i)
        records << QStringLiteral("\"%1L-%2\",2,400,0,1")
                       .arg(sizes.isEmpty() ? QStringLiteral(" 28") : sizes[i - 1])
                       .arg(sizes.isEmpty() ? i : 1, 3, 10, QChar(u'0'));
    return records;
}

struct Fixture
{
    QTemporaryDir dir;
    AppState state;
    ScriptedPrompter prompter;
    Catalogue catalogue{state, prompter, dir.path()};
    void write(const QString &name, const QString &text)
    {
        QVERIFY(WriteDataFile(dir.filePath(name), text).ok);
    }
};

// Shown and active, so that the focus moves as it does on a desktop.
void showActive(QWidget &w)
{
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetLangOffset(10000); }

    // Every look-up of one model in the file its family and generation
    // choose, and the search of the current catalogue table for its lead
    // and pulses.
    void lookups_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("newType");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<int>("stroke");
        QTest::addColumn<int>("lead"); // 0: no usable entry
        QTest::addColumn<int>("ppr");
        QTest::addColumn<int>("home"); // 99: not listed
        QTest::addColumn<bool>("sizeListed");

        QTest::newRow("KT new") << "KT" << true << " 28" << "L" << 100 << 2 << 400 << 1 << true;
        QTest::newRow("KT old") << "KT" << false << " 28" << "L" << 100 << 3 << 400 << 1 << true;
        QTest::newRow("RW") << "RW" << true << " 28" << "L" << 100 << 4 << 400 << 0 << true;
        QTest::newRow("rw reads RW") << "rw" << true << " 28" << "L" << 100 << 4 << 400 << 0 << true;
        QTest::newRow("Kt reads RW") << "Kt" << false << " 28" << "L" << 100 << 4 << 400 << 0 << true;
        QTest::newRow("first row wins") << "KT" << true << " 35" << "H" << 100 << 6 << 400 << 2 << true;
        QTest::newRow("stroke 050 is 50") << "KT" << true << " 20" << "L" << 50 << 2 << 400 << 2 << true;
        QTest::newRow("192 pulses") << "KT" << true << " 42" << "D" << 600 << 12 << 192 << 2 << true;
        // Listed, but an entry without pulses or lead could only divide by
        // zero later.
        QTest::newRow("zero pulses") << "KT" << true << " 28" << "H" << 100 << 0 << 0 << 1 << true;
        QTest::newRow("zero lead") << "KT" << true << " 35" << "L" << 100 << 0 << 0 << 1 << true;
        QTest::newRow("unquoted code lost its blank")
            << "KT" << true << " 50" << "L" << 100 << 0 << 0 << 99 << false;
        QTest::newRow("size without blank") << "KT" << true << "28" << "L" << 100 << 0 << 0 << 99 << false;
        QTest::newRow("speed case") << "KT" << true << " 28" << "l" << 100 << 0 << 0 << 99 << true;
        QTest::newRow("stroke not listed") << "KT" << true << " 28" << "L" << 75 << 0 << 0 << 99 << true;
        QTest::newRow("size not listed") << "KT" << true << "E35" << "L" << 50 << 0 << 0 << 99 << false;
    }

    void lookups()
    {
        QFETCH(QString, family);
        QFETCH(bool, newType);
        QFETCH(QString, size);
        QFETCH(QString, speed);
        QFETCH(int, stroke);
        QFETCH(int, lead);
        QFETCH(int, ppr);
        QFETCH(int, home);

        Fixture f;
        // " 50" stands only unquoted, so that size is not listed.
        f.write("nktdevice.lst", DeviceList({"\" 28L-100\",2,400,0,1", "\" 35H-100\",6,400,0,2",
                                             "\" 35H-100\",8,200,0,0", "\" 20L-050\",2,400,0,2",
                                             " 50L-100,2,400,0,1", "\" 42D-600\",12,192,0,2",
                                             "\" 28H-100\",6,0,0,1", "\" 35L-100\",0,400,0,1"}));
        f.write("ktdevice.lst", DeviceList({"\" 28L-100\",3,400,0,1"}));
        f.write("rwdevice.lst", DeviceList({"\" 28L-100\",4,400,0,0"}));
        f.state.gIsNewType = newType;
        f.state.gDevFamily = family;

        QCOMPARE(f.catalogue.SeekRido(family, newType, size, speed, stroke), lead);
        QCOMPARE(f.catalogue.CheckDevice(newType, family, size, speed, stroke), home == 99 ? 1 : 0);
        QCOMPARE(f.catalogue.GetHomeCode(newType, family, size, speed, stroke), home);
        QCOMPARE(f.catalogue.GetHomeCode(newType, size, speed, stroke), home);
        QTEST(f.catalogue.CheckDeviceSize(newType, family, size) == 0, "sizeListed");
        int16_t foundLead = 0, foundPpr = 0;
        QCOMPARE(f.catalogue.SeekEachRidoAndPPR(family, newType, size, speed, stroke, foundLead, foundPpr),
                 lead ? 0 : 1);
        QCOMPARE(QList<int>({foundLead, foundPpr}), QList<int>({lead, ppr}));
        QCOMPARE(f.prompter.texts(), QStringList());

        // The current catalogue table, after a failed search whose flag must
        // not outlive a success.
        QCOMPARE(f.catalogue.ReadDeviceList(), 0);
        f.state.gChkSize = QStringLiteral("E35");
        f.catalogue.SeekRidoAndPPR();
        QVERIFY(f.catalogue.devInfoNotFound());
        f.prompter.clear();
        f.state.gChkSize = size;
        f.state.gChkSpeed = speed;
        f.state.gChkStroke = int16_t(stroke);
        f.state.gDevLead = f.state.gDevPPR = 77;
        f.catalogue.SeekRidoAndPPR();
        QCOMPARE(f.catalogue.devInfoNotFound(), lead == 0);
        QCOMPARE(QList<int>({f.state.gDevLead, f.state.gDevPPR}),
                 lead ? QList<int>({lead, ppr}) : QList<int>({77, 77}));
        QCOMPARE(f.prompter.texts(), lead ? QStringList() : QStringList{kNotFound});
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QString>("content");  // null: no file
        QTest::addColumn<bool>("tableRead");   // ReadDeviceList succeeds
        QTest::addColumn<bool>("lookupRead");  // the look-ups can read the file
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("sizeLast");

        const QStringList seven = {" 20", " 28", " 35", " 42", "E35", " 50", " 60"};
        QTest::newRow("99 models") << DeviceList(Models(99)) << true << true << 99 << 0;
        QTest::newRow("100 models") << DeviceList(Models(100)) << false << false << 99 << 0;
        QTest::newRow("6 sizes") << DeviceList(Models(6, seven)) << true << true << 6 << 5;
        // The six-size limit belongs to ReadDeviceList's table only.
        QTest::newRow("7 sizes") << DeviceList(Models(7, seven)) << false << true << 7 << 5;
        QTest::newRow("no models") << DeviceList({}) << true << true << 0 << -1;
        QTest::newRow("no file") << QString() << false << false << 0 << -1;
        QTest::newRow("fewer records than counted") << DeviceList(3, Models(2)) << false << false << 2 << 0;
        QTest::newRow("lead not a number")
            << DeviceList({"\" 28L-001\",2,400,0,1", "\" 28L-200\",two,400,0,1"}) << false << false
            << 1 << 0;
        QTest::newRow("negative count") << DeviceList(-1, {}) << false << false << 0 << -1;
        // A count that is not a number is a damaged file, not an empty list.
        QTest::newRow("count not a number")
            << QString(DeviceList(Models(2))).replace(0, 1, QStringLiteral("x")) << false << false << 0 << -1;
    }

    void unreadableFiles()
    {
        QFETCH(QString, content);
        QFETCH(bool, tableRead);
        QFETCH(bool, lookupRead);
        QFETCH(int, held);

        Fixture f;
        if (!content.isNull())
            f.write("nktdevice.lst", content);
        QCOMPARE(f.catalogue.ReadDeviceList(), tableRead ? 0 : 1);
        const CatalogueTables &t = f.catalogue.tables();
        QCOMPARE(t.gNoDevListFile, !tableRead);
        QCOMPARE(int{t.gDevListCount}, held);
        QTEST(t.gDevSizeLast, "sizeLast");
        QCOMPARE(f.prompter.texts(), tableRead ? QStringList() : QStringList{kNoFileAdvice});
        for (const ScriptedPrompter::Shown &shown : f.prompter.shown())
            QCOMPARE(shown.icon, Prompter::Icon::Exclamation);
        f.prompter.clear();

        // " 28L-001" is listed in every readable file but the empty one.
        const bool found = lookupRead && held > 0;
        const QString kt("KT"), size(" 28"), speed("L");
        int16_t lead = 0, ppr = 0;
        QCOMPARE(f.catalogue.CheckDeviceList(kt, true), lookupRead ? 0 : 1);
        QCOMPARE(f.catalogue.SeekRido(kt, true, size, speed, 1), found ? 2 : 0);
        QCOMPARE(f.catalogue.CheckDevice(true, kt, size, speed, 1), found ? 0 : 1);
        QCOMPARE(f.catalogue.CheckDeviceSize(true, kt, size), found ? 0 : 1);
        QCOMPARE(f.catalogue.GetHomeCode(true, kt, size, speed, 1), found ? 1 : 99);
        QCOMPARE(f.catalogue.SeekEachRidoAndPPR(kt, true, size, speed, 1, lead, ppr), found ? 0 : 1);
        const QStringList failures = {kNoFile, kNoFileAdvice, kNoFile, kNoFile, kNoFile, kNoFileAdvice};
        QCOMPARE(f.prompter.texts(), lookupRead ? QStringList() : failures);
    }

    void tablesGenerationAndFreshReads()
    {
        Fixture f;
        // The line structure of a list file is free.
        f.write("nktdevice.lst", "5\r\n\" 28L-050\",2,400,7,1,\" 35H-100\",6,400,7,2\r\n"
                                 "\" 28H-100\",6,400,7,1\r\n\" 20L-025\",2,400,7,2,\" 28L-100\",2,400,7,1\r\n");
        f.write("ktdevice.lst", DeviceList({"\"E35L-050\",2,400,0,1"}));
        QCOMPARE(f.catalogue.ReadDeviceList(), 0);
        const CatalogueTables &t = f.catalogue.tables();
        QCOMPARE(QStringList(t.gDevSizeList.begin(), t.gDevSizeList.begin() + t.gDevSizeLast + 1),
                 QStringList({" 28", " 35", " 20"}));
        f.catalogue.MakeSpeedList(" 28");
        QCOMPARE(QStringList(t.gDevSpeedList.begin(), t.gDevSpeedList.begin() + t.gDevSpeedLast + 1),
                 QStringList({"L", "H"}));

        // The selection's generation flag, not the current model's, when asked.
        f.catalogue.selection().gSelIsNewType = false;
        QCOMPARE(f.catalogue.ReadDeviceList(Catalogue::Generation::Selection), 0);
        QCOMPARE(t.gDevList[1].code, "E35L-050");
        QCOMPARE(f.catalogue.ReadDeviceList(Catalogue::Generation::Current), 0);
        QCOMPARE(t.gDevList[1].code, " 28L-050");

        // Every look-up reads its file afresh.
        f.write("rwdevice.lst", DeviceList({"\" 28H-100\",6,400,0,0"}));
        QCOMPARE(f.catalogue.GetHomeCode(false, "RW", " 28", "H", 100), 0);
        f.write("rwdevice.lst", DeviceList({"\" 28H-100\",8,400,0,2"}));
        QCOMPARE(f.catalogue.SeekRido("RW", false, " 28", "H", 100), 8);
        QCOMPARE(f.catalogue.GetHomeCode(false, "RW", " 28", "H", 100), 2);
        QVERIFY(QFile::remove(f.dir.filePath("rwdevice.lst")));
        QCOMPARE(f.catalogue.SeekRido("RW", false, " 28", "H", 100), 0);
        QCOMPARE(f.prompter.texts(), QStringList{kNoFileAdvice});
    }

    void readStdPrmList_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("newType");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QString>("content"); // replaces the KT new list
        QTest::addColumn<QString>("code");    // the last model; empty: the read fails
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("homing");

        const QString ones = QString("1,").repeated(20) + "1";
        const QString many = QString("\" 28L-100\"," + ones + "\r\n").repeated(100);
        QTest::newRow("KT new vertical") << "KT" << true << true << QString() << " 28L-100" << 0 << 1;
        QTest::newRow("KT old standard") << "KT" << false << false << QString() << "E35L-050" << 1 << 0;
        QTest::newRow("RW vertical") << "RW" << true << true << QString() << " 35H-300" << 2 << 0;
        QTest::newRow("rw reads RW") << "rw" << false << false << QString() << " 35H-300" << 2 << 0;
        QTest::newRow("100 models") << "KT" << true << true << "100,\"x\"\r\n" + many << ""
                                    << 0 << 0;
        QTest::newRow("value not a number")
            << "KT" << true << true << "1,\"x\"\r\n\" 28L-100\"," + ones.chopped(1) + "a" << "" << 0 << 0;
        QTest::newRow("count not a number")
            << "KT" << true << true << "one,\"x\"\r\n\" 28L-100\"," + ones << "" << 0 << 0;
    }

    void readStdPrmList()
    {
        QFETCH(QString, family);
        QFETCH(bool, newType);
        QFETCH(bool, vertical);
        QFETCH(QString, content);
        QFETCH(QString, code);
        QFETCH(int, type);
        QFETCH(int, homing);

        Fixture f;
        // Values count up from 101 in file order: parameters 1..17, 19, 20, 23, 24.
        QString values;
        for (int v = 101; v <= 121; ++v)
            values += QLatin1Char(',') + QString::number(v);
        f.write("nktstdprm.lst", "2,\"x\"\r\n\" 20L-025\"" + values + "\r\n\" 28L-100\"" + values);
        f.write("ktstdprm.lst", "1,\"x\"\r\n\"E35L-050\"" + values);
        f.write("rwstdprm.lst", "1,\"x\"\r\n\" 35H-300\"" + values);
        if (!content.isNull())
            f.write("nktstdprm.lst", content);
        f.catalogue.selection() = {family, newType};

        // A failure is the parameter window's to report; the reader stays silent.
        QCOMPARE(f.catalogue.ReadStdPrmList(vertical), code.isEmpty() ? 1 : 0);
        QCOMPARE(f.prompter.texts(), QStringList());
        const CatalogueTables &t = f.catalogue.tables();
        QCOMPARE(t.gNoStdPrmFile, code.isEmpty());
        if (code.isEmpty())
            return;
        QCOMPARE(f.catalogue.FindStdPrm(code.left(3), code.mid(3, 1), code.right(3).toInt()), int{t.gStdPrmCount});
        const StdPrmRecord &r = t.gStdPrmList[t.gStdPrmCount];
        QCOMPARE(r.actuator, code);
        QList<int> got(r.value.begin() + 1, r.value.end());
        got.removeAt(21); // parameter 22 is the model code
        QCOMPARE(got, QList<int>({101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113,
                                  114, 115, 116, 117, homing, 118, 119, type, 120, 121}));
    }

    // The list files beside the program, else those of an installation,
    // unless the environment names their folder.
    void listFileDir()
    {
        QTemporaryDir root;
        const QString bin = root.filePath("bin"), share = root.filePath("share/kted");
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(share));
        qunsetenv("KTED_DATA_DIR");
        QCOMPARE(QDir::cleanPath(FindListFileDir(bin)), share);
        QVERIFY(WriteDataFile(bin + "/ktdevice.lst", "0\r\n").ok);
        QCOMPARE(QDir::cleanPath(FindListFileDir(bin)), bin);
        qputenv("KTED_DATA_DIR", root.filePath("elsewhere").toLocal8Bit());
        QCOMPARE(QDir::cleanPath(FindListFileDir(bin)), root.filePath("elsewhere"));
        qunsetenv("KTED_DATA_DIR");
    }

    // The shipped lists: every model converts, its lead agrees with the
    // calculator's reminder texts, every default-parameter record belongs to a
    // listed model and passes the parameter range checks, and the three
    // catalogues together use every homing code.
    void shippedCatalogues()
    {
        QHash<QString, int> reminded; // "KT-35H" -> lead, from texts 125 to 127
        const QRegularExpression model("(KT|RW)-\\d\\d[A-Z]"), lead("LEAD (\\d+)mm");
        for (int id : {125, 126, 127}) {
            const QString text = LoadText(id);
            for (auto it = model.globalMatch(text); it.hasNext();)
                reminded.insert(it.next().captured(), lead.match(text).captured(1).toInt());
        }
        QVERIFY(reminded.size() >= 8);
        // The range checks of the parameter file, narrowed where the editor's
        // fields are narrower (stroke, homing velocity, offset speed).
        const int ranges[][3] = {{1, 1, 100000}, {2, 0, 700}, {3, 0, 255}, {4, 1, 16}, {5, 1, 16},
                                 {6, 1, 60}, {7, 1, 60}, {8, 1, 60}, {9, 1, 60}, {10, 1, 60},
                                 {11, 1, 60}, {12, 1, 60}, {13, 1, 60}, {14, 1, 60}, {15, 1, 30},
                                 {16, 1, 30}, {17, 1, 30}, {19, 1, 255}, {20, 1, 9999},
                                 {23, 0, 1}, {24, 0, 1}};
        QSet<int> homeCodes;
        const std::pair<const char *, bool> lists[] = {{"KT", true}, {"KT", false}, {"RW", false}};
        for (const auto &[family, newType] : lists) {
            AppState state;
            state.gDevFamily = family;
            state.gIsNewType = newType;
            ScriptedPrompter prompter;
            Catalogue catalogue(state, prompter, SourceDataDir());
            const CatalogueTables &t = catalogue.tables();
            QCOMPARE(catalogue.ReadDeviceList(), 0);
            QVERIFY(t.gDevListCount > 0);
            for (int i = 1; i <= t.gDevListCount; ++i) {
                const DeviceRecord &d = t.gDevList[i];
                const QByteArray what = family + d.code.toLatin1();
                int16_t l = 0, p = 0;
                QVERIFY2(d.code.size() == 8 && d.code[4] == u'-' && d.stroke >= 25 && d.stroke <= 600, what);
                QVERIFY2(catalogue.SeekEachRidoAndPPR(family, newType, d.size, d.speed, int(d.stroke), l, p) == 0, what);
                QVERIFY2(CeilAfterOneDecimal(d.stroke / l * p) > 0, what);
                const QString name = QString(family) + u'-' + d.size.trimmed() + d.speed;
                QVERIFY2(reminded.value(name, l) == l, what);
                homeCodes << d.homeCode;
            }
            catalogue.selection() = {family, newType};
            QCOMPARE(catalogue.ReadStdPrmList(false), 0);
            QVERIFY(t.gStdPrmCount > 0);
            for (int i = 1; i <= t.gStdPrmCount; ++i) {
                const StdPrmRecord &r = t.gStdPrmList[i];
                const QByteArray what = family + r.actuator.toLatin1();
                int16_t l = 0, p = 0;
                QVERIFY2(catalogue.SeekEachRidoAndPPR(family, newType, r.size, r.speed, r.stroke, l, p) == 0, what);
                QVERIFY2(r.value[19] == l && r.value[20] == p, what);
                QVERIFY2(r.value[1] == CeilAfterOneDecimal(double(r.stroke) / l * p), what);
                for (const auto &[n, low, high] : ranges)
                    QVERIFY2(r.value[n] >= low && r.value[n] <= high, what + " parameter " + QByteArray::number(n));
            }
            QCOMPARE(prompter.texts(), QStringList());
        }
        QCOMPARE(homeCodes, QSet<int>({0, 1, 2}));
    }

    // Typed in as a user does: Enter moves from the length to the lead and
    // on to "Calculate"; a lead the actuators do not have is removed when
    // the box is left. "Input" hands over only a result of the inputs shown
    // that the stroke field would take, and closes; otherwise it stays.
    void calculate_data()
    {
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("lead");
        QTest::addColumn<bool>("kt42d");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("leadLeft");
        QTest::addColumn<bool>("lengthEditedAfter");
        QTest::addColumn<bool>("handedOver");
        QTest::newRow("100 mm, lead 2") << "100" << "2" << false << "20000" << "2" << false << true;
        QTest::newRow("50 mm, lead 6, KT-42D") << "50" << "6" << true << "1600" << "6" << false << true;
        QTest::newRow("no length") << "" << "2" << false << LoadText(547) << "2" << false << false;
        QTest::newRow("lead 5 removed") << "100" << "5" << false << LoadText(547) << "" << false << false;
        QTest::newRow("fourth digit refused") << "1000" << "2" << false << "20000" << "2" << false << true;
        QTest::newRow("letters refused") << "1a0x0" << "1b2" << false << "3334" << "12" << false << true;
        QTest::newRow("above the stroke field") << "600" << "2" << false << "120000" << "2" << false << false;
        QTest::newRow("length edited after") << "300" << "2" << false << "60000" << "2" << true << false;
    }

    void calculate()
    {
        QFETCH(QString, length);
        QFETCH(QString, lead);
        QFETCH(bool, kt42d);
        QFETCH(QString, shown);
        QFETCH(bool, handedOver);
        StrokeCalculator c(1, 100000);
        showActive(c);
        if (kt42d)
            c.optActType[1]->click();
        c.txtStrokeTyo->setFocus();
        QTest::keyClicks(c.txtStrokeTyo, length);
        QTest::keyClick(c.txtStrokeTyo, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), c.txtRido);
        QTest::keyClicks(c.txtRido, lead);
        QTest::keyClick(c.txtRido, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), c.cmdCulStrokePulse);
        QTEST(c.txtRido->text(), "leadLeft");
        QTest::mouseClick(c.cmdCulStrokePulse, Qt::LeftButton);
        QCOMPARE(c.lblStrokePulse->text(), shown);

        QFETCH(bool, lengthEditedAfter);
        if (lengthEditedAfter)
            QTest::keyClick(c.txtStrokeTyo, Qt::Key_Backspace);
        QTest::mouseClick(c.cmdInputStroke, Qt::LeftButton);
        QCOMPARE(c.result().has_value(), handedOver);
        QCOMPARE(c.isVisible(), !handedOver);
        if (handedOver)
            QCOMPARE(QString::number(*c.result()), shown);
    }

    // The lists of a catalogue in which size " 20" has a fast speed listed
    // first, and the homing method each model allows.
    void deviceDialogLists_data()
    {
        QTest::addColumn<int>("family");      // 0 KT, 1 RW
        QTest::addColumn<bool>("oldType");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QStringList>("strokes");
        QTest::addColumn<bool>("homingFree");
        QTest::addColumn<bool>("sensor");
        QTest::newRow("KT new 20: L forced") << 0 << false << " 20" << "L" << QStringList{"50"} << false << true;
        QTest::newRow("KT old 28: free") << 0 << true << " 28" << "H" << QStringList{"100", "200"} << true << true;
        QTest::newRow("KT old 42: sensor") << 0 << true << " 42" << "L" << QStringList{"100"} << false << true;
        QTest::newRow("RW 28: pushing") << 1 << false << " 28" << "H" << QStringList{"100"} << false << false;
    }

    void deviceDialogLists()
    {
        Fixture f;
        f.write("nktdevice.lst", DeviceList({"\" 28H-100\",6,400,0,1", "\" 20H-025\",2,400,0,2",
                                             "\" 20L-050\",2,400,0,2", "\" 42L-100\",2,400,0,2"}));
        f.write("ktdevice.lst", DeviceList({"\" 28H-100\",6,400,0,1", "\" 28H-200\",6,400,0,1",
                                            "\" 42L-100\",2,400,0,2"}));
        f.write("rwdevice.lst", DeviceList({"\" 28H-100\",6,400,0,0"}));
        QFETCH(int, family);
        QFETCH(bool, oldType);
        QFETCH(QString, size);

        f.state.gDevSpeed = QStringLiteral("H"); // KT new " 28H-100", vertical
        const AppState before = f.state;
        DeviceDialog d(f.state, f.prompter, f.dir.path());
        d.optHomeMethod[1]->setChecked(true);
        d.optKtSelect[family]->click();
        if (oldType)
            d.chkNewOrOld->click();
        d.comboDeviceSize->setCurrentIndex(d.comboDeviceSize->findText(size));
        emit d.comboDeviceSize->activated(d.comboDeviceSize->currentIndex());
        QTEST(d.comboDeviceSpeed->currentText(), "speed");
        QStringList strokes;
        for (int i = 0; i < d.comboDeviceStroke->count(); ++i)
            strokes << d.comboDeviceStroke->itemText(i);
        QTEST(strokes, "strokes");
        QTEST(d.optHomeMethod[0]->isEnabled(), "homingFree");
        QTEST(d.optHomeMethod[1]->isChecked(), "sensor");

        // OK gives the choice as a value; the model it started from is the
        // caller's and stays as it was.
        d.cmdDeviceSet->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        const DeviceChoice choice = d.currentChoice();
        QCOMPARE(choice.family, QLatin1String(family == 0 ? "KT" : "RW"));
        QCOMPARE(choice.isNewType, family == 0 && !oldType);
        QCOMPARE(choice.size, size);
        QCOMPARE(f.prompter.texts(), QStringList());
        QCOMPARE(f.state.gDevSize, before.gDevSize);
        QCOMPARE(f.state.gDevFamily, before.gDevFamily);
    }
};

KTED_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
