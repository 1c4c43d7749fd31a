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
#include <QFile>
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

// A catalogue file: the count, then one record a line.
QString DeviceList(int count, const QStringList &records)
{
    return QString::number(count) + QStringLiteral("\r\n") + records.join(QStringLiteral("\r\n"))
           + QStringLiteral("\r\n");
}

QString DeviceList(const QStringList &records)
{
    return DeviceList(static_cast<int>(records.size()), records);
}

// count records " 28L-001" ... with one size and one speed.
QStringList NumberedModels(int count, const QString &size = QStringLiteral(" 28"))
{
    QStringList records;
    for (int i = 1; i <= count; ++i)
        records << QStringLiteral("\"%1L-%2\",2,400,0,1").arg(size).arg(i, 3, 10, QChar(u'0'));
    return records;
}

void WriteList(const QString &dir, const QString &name, const QString &text)
{
    QVERIFY(WriteDataFile(QDir(dir).filePath(name), text).ok);
}

// One catalogue and its collaborators in a folder of its own.
struct Fixture
{
    QTemporaryDir dir;
    AppState state;
    ScriptedPrompter prompter;
    Catalogue catalogue{state, prompter, dir.path()};
    void write(const QString &name, const QString &text) { WriteList(dir.path(), name, text); }
};

int MaxPulse(double stroke, int lead, int ppr)
{
    return static_cast<int>(CeilAfterOneDecimal(stroke / lead * ppr));
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetLangOffset(10000); }

    void lookups_data();
    void lookups();
    void checkDeviceSize_data();
    void checkDeviceSize();
    void readDeviceListTables();
    void readDeviceListGeneration_data();
    void readDeviceListGeneration();
    void readDeviceListLimits_data();
    void readDeviceListLimits();
    void lookupsOnUnreadableFile_data();
    void lookupsOnUnreadableFile();
    void seekRidoAndPPR_data();
    void seekRidoAndPPR();
    void emptyCatalogue();
    void fileReplacedBetweenLookups();
    void readStdPrmList_data();
    void readStdPrmList();
    void readStdPrmListFailures_data();
    void readStdPrmListFailures();
    void listFileDir_data();
    void listFileDir();
    void readDevSetting_data();
    void readDevSetting();
    void shippedCatalogues_data();
    void shippedCatalogues();
    void shippedLeadsMatchReminders();
    void shippedHomeCodes();
    void shippedErrorList();
};

void TestCatalogue::lookups_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("newType");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("stroke");
    QTest::addColumn<int>("lead");   // 0: not listed
    QTest::addColumn<int>("ppr");
    QTest::addColumn<int>("home");

    QTest::newRow("KT new") << "KT" << true << " 28" << "L" << 100 << 2 << 400 << 1;
    QTest::newRow("KT old") << "KT" << false << " 28" << "L" << 100 << 3 << 400 << 1;
    QTest::newRow("RW") << "RW" << true << " 28" << "L" << 100 << 4 << 400 << 0;
    QTest::newRow("rw reads RW") << "rw" << true << " 28" << "L" << 100 << 4 << 400 << 0;
    QTest::newRow("Kt reads RW") << "Kt" << false << " 28" << "L" << 100 << 4 << 400 << 0;
    QTest::newRow("first row wins") << "KT" << true << " 35" << "H" << 100 << 6 << 400 << 2;
    QTest::newRow("stroke 050 is 50") << "KT" << true << " 20" << "L" << 50 << 2 << 400 << 2;
    QTest::newRow("192 pulses") << "KT" << true << " 42" << "D" << 600 << 12 << 192 << 2;
    QTest::newRow("unquoted lost its blank") << "KT" << true << " 42" << "L" << 100 << 0 << 0 << 99;
    QTest::newRow("size without blank") << "KT" << true << "28" << "L" << 100 << 0 << 0 << 99;
    QTest::newRow("speed case") << "KT" << true << " 28" << "l" << 100 << 0 << 0 << 99;
    QTest::newRow("stroke not listed") << "KT" << true << " 28" << "L" << 75 << 0 << 0 << 99;
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

    Fixture f;
    f.write("nktdevice.lst", DeviceList({"\" 28L-100\",2,400,0,1", "\" 35H-100\",6,400,0,2",
                                         "\" 35H-100\",8,200,0,0", "\" 20L-050\",2,400,0,2",
                                         " 42L-100,2,400,0,1", "\" 42D-600\",12,192,0,2"}));
    f.write("ktdevice.lst", DeviceList({"\" 28L-100\",3,400,0,1"}));
    f.write("rwdevice.lst", DeviceList({"\" 28L-100\",4,400,0,0"}));
    f.state.gIsNewType = newType;
    f.state.gDevFamily = family;

    QCOMPARE(f.catalogue.SeekRido(family, newType, size, speed, stroke), lead);
    QCOMPARE(f.catalogue.CheckDevice(newType, family, size, speed, stroke), lead ? 0 : 1);
    QCOMPARE(f.catalogue.GetHomeCode(newType, family, size, speed, stroke), home);
    QCOMPARE(f.catalogue.GetHomeCode(newType, size, speed, stroke), home);
    int16_t foundLead = -1;
    int16_t foundPpr = -1;
    QCOMPARE(f.catalogue.SeekEachRidoAndPPR(family, size, speed, stroke, foundLead, foundPpr),
             lead ? 0 : 1);
    if (lead) {
        QCOMPARE(foundLead, lead);
        QCOMPARE(foundPpr, ppr);
    }
    QCOMPARE(f.prompter.texts(), QStringList());
}

