#pragma once

#include "testenv.h"
#include "text/stringtable.h"

#include <QFile>

// A text as the shipped table file holds it (Japanese under N, English under
// N + 10000), read on its own, so that a test can tell the right ID and
// language from a wrong one.
inline QString TableText(int id)
{
    static const StringTable table = [] {
        StringTable t;
        QFile f(SourceDataDir() + QStringLiteral("/strings.tsv"));
        if (f.open(QIODevice::ReadOnly))
            StringTable::parse(QString::fromUtf8(f.readAll()), t);
        return t;
    }();
    return table.find(id).value_or(QStringLiteral("<missing %1>").arg(id));
}
