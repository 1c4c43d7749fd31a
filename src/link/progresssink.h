#pragma once

#include <QString>

// Where a transfer reports how far it has got: the progress window on the
// desktop, a progress line on a terminal for the command-line tool. The
// transfers need nothing else of it, so they run without a window.
class ProgressSink
{
public:
    virtual ~ProgressSink() = default;

    // A new step: its text and the count it runs to; the count starts at 0.
    virtual void start(const QString &text, int maximum) = 0;
    virtual void setProgress(int value) = 0;
    // The step is over (also after a failure).
    virtual void finish() = 0;
};
