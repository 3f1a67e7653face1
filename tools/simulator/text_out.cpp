#include "simulator/text_out.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kolvane::sim {

std::string FixedText(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text(buffer);
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string ShortText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.10g", value);
  return buffer;
}

double ReadBack(const std::string& text) {
  return std::strtod(text.c_str(), nullptr);
}

double RoundHalfEven(double value) {
  return std::nearbyint(value);
}

bool LineFile::Open(const std::string& path) {
  path_ = path;
  out_.open(path, std::ios::binary | std::ios::trunc);
  failed_ = !out_;
  buffer_.reserve(1 << 16);
  return !failed_;
}

void LineFile::Text(const std::string& text) {
  buffer_ += text;
  if (buffer_.size() >= (1 << 16)) Flush();
}

void LineFile::EndLine() {
  Text("\r\n");
}

void LineFile::Line(const std::string& text) {
  Text(text);
  EndLine();
}

void LineFile::Flush() {
  if (!failed_ && !buffer_.empty()) {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    if (!out_) failed_ = true;
  }
  buffer_.clear();
}

bool LineFile::Close() {
  Flush();
  if (out_.is_open()) {
    out_.close();
    if (out_.fail()) failed_ = true;
  }
  return !failed_;
}

}  // namespace kolvane::sim