void TestCatalogue::checkDeviceSize_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("result");

    QTest::newRow("listed") << "KT" << " 28" << 0;
    QTest::newRow("only an unquoted code") << "KT" << " 42" << 1;
    QTest::newRow("not listed") << "KT" << "E35" << 1;
    QTest::newRow("RW listed") << "RW" << " 35" << 0;
    QTest::newRow("RW not listed") << "RW" << " 28" << 1;
}

void TestCatalogue::checkDeviceSize()
{
    QFETCH(QString, family);
    QFETCH(QString, size);
    QFETCH(int, result);

    Fixture f;
    f.write("nktdevice.lst", DeviceList({"\" 28L-100\",2,400,0,1", " 42L-100,2,400,0,1"}));
    f.write("rwdevice.lst", DeviceList({"\" 35H-100\",8,400,0,0"}));
    QCOMPARE(f.catalogue.CheckDeviceSize(true, family, size), result);
    QCOMPARE(f.prompter.texts(), QStringList());
}

void TestCatalogue::readDeviceListTables()
{
    Fixture f;
    // Two rows per line, as the line structure of the file is free.
    f.write("nktdevice.lst",
            "5\r\n\" 28L-050\",2,400,7,1,\" 35H-100\",6,400,7,2\r\n"
            "\" 28H-100\",6,400,7,1\r\n\" 20L-025\",2,400,7,2,\" 28L-100\",2,400,7,1\r\n");
    QCOMPARE(f.catalogue.ReadDeviceList(), 0);
    const CatalogueTables &t = f.catalogue.tables();
    QVERIFY(!t.gNoDevListFile);
    QCOMPARE(int{t.gDevListCount}, 5);
    QCOMPARE(t.gDevList[2].code, " 35H-100");
    QCOMPARE(t.gDevList[2].size, " 35");
    QCOMPARE(t.gDevList[2].speed, "H");
    QCOMPARE(t.gDevList[2].stroke, 100.0);
    QCOMPARE(int{t.gDevList[2].lead}, 6);
    QCOMPARE(int{t.gDevList[2].homeCode}, 2);
    QCOMPARE(t.gDevSizeLast, 2);
    QCOMPARE(QStringList(t.gDevSizeList.begin(), t.gDevSizeList.begin() + 3),
             QStringList({" 28", " 35", " 20"}));

    f.catalogue.MakeSpeedList(" 28");
    QCOMPARE(t.gDevSpeedLast, 1);
    QCOMPARE(QStringList(t.gDevSpeedList.begin(), t.gDevSpeedList.begin() + 2),
             QStringList({"L", "H"}));
    f.catalogue.MakeSpeedList("E35");
    QCOMPARE(t.gDevSpeedLast, -1);
    QCOMPARE(t.gDevSpeedList[0], QString());
}

