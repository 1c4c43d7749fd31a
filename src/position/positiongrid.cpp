#include "position/positiongrid.h"

PositionGrid::PositionGrid(QWidget *parent)
    : QTableWidget(4, 7, parent)
{
    setObjectName(QStringLiteral("flgdData"));
}
