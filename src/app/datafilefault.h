#pragma once

#include <QString>

#include <optional>

// Where a data file could not be read: the record (line) and the field in
// it, both counted from 1, and what stood there (nothing when the file ended
// before the field).
struct DataFileFault
{
    int record = 0;
    int field = 0;
    std::optional<QString> found;

    bool isSet() const { return record > 0; }
};

// The line that tells the user where the file could not be read, in the
// language in use; empty when no fault is set.
QString DataFileFaultText(const DataFileFault &fault);