void TestCatalogue::readDeviceListGeneration_data()
{
    QTest::addColumn<QString>("devFamily");
    QTest::addColumn<bool>("isNewType");
    QTest::addColumn<bool>("selIsNewType");
    QTest::addColumn<bool>("selection");
    QTest::addColumn<QString>("code");

    QTest::newRow("current new") << "KT" << true << false << false << " 28L-001";
    QTest::newRow("current old") << "KT" << false << true << false << " 28L-002";
    QTest::newRow("selection old") << "KT" << true << false << true << " 28L-002";
    QTest::newRow("selection new") << "KT" << false << true << true << " 28L-001";
    QTest::newRow("RW ignores the flag") << "RW" << true << true << true << " 28L-003";
}

void TestCatalogue::readDeviceListGeneration()
{
    QFETCH(QString, devFamily);
    QFETCH(bool, isNewType);
    QFETCH(bool, selIsNewType);
    QFETCH(bool, selection);
    QFETCH(QString, code);

    Fixture f;
    f.write("nktdevice.lst", DeviceList({"\" 28L-001\",2,400,0,1"}));
    f.write("ktdevice.lst", DeviceList({"\" 28L-002\",2,400,0,1"}));
    f.write("rwdevice.lst", DeviceList({"\" 28L-003\",2,400,0,1"}));
    f.state.gDevFamily = devFamily;
    f.state.gIsNewType = isNewType;
    f.catalogue.selection().gSelIsNewType = selIsNewType;
    QCOMPARE(f.catalogue.ReadDeviceList(selection ? Catalogue::Generation::Selection
                                                  : Catalogue::Generation::Current),
             0);
    QCOMPARE(f.catalogue.tables().gDevList[1].code, code);
}

void TestCatalogue::readDeviceListLimits_data()
{
    QTest::addColumn<QString>("content");   // null: no file
    QTest::addColumn<bool>("readable");
    QTest::addColumn<int>("held");
    QTest::addColumn<int>("sizeLast");

    QStringList sixSizes;
    QStringList sevenSizes;
    for (const char *size : {" 20", " 28", " 35", " 42", "E35", " 50", " 60"}) {
        if (sixSizes.size() < 6)
            sixSizes << QStringLiteral("\"%1L-100\",2,400,0,1").arg(size);
        sevenSizes << QStringLiteral("\"%1L-100\",2,400,0,1").arg(size);
    }
    QTest::newRow("99 models") << DeviceList(NumberedModels(99)) << true << 99 << 0;
    QTest::newRow("100 models") << DeviceList(NumberedModels(100)) << false << 99 << 0;
    QTest::newRow("6 sizes") << DeviceList(sixSizes) << true << 6 << 5;
    QTest::newRow("7 sizes") << DeviceList(sevenSizes) << false << 7 << 5;
    QTest::newRow("no file") << QString() << false << 0 << -1;
    QTest::newRow("fewer records than counted")
        << DeviceList(3, NumberedModels(2)) << false << 2 << 0;
    QTest::newRow("lead not a number")
        << DeviceList({"\" 28L-100\",2,400,0,1", "\" 28L-200\",two,400,0,1"}) << false << 1 << 0;
    QTest::newRow("negative count") << DeviceList(-1, {}) << false << 0 << -1;
}

void TestCatalogue::readDeviceListLimits()
{
    QFETCH(QString, content);
    QFETCH(bool, readable);
    QFETCH(int, held);
    QFETCH(int, sizeLast);

    Fixture f;
    if (!content.isNull())
        f.write("nktdevice.lst", content);
    QCOMPARE(f.catalogue.ReadDeviceList(), readable ? 0 : 1);
    const CatalogueTables &t = f.catalogue.tables();
    QCOMPARE(t.gNoDevListFile, !readable);
    QCOMPARE(f.prompter.texts(), readable ? QStringList() : QStringList{kNoFileAdvice});
    for (const ScriptedPrompter::Shown &shown : f.prompter.shown()) {
        QCOMPARE(shown.buttons, Prompter::Buttons::Ok);
        QCOMPARE(shown.icon, Prompter::Icon::Exclamation);
    }
    QCOMPARE(int{t.gDevListCount}, held);
    QCOMPARE(t.gDevSizeLast, sizeLast);
}

