// In this file: the boundary between the program and whatever shows it. Everything the
// program asks of a user or of the desktop goes through one Host: message boxes, file dialogs,
// the modal dialogs, letting pending messages be processed, the mouse pointer, the beep, the
// clock and ending the program. QtHost shows real windows, BatchHost answers from the command
// line, and the tests' scripted host answers from a queue and records what was shown.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kolvane {

struct TissueForm;
struct TissueOptionsForm;
struct AboutForm;

enum class Pointer {
  Default,
  Hourglass,
  // The sizing arrows, in the order in which a count of records turns them.
  SizeWE,
  SizeNWSE,
  SizeNS,
  SizeNESW,
};

// The sizing arrow after `arrow` in the turn (after the last comes the first again).
constexpr Pointer NextSizingArrow(Pointer arrow) {
  return arrow == Pointer::SizeWE     ? Pointer::SizeNWSE
         : arrow == Pointer::SizeNWSE ? Pointer::SizeNS
         : arrow == Pointer::SizeNS   ? Pointer::SizeNESW
                                      : Pointer::SizeWE;
}

enum class Answer { Yes, No };

// A message a host may treat by what it says rather than by its words.
enum class MessageKind {
  Plain,
  PureColorsMissing,  // the advice to enter a spillover matrix: moot where one was given
};

// What the question about a noisy or singular spillover matrix is about: a host that answers
// by itself (the batch) decides from these, not from the text.
struct MatrixDoubt {
  bool singular = false;
  double condition = 0.0;
  // Set by a host that says No by itself: why, for the run's record (empty: the user's No).
  std::string refusal;
};

// One entry of a file dialog's filter: what the dialog shows and the pattern it applies.
struct FileFilter {
  std::string description;  // "FIX Files (*.fix)"
  std::string pattern;      // "*.fix"
};

// What a file dialog asks for. The hosts and the run record know a request by its role, never
// by its title, so that a reworded title changes nothing but the words shown.
enum class FileRole { Other, Data, Blanks, Controls, Results, Matrix };

struct FileDialogRequest {
  FileRole role = FileRole::Other;
  bool save = false;
  std::string title;                // empty: the platform's default open title
  std::vector<FileFilter> filters;  // in the order shown
  std::string default_name;         // save dialogs only: proposed full path
};

class Host {
 public:
  virtual ~Host() = default;

  // A message box with an OK button and the program's title.
  virtual void ShowMessage(const std::string& text) = 0;
  // The same for a message of a kind; shown as any other unless the host says otherwise.
  virtual void ShowMessageOfKind(MessageKind /*kind*/, const std::string& text) {
    ShowMessage(text);
  }
  // A message box with Yes and No buttons and the given title.
  virtual Answer AskYesNo(const std::string& text, const std::string& title) = 0;
  // The question whether a run goes on with the matrix in doubt; asked as any other unless
  // the host says otherwise.
  virtual Answer AskAboutMatrix(const std::string& text, const std::string& title,
                                MatrixDoubt& /*doubt*/) {
    return AskYesNo(text, title);
  }
  // A file dialog. Returns the chosen file's full path, or empty for a cancel (a dialog that
  // fails also counts as a cancel).
  virtual std::string AskFile(const FileDialogRequest& request) = 0;

  // The modal dialogs: the host shows the form model, lets the user act on it through the
  // form's handlers, and returns when the dialog is closed.
  virtual void ShowTissueDialog(TissueForm& form) = 0;
  virtual void ShowTissueOptionsDialog(TissueOptionsForm& form) = 0;
  virtual void ShowAbout(AboutForm& form) = 0;

  // Lets the window process pending messages once (repaints, keys) and returns.
  virtual void ProcessPendingMessages() = 0;
  // The share of the work under way, 0..100, given at every yield (YieldToHost).
  virtual void ShowProgress(int /*percent*/) {}
  // True when something outside the program asks it to stop (a study's stop): the core then
  // drops the results file under way and aborts the run or pure search at its next check.
  virtual bool StopRequested() { return false; }
  // Blocks until at least one message was processed (the pause of a run waits this way so
  // that it does not spin the processor). Defaults to ProcessPendingMessages.
  virtual void WaitForMessages() { ProcessPendingMessages(); }
  // The form model changed and the view should mirror it at its next repaint.
  virtual void FormChanged() {}
  // False when nothing shows the spectrum display (a run without a window): the scan run then
  // leaves each record's spectrum undrawn. The results never depend on the drawing.
  virtual bool ShowsSpectra() const { return true; }

  // The number typed into an entry box, read by the user's locale; empty when the text is not
  // a number (empty text included) or lies outside the single-precision range.
  virtual std::optional<double> ParseUserNumber(const std::string& text) = 0;

  // A person answers the dialogs: a refused answer can be asked for again, and a message may
  // name the menu item to use. The batch answers from its command line, which would give the
  // same answer every time and has no menu.
  virtual bool HasUser() const { return true; }

  // Opens the folder in the desktop's file manager; false when none could show it.
  virtual bool ShowFolder(const std::string& /*folder*/) { return false; }

  virtual void SetPointer(Pointer shape) = 0;
  virtual void Beep() = 0;
  // Seconds since an arbitrary start, monotonic.
  virtual double Clock() = 0;

  // Asks the program to end. The core then returns to its caller with Flow::ProgramEnding;
  // results written so far are flushed before the host ends the process.
  virtual void EndProgram() = 0;
};

}  // namespace kolvane
