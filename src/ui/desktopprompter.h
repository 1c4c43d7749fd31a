#pragma once

#include "app/prompter.h"

#include <QPointer>
#include <QWidget>

// The Prompter of the desktop program: a modal QMessageBox over the main
// window, captioned with the application title unless a caption is given.
class DesktopPrompter : public Prompter
{
public:
    explicit DesktopPrompter(QWidget *window = nullptr);

    // The window the boxes are centred on (the main window once it exists).
    void setWindow(QWidget *window) { m_window = window; }

    Answer ask(const QString &text, Buttons buttons, Icon icon,
               const QString &caption = QString()) override;

private:
    QPointer<QWidget> m_window;
};