void TestCatalogue::lookupsOnUnreadableFile_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("readable");

    QTest::newRow("no file") << QString() << false;
    QTest::newRow("100 models") << DeviceList(NumberedModels(100)) << false;
    QTest::newRow("fewer records than counted") << DeviceList(3, NumberedModels(2)) << false;
    QTest::newRow("home code not a number")
        << DeviceList({"\" 28L-001\",2,400,0,x"}) << false;
    // The six-size limit belongs to the table of ReadDeviceList only.
    QTest::newRow("7 sizes") << DeviceList({"\" 20L-001\",2,400,0,1", "\" 28L-001\",2,400,0,1",
                                            "\" 35L-001\",2,400,0,1", "\" 42L-001\",2,400,0,1",
                                            "\"E35L-001\",2,400,0,1", "\" 50L-001\",2,400,0,1",
                                            "\" 60L-001\",2,400,0,1"})
                             << true;
}

void TestCatalogue::lookupsOnUnreadableFile()
{
    QFETCH(QString, content);
    QFETCH(bool, readable);

    Fixture f;
    if (!content.isNull())
        f.write("nktdevice.lst", content);
    const QString kt = QStringLiteral("KT");
    const QString size = QStringLiteral(" 28");
    const QString speed = QStringLiteral("L");
    int16_t lead = 0;
    int16_t ppr = 0;
    QCOMPARE(f.catalogue.CheckDeviceList(kt, true), readable ? 0 : 1);
    QCOMPARE(f.catalogue.SeekRido(kt, true, size, speed, 1), readable ? 2 : 0);
    QCOMPARE(f.catalogue.CheckDevice(true, kt, size, speed, 1), readable ? 0 : 1);
    QCOMPARE(f.catalogue.CheckDeviceSize(true, kt, size), readable ? 0 : 1);
    QCOMPARE(f.catalogue.GetHomeCode(true, kt, size, speed, 1), readable ? 1 : 99);
    QCOMPARE(f.catalogue.SeekEachRidoAndPPR(kt, size, speed, 1, lead, ppr), readable ? 0 : 1);
    const QStringList expected = readable ? QStringList()
                                          : QStringList{kNoFile, kNoFileAdvice, kNoFile,
                                                        kNoFile, kNoFile, kNoFileAdvice};
    QCOMPARE(f.prompter.texts(), expected);
}

void TestCatalogue::seekRidoAndPPR_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("stroke");
    QTest::addColumn<int>("lead");   // 0: not found
    QTest::addColumn<int>("ppr");

    QTest::newRow("found") << " 42" << "D" << 300 << 12 << 192;
    QTest::newRow("first row wins") << " 28" << "L" << 100 << 2 << 400;
    QTest::newRow("not listed") << " 28" << "L" << 150 << 0 << 0;
    // An entry without pulses could only divide by zero later.
    QTest::newRow("zero pulses") << " 28" << "H" << 100 << 0 << 0;
    QTest::newRow("zero lead") << " 35" << "H" << 100 << 0 << 0;
}

