// In this file: the example datasets and a started window whose Open commands take their files
// from a list, shared by the window's tests of loads and runs.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "../app/window_fixtures.h"
#include "app/tissue_choices.h"
#include "dispatch/commands.h"

namespace kolvane {
namespace testing_window {

inline const std::string kExamples = KOLVANE_SOURCE_DIR "/examples/";
inline const std::string kFixedStem = kExamples + "fixed/tissue_blanks_controls";
inline const std::string kScanStem = kExamples + "scan/small";
// The examples' files in the order the load's dialogs ask for them (results file left out).
inline const std::vector<std::string> kFixedFiles = {kFixedStem + ".fix", kFixedStem + ".blk",
                                                     kFixedStem + ".ctl"};
inline const std::vector<std::string> kScanFiles = {kScanStem + ".syn", kScanStem + ".slk"};

inline void UseProvidedTissue(TissueForm& f) {
  TissueOpt_Click(f, 0);
  TissueOk_Click(f);
}

// The Tissue dialog is answered OK.
struct Window : Started {
  Window() {
    host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
  }
  // The tissue pure used, with the data file's own sample.
  void UseTissue() {
    host.on_tissue = UseProvidedTissue;
    host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsUseProvided_Click(f); };
  }
  // Answers the load's file dialogs with `files` in turn ("" cancels), then Open Fixed or Open
  // Scan.
  Flow Open(bool scan, const std::vector<std::string>& files) {
    for (const std::string& f : files) host.QueueFile(f);
    return scan ? OpenDataSS_Click(p) : OpenData_Click(p);
  }
  Flow Open(bool scan, std::vector<std::string> files, const std::string& results) {
    files.push_back(results);
    return Open(scan, files);
  }
};

// The TAB-separated cells of every line of a text.
inline std::vector<std::vector<std::string>> TabLines(const std::string& text) {
  std::vector<std::vector<std::string>> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> cells(1);
    for (char c : line) {
      if (c == '\t') {
        cells.emplace_back();
      } else {
        cells.back().push_back(c);
      }
    }
    lines.push_back(cells);
  }
  return lines;
}

}  // namespace testing_window
}  // namespace kolvane
