// In this file: the program's numbered text files ("channels"). The data file is channel 1,
// the results file 2, a spillover matrix file 3, a blanks file 5 and a controls file 7.
// Input channels read buffered (base/input_channel.h); output channels write lines ended by
// CR LF through the writer (base/output_file.h).
#pragma once

#include <string>

#include "base/digests.h"
#include "base/file_identity.h"
#include "base/input_channel.h"
#include "base/output_file.h"

namespace kolvane {

// The numbered channels of the program. Channel numbers 1..9 exist; the program uses 1, 2, 3,
// 5 and 7. Channel 2 is the results file (output); the others are read.
class Channels {
 public:
  static constexpr int kData = 1;
  static constexpr int kResults = 2;
  static constexpr int kMatrix = 3;
  static constexpr int kBlanks = 5;
  static constexpr int kControls = 7;

  InputChannel& In(int number) { return inputs_[number]; }
  OutputChannel& Out(int number) { return outputs_[number]; }
  // "Close every open file": flushes output and closes every channel.
  void CloseAll();
  // The first input channel whose reads failed since ForgetReadFailures, or empty.
  std::string ReadFailure() const;
  void ForgetReadFailures();

 private:
  InputChannel inputs_[10];
  OutputChannel outputs_[10];
  PassDigests digests_;

 public:
  Channels();
  Channels(const Channels&) = delete;
  Channels& operator=(const Channels&) = delete;
  // The digests of the files the input channels read whole, made by what SetMaker gives.
  PassDigests& Digests() { return digests_; }
  const PassDigests& Digests() const { return digests_; }
};

}  // namespace kolvane