void TestCatalogue::seekRidoAndPPR()
{
    QFETCH(QString, size);
    QFETCH(QString, speed);
    QFETCH(int, stroke);
    QFETCH(int, lead);
    QFETCH(int, ppr);

    Fixture f;
    f.write("nktdevice.lst", DeviceList({"\" 28L-100\",2,400,0,1", "\" 28L-100\",6,200,0,1",
                                         "\" 42D-300\",12,192,0,2", "\" 28H-100\",6,0,0,1",
                                         "\" 35H-100\",0,400,0,1"}));
    QCOMPARE(f.catalogue.ReadDeviceList(), 0);
    // A failure of an earlier look-up must not outlive a successful one.
    f.state.gChkSize = QStringLiteral("E35");
    f.catalogue.SeekRidoAndPPR();
    QVERIFY(f.catalogue.devInfoNotFound());
    f.prompter.clear();

    f.state.gDevLead = 77;
    f.state.gDevPPR = 77;
    f.state.gChkSize = size;
    f.state.gChkSpeed = speed;
    f.state.gChkStroke = static_cast<int16_t>(stroke);
    f.catalogue.SeekRidoAndPPR();
    QCOMPARE(f.catalogue.devInfoNotFound(), lead == 0);
    QCOMPARE(int{f.state.gDevLead}, lead ? lead : 77);
    QCOMPARE(int{f.state.gDevPPR}, lead ? ppr : 77);
    QCOMPARE(f.prompter.texts(), lead ? QStringList() : QStringList{kNotFound});
}

void TestCatalogue::emptyCatalogue()
{
    Fixture f;
    f.write("nktdevice.lst", DeviceList(NumberedModels(3)));
    QCOMPARE(f.catalogue.ReadDeviceList(), 0);
    f.write("nktdevice.lst", DeviceList({}));
    QCOMPARE(f.catalogue.ReadDeviceList(), 0);
    const CatalogueTables &t = f.catalogue.tables();
    QCOMPARE(int{t.gDevListCount}, 0);
    QCOMPARE(t.gDevSizeLast, -1);
    QCOMPARE(t.gDevSizeList[0], QString());

    f.state.gChkSize = QStringLiteral(" 28");
    f.state.gChkSpeed = QStringLiteral("L");
    f.state.gChkStroke = 1;
    f.catalogue.SeekRidoAndPPR();
    QVERIFY(f.catalogue.devInfoNotFound());
    QCOMPARE(f.catalogue.CheckDeviceList("KT", true), 0);
    QCOMPARE(f.catalogue.SeekRido("KT", true, " 28", "L", 1), 0);
    QCOMPARE(f.catalogue.GetHomeCode(true, "KT", " 28", "L", 1), 99);
    QCOMPARE(f.catalogue.CheckDeviceSize(true, "KT", " 28"), 1);
    QCOMPARE(f.prompter.texts(), QStringList{kNotFound});
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
    QTest::addColumn<QString>("code");  // tells which file was read
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("homing");

    QTest::newRow("KT new vertical") << "KT" << true << true << " 28L-100" << 0 << 1;
    QTest::newRow("KT new standard") << "KT" << true << false << " 28L-100" << 0 << 0;
    QTest::newRow("KT old vertical") << "KT" << false << true << "E35L-050" << 1 << 1;
    QTest::newRow("RW vertical") << "RW" << true << true << " 35H-300" << 2 << 0;
    QTest::newRow("rw reads RW") << "rw" << false << false << " 35H-300" << 2 << 0;
}

void TestCatalogue::readStdPrmList()
{
    QFETCH(QString, family);
    QFETCH(bool, newType);
    QFETCH(bool, vertical);
    QFETCH(QString, code);
    QFETCH(int, type);
    QFETCH(int, homing);

    Fixture f;
    // The values count up from 101 in file order: 1..17, 19, 20, 23, 24.
    const QString values = "101,102,103,104,105,106,107,108,109,110,111,112,113,114,115,116,117,"
                           "118,119,120,121";
    f.write("nktstdprm.lst", "2,\"x\"\r\n\" 20L-025\",1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1\r\n"
                             "\" 28L-100\"," + values + "\r\n");
    f.write("ktstdprm.lst", "1,\"x\"\r\n\"E35L-050\"," + values + "\r\n");
    f.write("rwstdprm.lst", "1,\"x\"\r\n\" 35H-300\"," + values + "\r\n");
    f.catalogue.selection().gSelFamily = family;
    f.catalogue.selection().gSelIsNewType = newType;

    QCOMPARE(f.catalogue.ReadStdPrmList(vertical), 0);
    const CatalogueTables &t = f.catalogue.tables();
    QVERIFY(!t.gNoStdPrmFile);
    const int index = t.gStdPrmCount;
    const StdPrmRecord &r = t.gStdPrmList[index];
    QCOMPARE(r.actuator, code);
    QCOMPARE(r.size, code.left(3));
    QCOMPARE(r.speed, code.mid(3, 1));
    QCOMPARE(r.stroke, code.right(3).toInt());
    QCOMPARE(f.catalogue.FindStdPrm(r.size, r.speed, r.stroke), index);
    QCOMPARE(f.catalogue.FindStdPrm(r.size, r.speed, r.stroke + 1), 0);
    QList<int> got;
    for (int n = 1; n <= 24; ++n) {
        if (n != 22)
            got << r.value[n];
    }
    QCOMPARE(got, QList<int>({101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113,
                              114, 115, 116, 117, homing, 118, 119, type, 120, 121}));
    QCOMPARE(f.prompter.texts(), QStringList());
}

