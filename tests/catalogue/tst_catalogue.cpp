#include "app/appstate.h"
#include "app/devsetting.h"
#include "app/settingsstore.h"
#include "catalogue/catalogue.h"
#include "catalogue/listfiles.h"
#include "common/datafile.h"
#include "common/numbers.h"
#include "common/seqfile.h"
#include "scriptedprompter.h"
#include "testenv.h"
#include "text/stringtable.h"

#include <QDir>
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

int MaxPulse(double stroke, int lead, int ppr)
{
    return int(CeilAfterOneDecimal(stroke / lead * ppr));
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetLangOffset(10000); }
    void lookups_data();
    void lookups();
    void unreadableFiles_data();
    void unreadableFiles();
    void tablesAndGeneration();
    void seekRidoAndPPR_data();
    void seekRidoAndPPR();
    void fileReplacedBetweenLookups();
    void readStdPrmList_data();
    void readStdPrmList();
    void listFileDir_data();
    void listFileDir();
    void readDevSetting_data();
    void readDevSetting();
    void shippedCatalogues();
    void shippedErrorList();
};

void TestCatalogue::lookups_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("newType");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("stroke");
    QTest::addColumn<int>("lead"); // 0: not listed
    QTest::addColumn<int>("ppr");
    QTest::addColumn<int>("home");
    QTest::addColumn<bool>("sizeListed");

    QTest::newRow("KT new") << "KT" << true << " 28" << "L" << 100 << 2 << 400 << 1 << true;
    QTest::newRow("KT old") << "KT" << false << " 28" << "L" << 100 << 3 << 400 << 1 << true;
    QTest::newRow("RW") << "RW" << true << " 28" << "L" << 100 << 4 << 400 << 0 << true;
    QTest::newRow("rw reads RW") << "rw" << true << " 28" << "L" << 100 << 4 << 400 << 0 << true;
    QTest::newRow("Kt reads RW") << "Kt" << false << " 28" << "L" << 100 << 4 << 400 << 0 << true;
    QTest::newRow("first row wins") << "KT" << true << " 35" << "H" << 100 << 6 << 400 << 2 << true;
    QTest::newRow("stroke 050 is 50") << "KT" << true << " 20" << "L" << 50 << 2 << 400 << 2 << true;
    QTest::newRow("192 pulses") << "KT" << true << " 42" << "D" << 600 << 12 << 192 << 2 << true;
    QTest::newRow("unquoted code lost its blank")
        << "KT" << true << " 50" << "L" << 100 << 0 << 0 << 99 << false;
    QTest::newRow("size without blank") << "KT" << true << "28" << "L" << 100 << 0 << 0 << 99 << false;
    QTest::newRow("speed case") << "KT" << true << " 28" << "l" << 100 << 0 << 0 << 99 << true;
    QTest::newRow("stroke not listed") << "KT" << true << " 28" << "L" << 75 << 0 << 0 << 99 << true;
    QTest::newRow("size not listed") << "KT" << true << "E35" << "L" << 50 << 0 << 0 << 99 << false;
}

void TestCatalogue::lookups()
{
    QFETCH(QString, family);
    QFETCH(bool, newType);
    QFETCH(QString, size);
    QFETCH(QString, speed);
    QFETCH(int, stroke);
    QFETCH(int, lead);
    QFETCH(int, ppr);
    QFETCH(int, home);
    QFETCH(bool, sizeListed);

    Fixture f;
    // " 50" stands only unquoted, so that size is not listed.
    f.write("nktdevice.lst", DeviceList({"\" 28L-100\",2,400,0,1", "\" 35H-100\",6,400,0,2",
                                         "\" 35H-100\",8,200,0,0", "\" 20L-050\",2,400,0,2",
                                         " 50L-100,2,400,0,1", "\" 42D-600\",12,192,0,2"}));
    f.write("ktdevice.lst", DeviceList({"\" 28L-100\",3,400,0,1"}));
    f.write("rwdevice.lst", DeviceList({"\" 28L-100\",4,400,0,0"}));
    f.state.gIsNewType = newType;
    f.state.gDevFamily = family;

    QCOMPARE(f.catalogue.SeekRido(family, newType, size, speed, stroke), lead);
    QCOMPARE(f.catalogue.CheckDevice(newType, family, size, speed, stroke), lead ? 0 : 1);
    QCOMPARE(f.catalogue.GetHomeCode(newType, family, size, speed, stroke), home);
    QCOMPARE(f.catalogue.GetHomeCode(newType, size, speed, stroke), home);
    QCOMPARE(f.catalogue.CheckDeviceSize(newType, family, size), sizeListed ? 0 : 1);
    int16_t foundLead = 0, foundPpr = 0;
    QCOMPARE(f.catalogue.SeekEachRidoAndPPR(family, size, speed, stroke, foundLead, foundPpr),
             lead ? 0 : 1);
    QCOMPARE(int{foundLead}, lead);
    QCOMPARE(int{foundPpr}, ppr);
    QCOMPARE(f.prompter.texts(), QStringList());
}

