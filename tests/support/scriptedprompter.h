#pragma once

#include "app/filedialogs.h"
#include "app/prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The user's answers to message boxes, given in order by a test; every
// message shown is recorded word for word. A message for which no answer
// was scripted is answered with the box's default (OK, No or Cancel) and
// recorded as unexpected, so that a test sees it.
class ScriptedPrompter : public Prompter
{
public:
    struct Shown
    {
        QString text;
        QString caption;
        Buttons buttons;
        Icon icon;
    };

    Answer ask(const QString &text, Buttons buttons, Icon icon,
               const QString &caption = QString()) override;

    void answer(Answer a) { m_answers.append(a); }
    void answers(std::initializer_list<Answer> list) { m_answers.append(QList<Answer>(list)); }

    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    int unansweredCount() const { return m_unanswered; }
    int pendingAnswers() const { return static_cast<int>(m_answers.size()); }
    void clear();

private:
    QList<Answer> m_answers;
    QList<Shown> m_shown;
    int m_unanswered = 0;
};

// File dialogs answered in script: each call takes the next scripted path
// (or a cancel) and records the request.
class ScriptedFileDialogs : public FileDialogs
{
public:
    std::optional<Choice> open(const Request &request) override { return next(request); }
    std::optional<Choice> save(const Request &request) override { return next(request); }

    void choose(const QString &path) { m_paths.append(path); }
    void cancel() { m_paths.append(QString()); }

    const QList<Request> &requests() const { return m_requests; }

private:
    std::optional<Choice> next(const Request &request);
    QList<QString> m_paths;
    QList<Request> m_requests;
};
