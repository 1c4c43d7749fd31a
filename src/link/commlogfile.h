#pragma once

#include "link/commlog.h"

#include <QFile>
#include <QObject>
#include <QString>

// Writes the communication log to a file as it is recorded, one line an
// entry in UTF-8, ended by CR LF, flushed at once so that a crash loses
// nothing. When the file reaches maxBytes it is renamed to "<name>.1" (an
// older ".1" becomes ".2", and so on up to keepOld files; the oldest goes)
// and a new file is begun, so the log never fills the disk.
//
// A file that cannot be opened or written stops the writing for the run;
// the recorder is told once (an event line) rather than interrupting the
// user with a message in the middle of an exchange.
class CommLogFile : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 kDefaultMaxBytes = 1024 * 1024;
    static constexpr int kDefaultKeepOld = 3;
    // The file's name in the user's data folder.
    static constexpr char kFileName[] = "comm.log";

    explicit CommLogFile(QObject *parent = nullptr);

    // Starts writing to path (appending to what is there), or stops with an
    // empty path. False when the file cannot be opened.
    bool setPath(const QString &path);
    QString path() const { return m_file.fileName(); }
    bool isWriting() const { return m_file.isOpen(); }

    void setLimits(qint64 maxBytes, int keepOld);

    // Connects to the recorder: every entry it records is written, and a
    // failure is recorded back as an event.
    void attach(CommLog &log);

    void write(const CommLogEntry &entry);

    // The default file in the user's data folder.
    static QString DefaultPath();

signals:
    void failed(const QString &path);

private:
    bool rotate();
    void fail();

    QFile m_file;
    qint64 m_maxBytes = kDefaultMaxBytes;
    int m_keepOld = kDefaultKeepOld;
};