void TestCatalogue::unreadableFiles_data()
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
}

void TestCatalogue::unreadableFiles()
{
    QFETCH(QString, content);
    QFETCH(bool, tableRead);
    QFETCH(bool, lookupRead);
    QFETCH(int, held);
    QFETCH(int, sizeLast);

    Fixture f;
    if (!content.isNull())
        f.write("nktdevice.lst", content);
    QCOMPARE(f.catalogue.ReadDeviceList(), tableRead ? 0 : 1);
    const CatalogueTables &t = f.catalogue.tables();
    QCOMPARE(t.gNoDevListFile, !tableRead);
    QCOMPARE(int{t.gDevListCount}, held);
    QCOMPARE(t.gDevSizeLast, sizeLast);
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
    QCOMPARE(f.catalogue.SeekEachRidoAndPPR(kt, size, speed, 1, lead, ppr), found ? 0 : 1);
    const QStringList failures = {kNoFile, kNoFileAdvice, kNoFile, kNoFile, kNoFile, kNoFileAdvice};
    QCOMPARE(f.prompter.texts(), lookupRead ? QStringList() : failures);
}

void TestCatalogue::tablesAndGeneration()
{
    Fixture f;
    // The line structure of a list file is free.
    f.write("nktdevice.lst", "5\r\n\" 28L-050\",2,400,7,1,\" 35H-100\",6,400,7,2\r\n"
                             "\" 28H-100\",6,400,7,1\r\n\" 20L-025\",2,400,7,2,\" 28L-100\",2,400,7,1\r\n");
    f.write("ktdevice.lst", DeviceList({"\"E35L-050\",2,400,0,1"}));
    QCOMPARE(f.catalogue.ReadDeviceList(), 0);
    const CatalogueTables &t = f.catalogue.tables();
    const DeviceRecord &r = t.gDevList[2];
    QCOMPARE(QStringList({r.code, r.size, r.speed}), QStringList({" 35H-100", " 35", "H"}));
    QCOMPARE(QList<double>({r.stroke, double(r.lead), double(r.ppr), double(r.homeCode)}),
             QList<double>({100, 6, 400, 2}));
    QCOMPARE(QStringList(t.gDevSizeList.begin(), t.gDevSizeList.begin() + t.gDevSizeLast + 1),
             QStringList({" 28", " 35", " 20"}));
    f.catalogue.MakeSpeedList(" 28");
    QCOMPARE(QStringList(t.gDevSpeedList.begin(), t.gDevSpeedList.begin() + t.gDevSpeedLast + 1),
             QStringList({"L", "H"}));
    f.catalogue.MakeSpeedList("E35");
    QCOMPARE(t.gDevSpeedLast, -1);

    // The selection's generation flag, not the current model's, when asked.
    f.catalogue.selection().gSelIsNewType = false;
    QCOMPARE(f.catalogue.ReadDeviceList(Catalogue::Generation::Selection), 0);
    QCOMPARE(t.gDevList[1].code, "E35L-050");
    QCOMPARE(f.catalogue.ReadDeviceList(Catalogue::Generation::Current), 0);
    QCOMPARE(t.gDevList[1].code, " 28L-050");
}

