// The load's count of the data records: it counts the fields of a line instead of converting
// them, and must still refuse what the run would refuse, with the same words, and accept
// what the run accepts.
#include <gtest/gtest.h>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

const std::string kNotLoaded = "  The file was not loaded.";
const std::string kAutoHead = CrLf({"Delivery\tAuto", "Wavelengths\t2", "Color Tube\tBlue\tRed"});
const std::string kAutoPures = CrLf({"P1\t7\t100\t0", "P2\t7\t0\t100"});

std::string Digits(int count) {
  return "1" + std::string(static_cast<std::size_t>(count - 1), '0');
}

class RecordCount : public FixedFixture {};

TEST_F(RecordCount, RefusesWhatTheRunWouldRefuse) {
  struct Case {
    const char* name;
    std::string fix, message;
  } cases[] = {
      {"delivery field and one reading", kAutoHead + kAutoPures + CrLf({"S5\t3\t1"}),
       "Record \"S5\" of the data file %fix has 1 reading for 2 colors."},
      {"delivery field only", kAutoHead + kAutoPures + CrLf({"S6\t3"}),
       "Record \"S6\" of the data file %fix has 0 readings for 2 colors."},
      {"no fields with a delivery column", kAutoHead + kAutoPures + CrLf({"S6"}),
       "Record \"S6\" of the data file %fix has 0 readings for 2 colors."},
      {"reading of 400 digits", kTwoColors + kTwoPures + CrLf({"S5\t1\t" + Digits(400)}),
       "Record \"S5\" of the data file %fix has a reading at color 2 that is too large."},
      {"capital exponent", kTwoColors + kTwoPures + CrLf({"S5\t1\t1E400"}),
       "Record \"S5\" of the data file %fix has a reading at color 2 that is too large."},
      {"too large before too few", kTwoColors + kTwoPures + CrLf({"S5\t1e999"}),
       "Record \"S5\" of the data file %fix has a reading at color 1 that is too large."},
      {"negative number beyond 16 bits", kTwoColors + kTwoPures + CrLf({"S-40000\t1\t1"}),
       "Record \"S-40000\" of the data file %fix has a record number outside -32768..32767."},
      {"five-digit number beyond 16 bits", kTwoColors + kTwoPures + CrLf({"S32768\t1\t1"}),
       "Record \"S32768\" of the data file %fix has a record number outside -32768..32767."},
      {"more than 32767 pures", kTwoColors + Repeat("P1\t1\t1\r\n", 32768),
       "The data file %fix has more than 32767 pure records."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string data = Write("d.fix", c.fix);
    std::string message = c.message;
    message.replace(message.find("%fix"), 4, data);
    host.ExpectMessage(message + kNotLoaded);
    EXPECT_EQ(Flow::Stop, Load(data));
    EXPECT_FALSE(p.FixedDataLoaded);
  }
}

TEST_F(RecordCount, CountsWhatTheRunAccepts) {
  struct Case {
    const char* name;
    std::string fix;
    int pures, samples;
  } cases[] = {
      {"plain", kTwoColors + kTwoPures + CrLf({"S1\t1\t1", "S2\t3\t4"}), 2, 2},
      {"surplus field beyond a double",
       kTwoColors + kTwoPures + CrLf({"S1\t1\t1\t1e999", "S2\t1\t1\t" + Digits(400)}), 2, 2},
      {"exponents within range", kTwoColors + kTwoPures + CrLf({"S1\t2.5e2\t1E-3"}), 2, 1},
      {"empty last reading", kTwoColors + kTwoPures + CrLf({"S1\t1\t"}), 2, 1},
      {"300 digits", kTwoColors + kTwoPures + CrLf({"S1\t1\t" + Digits(300)}), 2, 1},
      {"other types and empty lines",
       kTwoColors + kTwoPures + CrLf({"", "X1\t1\t1", "  ", "S0012\t1\t1", "S-3\t1\t1"}), 2, 2},
      {"delivery column", kAutoHead + kAutoPures + CrLf({"S1\t3\t1\t1", "S2\t3\t1\t1\t9"}), 2, 2},
      {"largest record numbers",
       kTwoColors + kTwoPures + CrLf({"S32767\t1\t1", "S-32768\t1\t1", "S09999\t1\t1"}), 2, 3},
      {"32767 samples", kTwoColors + kTwoPures + Repeat("S1\t1\t1\r\n", 32767), 2, 32767},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string data = Write("d.fix", c.fix);
    EXPECT_EQ(Flow::Continue, Load(data));
    EXPECT_EQ(c.pures, p.NumPures);
    EXPECT_EQ(c.samples, p.NumSamples);
    EXPECT_EQ(std::to_string(c.samples), p.form.Samples.caption);
    p.channels.CloseAll();
    CloseDataset(p);
  }
}

}  // namespace
}  // namespace kolvane
