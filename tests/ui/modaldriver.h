#pragma once

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers modal dialogs in script: each step waits until a modal window of
// the given class is the active one and then acts on it (clicks, types,
// closes). Steps run in order; a dialog the script does not expect is left
// alone, so the test's own time-out catches it.
class ModalDriver
{
public:
    using Action = std::function<void(QWidget *modal)>;

    // again: the step may act on the same window as the step before (a
    // dialog that refused to close and is still open).
    void then(const char *className, Action action, bool again = false)
    {
        m_steps.append({className, std::move(action), again});
        if (m_steps.size() == 1)
            QTimer::singleShot(10, &m_context, [this] { poll(); });
    }

    bool done() const { return m_steps.isEmpty(); }

private:
    struct Step
    {
        const char *className;
        Action action;
        bool again;
    };

    void poll()
    {
        if (m_steps.isEmpty())
            return;
        QWidget *modal = QApplication::activeModalWidget();
        const Step &step = m_steps.first();
        if (modal && modal->inherits(step.className) && (step.again || modal != m_last)) {
            Step current = m_steps.takeFirst();
            m_last = modal;
            // The next poll is due before the action, which may open a
            // further modal window and wait inside it.
            QTimer::singleShot(10, &m_context, [this] { poll(); });
            current.action(modal);
            return;
        }
        QTimer::singleShot(10, &m_context, [this] { poll(); });
    }

    QList<Step> m_steps;
    QPointer<QWidget> m_last;
    // Owns the pending polls: they end with the driver.
    QObject m_context;
};
