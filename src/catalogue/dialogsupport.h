#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>

// Small helpers of the catalogue's dialogs.

// A control with its object name (the name the dialog's design gives it).
template <typename W>
W *Named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

// Places a dialog 500 twips (15 twips a pixel) right of and below the top-
// left corner of the window it was opened from.
inline void PlaceBesideOwner(QWidget *dialog, const QWidget *owner)
{
    constexpr int kOffsetPx = 500 / 15;
    if (owner)
        dialog->move(owner->window()->pos() + QPoint(kOffsetPx, kOffsetPx));
}
