// The reading of a channel on its own: items, lines, line views, numbers and characters in an
// order the first byte chooses, with rewinds between them.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/channels.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t plan = data[0];
  const std::string path = kolvane_fuzz::WriteInput("items.txt", data + 1, size - 1);
  kolvane::InputChannel in;
  if (!in.Open(path)) return 0;
  std::string text;
  std::string_view view;
  double number = 0;
  char c = 0;
  for (int round = 0; round < 4; ++round) {
    for (int step = 0; step < 100000; ++step) {
      kolvane::ReadStatus status = kolvane::ReadStatus::End;
      switch ((plan >> (2 * round)) & 3) {
        case 0:
          status = in.ReadItem(text);
          break;
        case 1:
          status = in.ReadLine(text);
          break;
        case 2:
          status = in.ReadLineView(view);
          break;
        default:
          status = step % 3 == 0 ? in.ReadChar(c) : in.ReadNumber(number);
          break;
      }
      if (status == kolvane::ReadStatus::End) break;
    }
    in.Rewind();
  }
  return 0;
}
