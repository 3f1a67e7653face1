// The data-file header: keyword lines, the delivery cut of the wavelength lines, the colour
// line and the echo into the results file.
#include "fixed/header.h"

#include <gtest/gtest.h>

#include <vector>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

class Header : public FixedFixture {
 protected:
  Flow Parse(const std::string& text) {
    p.channels.CloseAll();
    EXPECT_TRUE(p.channels.In(Channels::kData).Open(Write("h.fix", text)));
    return ReadDataFileHeader(p, true, false);
  }
};

// Parsed one after the other by the same program: nothing of an earlier header may survive.
TEST_F(Header, ValuesColorLineAndDeliveryCut) {
  struct Case {
    const char* name;
    std::string text;
    int colors, pures;
    float solvent;
    std::vector<std::string> captions;
    bool auto_delivery;
    const char* ex_wl;
  } cases[] = {
      {"keyword lines, delivery before the line",
       CrLf({"Run of 3 May", "Pures\t2", "Wavelengths\t2", "Amount of solvent\t3.5",
             "Delivery\tAuto", "ex wl\t1\t495\t534", "Color Tube\tViolet\tTissue"}),
       2,
       2,
       3.5f,
       {"Violet", "Tissue"},
       true,
       "ex wl\t495\t534"},
      {"no Tube: the label is the first name",
       CrLf({"Wavelengths\t2", "Color\tBlue"}),
       2,
       0,
       2.0f,
       {"Color", "Blue"},
       false,
       ""},
      {"last name repeated, delivery after the line",
       CrLf({"ex wl\t1\t495\t534", "Delivery\tAuto", "Wavelengths\t4", "Color Tube\tBlue\t Red "}),
       4,
       0,
       2.0f,
       {"Blue", "Red", "Red", "Red"},
       true,
       "ex wl\t1\t495\t534"},
      {"pures and wavelengths in one item, manual delivery",
       CrLf({"Pures and Wavelengths\t3", "Delivery\tManual", "ex wl\t1\t495\t534",
             "Color Tube\ta\tb\tc"}),
       3,
       3,
       2.0f,
       {"a", "b", "c"},
       false,
       "ex wl\t1\t495\t534"},
      {"automatic delivery, one TAB only",
       CrLf({"Delivery\tAuto", "ex wl\t495", "Wavelengths\t2", "Color Tube\tA\tB"}),
       2,
       0,
       2.0f,
       {"A", "B"},
       true,
       "ex wl\t495"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Flow::Continue, Parse(c.text + CrLf({"P1\t1\t2"})));
    EXPECT_EQ(c.colors, p.NumColors);
    EXPECT_EQ(c.pures, p.HeaderPureCount);
    EXPECT_FLOAT_EQ(c.solvent, p.SolventAmount);
    EXPECT_EQ(c.auto_delivery, p.fixed.AutoDelivery);
    EXPECT_EQ(c.ex_wl, p.fixed.WavelengthLines[2]);
    EXPECT_EQ(c.captions.back() == "Tissue", p.TissueInFile && p.TissueColumn);
    for (int i = 1; i <= kMaxColors; ++i) {
      bool used = i <= c.colors;
      EXPECT_EQ(used, p.ColorSelected[i] && p.form.Color[i].ticked) << i;
      if (!used) continue;
      const std::string& name = c.captions[static_cast<std::size_t>(i - 1)];
      EXPECT_EQ(name, p.form.Color[i].caption) << i;
      EXPECT_EQ(name == "Tissue" ? kBlue : kBlack, p.form.Color[i].text_color) << i;
    }
    std::string line;  // the next read is the first body record
    p.channels.In(Channels::kData).ReadLine(line);
    EXPECT_EQ("P1\t1\t2", line);
  }
}

TEST_F(Header, EchoPutsTheWavelengthLinesAfterTheRebuiltColorLine) {
  ASSERT_EQ(Flow::Continue,
            Parse(CrLf({"First", "em wl\t1\t2", "Wavelengths\t2", "ex sl\t3\t4", "Middle",
                        "em sl\t5\t6", "ex wl\t7\t8", "Color Tube\t Blue \tRed", "P1\t1\t1"})));
  p.channels.In(Channels::kData).Rewind();
  ASSERT_TRUE(p.channels.Out(Channels::kResults).Open(Path("echo.txt")));
  EXPECT_EQ(Flow::Continue, ReadDataFileHeader(p, false, true));
  p.channels.Out(Channels::kResults).Close();
  EXPECT_EQ(CrLf({"First", "Wavelengths\t2", "Middle", "Color\tBlue\tRed", "ex sl\t3\t4",
                  "em sl\t5\t6", "ex wl\t7\t8", "em wl\t1\t2"}),
            Read(Path("echo.txt")));
}

}  // namespace
}  // namespace kolvane
