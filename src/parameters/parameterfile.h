#pragma once

#include "app/datafilefault.h"

#include <QString>

struct ParameterSet;
class Prompter;

// The parameter file (*.pmt): two records in the sequential text format,
//   "KT-E1","Parameter"
//   3000,100,50,...,0,2,800,0,"E35L-050",1,1
// the second holding the 24 parameters in order, parameter 18 as nothing
// at all when it is empty and parameter 22 as quoted text.

// Reads a parameter file into ParaDA and gParaDACount. The values of an
// earlier file or controller read are cleared first, so that a short file
// never inherits parameters it does not hold. A file that is not a
// parameter file (wrong identification, binary junk, far too large) is
// refused with messages 362 + 363 and, where it applies, the record and
// field that gave it away. A file that cannot be opened, holds fewer values
// than the shortest real file (15, an RW controller's) or more than 35, or a
// value that does not fit its parameter returns 1 without a message (the
// caller reports it, with where when it is set). On 1 ParaDA is left as it
// was. fileTitle goes into ParaDA(0); empty takes the file name of path.
int OpenParaFile(const QString &path, const QString &fileTitle, ParameterSet &set,
                 Prompter &prompter, DataFileFault *where = nullptr);

// The file text for the 24 variables.
QString ParaFileText(const ParameterSet &set);

// Writes the 24 variables as a parameter file, replacing any file of that
// name only once the new one is complete. 0 on success, 1 when the file
// could not be written (the old file is then left as it was; error, when
// given, says why).
int SaveParaFileAs(const QString &path, const ParameterSet &set, QString *error = nullptr);