void TestCatalogue::seekRidoAndPPR_data()
{
    QTest::addColumn<QString>("model"); // size, speed, stroke
    QTest::addColumn<int>("lead");      // 0: not found
    QTest::addColumn<int>("ppr");

    QTest::newRow("found") << " 42D300" << 12 << 192;
    QTest::newRow("first row wins") << " 28L100" << 2 << 400;
    QTest::newRow("not listed") << " 28L150" << 0 << 0;
    // An entry without pulses or lead could only divide by zero later.
    QTest::newRow("zero pulses") << " 28H100" << 0 << 0;
    QTest::newRow("zero lead") << " 35H100" << 0 << 0;
}

void TestCatalogue::seekRidoAndPPR()
{
    QFETCH(QString, model);
    QFETCH(int, lead);
    QFETCH(int, ppr);

    Fixture f;
    f.write("nktdevice.lst", DeviceList({"\" 28L-100\",2,400,0,1", "\" 28L-100\",6,200,0,1",
                                         "\" 42D-300\",12,192,0,2", "\" 28H-100\",6,0,0,1",
                                         "\" 35H-100\",0,400,0,1"}));
    QCOMPARE(f.catalogue.ReadDeviceList(), 0);
    f.state.gChkSize = QStringLiteral("E35"); // an earlier failure must not outlive a success
    f.catalogue.SeekRidoAndPPR();
    QVERIFY(f.catalogue.devInfoNotFound());
    f.prompter.clear();

    f.state.gDevLead = f.state.gDevPPR = 77;
    f.state.gChkSize = model.left(3);
    f.state.gChkSpeed = model.mid(3, 1);
    f.state.gChkStroke = int16_t(model.mid(4).toInt());
    f.catalogue.SeekRidoAndPPR();
    QCOMPARE(f.catalogue.devInfoNotFound(), lead == 0);
    QCOMPARE(QList<int>({f.state.gDevLead, f.state.gDevPPR}),
             lead ? QList<int>({lead, ppr}) : QList<int>({77, 77}));
    QCOMPARE(f.prompter.texts(), lead ? QStringList() : QStringList{kNotFound});
}

void TestCatalogue::fileReplacedBetweenLookups()
{
    Fixture f;
    f.write("rwdevice.lst", DeviceList({"\" 28H-100\",6,400,0,0"}));
    QCOMPARE(f.catalogue.SeekRido("RW", false, " 28", "H", 100), 6);
    QCOMPARE(f.catalogue.GetHomeCode(false, "RW", " 28", "H", 100), 0);
    f.write("rwdevice.lst", DeviceList({"\" 28H-100\",8,400,0,2"}));
    QCOMPARE(f.catalogue.SeekRido("RW", false, " 28", "H", 100), 8);
    QCOMPARE(f.catalogue.GetHomeCode(false, "RW", " 28", "H", 100), 2);
    QVERIFY(QFile::remove(f.dir.filePath("rwdevice.lst")));
    QCOMPARE(f.catalogue.SeekRido("RW", false, " 28", "H", 100), 0);
    QCOMPARE(f.prompter.texts(), QStringList{kNoFileAdvice});
}

void TestCatalogue::readStdPrmList_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("newType");
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<QString>("content"); // replaces the file read; null: no file
    QTest::addColumn<QString>("code");    // empty: the read fails
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("homing");

    const QString same; // the files written by the test
    const QString ones = QString("1,").repeated(20) + "1";
    QStringList many;
    for (int i = 1; i <= 100; ++i)
        many << QStringLiteral("\" 28L-%1\",").arg(i, 3, 10, QChar(u'0')) + ones;
    QTest::newRow("KT new vertical") << "KT" << true << true << same << " 28L-100" << 0 << 1;
    QTest::newRow("KT new standard") << "KT" << true << false << same << " 28L-100" << 0 << 0;
    QTest::newRow("KT old vertical") << "KT" << false << true << same << "E35L-050" << 1 << 1;
    QTest::newRow("RW vertical") << "RW" << true << true << same << " 35H-300" << 2 << 0;
    QTest::newRow("rw reads RW") << "rw" << false << false << same << " 35H-300" << 2 << 0;
    QTest::newRow("no file") << "KT" << true << true << QString("") << "" << 0 << 0;
    QTest::newRow("100 models") << "KT" << true << true << "100,\"x\"\r\n" + many.join("\r\n")
                                << "" << 0 << 0;
    QTest::newRow("value not a number")
        << "KT" << true << true << "1,\"x\"\r\n\" 28L-100\"," + ones.chopped(1) + "a" << "" << 0 << 0;
}

