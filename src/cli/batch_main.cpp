// In this file: the command line of kolvane-batch. It only turns options into the answers the
// batch host gives and the choices the subcommands make; the analyses are the window's own.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/version.h"
#include "base/channels.h"
#include "base/numbers.h"
#include "cli/batch.h"
#include "cli/batch_commands.h"
#include "cli/batch_flow.h"
#include "cli/batch_signals.h"
#include "cli/batch_study.h"

namespace kolvane {

// The file dialogs answer full paths; so does the batch, so that a results file names its
// matrix file the same way whichever front end wrote it. A ".." steps out of the folder the
// system reached, which is not the one the name shows when that name is a link: the part
// before it is resolved first.
std::string FullPath(const std::string& path) {
  namespace fs = std::filesystem;
  if (path.empty()) return path;
  std::error_code ec;
  const fs::path full = fs::absolute(path, ec);
  if (ec) return path;
  fs::path folded;
  for (const fs::path& part : full) {
    if (part == ".." && folded.has_relative_path()) {
      const fs::path real = fs::weakly_canonical(folded, ec);
      folded = (ec ? folded : real).parent_path();
    } else if (part != "." && !part.empty()) {
      folded /= part;
    }
  }
  return folded.string();
}

namespace {

constexpr const char* kHint = "Run with --help for more information.";

// A wrong command line: the message, the hint, status 2.
int Usage(const std::string& message) {
  std::cerr << message << "\n" << kHint << std::endl;
  return kExitUsage;
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  std::string::size_type start = 0;
  for (;;) {
    const auto comma = text.find(',', start);
    items.push_back(TrimSpaces(text.substr(start, comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return items;
}

// --colors: slot numbers 1..30 as plain digits. Whether the file has the slot is checked
// against its header by the subcommand.
bool ParseColors(const std::string& text, std::vector<int>& slots, std::string& error) {
  for (const std::string& item : SplitList(text)) {
    bool digits = !item.empty() && item.size() <= 2 &&
                  item.find_first_not_of("0123456789") == std::string::npos;
    const int slot = digits ? std::stoi(item) : 0;
    if (slot < 1 || slot > 30) {
      error = "--colors: \"" + item + "\" is not a colour slot (1 to 30)";
      return false;
    }
    slots.push_back(slot);
  }
  return true;
}

// --micros-per-ml: numbers with the full stop, not negative (a pure cannot hold fewer than no
// microspheres); kept as text because the boxes take text.
bool ParseMicros(const std::string& text, std::vector<std::string>& values, std::string& error) {
  for (const std::string& item : SplitList(text)) {
    const std::optional<double> v = ParseStrictNumber(item);
    if (!v || *v < 0) {
      error = "--micros-per-ml: \"" + item + "\" is not a number of microspheres per ml";
      return false;
    }
    values.push_back(item);
  }
  if (values.size() > 30) {
    error = "--micros-per-ml: more than 30 values";
    return false;
  }
  return true;
}

// A check that does not add its own words to the option's line in --help (the type name
// already says what is allowed).
CLI::Validator Quiet(const CLI::Validator& v) {
  return v.description("");
}

const CLI::Validator& AnExistingFile() {
  static const CLI::Validator v = Quiet(CLI::ExistingFile);
  return v;
}

// The data files and folders exist. Checked once the parse succeeded: an unknown option's
// value lands among them, and the unknown option is the error to report.
std::string MissingInput(const std::vector<std::string>& inputs, const char* name) {
  for (const std::string& path : inputs)
    if (!std::filesystem::exists(path)) return std::string(name) + ": File does not exist: " + path;
  return "";
}

// What CLI11 fills; turned into BatchOptions once the parse succeeded.
struct RawOptions {
  std::vector<std::string> inputs;
  std::string blanks, controls, matrix, results;
  std::string format = "intensity";
  std::string micros, colors, background, control_correction;
  std::string tissue = "exclude";
  double max_condition = 0.0;
  bool no_record = false;
  std::string html;
  StudyOptions study;
};

void AddCommonOptions(CLI::App& cmd, RawOptions& raw, const std::string& data_name,
                      const std::string& blanks_name) {
  cmd.add_option(data_name, raw.inputs,
                 "The data file to analyse; several files or folders make a study")
      ->required()
      ->type_name("");
  cmd.add_option("--blanks", raw.blanks,
                 "Blanks file " + blanks_name + " (default: none, no background subtraction)")
      ->type_name("FILE")
      ->check(AnExistingFile());
  cmd.add_option("-o,--output", raw.results,
                 "Results file to write (default: the data file's name followed by .scf)")
      ->type_name("RESULTS.scf");
  cmd.add_option("--format", raw.format, "Report results as intensity levels or microspheres/ml")
      ->check(Quiet(CLI::IsMember({"intensity", "microspheres"})))
      ->type_name("intensity|microspheres")
      ->capture_default_str();
  cmd.add_option("--background", raw.background,
                 "Background subtraction (default: on when a blanks file is given)")
      ->check(Quiet(CLI::IsMember({"on", "off"})))
      ->type_name("on|off");
  cmd.add_option("--max-condition", raw.max_condition,
                 "Stop before any result line when the matrix's condition number exceeds K "
                 "(default: warn above 1000 and go on)")
      ->type_name("K")
      ->check(CLI::PositiveNumber.description(""));
  cmd.add_flag("--no-record", raw.no_record,
               "Do not write the run record (RESULTS.scf.json beside the results file)");
  cmd.add_option("--html", raw.html,
                 "Also write a self-contained report page: matrix picture, figures, inputs")
      ->type_name("REPORT.html");
  AddStudyOptions(cmd, raw.study);
}

BatchOptions MakeOptions(const RawOptions& raw) {
  BatchOptions o;
  o.data = FullPath(raw.inputs.empty() ? "" : raw.inputs.front());
  o.blanks = FullPath(raw.blanks);
  o.controls = FullPath(raw.controls);
  o.matrix = FullPath(raw.matrix);
  o.results = FullPath(raw.results);
  o.microspheres = raw.format == "microspheres";
  if (!raw.background.empty()) o.background = raw.background == "on";
  if (!raw.control_correction.empty()) o.control_correction = raw.control_correction == "on";
  if (raw.tissue == "use") o.tissue = TissueChoice::Use;
  if (raw.tissue == "stored") o.tissue = TissueChoice::Stored;
  if (raw.max_condition > 0) o.max_condition = raw.max_condition;
  o.record = !raw.no_record;
  o.html = FullPath(raw.html);
  return o;
}

}  // namespace

int BatchMain(int argc, char** argv) {
  CLI::App app{
      "Spillover correction of fluorescent-microsphere measurements, without a window.\n"
      "Exit status: 0 when a complete results file was written, 1 when the data "
      "stopped the analysis, 2 for a wrong command line.",
      "kolvane-batch"};
  app.set_version_flag("--version", std::string("kolvane-batch ") + KOLVANE_VERSION_STRING);
  app.require_subcommand(1);

  RawOptions raw;
  CLI::App* fixed = app.add_subcommand("fixed", "Analyse a fixed-wavelength data file (.fix)");
  AddCommonOptions(*fixed, raw, "DATA.fix", "(.blk)");
  fixed
      ->add_option("--controls", raw.controls,
                   "Controls file (.ctl) (default: none, no control correction)")
      ->type_name("FILE")
      ->check(AnExistingFile());
  fixed
      ->add_option("--matrix", raw.matrix,
                   "Spillover matrix file (.spl) to use instead of the file's pures")
      ->type_name("FILE")
      ->check(AnExistingFile());
  fixed
      ->add_option("--micros-per-ml", raw.micros,
                   "Microspheres/ml of the pures of colour slots 1, 2, ... (default: 1000 each)")
      ->type_name("V1,V2,...");
  fixed
      ->add_option("--colors", raw.colors,
                   "Colour slots to analyse (default: every colour of the file)")
      ->type_name("1,2,5,...");
  fixed
      ->add_option("--control-correction", raw.control_correction,
                   "Control correction (default: off)")
      ->check(Quiet(CLI::IsMember({"on", "off"})))
      ->type_name("on|off");
  fixed
      ->add_option("--tissue", raw.tissue,
                   "A Tissue column: pass it through unused (exclude), or use it in the "
                   "correction with the file's pure tissue sample (use) or the stored one "
                   "(stored)")
      ->check(Quiet(CLI::IsMember({"exclude", "use", "stored"})))
      ->type_name("exclude|use|stored")
      ->capture_default_str();

  CLI::App* scan = app.add_subcommand("scan", "Analyse a synchronous-scan data file (.syn)");
  AddCommonOptions(*scan, raw, "DATA.syn", "(.slk)");
  scan->add_option("--micros-per-ml", raw.micros,
                   "Microspheres/ml of pures 1, 2, ... in the file's order (default: 1000 each)")
      ->type_name("V1,V2,...");

  FlowCommandLine flow_line;
  CLI::App* flow = AddFlowCommand(app, flow_line);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    // The program's own --help lists the options of every subcommand.
    if (app.get_subcommands().empty()) {
      std::cout << app.help("", CLI::AppFormatMode::All);
      return kExitComplete;
    }
    return app.exit(e);
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --version
  } catch (const CLI::ParseError& e) {
    return Usage(e.what());
  }

  if (flow->parsed()) return RunFlowCommand(flow_line);
  const CLI::App& cmd = fixed->parsed() ? *fixed : *scan;
  raw.study.inputs = raw.inputs;
  const bool study = IsStudy(cmd, raw.study);
  std::string error = MissingInput(raw.inputs, fixed->parsed() ? "DATA.fix" : "DATA.syn");
  if (!error.empty()) return Usage(error);
  BatchOptions o = MakeOptions(raw);
  if (!raw.colors.empty() && !ParseColors(raw.colors, o.colors, error)) return Usage(error);
  if (!raw.micros.empty() && !ParseMicros(raw.micros, o.micros, error)) return Usage(error);
  // With --companions each file finds its own blanks and controls.
  const bool companions = study && raw.study.companions;
  if (o.background.value_or(false) && o.blanks.empty() && !companions)
    return Usage("--background on needs a blanks file (--blanks)");
  if (o.control_correction.value_or(false) && o.controls.empty() && !companions)
    return Usage("--control-correction on needs a controls file (--controls)");
  if (study) return RunStudy(scan->parsed(), o, raw.study);

  const std::string refused = RefusedInput(o);
  if (!refused.empty()) {
    std::cerr << refused << std::endl;
    return kExitStopped;
  }

  HandleStopSignals();
  BatchHost host(o, stderr, isatty(fileno(stderr)) != 0);
  host.StopOn(&StopRequested());
  return fixed->parsed() ? RunFixedBatch(o, host) : RunScanBatch(o, host);
}

}  // namespace kolvane
