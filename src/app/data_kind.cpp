#include "app/data_kind.h"

#include <fstream>
#include <vector>

namespace kolvane {

namespace {

constexpr std::size_t kLookAt = 1 << 20;

}  // namespace

DataKind KindOfDataFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return DataKind::Unknown;
  std::vector<char> head(kLookAt);
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  // Lines end at CR or LF; the first line that names a kind decides.
  std::string line;
  auto decide = [&line]() {
    if (line.find("Color") != std::string::npos) return DataKind::Fixed;
    if (line.find("Date/Time") != std::string::npos) return DataKind::Scan;
    return DataKind::Unknown;
  };
  for (char c : head) {
    if (c == '\r' || c == '\n') {
      const DataKind kind = decide();
      if (kind != DataKind::Unknown) return kind;
      line.clear();
    } else {
      line += c;
    }
  }
  return decide();
}

std::string WrongKindMessage(const std::string& path, DataKind chosen_for, DataKind found) {
  if (found == DataKind::Scan && chosen_for == DataKind::Fixed)
    return "The file " + path +
           " is a synchronous-scan file.  Please open it with File > Open Synchronous Scan "
           "File.  The file was not loaded.";
  if (found == DataKind::Fixed && chosen_for == DataKind::Scan)
    return "The file " + path +
           " is a fixed-wavelength file.  Please open it with File > Open Fixed Wavelength "
           "File.  The file was not loaded.";
  return "";
}

}  // namespace kolvane
