// In this file: how the simulator writes numbers and lines, and how it reads back what it wrote.
// The datasets must give the program exactly the numbers the simulator reasoned with, so every
// value that enters a later computation is first written as text and then read back from that
// text, the way the program will read it.
#pragma once

#include <fstream>
#include <string>

namespace kolvane::sim {

// value with exactly `decimals` decimals and the full stop, whatever the process locale (the
// simulator never changes the C locale from "C"). A value that rounds to zero is written
// without a minus sign.
std::string FixedText(double value, int decimals);

// A short form for header values such as 350 or 0.5: up to ten significant digits, no
// trailing zeros.
std::string ShortText(double value);

// The double that the text stands for (the full stop as decimal separator).
double ReadBack(const std::string& text);

// Rounds halves to the even neighbour, as the program rounds record numbers and point indices.
double RoundHalfEven(double value);

// The value the program holds after storing it in single precision.
inline double Single(double value) {
  return static_cast<double>(static_cast<float>(value));
}

// One output file, written line by line with CR LF line ends like the instrument's software.
// Nothing is written to an existing file of the same name until Open succeeds; errors are
// kept and reported by Close.
class LineFile {
 public:
  bool Open(const std::string& path);
  void Line(const std::string& text);
  // Appends text without a line end.
  void Text(const std::string& text);
  void EndLine();
  // Returns false when any write failed.
  bool Close();
  const std::string& Path() const { return path_; }

 private:
  std::ofstream out_;
  std::string path_;
  std::string buffer_;
  bool failed_ = false;
  void Flush();
};

}  // namespace kolvane::sim
