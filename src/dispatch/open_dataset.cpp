#include "dispatch/open_dataset.h"

#include <cctype>
#include <filesystem>
#include <fstream>

#include "app/color_panel.h"
#include "app/main_form_ops.h"
#include "base/file_identity.h"
#include "dispatch/analyze_again.h"
#include "dispatch/commands.h"

namespace kolvane {

namespace {

namespace fs = std::filesystem;

// Case-insensitive: does `line` begin with `word`?
bool Begins(const std::string& line, const char* word) {
  std::size_t i = 0;
  for (; word[i] != '\0'; ++i) {
    if (i >= line.size()) return false;
    if (std::tolower(static_cast<unsigned char>(line[i])) !=
        std::tolower(static_cast<unsigned char>(word[i])))
      return false;
  }
  return true;
}

std::string Beside(const std::string& data, const char* extension) {
  const std::string path = fs::path(data).replace_extension(extension).string();
  std::error_code ec;
  return fs::is_regular_file(path, ec) ? path : std::string();
}

}  // namespace

DataKind DataKindOf(const std::string& path, std::string& problem) {
  std::error_code ec;
  std::ifstream in(path, std::ios::binary);
  if (fs::is_directory(path, ec) || !in) {
    problem = "Can't open file: " + path;
    return DataKind::Neither;
  }
  // The header stands before the first record; a few hundred lines are more than any holds.
  std::string line;
  for (int n = 0; n < 400 && std::getline(in, line); ++n) {
    std::size_t start = line.find_first_not_of(" \t\xEF\xBB\xBF");
    if (start == std::string::npos) continue;
    line.erase(0, start);
    if (Begins(line, "Scan lower") || Begins(line, "Scan upper") ||
        Begins(line, "Scan data interval"))
      return DataKind::Scan;
    if (Begins(line, "Wavelengths")) return DataKind::Fixed;
  }
  problem = path +
            " is neither a fixed-wavelength nor a synchronous-scan data file: its header names "
            "no wavelengths and no scan range.  The file was not loaded.";
  return DataKind::Neither;
}

DatasetFiles ProposeDataset(const std::string& data, bool scan) {
  DatasetFiles f;
  f.scan = scan;
  f.data = data;
  f.blanks = Beside(data, scan ? ".slk" : ".blk");
  if (!scan) f.controls = Beside(data, ".ctl");
  f.results = data + ".scf";
  return f;
}

Flow OpenDatasetFiles(Program& p, const DatasetFiles& files) {
  if (p.Busy) return Flow::Stop;
  if (p.form.CloseIt.enabled) CloseIt_Click(p);
  p.FileAnswers = {{"Save Results File", files.results}, {"Open Blanks File", files.blanks}};
  if (files.scan) {
    p.FileAnswers["Open Synchronous Scan File"] = files.data;
  } else {
    p.FileAnswers["Open Fix File"] = files.data;
    p.FileAnswers["Open Control File"] = files.controls;
  }
  const Flow flow = files.scan ? OpenDataSS_Click(p) : OpenData_Click(p);
  p.FileAnswers.clear();
  if (flow == Flow::ProgramEnding) return flow;
  if (!p.form.CloseIt.enabled) {
    p.Dataset = DatasetFiles{};
    NotifyFormChanged(p);
    return Flow::Stop;
  }
  p.Dataset = files;
  NoteRecentDataset(p.prefs, {files.data, files.blanks, files.controls});
  p.prefs.last_folder = fs::path(files.data).parent_path().string();
  NotifyFormChanged(p);
  return flow;
}

Flow OpenDatasetFile(Program& p, const std::string& data) {
  if (p.Busy || data.empty()) return Flow::Stop;
  std::string problem;
  const DataKind kind = DataKindOf(data, problem);
  if (kind == DataKind::Neither) {
    p.host.ShowMessage(problem);
    return Flow::Stop;
  }
  return OpenDatasetFiles(p, ProposeDataset(data, kind == DataKind::Scan));
}

Flow OpenDataset_Click(Program& p) {
  if (p.Busy) return Flow::Stop;
  FileDialogRequest request;
  request.role = FileRole::Data;
  request.title = "Open Dataset";
  request.filters = {{"Data Files (*.fix;*.syn)", "*.fix;*.syn"}, {"All Files (*.*)", "*.*"}};
  return OpenDatasetFile(p, p.host.AskFile(request));
}

Flow ChangeCompanion(Program& p, const std::string& which, const std::string& path) {
  if (p.Busy || p.Dataset.data.empty()) return Flow::Stop;
  DatasetFiles files = p.Dataset;
  (which == "controls" ? files.controls : files.blanks) = path;
  return OpenDatasetFiles(p, files);
}

Flow ChangeResultsPath(Program& p, const std::string& path) {
  if (p.Busy || p.Dataset.data.empty() || !p.form.CloseIt.enabled) return Flow::Stop;
  if (path == p.Dataset.results) return Flow::Continue;
  if (path.empty()) {
    NotifyFormChanged(p);
    return Flow::Stop;
  }
  return ReopenResults(p, path);
}

void KeepOptions(Program& p) {
  Preferences& k = p.prefs;
  k.options_kept = true;
  k.microspheres = p.ResultsInMicrospheres;
  if (p.form.BackSub.visible) k.background = p.form.BackSub.ticked;
  if (p.form.ControlCorr.visible) k.control_correction = p.form.ControlCorr.ticked;
}

void ApplyKeptOptions(Program& p) {
  const Preferences& k = p.prefs;
  if (!k.options_kept || !p.form.CloseIt.enabled || p.Busy) return;
  OFResults_Radio_Click(p, k.microspheres ? 1 : 0);
  if (p.form.BackSub.visible) {
    p.form.BackSub.ticked = k.background;
    BackSub_Click(p);
  }
  if (p.form.ControlCorr.visible) {
    p.form.ControlCorr.ticked = k.control_correction;
    ControlCorr_Click(p);
  }
  NotifyFormChanged(p);
}

}  // namespace kolvane
