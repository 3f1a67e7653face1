// How fast the input channels read a large data file: item by item (the header and matrix
// file reader), number by number (the scan records), line by line and a character at a time
// (the fixed-wavelength field reader). The file, about 50 MB of TAB- and comma-separated
// numbers, is written once into a temporary folder and removed at exit.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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

// The bare number reader over a synchronous-scan file of one's choice (the benchmark scan
// file of bench/measure.sh, say): the header's lines, then every record's label a character
// at a time and its values number by number, as the scan run reads them, and nothing else.
// KOLVANE_BENCH_SCAN_FILE names the file; without it the benchmark is skipped.
void BM_ChannelReadScanFile(benchmark::State& state) {
  const char* path = std::getenv("KOLVANE_BENCH_SCAN_FILE");
  kolvane::InputChannel in;
  if (path == nullptr || !in.Open(path)) {
    state.SkipWithError("KOLVANE_BENCH_SCAN_FILE does not name a readable file");
    return;
  }
  // The header: lines up to the first record label; its scan range gives the values per
  // record.
  std::string line;
  int header_lines = 0;
  double lower = 0, upper = 0, interval = 1;
  while (in.ReadLine(line) == kolvane::ReadStatus::Ok) {
    if (line.size() > 1 && (line[0] == 'B' || line[0] == 'P' || line[0] == 'S') && line[1] >= '0' &&
        line[1] <= '9') {
      break;
    }
    ++header_lines;
    const auto tab = line.find('\t');
    const std::string key = line.substr(0, tab);
    const double value = tab == std::string::npos ? 0 : std::atof(line.c_str() + tab + 1);
    if (key == "Scan lower") lower = value;
    if (key == "Scan upper") upper = value;
    if (key == "Scan data interval") interval = value;
  }
  const int points = static_cast<int>((upper - lower) / interval + 0.5);
  if (points < 1) {
    state.SkipWithError("the file has no scan range in its header");
    return;
  }
  for (auto _ : state) {
    in.Rewind();
    for (int i = 0; i < header_lines; ++i) in.ReadLine(line);
    double total = 0;
    std::int64_t records = 0;
    char c = 0;
    for (;;) {
      bool more = true;
      do {
        more = in.ReadChar(c) == kolvane::ReadStatus::Ok;
      } while (more && (c == ' ' || c == '\t' || c == '\r' || c == '\n'));
      if (!more) break;
      while (in.ReadChar(c) == kolvane::ReadStatus::Ok && c != ' ' && c != '\t' && c != '\r' &&
             c != '\n') {
      }
      for (int i = 0; i < points; ++i) {
        double value = 0;
        if (in.AtEnd() || in.ReadNumber(value) != kolvane::ReadStatus::Ok) break;
        total += static_cast<float>(value);
      }
      ++records;
    }
    benchmark::DoNotOptimize(total);
    state.counters["records"] = static_cast<double>(records);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

BENCHMARK(BM_ChannelReadScanFile)->Unit(benchmark::kMillisecond);
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
