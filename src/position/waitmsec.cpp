#include "position/waitmsec.h"

#include "common/timescale.h"

#include <QEventLoop>
#include <QTimer>

void WaitMsec(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(ScaledMs(milliseconds), &loop, &QEventLoop::quit);
    loop.exec();
}