void TestCatalogue::readStdPrmListFailures_data()
{
    QTest::addColumn<QString>("content");

    QStringList many;
    for (int i = 1; i <= 100; ++i)
        many << QStringLiteral("\" 28L-%1\",%2").arg(i, 3, 10, QChar(u'0')).arg(QString("1,").repeated(20) + "1");
    QTest::newRow("no file") << QString();
    QTest::newRow("100 models") << "100,\"x\"\r\n" + many.join("\r\n") + "\r\n";
    QTest::newRow("record cut short") << "1,\"x\"\r\n\" 28L-100\",1,2,3\r\n";
    QTest::newRow("value not a number") << "1,\"x\"\r\n\" 28L-100\"," + QString("1,").repeated(20) + "a\r\n";
    QTest::newRow("count only") << "0\r\n";
}

void TestCatalogue::readStdPrmListFailures()
{
    QFETCH(QString, content);

    Fixture f;
    f.write("nktstdprm.lst", "1,\"x\"\r\n\" 28L-100\"," + QString("1,").repeated(20) + "1\r\n");
    QCOMPARE(f.catalogue.ReadStdPrmList(true), 0);
    QVERIFY(QFile::remove(f.dir.filePath("nktstdprm.lst")));
    if (!content.isNull())
        f.write("nktstdprm.lst", content);
    QCOMPARE(f.catalogue.ReadStdPrmList(true), 1);
    QVERIFY(f.catalogue.tables().gNoStdPrmFile);
    QVERIFY(f.catalogue.tables().gStdPrmCount <= CatalogueTables::kMaxModels);
    // The parameter window reports it; the reader stays silent.
    QCOMPARE(f.prompter.texts(), QStringList());
}

void TestCatalogue::listFileDir_data()
{
    QTest::addColumn<QString>("environment");
    QTest::addColumn<bool>("listsBesideProgram");
    QTest::addColumn<bool>("shareExists");
    QTest::addColumn<QString>("expected"); // relative to the scratch folder

    QTest::newRow("beside the program") << "" << true << true << "bin";
    QTest::newRow("installed") << "" << false << true << "share/kted";
    QTest::newRow("nowhere") << "" << false << false << "bin";
    QTest::newRow("environment wins") << "elsewhere" << true << true << "elsewhere";
}

void TestCatalogue::listFileDir()
{
    QFETCH(QString, environment);
    QFETCH(bool, listsBesideProgram);
    QFETCH(bool, shareExists);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QDir(root.path()).mkpath("bin");
    if (shareExists)
        QDir(root.path()).mkpath("share/kted");
    if (listsBesideProgram)
        WriteList(root.filePath("bin"), "ktdevice.lst", "0\r\n");
    const QByteArray saved = qgetenv("KTED_DATA_DIR");
    if (environment.isEmpty())
        qunsetenv("KTED_DATA_DIR");
    else
        qputenv("KTED_DATA_DIR", root.filePath(environment).toLocal8Bit());
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
    QTest::newRow("model not listed") << QVariantMap{{"DevStroke", 110}} << true << 1 << 0
                                      << QStringList();
    QTest::newRow("no catalogue, lead 2") << QVariantMap{{"DevLead", 2}} << false << 0 << 2
                                          << QStringList{kNoFile};
    QTest::newRow("no catalogue, lead 10") << QVariantMap{{"DevLead", 10}} << false << 0 << 10
                                           << QStringList{kNoFile};
    QTest::newRow("no catalogue, lead 11") << QVariantMap{{"DevLead", 11}} << false << 1 << 0
                                           << QStringList{kNoFile};
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
        QVERIFY(state.gIsKT);
        QVERIFY(state.gIsNewType);
        QCOMPARE(state.gDevSize, " 28");
        QCOMPARE(state.gDevSpeed, "L");
        QCOMPARE(int{state.gDevStroke}, 100);
        QCOMPARE(int{state.gDevPPR}, 400);
        QVERIFY(state.gVertical);
    }
}

