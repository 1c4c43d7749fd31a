#include "testenv.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace {
std::unique_ptr<QTemporaryDir> gScratch;
}

void InitTestEnvironment()
{
    gScratch = std::make_unique<QTemporaryDir>();
    const QByteArray config = (gScratch->path() + QStringLiteral("/config")).toLocal8Bit();
    qputenv("XDG_CONFIG_HOME", config);
    qputenv("HOME", gScratch->path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString TestScratchDir()
{
    return gScratch ? gScratch->path() : QString();
}

QString SourceDataDir()
{
    return QStringLiteral(KTED_SOURCE_DATA_DIR);
}

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
