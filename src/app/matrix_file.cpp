#include "app/matrix_file.h"

#include <cmath>
#include <string>

#include "app/file_dialogs.h"
#include "app/status_line.h"
#include "base/numbers.h"

namespace kolvane {

namespace {

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The line as one item: leading blanks skipped, enclosing double quotes removed.
std::string LineItem(const std::string& line) {
  std::string::size_type start = line.find_first_not_of(' ');
  if (start == std::string::npos) return "";
  if (line[start] != '"') return line.substr(start);
  std::string::size_type close = line.find('"', start + 1);
  return line.substr(start + 1, close == std::string::npos ? std::string::npos : close - start - 1);
}

// The next value text of a line: separators skipped, then up to the next TAB or blank. Empty
// when the line has no value left.
std::string NextValue(const std::string& text, std::string::size_type& pos) {
  while (pos < text.size() && IsSeparator(text[pos])) ++pos;
  std::string::size_type end = pos;
  while (end < text.size() && text[end] != '\t' && text[end] != ' ') ++end;
  std::string value = text.substr(pos, end - pos);
  pos = end;
  return value;
}

Flow Refuse(Program& p, const std::string& problem) {
  p.channels.In(Channels::kMatrix).Close();
  p.host.ShowMessage(problem + "  The spillover matrix was not changed.");
  return Flow::Stop;
}

}  // namespace

Flow Spillover_Click(Program& p) {
  ClearStatus(p);
  std::string path =
      AskOpenFileName(p, FileRole::Matrix, "Spillover (*.spl)|*.spl| All Files (*.*) |*.*");
  if (path.empty()) return Flow::Stop;
  InputChannel& in = p.channels.In(Channels::kMatrix);
  const OutputChannel& results = p.channels.Out(Channels::kResults);
  if (results.IsOpen() && SameFile(path, results.Path())) {
    p.host.ShowMessage("The spillover matrix file " + path +
                       " is the results file of this dataset.  The spillover matrix was not "
                       "changed.");
    return Flow::Stop;
  }
  if (!in.Open(path)) {
    p.host.ShowMessage("Can't open file: " + in.OpenFailure());
    return Flow::Stop;
  }
  const int n = p.NumColors;
  const std::string file = "the spillover matrix file " + path;
  FixedTables::Square read{};
  std::string line;
  for (int i = 1; i <= n; ++i) {
    if (in.ReadLine(line) != ReadStatus::Ok) {
      if (in.Failed())
        return Refuse(p, "The spillover matrix file could not be read: " + in.Failure() + ".");
      return Refuse(p, "The spillover matrix file " + path + " has fewer than " +
                           std::to_string(n) + " lines.");
    }
    // A comma would end the line's item early and shift every later value.
    if (line.find(',') != std::string::npos)
      return Refuse(p, "Line " + std::to_string(i) + " of " + file +
                           " holds a comma; numbers must be separated by TABs or blanks.");
    std::string item = LineItem(line);
    std::string::size_type pos = 0;
    for (int j = 1; j <= n; ++j) {
      std::string value = NextValue(item, pos);
      if (value.empty())
        return Refuse(p, "Line " + std::to_string(i) + " of " + file + " has fewer than " +
                             std::to_string(n) + " numbers.");
      double number = LenientNumber(value);
      if (!std::isfinite(number))
        return Refuse(
            p, "Line " + std::to_string(i) + " of " + file + " holds a number that is too large.");
      read[i][j] = number / 100;
    }
  }
  in.Close();
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) p.SpillMatrix[i][j] = read[i][j];
  p.fixed.FileMatrix = read;
  p.MatrixFileName = path;
  p.MatrixFromFile = true;
  p.MatrixReady = true;
  return Flow::Continue;
}

}  // namespace kolvane
