#pragma once

#include <QDialog>
#include <QString>

class FileDialogs;
class Prompter;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

// What the user chose in the print selection dialog.
struct PrintChoice
{
    bool cancelled = true;
    bool positionsFromGrid = false;
    bool positionsFromFile = false;
    bool parametersFromCt = false;
    bool parametersFromFile = false;
    QString positionFile;   // full paths of the chosen files
    QString parameterFile;
};

// The print selection dialog: what to print (positions, parameters or both)
// and where each comes from (the grid or a position file; the controller or
// a parameter file).
class frmPrintSelect : public QDialog
{
    Q_OBJECT
public:
    frmPrintSelect(Prompter &prompter, FileDialogs &dialogs, QWidget *parent = nullptr);

    const PrintChoice &choice() const { return m_choice; }

    QLabel *lblPrintSet = nullptr;
    QCheckBox *chkPrintPosi = nullptr;
    QRadioButton *optPrintPosi[2] = {nullptr, nullptr};
    QLabel *lblPrintPosiName = nullptr;
    QPushButton *cmdSelectPosiFile = nullptr;
    QCheckBox *chkPrintPara = nullptr;
    QRadioButton *optPrintPara[2] = {nullptr, nullptr};
    QLabel *lblPrintParaName = nullptr;
    QPushButton *cmdSelectParaFile = nullptr;
    QPushButton *cmdPrintSet = nullptr;
    QPushButton *cmdPrintCancel = nullptr;

public slots:
    // Escape and the close box cancel, as the Cancel button does.
    void reject() override;

private:
    // One of the two "what to print" groups: its check box, its two
    // source options, the file label and its Browse button.
    struct Group
    {
        QCheckBox *check;
        QRadioButton **source;
        QLabel *fileLabel;
        QPushButton *browse;
        int placeholderId;
        QString *path;
    };

    void checkClicked(const Group &group, const Group &other);
    void sourceClicked(const Group &group);
    void browse(const Group &group, int titleId, int filterId, int extensionId);
    void accept() override;
    bool fileMissing(const Group &group) const;

    Prompter &m_prompter;
    FileDialogs &m_dialogs;
    PrintChoice m_choice;
    Group m_positions{};
    Group m_parameters{};
};

// Shows the dialog modally, 500 twips right of and below the top-left
// corner of parent, and returns the choice.
PrintChoice ShowPrintSelect(Prompter &prompter, FileDialogs &dialogs, QWidget *parent);
