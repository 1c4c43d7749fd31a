#pragma once

#include "link/progresssink.h"

#include <QWidget>

class QLabel;
class QProgressBar;

// The communication progress window: a text and a progress bar, shown
// without waiting while positions or parameter blocks are transferred. It
// centres itself on its parent (the main window) when it is shown and takes
// its captions from the string table (157 title, 158 text).
//
//   frmTrance progress(mainWindow);
//   progress.start(LoadText(448), 3);   // text and maximum, value 0, shown
//   progress.setProgress(i);            // after each position or block
//   progress.close();
class frmTrance : public QWidget, public ProgressSink
{
    Q_OBJECT

public:
    explicit frmTrance(QWidget *parent = nullptr);

    // Sets the text and the maximum, puts the bar to 0 and shows the window.
    void start(const QString &text, int maximum) override;
    // Sets the bar and lets the window repaint.
    void setProgress(int value) override;
    // Closes the window.
    void finish() override { close(); }

    QLabel *lblSetumei = nullptr;
    QProgressBar *prgBar1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void centreOnParent();
};
