#include "dispatch/open_file.h"

#include <fstream>

#include "app/data_kind.h"
#include "dispatch/commands.h"

namespace kolvane {

Flow OpenDataFileByKind(Program& p, const std::string& path) {
  if (!std::ifstream(path, std::ios::binary)) {
    p.host.ShowMessage("Can't open file: " + path);
    return Flow::Stop;
  }
  const DataKind kind = KindOfDataFile(path);
  if (kind == DataKind::Unknown) {
    p.host.ShowMessage("The file " + path +
                       " is neither a fixed-wavelength file (it has no Color line) nor a "
                       "synchronous-scan file (it has no \"Date/Time\" item).  The file was not "
                       "loaded.");
    return Flow::Stop;
  }
  // The Open command's own data dialog takes the file; the others are asked as usual.
  p.GivenDataFile = path;
  const Flow flow = kind == DataKind::Fixed ? OpenData_Click(p) : OpenDataSS_Click(p);
  p.GivenDataFile.clear();
  return flow;
}

}  // namespace kolvane
