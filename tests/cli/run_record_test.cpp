// The run record, the report and the matrix warning of kolvane-batch, on the examples and on
// matrix files whose condition number is known in closed form.
#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "batch_runner.h"
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
    EXPECT_EQ(r["counts"]["result_lines"], RecordLines(scf));
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

// The record of a matrix file's condition, known in closed form: tests/data/cli/pair_A.spl is
// the identity but for a symmetric pair A of colours 1 and 2, condition (1+A)/(1-A). (Its warning
// and the stops it causes: tests/data/cli/command_lines.tsv.)
TEST(RunRecord, ConditionAndClosestPair) {
  for (const double a : {0.998, 0.9981}) {
    SCOPED_TRACE(a);
    TempDir dir;
    std::ostringstream matrix;
    matrix << CliData("pair_") << a << ".spl";
    const BatchRun run = RunBatch(
        {"fixed", kFixed + "no_pures.fix", "--matrix", matrix.str(), "-o", dir.File("r.scf")});
    ASSERT_EQ(run.status, 0) << run.err;
    const json r = json::parse(ReadWholeFile(dir.File("r.scf.json")));
    EXPECT_NEAR(r["matrix"]["condition"].get<double>(), (1 + a) / (1 - a), 1e-3);
    EXPECT_GT(r["matrix"]["closest_pair"]["similarity"].get<double>(), 0);
  }
}

}  // namespace
}  // namespace kolvane
