// The run record, the report and the matrix warning of kolvane-batch, on the examples and on
// matrix files whose condition number is known in closed form.
#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>

#include "cli/batch_runner.h"
#include "support/portable.h"

namespace kolvane {
namespace {

using nlohmann::json;

const std::string kFixed = std::string(KOLVANE_SOURCE_DIR) + "/examples/fixed/";
const std::string kScan = std::string(KOLVANE_SOURCE_DIR) + "/examples/scan/";

// sha256sum's answer: an implementation other than the program's.
// (Windows has no sha256sum: there the digests are checked by tests/app/sha256_test.cpp.)
std::string Sha256Sum(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return "";
#else
  std::FILE* pipe = popen(("sha256sum '" + path + "'").c_str(), "r");
  char hex[65] = {};
  if (!pipe || std::fread(hex, 1, 64, pipe) != 64) hex[0] = 0;
  if (pipe) pclose(pipe);
  return hex;
#endif
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Result lines of a results file: records named P or S followed by their number and a TAB.
int ResultLines(const std::string& scf) {
  static const std::regex record("(^|\n)[PS][0-9]+\t");
  return static_cast<int>(
      std::distance(std::sregex_iterator(scf.begin(), scf.end(), record), std::sregex_iterator()));
}

TEST(RunRecord, RecordAndReportBesideAnUnchangedResultsFile) {
  const std::string tbc = kFixed + "tissue_blanks_controls.";
  const struct {
    std::vector<std::string> args;
    int colours, rows;
  } cases[] = {{{"fixed", tbc + "fix", "--blanks", tbc + "blk", "--controls", tbc + "ctl"}, 7, 7},
               {{"scan", kScan + "small.syn", "--blanks", kScan + "small.slk"}, 6, 30}};
  for (const auto& c : cases) {
    TempDir dir;
    std::vector<std::string> plain = c.args, full = c.args;
    plain.insert(plain.end(), {"-o", dir.File("plain.scf"), "--no-record"});
    full.insert(full.end(), {"-o", dir.File("full.scf"), "--html", dir.File("r.html")});
    ASSERT_EQ(RunBatch(plain).status, 0);
    ASSERT_EQ(RunBatch(full).status, 0);
    const std::string scf = ReadWholeFile(dir.File("full.scf"));
    EXPECT_EQ(scf, ReadWholeFile(dir.File("plain.scf")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("plain.scf.json")));

    const json r = json::parse(ReadWholeFile(dir.File("full.scf.json")));
    ASSERT_EQ(r["inputs"].size(), 2u + (c.args[0] == "fixed"));
    for (const json& in : r["inputs"]) {
      const std::string path = in["path"];
      if (!kOnWindows) {
        EXPECT_EQ(in["sha256"], Sha256Sum(path)) << path;
      }
      EXPECT_EQ(in["size"], std::filesystem::file_size(path));
    }
    EXPECT_EQ(r["outcome"]["end"], "complete");
    EXPECT_EQ(r["counts"]["result_lines"], ResultLines(scf));
    EXPECT_EQ(r["matrix"]["noise_gain"].size(), static_cast<std::size_t>(c.colours));
    EXPECT_EQ(r["matrix"]["matrix"].size(), static_cast<std::size_t>(c.rows));
    const auto& limits = r["matrix"]["detection_limit"];
    ASSERT_EQ(limits.size(), static_cast<std::size_t>(c.colours));
    for (std::size_t i = 0; i < limits.size(); ++i)
      EXPECT_DOUBLE_EQ(limits[i].get<double>(), 3 * r["matrix"]["result_spread"][i].get<double>());

    if (c.args[0] == "fixed") {
      // 1.4826 x the median absolute deviation of the three blanks numbered 1, by hand: Blue
      // 18.996 18.898 18.799, Blue-Green 12.690 12.622 12.554, Orange-Red 7.889 7.866 7.843.
      for (const auto& [j, mad] : {std::pair{0, .098}, {1, .068}, {6, .023}})
        EXPECT_NEAR(r["matrix"]["blank_spread"][j].get<double>(), 1.4826 * mad, 1e-9);
      EXPECT_EQ(r["matrix"]["blank_records"], 3);
    }
    // The report: every matrix cell; a scan's R^2 histogram (20 bins) and worst fit (observed
    // and fitted); nothing fetched from elsewhere.
    const std::string html = ReadWholeFile(dir.File("r.html"));
    const bool scan = c.args[0] == "scan";
    EXPECT_EQ(Count(html, "class=\"cell\""), c.colours * c.rows);
    EXPECT_EQ(Count(html, "class=\"bar\""), scan ? 20 : 0);
    EXPECT_EQ(Count(html, "<polyline"), scan ? 2 : 0);
    EXPECT_EQ(Count(html, "Worst fit: record"), scan ? 1 : 0);
    EXPECT_EQ(Count(html, "src=") + Count(html, "<script"), 0);
  }
}

// A matrix file over the example's 6 colours: identity but for a symmetric pair (a) of
// colours 1 and 2, so that the singular values are 1 + a, 1 - a and 1: condition (1+a)/(1-a).
std::string PairMatrix(double a) {
  std::string text;
  for (int i = 1; i <= 6; ++i)
    for (int j = 1; j <= 6; ++j)
      text +=
          std::to_string(i == j ? 100.0 : (i + j == 3 ? 100.0 * a : 0.0)) + (j < 6 ? "\t" : "\r\n");
  return text;
}

TEST(RunRecord, ConditionWarningAndLimit) {
  struct {
    double a;
    const char* max;  // --max-condition, or none
    bool warned;
    int status;
  } cases[] = {
      {0.998, "", false, 0},      // condition 999
      {0.9981, "", true, 0},      // 1051.6: warned, goes on
      {0.9981, "1100", true, 0},  // within the limit
      {0.9981, "1000", true, 1},  // beyond: stopped before any result line
      {1.0, "1e12", true, 1},     // singular
      {0.5, "2.9", true, 1},      // condition 3 beyond a limit below 1000: stopped
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a);
    TempDir dir;
    WriteWholeFile(dir.File("m.spl"), PairMatrix(c.a));
    std::vector<std::string> args = {
        "fixed", kFixed + "no_pures.fix", "--matrix", dir.File("m.spl"), "-o", dir.File("r.scf")};
    if (*c.max) args.insert(args.end(), {"--max-condition", c.max});
    const BatchRun run = RunBatch(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.err.find("Warning: The spillover matrix") != std::string::npos, c.warned)
        << run.err;
    if (c.status == 1) {
      // Stopped before any line: no results file, no record; stderr gives the reason.
      EXPECT_FALSE(std::filesystem::exists(dir.File("r.scf")) ||
                   std::filesystem::exists(dir.File("r.scf.json")) ||
                   std::filesystem::exists(dir.File("r.incomplete.scf")));
      EXPECT_NE(run.err.find("exceeds --max-condition"), std::string::npos) << run.err;
      EXPECT_NE(run.err.find("aborted: 0 of "), std::string::npos) << run.err;
      continue;
    }
    const json r = json::parse(ReadWholeFile(dir.File("r.scf.json")));
    if (c.a == 1.0) {
      EXPECT_EQ(r["matrix"]["condition"], "singular");
    } else {
      EXPECT_NEAR(r["matrix"]["condition"].get<double>(), (1 + c.a) / (1 - c.a), 1e-6 * 1000);
    }
    EXPECT_EQ(r["matrix"]["closest_pair"]["similarity"].get<double>() > 0, c.a > 0);
  }
}

}  // namespace
}  // namespace kolvane
