// The data-file header: keyword lines, the delivery cut of the wavelength lines, the colour
// line and the echo into the results file.
#include "fixed/header.h"

#include <gtest/gtest.h>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

class Header : public FixedFixture {
 protected:
  Flow Parse(const std::string& text) {
    std::string path = Write("h.fix", text);
    InputChannel& in = p.channels.In(Channels::kData);
    EXPECT_TRUE(in.Open(path));
    Flow f = ReadDataFileHeader(p, true, false);
    return f;
  }
  std::string Echo() {
    InputChannel& in = p.channels.In(Channels::kData);
    in.Rewind();
    EXPECT_TRUE(p.channels.Out(Channels::kResults).Open(Path("echo.txt")));
    EXPECT_EQ(Flow::Continue, ReadDataFileHeader(p, false, true));
    p.channels.Out(Channels::kResults).Close();
    return Read(Path("echo.txt"));
  }
};

TEST_F(Header, KeywordLinesAndColorLine) {
  ASSERT_EQ(Flow::Continue,
            Parse(CrLf({"Run of 3 May", "Pures\t2", "Wavelengths\t2", "Amount of solvent\t3.5",
                        "Color Tube\tViolet\tTissue", "P1\t1\t2"})));
  EXPECT_EQ(2, p.NumColors);
  EXPECT_EQ(2, p.HeaderPureCount);
  EXPECT_FLOAT_EQ(3.5f, p.SolventAmount);
  EXPECT_EQ("Violet", p.form.Color[1].caption);
  EXPECT_EQ("Tissue", p.form.Color[2].caption);
  EXPECT_EQ(kBlack, p.form.Color[1].text_color);
  EXPECT_EQ(kBlue, p.form.Color[2].text_color);
  EXPECT_TRUE(p.TissueInFile);
  EXPECT_TRUE(p.TissueColumn);
  EXPECT_TRUE(p.ColorSelected[1] && p.ColorSelected[2]);
  EXPECT_TRUE(p.form.Color[1].ticked && p.form.Color[2].ticked);
  // The next read is the first body record.
  std::string line;
  p.channels.In(Channels::kData).ReadLine(line);
  EXPECT_EQ("P1\t1\t2", line);
}

TEST_F(Header, ColorLineWithoutTubeKeepsItsLabelAsFirstName) {
  ASSERT_EQ(Flow::Continue, Parse(CrLf({"Wavelengths\t2", "Color\tBlue"})));
  EXPECT_EQ("Color", p.form.Color[1].caption);
  EXPECT_EQ("Blue", p.form.Color[2].caption);
  EXPECT_FALSE(p.TissueInFile);
}

TEST_F(Header, FewerNamesThanColorsRepeatTheLastName) {
  ASSERT_EQ(Flow::Continue, Parse(CrLf({"Wavelengths\t4", "Color Tube\tBlue\t Red "})));
  EXPECT_EQ("Blue", p.form.Color[1].caption);
  EXPECT_EQ("Red", p.form.Color[2].caption);
  EXPECT_EQ("Red", p.form.Color[3].caption);
  EXPECT_EQ("Red", p.form.Color[4].caption);
}

TEST_F(Header, OneItemWithPuresAndWavelengthsSetsBoth) {
  ASSERT_EQ(Flow::Continue, Parse(CrLf({"Pures and Wavelengths\t3", "Color Tube\ta\tb\tc"})));
  EXPECT_EQ(3, p.HeaderPureCount);
  EXPECT_EQ(3, p.NumColors);
}

