// In this file: which kind of data file a file is, from its content: a fixed-wavelength file
// names its colours on a "Color" line before its records, a synchronous-scan file ends its
// header with a "Date/Time" item. The Open commands check the file as soon as it is chosen,
// and `kolvane FILE` opens a file by its kind.
#pragma once

#include <string>

namespace kolvane {

enum class DataKind { Fixed, Scan, Unknown };

// The kind of the data file at path; Unknown when it cannot be read or holds neither line
// within its first mebibyte.
DataKind KindOfDataFile(const std::string& path);

// The message for a file of the other kind chosen in an Open command's dialog: it names the
// menu item that opens it. Empty for any other kind.
std::string WrongKindMessage(const std::string& path, DataKind chosen_for, DataKind found);

}  // namespace kolvane
