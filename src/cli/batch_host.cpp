#include "cli/batch_host.h"

#include <algorithm>
#include <chrono>

#include "app/tissue_choices.h"
#include "base/numbers.h"

namespace kolvane {

namespace {

constexpr int kBarWidth = 40;

}  // namespace

BatchHost::BatchHost(const BatchOptions& options, std::FILE* err, bool terminal)
    : options_(options), err_(err), terminal_(terminal) {}

// The message boxes' lines are separated by a CR alone (or CR LF); on a terminal or in a log
// each becomes a line of its own.
void BatchHost::WriteLines(const std::string& text) {
  ClearProgressLine();
  std::string out;
  out.reserve(text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  if (out.empty() || out.back() != '\n') out += '\n';
  if (study_write_) return study_write_(out);
  std::fputs(out.c_str(), err_);
  std::fflush(err_);
}

void BatchHost::ClearProgressLine() {
  if (!bar_on_line_) return;
  // Blank out the bar so that a message does not run into it; the bar is drawn again on the
  // next change of the progress.
  std::fprintf(err_, "\r%*s\r", kBarWidth + 8, "");
  bar_on_line_ = false;
  redraw_ = true;
}

void BatchHost::FinishProgress(int percent) {
  ShowProgress(percent);
  if (!bar_on_line_) return;
  std::fputc('\n', err_);
  std::fflush(err_);
  bar_on_line_ = false;
}

int BatchHost::UsageError(const std::string& message) {
  WriteLines(message + "\rRun with --help for more information.");
  return kExitUsage;
}

void BatchHost::ShowMessage(const std::string& text) {
  last_message_ = text;
  WriteLines(text);
}

void BatchHost::ShowMessageOfKind(MessageKind kind, const std::string& text) {
  // The advice to choose a matrix file is followed already: --matrix names one.
  if (kind == MessageKind::PureColorsMissing && !options_.matrix.empty()) return;
  ShowMessage(text);
}

double BatchHost::ConditionThreshold() const {
  return std::min(kDefaultConditionThreshold,
                  options_.max_condition.value_or(kDefaultConditionThreshold));
}

Answer BatchHost::AskYesNo(const std::string& text, const std::string& title) {
  WriteLines(title + ": " + text + " - answered No");
  return Answer::No;
}

Answer BatchHost::AskAboutMatrix(const std::string& text, const std::string&, MatrixDoubt& doubt) {
  // The matrix warning never stops a batch run unless --max-condition says so.
  const bool refuse =
      options_.max_condition && (doubt.singular || doubt.condition > *options_.max_condition);
  if (!refuse) {
    WriteLines("Warning: " + text + " - answered Yes");
    return Answer::Yes;
  }
  last_message_ = "The condition number exceeds --max-condition: the analysis is stopped.";
  doubt.refusal = last_message_;
  WriteLines("Warning: " + text + " - answered No\n" + last_message_);
  return Answer::No;
}

std::string BatchHost::AskFile(const FileDialogRequest& request) {
  switch (request.role) {
    case FileRole::Data:
      return options_.data;
    case FileRole::Blanks:
      return options_.blanks;
    case FileRole::Controls:
      return options_.controls;
    case FileRole::Results:
      return results_path_ = options_.results.empty() ? request.default_name : options_.results;
    case FileRole::Matrix:
      return options_.matrix;
    case FileRole::Other:
      break;
  }
  return "";  // a dialog nobody asked for on the command line is cancelled
}

void BatchHost::ShowTissueDialog(TissueForm& form) {
  if (options_.tissue != TissueChoice::Exclude) TissueOpt_Click(form, 0);
  TissueOk_Click(form);
}

void BatchHost::ShowTissueOptionsDialog(TissueOptionsForm& form) {
  if (options_.tissue == TissueChoice::Stored)
    TissueOptionsUseStored_Click(form);
  else
    TissueOptionsUseProvided_Click(form);
}

bool BatchHost::StopRequested() {
  ++yields_;
  const bool stop = (stop_ != nullptr && stop_->load()) || yields_ == stop_at_yield_;
  if (!stop || aborted_) return false;
  // As a confirmed abort: the load or run stops at its next check.
  aborted_ = true;
  return true;
}

void BatchHost::ShowProgress(int percent) {
  if (!terminal_) return;
  if (percent == drawn_percent_ && !redraw_) return;
  drawn_percent_ = percent;
  redraw_ = false;
  const int filled = percent * kBarWidth / 100;
  std::string line = "\r[";
  line.append(static_cast<std::size_t>(filled), '#');
  line.append(static_cast<std::size_t>(kBarWidth - filled), ' ');
  line += "] ";
  std::fputs(line.c_str(), err_);
  std::fprintf(err_, "%3d %%", percent);
  std::fflush(err_);
  bar_on_line_ = true;
}

std::optional<double> BatchHost::ParseUserNumber(const std::string& text) {
  return ParseStrictNumber(text);
}

double BatchHost::Clock() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace kolvane
