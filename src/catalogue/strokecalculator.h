#pragma once

#include <QDialog>

#include <array>
#include <optional>

class DigitFields;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The stroke calculator (`frmDevice`): a stroke length in millimetres and a
// lead give the stroke in motor pulses. "Input" hands the result over and
// closes the dialog, but only a result calculated from the inputs as they
// stand now, and only one that the receiving stroke field accepts.
class StrokeCalculator : public QDialog
{
    Q_OBJECT
public:
    // The receiving field accepts strokes from acceptMin to acceptMax pulses.
    StrokeCalculator(int acceptMin, int acceptMax, QWidget *parent = nullptr);

    // Shows the calculator modally: the stroke handed over by "Input", or
    // nothing when the dialog was closed without it.
    static std::optional<int> calculate(int acceptMin, int acceptMax, QWidget *parent);

    std::optional<int> result() const { return m_handedOver; }

    QLineEdit *txtStrokeTyo = nullptr;
    QLineEdit *txtRido = nullptr;
    std::array<QRadioButton *, 2> optActType{};
    QLabel *lblStrokePulse = nullptr;
    QPushButton *cmdCulStrokePulse = nullptr;
    QPushButton *cmdInputStroke = nullptr;
    DigitFields *fields = nullptr;

private:
    void buildControls();
    void culStrokePulse();
    void inputStroke();
    void inputsChanged();

    int m_acceptMin;
    int m_acceptMax;
    std::optional<int> m_fresh;       // the result of the inputs as they stand
    std::optional<int> m_handedOver;
};
