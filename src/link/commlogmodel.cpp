#include "link/commlogmodel.h"

#include "link/commlogtext.h"
#include "text/stringtable.h"

#include <QSaveFile>

#include <algorithm>

CommLogModel::CommLogModel(QObject *parent, int capacity)
    : QAbstractTableModel(parent), m_capacity(std::max(1, capacity))
{
}

int CommLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int CommLogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CommLogModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return QVariant();
    const CommLogEntry &e = entry(index.row());
    switch (index.column()) {
    case TimeColumn:
        return CommLog::TimeText(e.msecsSinceEpoch);
    case DirectionColumn:
        return CommLog::DirectionText(e.direction);
    case TextColumn:
        return e.text;
    default:
        return QVariant();
    }
}

QVariant CommLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    static constexpr int ids[ColumnCount] = {CommLogText::ColumnTime, CommLogText::ColumnDirection,
                                             CommLogText::ColumnData};
    return section >= 0 && section < ColumnCount ? LoadText(ids[section]) : QVariant();
}

void CommLogModel::append(const CommLogEntry &entry)
{
    if (m_paused)
        return;
    const int size = rowCount();
    if (size >= m_capacity) {
        const int drop = std::min(size, std::max(1, m_capacity / 10));
        beginRemoveRows(QModelIndex(), 0, drop - 1);
        m_entries.erase(m_entries.begin(), m_entries.begin() + drop);
        endRemoveRows();
    }
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_entries.push_back(entry);
    endInsertRows();
}

void CommLogModel::clear()
{
    beginResetModel();
    m_entries.clear();
    m_entries.shrink_to_fit();
    endResetModel();
}

QString CommLogModel::text(QList<int> rows) const
{
    if (rows.isEmpty()) {
        for (int r = 0; r < rowCount(); ++r)
            rows << r;
    }
    std::sort(rows.begin(), rows.end());
    QString out;
    for (int r : rows) {
        if (r >= 0 && r < rowCount())
            out += CommLog::FormatLine(entry(r)) + QLatin1String("\r\n");
    }
    return out;
}

bool CommLogModel::save(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = text().toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
