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

    void storedNumbersReadLeniently_data()
    {
        QTest::addColumn<QString>("stored"); // null: the key is missing
        QTest::addColumn<int>("expected");
        QTest::newRow("missing gives the default") << QString() << 7;
        QTest::newRow("plain") << "2" << 2;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("leading number only") << "12abc" << 12;
        QTest::newRow("no number reads 0") << "abc" << 0;
        QTest::newRow("empty reads 0") << "" << 0;
    }

    void storedNumbersReadLeniently()
    {
        QFETCH(QString, stored);
        SettingsStore store;
        if (!stored.isNull())
            store.writeText(SettingsKey::PortOccupy, stored);
        QCOMPARE(store.contains(SettingsKey::PortOccupy), !stored.isNull());
        QTEST(store.readInt(SettingsKey::PortOccupy, 7), "expected");
    }

    // The controller's model taken into the program, then written to the
    // store as the next run reads it back.
    void controllersModelIsTakenAndStored_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("ctVertical");
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<bool>("vertical");
        QTest::newRow("KT new is always vertical") << 0 << false << "KT" << true << true;
        QTest::newRow("KT old takes the controller's mounting") << 1 << true << "KT" << false << true;
        QTest::newRow("KT old standard") << 1 << false << "KT" << false << false;
        QTest::newRow("RW is never vertical") << 2 << true << "RW" << false << false;
    }

    void controllersModelIsTakenAndStored()
    {
        QFETCH(int, type);
        QFETCH(bool, ctVertical);
        QFETCH(QString, family);
        QFETCH(bool, isNew);
        QFETCH(bool, vertical);
        AppState state;
        // A size with a leading blank, which the store must keep.
        QCOMPARE(SetDevFromCt(state, CtActuatorSetting{type, " 20", "D", 300, 8, 192, ctVertical}), type);
        QCOMPARE(state.gIsKT, family == QLatin1String("KT"));
        QCOMPARE(state.gIsNewType, isNew);
        QCOMPARE(state.gNewOldType, isNew ? QStringLiteral("NEW") : QStringLiteral("OLD"));
        QCOMPARE(state.gDevFamily, family);
        QCOMPARE(state.gVertical, vertical);
        QCOMPARE(state.gVType, vertical);

        // A new KT is stored vertical even when the flag was cleared since.
        if (isNew)
            state.gVertical = false;
        {
            SettingsStore store;
            SaveDevSetting(state, store);
        }
        QCOMPARE(state.gVertical, vertical);
        const SettingsStore next;
        namespace K = SettingsKey;
        QStringList stored;
        for (const QString &key : {K::Device, K::DevSize, K::DevSpeed, K::DevStroke, K::DevLead, K::DevPPR,
                                   K::NewType, K::Vertical})
            stored << next.readText(key, QStringLiteral("<none>"));
        QCOMPARE(stored, (QStringList{family, " 20", "D", "300", "8", "192", isNew ? "1" : "0", vertical ? "1" : "0"}));
    }
};

KTED_TEST_MAIN(TestApp)
#include "tst_app.moc"
