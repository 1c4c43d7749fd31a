#pragma once

#include <QByteArray>
#include <QString>

// Gives the test program its own settings store and scratch folder before
// the application object exists: XDG_CONFIG_HOME points into a fresh
// temporary folder, the platform is offscreen unless the caller set one.
void InitTestEnvironment();

// The scratch folder of this test program (removed when it ends).
QString TestScratchDir();

// The data folder of the source tree (list files, error list, string table).
QString SourceDataDir();

// The whole content of a file; empty when it cannot be read.
QByteArray FileBytes(const QString &path);

// Runs a Qt Test class after InitTestEnvironment, with a QApplication.
#define KTED_TEST_MAIN(TestObject)                                                     \
    int main(int argc, char *argv[])                                                   \
    {                                                                                  \
        InitTestEnvironment();                                                         \
        QApplication app(argc, argv);                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                       \
        TestObject tc;                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                     \
        return QTest::qExec(&tc, argc, argv);                                          \
    }
