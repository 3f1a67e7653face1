// How fast the input channels read a large data file: item by item (the header and matrix
// file reader), number by number (the scan records), line by line and a character at a time
// (the fixed-wavelength field reader). The file, about 50 MB of TAB- and comma-separated
// numbers, is written once into a temporary folder and removed at exit.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/channels.h"
#include "base/format.h"

namespace {

namespace fs = std::filesystem;

struct BenchFile {
  fs::path dir;
  fs::path path;
  std::uintmax_t bytes = 0;

  BenchFile() {
    dir = fs::temp_directory_path() / ("kolvane-bench-channels-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    path = dir / "large.syn";
    std::FILE* out = std::fopen(path.string().c_str(), "wb");
    if (out == nullptr) return;
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> reading(0.0, 50000.0);
    std::string line;
    char cell[32];
    std::uintmax_t written = 0;
    const std::uintmax_t target = 50u * 1000u * 1000u;
    for (long row = 1; written < target; ++row) {
      line = "S" + std::to_string(row);
      for (int col = 0; col < 16; ++col) {
        // TABs between most cells, a comma now and then, as the instrument files mix them.
        const int n =
            std::snprintf(cell, sizeof(cell), "%c%.3f", col % 5 == 4 ? ',' : '\t', reading(random));
        line.append(cell, static_cast<std::size_t>(n));
      }
      line += "\r\n";
      std::fwrite(line.data(), 1, line.size(), out);
      written += line.size();
    }
    std::fclose(out);
    bytes = written;
  }
  ~BenchFile() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

const BenchFile& File() {
  static const BenchFile file;
  return file;
}

template <typename ReadAll>
void RunOverFile(benchmark::State& state, ReadAll read_all) {
  const BenchFile& file = File();
  if (file.bytes == 0) {
    state.SkipWithError("could not write the benchmark file");
    return;
  }
  kolvane::InputChannel in;
  if (!in.Open(file.path.string())) {
    state.SkipWithError("could not open the benchmark file");
    return;
  }
  for (auto _ : state) {
    in.Rewind();
    benchmark::DoNotOptimize(read_all(in));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(file.bytes));
}

void BM_ChannelReadItem(benchmark::State& state) {
  RunOverFile(state, [](kolvane::InputChannel& in) {
    std::string item;
    std::size_t total = 0;
    while (in.ReadItem(item) == kolvane::ReadStatus::Ok) total += item.size();
    return total;
  });
}

void BM_ChannelReadNumber(benchmark::State& state) {
  RunOverFile(state, [](kolvane::InputChannel& in) {
    double value = 0;
    double total = 0;
    while (in.ReadNumber(value) == kolvane::ReadStatus::Ok) total += value;
    return total;
  });
}

void BM_ChannelReadLine(benchmark::State& state) {
  RunOverFile(state, [](kolvane::InputChannel& in) {
    std::string line;
    std::size_t total = 0;
    while (in.ReadLine(line) == kolvane::ReadStatus::Ok) total += line.size();
    return total;
  });
}

void BM_ChannelReadChar(benchmark::State& state) {
  RunOverFile(state, [](kolvane::InputChannel& in) {
    char c = 0;
    std::size_t tabs = 0;
    while (in.ReadChar(c) == kolvane::ReadStatus::Ok) tabs += (c == '\t');
    return tabs;
  });
}

BENCHMARK(BM_ChannelReadItem)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChannelReadNumber)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChannelReadLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChannelReadChar)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// Writing the results: every cell of a long results file passes through the fixed patterns.
void BM_ChannelFormatFixed(benchmark::State& state) {
  std::mt19937 random(777);
  std::uniform_real_distribution<double> value(-5000.0, 50000.0);
  std::vector<double> values(4096);
  for (double& v : values) v = value(random);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kolvane::FormatFixed(values[i++ & 4095], 3));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

BENCHMARK(BM_ChannelFormatFixed);

}  // namespace
