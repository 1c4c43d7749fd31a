#pragma once

#include <QTableWidget>

// The position table grid (`flgdData`): three positions with speed,
// acceleration, output, position in mm and pulses, and a comment.
class PositionGrid : public QTableWidget
{
    Q_OBJECT
public:
    explicit PositionGrid(QWidget *parent = nullptr);
};