TEST_F(Header, AutoDeliveryCutsTheDeliveryFieldOfLaterWavelengthLines) {
  struct Case {
    const char* name;
    std::string text;
    bool auto_delivery;
    const char* ex_wl;
  } cases[] = {
      {"delivery first",
       CrLf({"Delivery\tAuto", "ex wl\t1\t495\t534", "Wavelengths\t2", "Color Tube\tA\tB"}), true,
       "ex wl\t495\t534"},
      {"delivery after",
       CrLf({"ex wl\t1\t495\t534", "Delivery\tAuto", "Wavelengths\t2", "Color Tube\tA\tB"}), true,
       "ex wl\t1\t495\t534"},
      {"manual",
       CrLf({"Delivery\tManual", "ex wl\t1\t495\t534", "Wavelengths\t2", "Color Tube\tA\tB"}),
       false, "ex wl\t1\t495\t534"},
      {"one TAB only", CrLf({"Delivery\tAuto", "ex wl\t495", "Wavelengths\t2", "Color Tube\tA\tB"}),
       true, "ex wl\t495"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p.channels.CloseAll();
    ASSERT_EQ(Flow::Continue, Parse(c.text));
    EXPECT_EQ(c.auto_delivery, p.fixed.AutoDelivery);
    EXPECT_EQ(c.ex_wl, p.fixed.WavelengthLines[2]);
  }
}

TEST_F(Header, EchoPutsTheWavelengthLinesAfterTheRebuiltColorLine) {
  ASSERT_EQ(Flow::Continue,
            Parse(CrLf({"First", "em wl\t1\t2", "Wavelengths\t2", "ex sl\t3\t4", "Middle",
                        "em sl\t5\t6", "ex wl\t7\t8", "Color Tube\t Blue \tRed", "P1\t1\t1"})));
  EXPECT_EQ(CrLf({"First", "Wavelengths\t2", "Middle", "Color\tBlue\tRed", "ex sl\t3\t4",
                  "em sl\t5\t6", "ex wl\t7\t8", "em wl\t1\t2"}),
            Echo());
}

TEST_F(Header, HeaderValuesStartAfreshAtEveryParse) {
  ASSERT_EQ(Flow::Continue,
            Parse(CrLf({"Pures\t3", "Delivery\tAuto", "Amount of solvent\t7", "ex sl\t1\t2\t3",
                        "Wavelengths\t3", "Color Tube\tTissue\tB\tC"})));
  ASSERT_TRUE(p.fixed.AutoDelivery);
  p.channels.CloseAll();
  ASSERT_EQ(Flow::Continue, Parse(CrLf({"Wavelengths\t2", "Color Tube\tA\tB"})));
  EXPECT_FALSE(p.fixed.AutoDelivery);
  EXPECT_EQ(0, p.HeaderPureCount);
  EXPECT_FLOAT_EQ(2.0f, p.SolventAmount);
  EXPECT_EQ("", p.fixed.WavelengthLines[0]);
  EXPECT_FALSE(p.TissueInFile);
  EXPECT_FALSE(p.ColorSelected[3]);
  EXPECT_FALSE(p.form.Color[3].ticked);
}

TEST_F(Header, FilesThatCannotBeReadAreRefusedNamingTheFile) {
  struct Case {
    const char* name;
    std::string text;
    std::string problem;
  } cases[] = {
      {"no colour line", CrLf({"Wavelengths\t2", "P1\t1\t2"}), "has no Color line."},
      {"no count", CrLf({"Pures\t2", "Color Tube\tA\tB"}),
       "gives no number of colors (a \"Wavelengths\" line with at least 1)."},
      {"count 0", CrLf({"Wavelengths\t0", "Color Tube\tA"}),
       "gives no number of colors (a \"Wavelengths\" line with at least 1)."},
      {"count 31", CrLf({"Wavelengths\t31", "Color Tube\tA"}),
       "has 31 colors; at most 30 can be handled."},
      {"count beyond 16 bits", CrLf({"Wavelengths\t40000", "Color Tube\tA"}),
       "gives no number of colors (a \"Wavelengths\" line with at least 1)."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p.channels.CloseAll();
    host.ExpectMessage("The data file " + Path("h.fix") + " " + c.problem +
                       "  The file was not loaded.");
    EXPECT_EQ(Flow::Stop, Parse(c.text));
  }
}

}  // namespace
}  // namespace kolvane
