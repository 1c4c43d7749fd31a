#pragma once

#include <QWidget>

// A status lamp drawn as a small LED: lit in its colour, or dark (white).
// The main window's lamps (port, home, alarm, the two outputs) are shown lit
// or dark rather than by swapping two stacked images. A screen reader hears
// the lamp's name (set by the window, e.g. "RS-232C") and its state, which
// is kept in the accessible description.
class Lamp : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool lit READ isLit WRITE setLit NOTIFY litChanged)
public:
    enum class Colour { Green, Red };

    explicit Lamp(Colour colour, QWidget *parent = nullptr);

    bool isLit() const { return m_lit; }
    void setLit(bool lit);
    Colour colour() const { return m_colour; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // String-table IDs of the two state texts.
    static constexpr int LitTextId = 710;
    static constexpr int DarkTextId = 711;

signals:
    void litChanged(bool lit);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateDescription();

    Colour m_colour;
    bool m_lit = false;
};
