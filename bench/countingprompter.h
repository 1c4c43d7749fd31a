#pragma once

#include "app/filedialogs.h"
#include "app/prompter.h"

#include <QStringList>

#include <optional>

// A benchmark has no user: any message means the run went wrong.
class CountingPrompter : public Prompter
{
public:
    Answer ask(const QString &text, Buttons, Icon, const QString &) override
    {
        messages << text;
        return Answer::Ok;
    }
    QStringList messages;
};

// Nor does it choose files.
class NoDialogs : public FileDialogs
{
public:
    std::optional<Choice> open(const Request &) override { return std::nullopt; }
    std::optional<Choice> save(const Request &) override { return std::nullopt; }
};