void TestCatalogue::readStdPrmList()
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
    if (!content.isNull()) {
        QFile::remove(f.dir.filePath("nktstdprm.lst"));
        if (!content.isEmpty())
            f.write("nktstdprm.lst", content);
    }
    f.catalogue.selection().gSelFamily = family;
    f.catalogue.selection().gSelIsNewType = newType;

    const int result = f.catalogue.ReadStdPrmList(vertical);
    const CatalogueTables &t = f.catalogue.tables();
    // A failure is the parameter window's to report; the reader stays silent.
    QCOMPARE(f.prompter.texts(), QStringList());
    QCOMPARE(result, code.isEmpty() ? 1 : 0);
    QCOMPARE(t.gNoStdPrmFile, code.isEmpty());
    QVERIFY(t.gStdPrmCount <= CatalogueTables::kMaxModels);
    if (code.isEmpty())
        return;
    const StdPrmRecord &r = t.gStdPrmList[t.gStdPrmCount];
    QCOMPARE(QStringList({r.actuator, r.size, r.speed}),
             QStringList({code, code.left(3), code.mid(3, 1)}));
    QCOMPARE(r.stroke, code.right(3).toInt());
    QCOMPARE(f.catalogue.FindStdPrm(r.size, r.speed, r.stroke), int{t.gStdPrmCount});
    QCOMPARE(f.catalogue.FindStdPrm(r.size, r.speed, r.stroke + 1), 0);
    QList<int> got(r.value.begin() + 1, r.value.end());
    got.removeAt(21); // parameter 22 is the model code
    QCOMPARE(got, QList<int>({101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113,
                              114, 115, 116, 117, homing, 118, 119, type, 120, 121}));
}

void TestCatalogue::listFileDir_data()
{
    QTest::addColumn<QString>("environment");
    QTest::addColumn<bool>("listsBesideProgram");
    QTest::addColumn<bool>("shareExists");
    QTest::addColumn<QString>("expected"); // below the scratch folder

    QTest::newRow("beside the program") << "" << true << true << "bin";
    QTest::newRow("installed") << "" << false << true << "share/kted";
    QTest::newRow("environment wins") << "elsewhere" << true << true << "elsewhere";
}

void TestCatalogue::listFileDir()
{
    QFETCH(QString, environment);
    QFETCH(bool, listsBesideProgram);
    QFETCH(bool, shareExists);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QDir(root.path()).mkpath(shareExists ? "share/kted" : "bin");
    QDir(root.path()).mkpath("bin");
    if (listsBesideProgram)
        QVERIFY(WriteDataFile(root.filePath("bin/ktdevice.lst"), "0\r\n").ok);
    const QByteArray saved = qgetenv("KTED_DATA_DIR");
    qputenv("KTED_DATA_DIR", environment.isEmpty() ? QByteArray()
                                                   : root.filePath(environment).toLocal8Bit());
    const QString found = FindListFileDir(root.filePath("bin"));
    qputenv("KTED_DATA_DIR", saved);
    QCOMPARE(QDir::cleanPath(found), QDir::cleanPath(root.filePath(expected)));
}

void TestCatalogue::readDevSetting_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<bool>("catalogueFiles");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("lead");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("first run") << QVariantMap() << true << 0 << 2 << QStringList();
    QTest::newRow("RW model listed")
        << QVariantMap{{"Device", "RW"}, {"NewType", 0}, {"DevSize", " 35"}, {"DevSpeed", "H"},
                       {"DevStroke", 300}}
        << true << 0 << 8 << QStringList();
    QTest::newRow("model not listed") << QVariantMap{{"DevStroke", 110}} << true << 1 << 0 << QStringList();
    for (int stored : {2, 10, 11})
        QTest::addRow("no catalogue, lead %d", stored)
            << QVariantMap{{"DevLead", stored}} << false << (stored <= 10 ? 0 : 1)
            << (stored <= 10 ? stored : 0) << QStringList{kNoFile};
}

