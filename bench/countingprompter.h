#pragma once

#include "app/prompter.h"

#include <QStringList>

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
