#include "app/appstate.h"
#include "app/devsetting.h"
#include "app/settingsstore.h"
#include "testenv.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QtTest>

// The settings store and the model fields written to it.
class TestApp : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // A fresh user store for every case.
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "KT-ED", "KT-ED").clear();
    }

    void storeLivesInTheUsersConfigFolder()
    {
        SettingsStore store;
        store.writeInt(SettingsKey::PortNo, 3);
        QVERIFY(store.sync());
        QFile f(qEnvironmentVariable("XDG_CONFIG_HOME") + "/KT-ED/KT-ED.conf");
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        const QByteArray content = f.readAll();
        QVERIFY(content.contains("[Settings]"));
        QVERIFY(content.contains("PortNo=3"));
    }

    void missingKeysGiveTheirDefaults()
    {
        const SettingsStore store;
        QCOMPARE(store.readInt(SettingsKey::Language, 1), 1);
        QCOMPARE(store.readText(SettingsKey::DevSize, " 28"), QString(" 28"));
        QVERIFY(!store.contains(SettingsKey::Language));
    }

    void storedNumbersReadLeniently_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << "2" << 2;
        QTest::newRow("non-zero counts as set") << "5" << 5;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("leading number only") << "12abc" << 12;
        QTest::newRow("no number reads 0") << "abc" << 0;
        QTest::newRow("empty reads 0") << "" << 0;
    }

    void storedNumbersReadLeniently()
    {
        QFETCH(QString, stored);
        QFETCH(int, expected);
        SettingsStore store;
        store.writeText(SettingsKey::PortOccupy, stored);
        QCOMPARE(store.readInt(SettingsKey::PortOccupy, 0), expected);
    }

    void sizeWithLeadingBlankSurvivesTheStore()
    {
        AppState state;
        state.gDevSize = " 20";
        {
            SettingsStore store;
            SaveDevSetting(state, store);
        }
        const SettingsStore again;
        QCOMPARE(again.readText(SettingsKey::DevSize, "x"), QString(" 20"));
    }

    void saveDevSettingWritesEveryKey_data()
    {
        QTest::addColumn<bool>("isKT");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("newType");
        QTest::addColumn<int>("storedVertical");
        QTest::newRow("KT new forces vertical") << true << true << false << "KT" << 1 << 1;
        QTest::newRow("KT old standard") << true << false << false << "KT" << 0 << 0;
        QTest::newRow("KT old vertical") << true << false << true << "KT" << 0 << 1;
        QTest::newRow("RW") << false << false << false << "RW" << 0 << 0;
    }

    void saveDevSettingWritesEveryKey()
    {
        QFETCH(bool, isKT);
        QFETCH(bool, isNew);
        QFETCH(bool, vertical);
        QFETCH(QString, device);
        QFETCH(int, newType);
        QFETCH(int, storedVertical);
        AppState state;
        state.gIsKT = isKT;
        state.gIsNewType = isNew;
        state.gVertical = vertical;
        state.gDevSize = "E35";
        state.gDevSpeed = "H";
        state.gDevStroke = 250;
        state.gDevLead = 6;
        state.gDevPPR = 192;
        SettingsStore store;
        SaveDevSetting(state, store);
        QCOMPARE(store.readText(SettingsKey::Device, ""), device);
        QCOMPARE(store.readInt(SettingsKey::NewType, -5), newType);
        QCOMPARE(store.readInt(SettingsKey::Vertical, -5), storedVertical);
        QCOMPARE(state.gVertical, storedVertical == 1);
        QCOMPARE(store.readText(SettingsKey::DevSize, ""), QString("E35"));
        QCOMPARE(store.readText(SettingsKey::DevSpeed, ""), QString("H"));
        QCOMPARE(store.readInt(SettingsKey::DevStroke, 0), 250);
        QCOMPARE(store.readInt(SettingsKey::DevLead, 0), 6);
        QCOMPARE(store.readInt(SettingsKey::DevPPR, 0), 192);
    }

    void setDevFromCtTakesTheControllersModel_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("ctVertical");
        QTest::addColumn<bool>("isKT");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QString>("newOld");
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("vertical");
        QTest::newRow("KT new is always vertical") << 0 << false << true << true << "NEW" << "KT" << true;
        QTest::newRow("KT old takes the controller's mounting") << 1 << true << true << false << "OLD" << "KT" << true;
        QTest::newRow("KT old standard") << 1 << false << true << false << "OLD" << "KT" << false;
        QTest::newRow("RW is never vertical") << 2 << true << false << false << "OLD" << "RW" << false;
    }

    void setDevFromCtTakesTheControllersModel()
    {
        QFETCH(int, type);
        QFETCH(bool, ctVertical);
        QFETCH(bool, isKT);
        QFETCH(bool, isNew);
        QFETCH(QString, newOld);
        QFETCH(QString, family);
        QFETCH(bool, vertical);
        AppState state;
        CtActuatorSetting ct{type, " 42", "D", 300, 8, 192, ctVertical};
        QCOMPARE(SetDevFromCt(state, ct), type);
        QCOMPARE(state.gIsKT, isKT);
        QCOMPARE(state.gIsNewType, isNew);
        QCOMPARE(state.gNewOldType, newOld);
        QCOMPARE(state.gDevFamily, family);
        QCOMPARE(state.gVertical, vertical);
        QCOMPARE(state.gVType, vertical);
        QCOMPARE(state.gDevSize, QString(" 42"));
        QCOMPARE(state.gDevSpeed, QString("D"));
        QCOMPARE(state.gDevStroke, int16_t(300));
        QCOMPARE(state.gDevLead, int16_t(8));
        QCOMPARE(state.gDevPPR, int16_t(192));
    }
};

KTED_TEST_MAIN(TestApp)
#include "tst_app.moc"
