#include "position/frmdatashogo.h"

#include "text/stringtable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

enum TextId : int { Title = 86, Question = 87, WithFile = 88, WithController = 89, Cancel = 90 };

QPushButton *makeButton(QWidget *parent, const char *name, int id)
{
    auto *b = new QPushButton(LoadText(id), parent);
    b->setObjectName(QLatin1String(name));
    b->setProperty("captionId", id);
    return b;
}

} // namespace

frmDataShogo::frmDataShogo(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDataShogo"));
    setProperty("captionId", static_cast<int>(Title));
    setWindowTitle(LoadText(Title));

    lblDataShogo = new QLabel(LoadText(Question), this);
    lblDataShogo->setObjectName(QStringLiteral("lblDataShogo"));
    lblDataShogo->setProperty("captionId", static_cast<int>(Question));
    lblDataShogo->setWordWrap(true);
    imgQuestion = new QLabel(this);
    imgQuestion->setObjectName(QStringLiteral("imgQuestion"));
    const int icon = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    imgQuestion->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(icon));

    cmdFileDataShogo = makeButton(this, "cmdFileDataShogo", WithFile);
    cmdCtDataShogo = makeButton(this, "cmdCtDataShogo", WithController);
    cmdCancelOfShogo = makeButton(this, "cmdCancelOfShogo", Cancel);

    connect(cmdFileDataShogo, &QPushButton::clicked, this, [this] {
        ShogoChoice = File;
        accept();
    });
    connect(cmdCtDataShogo, &QPushButton::clicked, this, [this] {
        ShogoChoice = Controller;
        accept();
    });
    connect(cmdCancelOfShogo, &QPushButton::clicked, this, &QDialog::reject);

    auto *top = new QHBoxLayout;
    top->addWidget(imgQuestion, 0, Qt::AlignTop);
    top->addWidget(lblDataShogo, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdFileDataShogo);
    buttons->addWidget(cmdCtDataShogo);
    buttons->addWidget(cmdCancelOfShogo);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

int frmDataShogo::Ask(QWidget *parent)
{
    frmDataShogo dialog(parent);
    dialog.exec();
    return dialog.ShogoChoice;
}
