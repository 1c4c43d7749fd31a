#include "position/positiontable.h"

#include "common/numbers.h"

#include <cmath>

double PositionTable::number(int position, int field) const
{
    const QVariant &cell = at(position, field);
    if (!cell.isValid())
        return 0;
    if (cell.typeId() == QMetaType::QString)
        return LeadingNumber(cell.toString().trimmed());
    return cell.toDouble();
}

QString PositionTable::text(int position, int field) const
{
    const QVariant &cell = at(position, field);
    if (!cell.isValid())
        return QString();
    if (cell.typeId() == QMetaType::Double) {
        const double v = cell.toDouble();
        // Whole values (pulses after a conversion) show without a decimal part.
        if (std::isfinite(v) && std::fabs(v) < 1e15 && v == std::trunc(v))
            return QString::number(static_cast<qint64>(v));
        return QString::number(v, 'g', 15);
    }
    return cell.toString();
}

void PositionTable::clear()
{
    for (auto &row : m_cells)
        for (QVariant &cell : row)
            cell = QVariant();
}
