#include "app/splashwindow.h"

#include "app/version.h"
#include "common/timescale.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    // The splash window's own design texts; it is shown before the language
    // of the run is known to the user interface.
    auto *title = new QLabel(QStringLiteral("KT-ED"), this);
    title->setObjectName(QStringLiteral("lblProductName"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2.6);
    big.setBold(true);
    title->setFont(big);
    title->setStyleSheet(QStringLiteral("color: white;"));

    auto *subtitle = new QLabel(QStringLiteral("Position and parameter editor for KT / RW actuators"), this);
    subtitle->setObjectName(QStringLiteral("lblCompanyProduct"));
    subtitle->setStyleSheet(QStringLiteral("color: #dbe7f6;"));

    auto *maker = new QLabel(QStringLiteral("KT-ED developers"), this);
    maker->setObjectName(QStringLiteral("lblCompany"));

    lblWarning = new QLabel(QStringLiteral("Warning："), this);
    lblWarning->setObjectName(QStringLiteral("lblWarning"));
    QFont bold = lblWarning->font();
    bold.setBold(true);
    lblWarning->setFont(bold);
    auto *notice = new QLabel(QStringLiteral("This program is protected by copyright. "
                                             "Copying or distributing it without permission is not allowed."),
                              this);
    notice->setObjectName(QStringLiteral("lblCopyright"));
    notice->setWordWrap(true);

    lblVersion = new QLabel(QStringLiteral("Version ") + VersionNumberText(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 16);
    layout->setSpacing(4);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addSpacing(34);
    layout->addWidget(maker);
    layout->addSpacing(8);
    layout->addWidget(lblWarning);
    layout->addWidget(notice);
    layout->addStretch(1);
    layout->addWidget(lblVersion);

    setFixedSize(460, 280);

    timerSplash = new QTimer(this);
    timerSplash->setObjectName(QStringLiteral("timerSplash"));
    timerSplash->setSingleShot(true);
    timerSplash->setInterval(ScaledMs(2000));
    connect(timerSplash, &QTimer::timeout, this, [this] {
        timerSplash->stop();
        m_done = true;
    });
}

void SplashWindow::showForTwoSeconds()
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    repaint();
    m_done = false;
    QEventLoop loop;
    connect(timerSplash, &QTimer::timeout, &loop, &QEventLoop::quit);
    timerSplash->start();
    if (!m_done)
        loop.exec();
    close();
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(0xf7, 0xf9, 0xfc));
    // A blue band behind the product name, with a stylised axis and slider.
    const QRectF band(0, 0, width(), 104);
    QLinearGradient g(band.topLeft(), band.bottomRight());
    g.setColorAt(0, QColor(0x2f, 0x6f, 0xbd));
    g.setColorAt(1, QColor(0x1c, 0x45, 0x7a));
    p.fillRect(band, g);
    p.setPen(QPen(QColor(255, 255, 255, 90), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(width() * 0.55, 80), QPointF(width() - 26, 80));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xd2, 0x5c));
    p.drawRoundedRect(QRectF(width() * 0.72, 72, 34, 16), 3, 3);
    p.setPen(QPen(QColor(0xc9, 0xd3, 0xdf), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
