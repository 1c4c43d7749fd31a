#include "scriptedprompter.h"

#include <QFileInfo>

Prompter::Answer ScriptedPrompter::ask(const QString &text, Buttons buttons, Icon icon,
                                       const QString &caption)
{
    m_shown.append({text, caption, buttons, icon});
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    if (buttons != Buttons::Ok)
        ++m_unanswered;
    return closedAnswer(buttons);
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const Shown &s : m_shown)
        out.append(s.text);
    return out;
}

void ScriptedPrompter::clear()
{
    m_answers.clear();
    m_shown.clear();
    m_unanswered = 0;
}

std::optional<FileDialogs::Choice> ScriptedFileDialogs::next(const Request &request)
{
    m_requests.append(request);
    if (m_paths.isEmpty())
        return std::nullopt;
    const QString path = m_paths.takeFirst();
    if (path.isEmpty())
        return std::nullopt;
    return Choice{path, QFileInfo(path).fileName()};
}
