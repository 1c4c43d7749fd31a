#include "link/commlogfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

CommLogFile::CommLogFile(QObject *parent) : QObject(parent) {}

bool CommLogFile::setPath(const QString &path)
{
    m_file.close();
    m_file.setFileName(path);
    if (path.isEmpty())
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    fail();
    return false;
}

void CommLogFile::setLimits(qint64 maxBytes, int keepOld)
{
    m_maxBytes = std::max<qint64>(1, maxBytes);
    m_keepOld = std::max(0, keepOld);
}

void CommLogFile::attach(CommLog &log)
{
    connect(&log, &CommLog::entryRecorded, this, &CommLogFile::write);
    connect(this, &CommLogFile::failed, &log,
            [&log](const QString &path) { log.recordEvent(CommEvent::LogFileFailed, {path}); });
}

void CommLogFile::write(const CommLogEntry &entry)
{
    if (!m_file.isOpen())
        return;
    const QByteArray line = (CommLog::FormatLine(entry) + QLatin1String("\r\n")).toUtf8();
    if (m_file.size() > 0 && m_file.size() + line.size() > m_maxBytes && !rotate())
        return;
    if (m_file.write(line) != line.size() || !m_file.flush())
        fail();
}

bool CommLogFile::rotate()
{
    const QString base = m_file.fileName();
    m_file.close();
    auto old = [&base](int n) { return base + QLatin1Char('.') + QString::number(n); };
    QFile::remove(old(std::max(1, m_keepOld)));
    for (int n = m_keepOld - 1; n >= 1; --n)
        QFile::rename(old(n), old(n + 1));
    if (m_keepOld > 0)
        QFile::rename(base, old(1));
    else
        QFile::remove(base);
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return true;
    fail();
    return false;
}

void CommLogFile::fail()
{
    const QString path = m_file.fileName();
    m_file.close();
    // Closed first: the event recorded in answer is not written here again.
    emit failed(path);
}

QString CommLogFile::DefaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QString::fromLatin1(kFileName));
}
