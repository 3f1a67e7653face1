// In this file: a look at the data file's header before the load. The load opens the results
// file for writing, so a command line that names a colour slot or a pure the file does not
// have must be caught before it: a wrong command line leaves every file as it was.
#include "app/program.h"
#include "cli/batch_commands.h"
#include "fixed/header.h"
#include "synch/scan_header.h"

namespace kolvane {

namespace {

// Nobody is asked and nothing is shown: what the header says wrong, the real load says again.
class SilentHost : public Host {
 public:
  void ShowMessage(const std::string&) override {}
  Answer AskYesNo(const std::string&, const std::string&) override { return Answer::No; }
  std::string AskFile(const FileDialogRequest&) override { return ""; }
  void ShowTissueDialog(TissueForm&) override {}
  void ShowTissueOptionsDialog(TissueOptionsForm&) override {}
  void ShowAbout(AboutForm&) override {}
  void ProcessPendingMessages() override {}
  std::optional<double> ParseUserNumber(const std::string&) override { return std::nullopt; }
  void SetPointer(Pointer) override {}
  void Beep() override {}
  double Clock() override { return 0.0; }
  void EndProgram() override {}
};

template <typename ReadHeader>
std::optional<int> ProbeHeader(const std::string& data, ReadHeader read) {
  SilentHost host;
  Program probe(host);
  probe.channels.Digests().SetMaker(nullptr);  // the header alone: no whole pass to digest
  InitializeDatasetState(probe);
  if (!probe.channels.In(Channels::kData).Open(data)) return std::nullopt;
  const std::optional<int> count = read(probe);
  probe.channels.CloseAll();
  return count;
}

}  // namespace

std::optional<int> FixedHeaderColors(const std::string& data) {
  return ProbeHeader(data, [](Program& p) -> std::optional<int> {
    if (ReadDataFileHeader(p, true, false) != Flow::Continue) return std::nullopt;
    return p.NumColors;
  });
}

std::optional<int> ScanHeaderPures(const std::string& data) {
  // Copy mode parses the header; with no results file open its copy goes nowhere.
  return ProbeHeader(data, [](Program& p) -> std::optional<int> {
    if (ReadScanHeader(p, true) != Flow::Continue) return std::nullopt;
    return p.HeaderPureCount;
  });
}

}  // namespace kolvane