void TestCatalogue::readDevSetting()
{
    QFETCH(QVariantMap, stored);
    QFETCH(bool, catalogueFiles);
    QFETCH(int, result);
    QFETCH(int, lead);
    QFETCH(QStringList, messages);

    QTemporaryDir scratch;
    SettingsStore store(scratch.filePath("settings.ini"));
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        store.writeText(it.key(), it.value().toString());
    AppState state;
    state.gDevLead = 0;
    ScriptedPrompter prompter;
    Catalogue catalogue(state, prompter, catalogueFiles ? SourceDataDir() : scratch.path());

    QCOMPARE(ReadDevSetting(state, store, catalogue), result);
    QCOMPARE(int{state.gDevLead}, lead);
    QCOMPARE(prompter.texts(), messages);
    if (stored.isEmpty()) {
        QVERIFY(state.gIsKT && state.gIsNewType && state.gVertical);
        QCOMPARE(state.gDevSize + state.gDevSpeed, " 28L");
        QCOMPARE(QList<int>({state.gDevStroke, state.gDevPPR}), QList<int>({100, 400}));
    }
}

// The shipped lists: every model converts, its lead agrees with the
// calculator's reminder texts, every default-parameter record belongs to a
// listed model and passes the parameter range checks, and the three
// catalogues together use every homing code.
void TestCatalogue::shippedCatalogues()
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
            QVERIFY2(catalogue.SeekEachRidoAndPPR(family, d.size, d.speed, int(d.stroke), l, p) == 0, what);
            QVERIFY2(MaxPulse(d.stroke, l, p) > 0, what);
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
            QVERIFY2(catalogue.SeekEachRidoAndPPR(family, r.size, r.speed, r.stroke, l, p) == 0, what);
            QVERIFY2(r.value[19] == l && r.value[20] == p, what);
            QVERIFY2(r.value[1] == MaxPulse(r.stroke, l, p), what);
            for (const auto &[n, low, high] : ranges)
                QVERIFY2(r.value[n] >= low && r.value[n] <= high, what + " parameter " + QByteArray::number(n));
        }
        QCOMPARE(prompter.texts(), QStringList());
    }
    QCOMPARE(homeCodes, QSet<int>({0, 1, 2}));
}

void TestCatalogue::shippedErrorList()
{
    QString text;
    QVERIFY(ReadDataFile(QDir(SourceDataDir()).filePath(kErrorListFileName), text).ok);
    SequentialReader reader(text);
    const int count = reader.next().value_or(QString()).toInt();
    QVERIFY(count >= 20 && count <= 40);
    QHash<int, QString> comments;
    for (int i = 0; i < count; ++i) {
        const std::optional<QString> code = reader.next(), comment = reader.next();
        bool hex = false;
        QVERIFY(code && comment && !comment->isEmpty());
        comments.insert(code->toInt(&hex, 16), *comment);
        QVERIFY(hex);
    }
    QVERIFY(reader.atEnd());
    QCOMPARE(comments.size(), count);
    int alarms = 0;
    for (auto it = comments.cbegin(); it != comments.cend(); ++it) {
        if (it.key() >= 100)
            continue;
        ++alarms;
        QVERIFY2(comments.contains(it.key() + 100), QByteArray::number(it.key(), 16));
    }
    QVERIFY(alarms >= 10);
    QVERIFY(comments.value(0x0B).contains(QStringLiteral("原点センサー")));
    QVERIFY(comments.value(0x0E).contains(QStringLiteral("非常停止")));

    for (const QString &name : QDir(SourceDataDir()).entryList({"*.lst"}, QDir::Files)) {
        QFile file(QDir(SourceDataDir()).filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY2(bytes.endsWith("\r\n") && bytes.count('\n') == bytes.count("\r\n"), qPrintable(name));
    }
}

KTED_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
