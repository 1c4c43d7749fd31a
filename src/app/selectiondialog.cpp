#include "app/selectiondialog.h"

#include "app/appstate.h"
#include "text/stringtable.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

SelectionDialog::SelectionDialog(const QString &title, const QString &prompt,
                                 const QString &choice0, const QString &choice1, bool noCancel,
                                 QWidget *parent)
    : QDialog(parent)
    , m_noCancel(noCancel)
{
    setObjectName(QStringLiteral("frmSelection"));
    setWindowTitle(title);
    setModal(true);
    if (noCancel) {
        // No close box to offer where closing is refused anyway.
        setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
                       & ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));
    } else {
        setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    }

    lblSelectSetumei = new QLabel(prompt, this);
    lblSelectSetumei->setObjectName(QStringLiteral("lblSelectSetumei"));
    lblSelectSetumei->setWordWrap(true);

    const QString captions[2] = {choice0, choice1};
    for (int i = 0; i < 2; ++i) {
        optSelectKomoku[i] = new QRadioButton(captions[i], this);
        optSelectKomoku[i]->setObjectName(QStringLiteral("optSelectKomoku_%1").arg(i));
    }
    optSelectKomoku[0]->setChecked(true);

    cmdSelectOK = new QPushButton(LoadText(119), this);
    cmdSelectOK->setObjectName(QStringLiteral("cmdSelectOK"));
    cmdSelectOK->setDefault(true);
    // The Cancel button keeps its design text: the dialog takes no texts
    // from the string table.
    cmdSelectCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdSelectCancel->setObjectName(QStringLiteral("cmdSelectCancel"));

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdSelectOK, QDialogButtonBox::AcceptRole);
    buttons->addButton(cmdSelectCancel, QDialogButtonBox::RejectRole);
    // After adding it: the button box shows the buttons it is given.
    cmdSelectCancel->setEnabled(!noCancel);
    cmdSelectCancel->setVisible(!noCancel);
    connect(cmdSelectOK, &QPushButton::clicked, this, [this] {
        m_choice = optSelectKomoku[1]->isChecked() ? SecondChoice : FirstChoice;
        accept();
    });
    connect(cmdSelectCancel, &QPushButton::clicked, this, [this] {
        if (!m_noCancel) {
            m_choice = Cancelled;
            QDialog::reject();
        }
    });

    auto *options = new QVBoxLayout;
    options->setContentsMargins(16, 4, 0, 4);
    options->addWidget(optSelectKomoku[0]);
    options->addWidget(optSelectKomoku[1]);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 14);
    layout->setSpacing(10);
    layout->addWidget(lblSelectSetumei);
    layout->addLayout(options);
    layout->addWidget(buttons);
    setMinimumWidth(340);
}

void SelectionDialog::reject()
{
    // Escape and the close box end here; in no-cancel mode they are refused.
    if (m_noCancel)
        return;
    m_choice = Cancelled;
    QDialog::reject();
}

int ShowSelection(const AppState &state, const QString &title, const QString &prompt,
                  const QString &choice0, const QString &choice1, int noCancel,
                  QWidget *parent)
{
    SelectionDialog dialog(title, prompt, choice0, choice1, noCancel == 1, parent);
    // 500 twips right of and below the main window's remembered position
    // (15 twips to a pixel at 96 dpi).
    dialog.move((state.gMainLeft + 500) / 15, (state.gMainTop + 500) / 15);
    dialog.exec();
    return dialog.choice();
}
