#pragma once

#include "link/progresssink.h"

#include <cstdio>

// The progress of a transfer as one line on a terminal, redrawn in place:
// "text  2/6". Nothing is written when standard error is not a terminal, so
// that a script's log holds only the messages.
class CliProgress : public ProgressSink
{
public:
    explicit CliProgress(std::FILE *out);

    void start(const QString &text, int maximum) override;
    void setProgress(int value) override;
    void finish() override;

private:
    void draw();

    std::FILE *m_out;
    bool m_terminal;
    bool m_shown = false;
    QString m_text;
    int m_maximum = 0;
    int m_value = 0;
};
