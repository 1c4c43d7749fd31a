#include "catalogue/listfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const char kDataDirVariable[] = "KTED_DATA_DIR";

bool HoldsListFiles(const QString &dir)
{
    return !QDir(dir).entryList({QStringLiteral("*.lst")}, QDir::Files).isEmpty();
}

} // namespace

QString FindListFileDir(const QString &programDir)
{
    const QString fromEnvironment = qEnvironmentVariable(kDataDirVariable);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (HoldsListFiles(programDir))
        return programDir;
    // An installed program keeps its data under <prefix>/share/kted.
    const QString shared = QDir::cleanPath(programDir + QStringLiteral("/../share/kted"));
    if (QFileInfo(shared).isDir())
        return shared;
    return programDir;
}

QString ListFileDir()
{
    return FindListFileDir(QCoreApplication::applicationDirPath());
}

bool IsKtFamily(const QString &family)
{
    return family == QLatin1String("KT");
}

QString DeviceListFileName(const QString &family, bool isNewType)
{
    if (!IsKtFamily(family))
        return QStringLiteral("rwdevice.lst");
    return isNewType ? QStringLiteral("nktdevice.lst") : QStringLiteral("ktdevice.lst");
}

QString StdPrmListFileName(const QString &family, bool isNewType)
{
    if (!IsKtFamily(family))
        return QStringLiteral("rwstdprm.lst");
    return isNewType ? QStringLiteral("nktstdprm.lst") : QStringLiteral("ktstdprm.lst");
}
