#pragma once

#include <QPushButton>

// A push button as wide as its caption (and icon) needs. The style's usual
// minimum width of a push button would make the main window's rows of
// buttons wider than the window; this keeps every caption whole in both
// languages without wasting room.
class CompactButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CompactButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};