void TestCatalogue::shippedCatalogues_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("newType");

    QTest::newRow("KT new") << "KT" << true;
    QTest::newRow("KT old") << "KT" << false;
    QTest::newRow("RW") << "RW" << false;
}

// Every shipped model converts, and every default-parameter record belongs
// to a listed model and passes the parameter range checks.
void TestCatalogue::shippedCatalogues()
{
    QFETCH(QString, family);
    QFETCH(bool, newType);

    AppState state;
    state.gDevFamily = family;
    state.gIsNewType = newType;
    ScriptedPrompter prompter;
    Catalogue catalogue(state, prompter, SourceDataDir());
    QCOMPARE(catalogue.ReadDeviceList(), 0);
    const CatalogueTables &t = catalogue.tables();
    QVERIFY(t.gDevListCount > 0);

    for (int i = 1; i <= t.gDevListCount; ++i) {
        const DeviceRecord &d = t.gDevList[i];
        const QByteArray what = d.code.toLatin1();
        QVERIFY2(d.code.size() == 8 && d.code[4] == u'-', what);
        QVERIFY2(d.stroke >= 25 && d.stroke <= 600, what);
        QVERIFY2(d.homeCode >= 0 && d.homeCode <= 2, what);
        int16_t lead = 0;
        int16_t ppr = 0;
        QCOMPARE(catalogue.SeekEachRidoAndPPR(family, d.size, d.speed,
                                              static_cast<int>(d.stroke), lead, ppr),
                 0);
        QVERIFY2(MaxPulse(d.stroke, lead, ppr) > 0, what);
    }

    catalogue.selection().gSelFamily = family;
    catalogue.selection().gSelIsNewType = newType;
    QCOMPARE(catalogue.ReadStdPrmList(false), 0);
    QVERIFY(t.gStdPrmCount > 0);
    struct Range { int n, low, high; };
    // The range checks of the parameter file, narrowed where the editor's
    // own fields are narrower (stroke, homing velocity, offset speed).
    const Range ranges[] = {{1, 1, 100000}, {2, 0, 700},  {3, 0, 255},  {4, 1, 16},
                            {5, 1, 16},     {6, 1, 60},   {7, 1, 60},   {8, 1, 60},
                            {9, 1, 60},     {10, 1, 60},  {11, 1, 60},  {12, 1, 60},
                            {13, 1, 60},    {14, 1, 60},  {15, 1, 30},  {16, 1, 30},
                            {17, 1, 30},    {19, 1, 255}, {20, 1, 9999}, {23, 0, 1},
                            {24, 0, 1}};
    for (int i = 1; i <= t.gStdPrmCount; ++i) {
        const StdPrmRecord &r = t.gStdPrmList[i];
        const QByteArray what = r.actuator.toLatin1();
        QCOMPARE(catalogue.CheckDevice(newType, family, r.size, r.speed, r.stroke), 0);
        int16_t lead = 0;
        int16_t ppr = 0;
        QCOMPARE(catalogue.SeekEachRidoAndPPR(family, r.size, r.speed, r.stroke, lead, ppr), 0);
        QVERIFY2(r.value[19] == lead && r.value[20] == ppr, what);
        QVERIFY2(r.value[1] == MaxPulse(r.stroke, lead, ppr), what);
        for (const Range &range : ranges)
            QVERIFY2(r.value[range.n] >= range.low && r.value[range.n] <= range.high,
                     what + " parameter " + QByteArray::number(range.n));
    }
    QCOMPARE(prompter.texts(), QStringList());
}

