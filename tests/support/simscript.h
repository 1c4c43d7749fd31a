#pragma once

#include "simulatedcontroller.h"

#include <QStringList>
#include <QtTest>

// Script of the simulated controller's answers, one entry per received line:
//   "*"        the controller's own answer
//   "-"        no answer
//   "=text"    exactly text + CR LF; "|" marks where the answer is cut into
//              pieces that arrive apart
//   "!echo", "!short", "!garbage", "!pull"   the named fault
inline void Script(SimulatedController &sim, const QStringList &script)
{
    for (const QString &entry : script) {
        if (entry == QLatin1String("*")) {
            sim.queueAnswer();
        } else if (entry == QLatin1String("-")) {
            sim.queueNoReply();
        } else if (entry.startsWith(QLatin1Char('='))) {
            const QStringList pieces = entry.mid(1).split(QLatin1Char('|'));
            QByteArray bytes = pieces.join(QString()).toLatin1() + "\r\n";
            sim.queueRaw(bytes, static_cast<int>(pieces.size()), 40);
        } else if (entry == QLatin1String("!echo")) {
            sim.queueWrongEcho();
        } else if (entry == QLatin1String("!short")) {
            sim.queueWrongLength(-1);
        } else if (entry == QLatin1String("!garbage")) {
            sim.queueGarbage("\x15\x7f#");
        } else if (entry == QLatin1String("!pull")) {
            sim.queuePull();
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown script entry ") + entry));
        }
    }
}
