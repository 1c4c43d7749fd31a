#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// The splash window (`frmSplash`) shown while the program starts: product
// name, the maker's notice and the version. It takes no texts from the
// string table; the start-up sequence shows it for two seconds.
class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SplashWindow(QWidget *parent = nullptr);

    // Shows the window, keeps the user interface running until its timer
    // has fired once (2 s, scaled by TimeScale()), then closes it.
    void showForTwoSeconds();

    QLabel *lblVersion = nullptr;
    QLabel *lblWarning = nullptr;
    QTimer *timerSplash = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_done = false;
};
