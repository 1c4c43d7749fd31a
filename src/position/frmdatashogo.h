#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The verification choice: compare the position table with a file or with
// the controller, or cancel. A small modal dialog; its captions come from
// the string table.
class frmDataShogo : public QDialog
{
    Q_OBJECT

public:
    enum Choice : int { None = 0, File = 1, Controller = 2 };

    explicit frmDataShogo(QWidget *parent = nullptr);

    // 1 = compare with a file, 2 = with the controller, anything else =
    // cancelled.
    int ShogoChoice = None;

    // Shows the dialog modally and returns the choice.
    static int Ask(QWidget *parent);

    QLabel *lblDataShogo = nullptr;
    QLabel *imgQuestion = nullptr;
    QPushButton *cmdFileDataShogo = nullptr;
    QPushButton *cmdCtDataShogo = nullptr;
    QPushButton *cmdCancelOfShogo = nullptr;
};
