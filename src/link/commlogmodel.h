#pragma once

#include "link/commlog.h"

#include <QAbstractTableModel>

#include <deque>

// The lines the log window shows: time, direction and text, at most
// capacity() of them. When the log is full, the oldest tenth goes at once,
// so a monitor left running for a day keeps its memory flat and the view
// is not asked to drop one row at a time. A paused model takes no lines
// until it is resumed; the log file keeps writing meanwhile.
class CommLogModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { TimeColumn, DirectionColumn, TextColumn, ColumnCount };
    static constexpr int kDefaultCapacity = 10000;

    explicit CommLogModel(QObject *parent = nullptr, int capacity = kDefaultCapacity);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void append(const CommLogEntry &entry);
    void clear();
    void setPaused(bool paused) { m_paused = paused; }
    bool isPaused() const { return m_paused; }

    int capacity() const { return m_capacity; }
    const CommLogEntry &entry(int row) const { return m_entries.at(static_cast<size_t>(row)); }

    // The given rows (all when empty) as saved text: one line each, ended
    // by CR LF.
    QString text(QList<int> rows = {}) const;
    // Writes text() to path in UTF-8; the file there is replaced only once
    // the new one is complete. False when it cannot be written.
    bool save(const QString &path) const;

private:
    std::deque<CommLogEntry> m_entries;
    int m_capacity;
    bool m_paused = false;
};
