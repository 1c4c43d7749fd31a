#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QRadioButton;
struct AppState;

// The two-choice dialog (`frmSelection`). Its title, prompt and the two
// option captions are given by the caller; it takes no texts from the
// string table on its own. In no-cancel mode the Cancel button is hidden
// and disabled, and neither the close box nor Escape closes the dialog:
// the user has to choose.
class SelectionDialog : public QDialog
{
    Q_OBJECT
public:
    enum Result { FirstChoice = 0, SecondChoice = 1, Cancelled = -1 };

    SelectionDialog(const QString &title, const QString &prompt, const QString &choice0,
                    const QString &choice1, bool noCancel, QWidget *parent = nullptr);

    // What the dialog ended with (valid once it has closed).
    int choice() const { return m_choice; }
    bool noCancel() const { return m_noCancel; }

    QLabel *lblSelectSetumei = nullptr;
    QRadioButton *optSelectKomoku[2] = {nullptr, nullptr};
    QPushButton *cmdSelectOK = nullptr;
    QPushButton *cmdSelectCancel = nullptr;

public slots:
    // Escape and the close box end here; in no-cancel mode they are refused.
    void reject() override;

private:
    bool m_noCancel;
    int m_choice = Cancelled;
};

// Shows the two-choice dialog modally, 500 twips right of and below the main
// window's remembered position, and returns 0 when the first choice was
// selected at OK, 1 for the second, -1 after Cancel (or after the close box,
// where closing is allowed). With noCancel = 1 the dialog cannot be left
// without a choice.
int ShowSelection(const AppState &state, const QString &title, const QString &prompt,
                  const QString &choice0, const QString &choice1, int noCancel,
                  QWidget *parent = nullptr);
