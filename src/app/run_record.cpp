#include "app/run_record.h"

#include <openssl/evp.h>

#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>

#include "app/program.h"
#include "app/run_report.h"
#include "app/version.h"
#include "base/channels.h"

namespace kolvane {

namespace {

using nlohmann::json;

json Row(const std::vector<double>& v) {
  json a = json::array();
  for (std::size_t i = 1; i < v.size(); ++i) a.push_back(std::isfinite(v[i]) ? json(v[i]) : json());
  return a;
}

std::string LocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &tm);
  return text;
}

json Choices(const Program& p) {
  json c;
  c["format"] = p.ScanDataLoaded ? "synchronous scan" : "fixed wavelength";
  c["results"] = p.ResultsInMicrospheres ? "microspheres/ml" : "intensity";
  json colours = json::array();
  const RunFigures& f = p.figures;
  for (int i = 1; i <= f.n && i < static_cast<int>(f.colour_names.size()); ++i)
    colours.push_back(f.colour_names[i]);
  c["colors"] = colours;
  c["microspheres_per_ml"] = Row(f.micros_per_ml);
  c["background_subtraction"] = p.BackgroundOn;
  c["control_correction"] = p.ControlCorrectionOn;
  c["tissue"] = f.tissue;
  c["matrix_from"] = p.ScanDataLoaded   ? "pure records of the data file"
                     : p.MatrixFromFile ? "matrix file " + p.MatrixFileName
                                        : "pure records of the data file";
  c["condition_threshold"] = p.ConditionThreshold;
  return c;
}

json Figures(const RunFigures& f) {
  json q;
  json rows = json::array();
  for (int r = 1; r <= f.m && r < static_cast<int>(f.matrix.size()); ++r)
    rows.push_back(Row(f.matrix[r]));
  q["matrix"] = rows;
  q["rows"] = json(std::vector<std::string>(f.row_names.begin() + (f.row_names.empty() ? 0 : 1),
                                            f.row_names.end()));
  q["singular"] = f.singular;
  q["condition"] = f.singular || !f.decomposed ? json("singular") : json(f.condition);
  q["noise_gain"] = Row(f.gain);
  if (f.pair_a > 0)
    q["closest_pair"] = {{"colors", {f.colour_names[f.pair_a], f.colour_names[f.pair_b]}},
                         {"similarity", f.pair_cosine}};
  q["blank_records"] = f.blank_records;
  if (f.blank_spread.empty()) {
    q["blank_spread"] = f.blank_records > 0 ? "fewer than 3 blank records: no spread" : "no blanks";
  } else {
    q["blank_spread"] = Row(f.blank_spread);
    q["result_spread"] = Row(f.result_spread);
    q["detection_limit"] = Row(f.detection_limit);
    q["units"] = f.units;
  }
  return q;
}

}  // namespace

namespace {

std::string Hex(EVP_MD_CTX* ctx) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(ctx, digest, &length);
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kDigits[digest[i] >> 4];
    hex += kDigits[digest[i] & 15];
  }
  return hex;
}

// SHA-256 fed by an input channel's blocks. A large block is digested on a thread of its own
// while the channel reads and converts the next one, so that the digest costs the run next to
// nothing in wall time; small ones are digested at once.
class Sha256Digest : public ByteDigest {
 public:
  Sha256Digest() : ctx_(EVP_MD_CTX_new()) { Reset(); }
  ~Sha256Digest() override {
    if (worker_.joinable()) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
      }
      wake_.notify_all();
      worker_.join();
    }
    EVP_MD_CTX_free(ctx_);
  }
  void Reset() override {
    Wait();
    EVP_DigestInit_ex(ctx_, EVP_sha256(), nullptr);
  }
  void Update(const char* bytes, std::size_t count) override {
    Wait();
    if (count < kThreadedBlock) {
      EVP_DigestUpdate(ctx_, bytes, count);
      return;
    }
    if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
    {
      std::lock_guard<std::mutex> lock(mutex_);
      bytes_ = bytes;
      count_ = count;
      busy_ = true;
    }
    wake_.notify_all();
  }
  std::string Final() override {
    Wait();
    return Hex(ctx_);
  }

 private:
  static constexpr std::size_t kThreadedBlock = 1 << 16;
  void Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait(lock, [this] { return !busy_; });
  }
  void Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return busy_ || quit_; });
      if (!busy_) return;
      lock.unlock();
      EVP_DigestUpdate(ctx_, bytes_, count_);
      lock.lock();
      busy_ = false;
      wake_.notify_all();
    }
  }

  EVP_MD_CTX* ctx_;
  std::thread worker_;
  std::mutex mutex_;
  std::condition_variable wake_;
  const char* bytes_ = nullptr;
  std::size_t count_ = 0;
  bool busy_ = false;
  bool quit_ = false;
};

}  // namespace

