#include "app/file_dialogs.h"

#include <vector>

namespace kolvane {

namespace {

// Blanks around a description or pattern (" All Files (*.*) ") are not part of it.
std::string Trim(const std::string& s) {
  std::size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  std::size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

FileFilter SplitEntry(const std::string& entry) {
  std::size_t cut = entry.find_first_of(":|");
  if (cut == std::string::npos) {
    std::string t = Trim(entry);
    return {t, t};
  }
  return {Trim(entry.substr(0, cut)), Trim(entry.substr(cut + 1))};
}

// The answer given for `role` instead of asking, taken once; false when none is given.
bool TakeGivenAnswer(Program& p, FileRole role, std::string& answer) {
  auto given = p.FileAnswers.find(role);
  if (given == p.FileAnswers.end()) return false;
  answer = given->second;
  p.FileAnswers.erase(given);
  return true;
}

}  // namespace

std::string AskFileName(Program& p, FileRole role, const std::string& filter,
                        const std::string& title, bool save, const std::string& default_name) {
  FileDialogRequest request;
  request.role = role;
  request.save = save;
  request.title = title;
  request.filters.push_back(SplitEntry(filter));
  if (!save) request.filters.push_back({"All Files (*.*)", "*.*"});
  if (save) request.default_name = default_name;
  // A dataset opened in one step has its answers already.
  std::string answer;
  if (!TakeGivenAnswer(p, role, answer)) answer = p.host.AskFile(request);
  NoteChosenFile(p.ChosenFiles, role, answer);
  return answer;
}

std::string AskResultsFile(Program& p, const std::string& proposed,
                           const std::function<std::string(const std::string&)>& refused,
                           const std::string& final_words) {
  std::string name = proposed;
  for (;;) {
    const std::string results =
        AskFileName(p, FileRole::Results, "Spillover Corrected File (*.scf)|*.scf",
                    "Save Results File", true, name);
    if (results.empty()) return "";
    std::string problem = refused(results);
    if (problem.empty()) {
      OutputChannel& out = p.channels.Out(Channels::kResults);
      if (out.Open(results)) {
        out.Hold();  // the run keeps it
        return results;
      }
      if (!p.host.HasUser()) {
        p.host.ShowMessage("Can't open file: " + out.Failure());
        return "";
      }
      problem = "Can't open file: " + out.Failure() + ".";
    } else if (!p.host.HasUser()) {
      p.host.ShowMessage(problem + final_words);
      return "";
    }
    p.host.ShowMessage(problem + "  Please choose another name for the results file.");
    name = results;
  }
}

std::string AskOpenFileName(Program& p, FileRole role, const std::string& filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t bar = filter.find('|', start);
    parts.push_back(
        filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::string answer;
  if (TakeGivenAnswer(p, role, answer)) return answer;
  FileDialogRequest request;
  request.role = role;
  request.save = false;
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    std::string description = Trim(parts[i]);
    std::string pattern = i + 1 < parts.size() ? Trim(parts[i + 1]) : description;
    if (description.empty() && pattern.empty()) continue;
    request.filters.push_back({description, pattern});
  }
  return p.host.AskFile(request);
}

}  // namespace kolvane
