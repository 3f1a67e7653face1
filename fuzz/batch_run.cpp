// A whole load and run through the batch front end: the fuzzed bytes are the data file of the
// subcommand this target was built for (KOLVANE_FUZZ_SCAN chooses the scan path).
#include <cstdint>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
#ifdef KOLVANE_FUZZ_SCAN
  const std::string command = "scan", name = "data.syn";
#else
  const std::string command = "fixed", name = "data.fix";
#endif
  const std::string path = kolvane_fuzz::WriteInput(name, data, size);
  std::vector<std::string> args = {"kolvane-batch", command, path, "-o", path + ".scf"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  kolvane::BatchMain(static_cast<int>(argv.size()), argv.data());
  return 0;
}