// The calculator reminds the user which models have which lead; the
// shipped catalogues must agree with it.
void TestCatalogue::shippedLeadsMatchReminders()
{
    AppState state;
    ScriptedPrompter prompter;
    Catalogue catalogue(state, prompter, SourceDataDir());
    const QRegularExpression model(QStringLiteral("(KT|RW)-(\\d\\d)([A-Z])"));
    const QRegularExpression lead(QStringLiteral("LEAD (\\d+)mm"));
    int checked = 0;
    for (int id : {125, 126, 127}) {
        const QString text = LoadText(id);
        const int expected = lead.match(text).captured(1).toInt();
        QVERIFY(expected > 0);
        for (auto it = model.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString size = QLatin1Char(' ') + m.captured(2);
            for (bool newType : {true, false}) {
                state.gIsNewType = newType;
                for (int stroke = 25; stroke <= 600; stroke += 25) {
                    int16_t l = 0;
                    int16_t p = 0;
                    if (catalogue.SeekEachRidoAndPPR(m.captured(1), size, m.captured(3), stroke,
                                                     l, p) == 0) {
                        QCOMPARE(int{l}, expected);
                        ++checked;
                    }
                }
            }
        }
    }
    QVERIFY(checked > 50);
}

// The shipped models use every homing code, and the first-run model is
// among them.
void TestCatalogue::shippedHomeCodes()
{
    AppState state;
    ScriptedPrompter prompter;
    Catalogue catalogue(state, prompter, SourceDataDir());
    QSet<int> codes;
    for (const char *family : {"KT", "RW"}) {
        for (bool newType : {true, false}) {
            state.gDevFamily = QString::fromLatin1(family);
            state.gIsNewType = newType;
            QCOMPARE(catalogue.ReadDeviceList(), 0);
            for (int i = 1; i <= catalogue.tables().gDevListCount; ++i)
                codes << catalogue.tables().gDevList[i].homeCode;
        }
    }
    QCOMPARE(codes, QSet<int>({0, 1, 2}));
    QCOMPARE(catalogue.GetHomeCode(true, "KT", " 28", "L", 100), int{HomeUserChoice});
}

void TestCatalogue::shippedErrorList()
{
    const QString path = QDir(SourceDataDir()).filePath(kErrorListFileName);
    QString text;
    QVERIFY(ReadDataFile(path, text).ok);
    SequentialReader reader(text);
    const int count = reader.next().value_or(QString()).toInt();
    QVERIFY(count >= 20 && count <= 40);
    QHash<int, QString> comments;
    for (int i = 0; i < count; ++i) {
        const std::optional<QString> code = reader.next();
        const std::optional<QString> comment = reader.next();
        QVERIFY(code && comment && !comment->isEmpty());
        bool ok = false;
        const int number = code->toInt(&ok, 16);
        QVERIFY(ok && !comments.contains(number));
        comments.insert(number, *comment);
    }
    QVERIFY(reader.atEnd());
    int alarms = 0;
    for (auto it = comments.cbegin(); it != comments.cend(); ++it) {
        if (it.key() < 100) {
            ++alarms;
            QVERIFY2(comments.contains(it.key() + 100), QByteArray::number(it.key(), 16));
        }
    }
    QVERIFY(alarms >= 10);
    QVERIFY(comments.value(0x0B).contains(QStringLiteral("原点センサー")));
    QVERIFY(comments.value(0x0E).contains(QStringLiteral("非常停止")));
    QVERIFY(comments.value(0x0E + 100).contains(QStringLiteral("Emergency stop")));

    // Every shipped list file ends its lines with CR LF.
    for (const QString &name : QDir(SourceDataDir()).entryList({"*.lst"}, QDir::Files)) {
        QFile file(QDir(SourceDataDir()).filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY2(bytes.endsWith("\r\n"), qPrintable(name));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    }
}

KTED_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
