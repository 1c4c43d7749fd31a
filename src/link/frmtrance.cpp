#include "link/frmtrance.h"

#include "text/stringtable.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {

enum TextId : int { WindowTitle = 157, DefaultText = 158 };

} // namespace

frmTrance::frmTrance(QWidget *parent)
    // A tool window of its own, so that it floats over the main window
    // without taking over the task bar.
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("frmTrance"));
    setWindowTitle(LoadText(WindowTitle));

    lblSetumei = new QLabel(LoadText(DefaultText), this);
    lblSetumei->setObjectName(QStringLiteral("lblSetumei"));
    lblSetumei->setWordWrap(true);
    lblSetumei->setMinimumWidth(320);

    prgBar1 = new QProgressBar(this);
    prgBar1->setObjectName(QStringLiteral("prgBar1"));
    prgBar1->setTextVisible(false);
    prgBar1->setRange(0, 1);
    prgBar1->setValue(0);
    prgBar1->setAccessibleName(LoadText(WindowTitle));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    layout->addWidget(lblSetumei);
    layout->addWidget(prgBar1);
}

void frmTrance::start(const QString &text, int maximum)
{
    lblSetumei->setText(text);
    prgBar1->setRange(0, maximum > 0 ? maximum : 1);
    prgBar1->setValue(0);
    show();
    raise();
    // The transfer that follows runs on this thread: let the window paint
    // before the first command goes out.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmTrance::setProgress(int value)
{
    prgBar1->setValue(qBound(prgBar1->minimum(), value, prgBar1->maximum()));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmTrance::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    centreOnParent();
}

void frmTrance::centreOnParent()
{
    adjustSize();
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (!owner)
        return;
    const QRect area = owner->frameGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}