std::unique_ptr<ByteDigest> MakeSha256Digest() {
  return std::make_unique<Sha256Digest>();
}

std::string FileSha256(const std::string& path, long long* size) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "";
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  EVP_DigestInit_ex(ctx, EVP_sha256(), nullptr);
  char buffer[1 << 16];
  long long total = 0;
  while (in) {
    in.read(buffer, sizeof buffer);
    const std::streamsize got = in.gcount();
    if (got <= 0) break;
    EVP_DigestUpdate(ctx, buffer, static_cast<std::size_t>(got));
    total += got;
  }
  std::string hex = Hex(ctx);
  EVP_MD_CTX_free(ctx);
  if (size) *size = total;
  return hex;
}

std::string InputSha256(const Program& p, const std::string& path, long long* size) {
  const std::string digest = p.channels.Digests().Find(path, size);
  return digest.empty() ? FileSha256(path, size) : digest;
}

std::string RunRecordText(const Program& p, const std::vector<RecordInput>& inputs) {
  const RunFigures& f = p.figures;
  const RunLedger& l = p.ledger;
  json r;
  r["program"] = {{"name", "KOLVANE"}, {"version", KOLVANE_VERSION_STRING}};
  r["date"] = LocalTime();
  json in = json::array();
  for (const RecordInput& i : inputs) {
    if (i.path.empty()) continue;
    long long size = -1;
    const std::string hash = InputSha256(p, i.path, &size);
    in.push_back({{"role", i.role}, {"path", i.path}, {"size", size}, {"sha256", hash}});
  }
  r["inputs"] = in;
  r["results_file"] = l.KeptFile().empty() ? l.results : l.KeptFile();
  r["choices"] = Choices(p);
  if (f.ready) r["matrix"] = Figures(f);
  r["counts"] = {{"records_read", l.records_read},
                 {"result_lines", l.lines_written},
                 {"OL_cells", l.ol_cells},
                 {"hi_lo_flags", l.hi_lo_flags}};
  json outcome = {{"end", RunEndWord(l.end)}};
  if (!l.Complete()) {
    outcome["lines_written"] = l.lines_written;
    outcome["lines_expected"] = l.lines_expected;
    outcome["results_file_unchanged"] = l.results;
  }
  if (l.end == RunEnd::Stopped && !l.message.empty()) outcome["message"] = l.message;
  r["outcome"] = outcome;
  // Names and paths come from the user's files and need not be UTF-8: such bytes are replaced.
  return r.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::vector<RecordInput> RunInputs(const Program& p) {
  return {{"data", p.ChosenFiles.data},
          {"blanks", p.ChosenFiles.blanks},
          {"controls", p.ChosenFiles.controls},
          {"matrix", p.MatrixFromFile ? p.MatrixFileName : std::string()}};
}

std::string RecordPathFor(const std::string& results) {
  return results + ".json";
}

void SaveRunFiles(Program& p) {
  RunLedger& l = p.ledger;
  if (p.Ending || l.end == RunEnd::NotRun) return;
  const std::vector<RecordInput> inputs = RunInputs(p);
  const auto save = [&](const std::string& path, const std::string& text) {
    const std::string failure = SaveWholeFile(path, text);
    if (failure.empty()) return;
    if (!l.unwritten.empty()) l.unwritten += "\n";
    l.unwritten += "Cannot write " + failure;
  };
  if (p.RecordWanted && !l.KeptFile().empty())
    save(RecordPathFor(l.KeptFile()), RunRecordText(p, inputs));
  if (!p.ReportPath.empty()) save(p.ReportPath, RunReportHtml(p, inputs));
}

}  // namespace kolvane
