#pragma once

#include <QString>

// The program's version as it is shown to the user: major, ".", minor and
// revision run together, each as decimal text without leading zeros, so that
// version 1.3.0 reads "1.30" (window title "KT-ED Ver1.30", splash
// "Version 1.30").
inline QString VersionNumberText(int major, int minor, int revision)
{
    return QString::number(major) + u'.' + QString::number(minor) + QString::number(revision);
}

inline QString VersionNumberText()
{
    return VersionNumberText(KTED_VERSION_MAJOR, KTED_VERSION_MINOR, KTED_VERSION_PATCH);
}
