#pragma once

#include <QString>

// Where the program finds its list files (device catalogues,
// default-parameter lists, the controller's error list) and which file
// belongs to which family and generation.

// The folder of the list files: the folder named by the environment
// variable KTED_DATA_DIR when it is set; else the program's own folder when
// it holds list files; else ../share/kted beside the program when that
// exists; else the program's folder (so that a message about a missing file
// names the place where the file belongs).
QString ListFileDir();

// The same search starting from an explicit program folder.
QString FindListFileDir(const QString &programDir);

// Exactly "KT" is the KT family; every other text (also "kt" or "Kt")
// means the RW family.
bool IsKtFamily(const QString &family);

// "nktdevice.lst" (KT new generation), "ktdevice.lst" (KT old generation)
// or "rwdevice.lst" (RW, which has one generation: the flag is ignored).
QString DeviceListFileName(const QString &family, bool isNewType);

// "nktstdprm.lst", "ktstdprm.lst" or "rwstdprm.lst", chosen the same way.
QString StdPrmListFileName(const QString &family, bool isNewType);

// The controller's error list.
inline constexpr char kErrorListFileName[] = "error.lst";
