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
        QTEST(store.readInt(SettingsKey::PortOccupy, 7), "expected");
    }

    // The controller's model is stored as a later run reads it (checked
    // through the start-up); a new KT is stored vertical even when the flag
    // was cleared since.
    void newKtIsStoredVertical()
    {
        AppState state;
        SetDevFromCt(state, CtActuatorSetting{0, " 20", "D", 300, 8, 192, false});
        state.gVertical = false;
        {
            SettingsStore store;
            SaveDevSetting(state, store);
        }
        QVERIFY(state.gVertical);
        QCOMPARE(SettingsStore().readText(SettingsKey::Vertical, QString()), QStringLiteral("1"));
    }
};

KTED_TEST_MAIN(TestApp)
#include "tst_app.moc"
