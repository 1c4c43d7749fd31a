#pragma once

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers modal dialogs in script: each step waits until a modal window of
// the given class is the active one and then acts on it (clicks, types,
// closes). Steps run in order; a step never acts on the window the step
// before acted on, unless another window came in between (a dialog that
// refused to close after a message). A dialog the script does not expect is
// left alone, so the test's own time-out catches it.
class ModalDriver
{
public:
    using Action = std::function<void(QWidget *modal)>;

    void then(const char *className, Action action)
    {
        m_steps.append({className, std::move(action)});
        if (m_steps.size() == 1)
            QTimer::singleShot(10, &m_context, [this] { poll(); });
    }

    bool done() const { return m_steps.isEmpty(); }

private:
    struct Step
    {
        const char *className;
        Action action;
    };

    void poll()
    {
        if (m_steps.isEmpty())
            return;
        // The next poll is due before any action, which may open a further
        // modal window and wait inside it.
        QTimer::singleShot(10, &m_context, [this] { poll(); });
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->inherits(m_steps.first().className) && modal != m_last) {
            const Step current = m_steps.takeFirst();
            m_last = modal;
            current.action(modal);
        }
    }

    QList<Step> m_steps;
    QPointer<QWidget> m_last;
    // Owns the pending polls: they end with the driver.
    QObject m_context;
};
