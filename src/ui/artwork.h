#pragma once

#include <QIcon>
#include <QString>

class QPainter;
class QRectF;

// The program's own pictures, drawn with QPainter so that they stay sharp at
// any scale: the toolbar icons, the actuator picture beside the model name
// and the logo.
namespace Artwork {

// Icon of a toolbar button by its key ("New", "Open", "Save", "Print",
// "Read", "Load", "Shogo"); a null icon for any other key.
QIcon ToolbarIcon(const QString &key);

// A single-axis actuator: motor block, body and slider.
void PaintActuator(QPainter &p, const QRectF &area);

// The logo: the product name on a rounded badge.
void PaintLogo(QPainter &p, const QRectF &area, const QString &name);

} // namespace Artwork
