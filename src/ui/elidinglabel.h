#pragma once

#include <QLabel>

// A one-line label that shortens a text too long for its width with "..."
// in the middle (a long file path keeps its start and its name) instead of
// cutting it off; the whole text stays in text().
class ElidingLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidingLabel(QWidget *parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
