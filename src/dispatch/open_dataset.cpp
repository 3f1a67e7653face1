#include "dispatch/open_dataset.h"

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

std::string Beside(const std::string& data, const char* extension) {
  const std::string path = fs::path(data).replace_extension(extension).string();
  std::error_code ec;
  return fs::is_regular_file(path, ec) ? path : std::string();
}

}  // namespace

DataKind DataKindOf(const std::string& path, std::string& problem) {
  std::error_code ec;
  if (fs::is_directory(path, ec) || !std::ifstream(path, std::ios::binary)) {
    problem = "Can't open file: " + path;
    return DataKind::Unknown;
  }
  const DataKind kind = KindOfDataFile(path);
  if (kind == DataKind::Unknown)
    problem = "The file " + path +
              " is neither a fixed-wavelength file (it has no Color line) nor a "
              "synchronous-scan file (it has no \"Date/Time\" item).  The file was not loaded.";
  return kind;
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
  p.FileAnswers = {{FileRole::Data, files.data},
                   {FileRole::Blanks, files.blanks},
                   {FileRole::Controls, files.controls},
                   {FileRole::Results, files.results}};
  const Flow flow = files.scan ? OpenDataSS_Click(p) : OpenData_Click(p);
  p.FileAnswers.clear();
  if (flow == Flow::ProgramEnding) return flow;
  if (!p.form.CloseIt.enabled) {
    p.Dataset = DatasetFiles{};
    NotifyFormChanged(p);
    return Flow::Stop;
  }
  p.Dataset = files;
  p.Dataset.results = p.ChosenFiles.results;  // the user may have named another
  NoteRecentDataset(p.prefs, {files.data, files.blanks, files.controls});
  p.prefs.last_folder = fs::path(files.data).parent_path().string();
  NotifyFormChanged(p);
  return flow;
}

Flow OpenDatasetFile(Program& p, const std::string& data) {
  if (p.Busy || data.empty()) return Flow::Stop;
  std::string problem;
  const DataKind kind = DataKindOf(data, problem);
  if (kind == DataKind::Unknown) {
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
