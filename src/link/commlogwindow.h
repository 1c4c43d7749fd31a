#pragma once

#include <QTimer>
#include <QWidget>

class CommLogModel;
class FileDialogs;
class Prompter;
class QLabel;
class QPushButton;
class QTreeView;

// The communication log window: every line sent and received and the
// link's events, with pause, clear, copy and save. It stays open beside
// the main window and follows new lines while its view is scrolled to the
// end, without ever taking the focus. The lines live in the model, which
// the program keeps; the window only shows them.
class CommLogWindow : public QWidget
{
    Q_OBJECT

public:
    CommLogWindow(CommLogModel &model, Prompter &prompter, FileDialogs &dialogs,
                  QWidget *parent = nullptr);

    // Copies the selected lines (all lines when none is selected) to the
    // clipboard, as they would be saved.
    void copySelection();
    // Asks for a file and saves every line to it.
    void save();

    QTreeView *lstLog = nullptr;
    QPushButton *cmdPause = nullptr;
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdSave = nullptr;
    QLabel *lblPaused = nullptr;

private:
    void setPaused(bool paused);
    void beforeInsert();
    void showNewLines();

    CommLogModel &m_model;
    Prompter &m_prompter;
    FileDialogs &m_dialogs;
    QTimer m_showLines;
    bool m_atEnd = true;
};
