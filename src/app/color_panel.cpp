#include "app/color_panel.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "app/layout.h"
#include "app/main_form_ops.h"
#include "base/format.h"

namespace kolvane {

namespace {

bool ValidIndex(int index) {
  return index >= 1 && index <= kMaxColors;
}

int ClampCount(int n) {
  return std::min(std::max(n, 0), kMaxColors);
}

// The host answers "not a number" both for text that is no number and for a number beyond
// the single-precision range. The entry rule treats them differently (the second keeps the
// previous value), so a text that reads as a number in either decimal convention and whose
// magnitude overflows a float is recognised here.
bool IsOutOfSingleRange(const std::string& text) {
  std::string t;
  for (char c : text) {
    if (c == ' ' || c == '\t') continue;
    t += (c == ',') ? '.' : c;
  }
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0, points = 0;
  for (; i < t.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(t[i]))) {
      ++digits;
    } else if (t[i] == '.' && points == 0) {
      ++points;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
    std::size_t exp_digits = 0;
    while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) ++j, ++exp_digits;
    if (exp_digits == 0) return false;
    i = j;
  }
  if (i != t.size()) return false;
  double v = std::strtod(t.c_str(), nullptr);
  return std::fabs(v) > FLT_MAX;
}

// The entry rule shared by both panels' boxes.
void StoreEntry(Program& p, double& stored, const std::string& text) {
  std::optional<double> value = p.host.ParseUserNumber(text);
  if (value && std::isfinite(*value) && std::fabs(*value) <= FLT_MAX) {
    stored = static_cast<double>(static_cast<float>(*value));
    return;
  }
  if (value && !std::isnan(*value)) return;  // beyond single precision: keep what was there
  if (!value && IsOutOfSingleRange(text)) return;
  stored = -1.0;
}

// Top of each row of the options box and its height, by format, blanks and controls.
struct OptionRows {
  int back_sub;      // 0: left where it is
  int control_corr;  // 0: hidden
  int run_analysis;
  int box_height;
};
// [micros][blanks][controls]
constexpr OptionRows kOptionRows[2][2][2] = {
    {{{0, 0, 900, 1300}, {0, 900, 1200, 1600}}, {{900, 0, 1225, 1600}, {900, 1200, 1500, 1925}}},
    {{{0, 0, 1290, 1690}, {0, 1290, 1590, 1990}},
     {{1290, 0, 1615, 1990}, {1290, 1590, 1900, 2315}}},
};

void ArrangeOptionRows(Program& p, bool micros) {
  MainForm& f = p.form;
  const OptionRows& r = kOptionRows[micros][p.BlanksPresent][p.ControlsPresent];
  if (r.back_sub != 0) f.BackSub.geometry.top = r.back_sub;
  if (r.control_corr != 0) {
    f.ControlCorr.visible = true;
    f.ControlCorr.geometry.top = r.control_corr;
  } else {
    f.ControlCorr.visible = false;
  }
  f.RunAnalysis.geometry.top = r.run_analysis;
  f.SynchDataBox.geometry.height = r.box_height;
}

}  // namespace

void Color_Click(Program& p, int index) {
  if (!ValidIndex(index)) return;
  const Control& box = p.form.Color[index];
  if (box.ticked) {
    p.ColorSelected[index] = true;
    ++p.SelectedColorCount;
  } else {
    p.ColorSelected[index] = false;
    --p.SelectedColorCount;
  }
  if (p.ColorIsTissue[index] && p.TissueColumn) p.TissueInFile = box.ticked;
}

void SetColorTick(Program& p, int index, bool ticked) {
  if (!ValidIndex(index)) return;
  if (p.form.Color[index].ticked == ticked) return;
  p.form.Color[index].ticked = ticked;
  Color_Click(p, index);
  NotifyFormChanged(p);
}

void MicrosPerMlFix_Change(Program& p, int index) {
  if (!ValidIndex(index)) return;
  StoreEntry(p, p.MicrosPerMlValues[index], p.form.MicrosPerMlFix[index].text);
}

void MicrosPerMl_Change(Program& p, int index) {
  if (!ValidIndex(index)) return;
  StoreEntry(p, p.ScanMicrosPerMlValues[index], p.form.MicrosPerMl[index].text);
}

void SetMicrosPerMlFixText(Program& p, int index, const std::string& text) {
  if (!ValidIndex(index)) return;
  p.form.MicrosPerMlFix[index].text = text;
  MicrosPerMlFix_Change(p, index);
  NotifyFormChanged(p);
}

void SetMicrosPerMlText(Program& p, int index, const std::string& text) {
  if (!ValidIndex(index)) return;
  p.form.MicrosPerMl[index].text = text;
  MicrosPerMl_Change(p, index);
  NotifyFormChanged(p);
}

void ShowColorPanel(Program& p, bool visible) {
  MainForm& f = p.form;
  f.ColorBoxes.visible = visible;
  int n = ClampCount(p.MatrixSize);
  for (int i = 1; i <= n; ++i) {
    f.Color[i].visible = visible;
    f.MicrosPerMlFix[i].visible = visible;
  }
  NotifyFormChanged(p);
}

void InitMicroBox(Program& p) {
  MainForm& f = p.form;
  int n = ClampCount(p.HeaderPureCount);
  for (int i = 1; i <= n; ++i) {
    f.MicrosForColor[i].visible = true;
    f.MicrosPerMl[i].visible = true;
    SetMicrosPerMlText(p, i, "1000");
  }
  f.MicroBox.geometry.width = n < 16 ? layout::kMicroBoxOne : layout::kMicroBoxTwo;
  for (int i = n + 1; i <= kMaxColors; ++i) {
    f.MicrosForColor[i].visible = false;
    f.MicrosPerMl[i].visible = false;
  }
  NotifyFormChanged(p);
}

void OFResults_Radio_Click(Program& p, int index) {
  MainForm& f = p.form;
  bool micros = index != 0;
  p.ResultsInMicrospheres = micros;
  f.OFResults_Radio[0].selected = !micros;
  f.OFResults_Radio[1].selected = micros;

  if (p.FixedDataLoaded) {
    bool two = p.NumColors >= 16;
    if (micros) {
      f.ColorBoxes.geometry.width =
          two ? layout::kColorBoxesMicrosTwo : layout::kColorBoxesMicrosOne;
      f.MicroLabel.visible = true;
      f.focus = {"MicrosPerMlFix", 1};
      f.SolventTextLabel.visible = true;
      f.Solvent_Text.visible = true;
      f.Solvent_Text.enabled = false;
      f.Solvent_Text.text = FormatGeneralSingle(p.SolventAmount);
    } else {
      // With more than 15 colours both check-box columns stay in view, so no colour is out of
      // reach in this format.
      f.ColorBoxes.geometry.width =
          two ? layout::kColorBoxesIntensityTwo : layout::kColorBoxesIntensityOne;
      f.MicroLabel.visible = false;
      f.SolventTextLabel.visible = false;
      f.Solvent_Text.visible = false;
    }
    layout::PlaceFixedColumns(f, micros);
  }

  if (!micros || p.FixedDataLoaded) ArrangeOptionRows(p, micros);

  if (p.ScanDataLoaded) {
    int n = ClampCount(p.HeaderPureCount);
    f.MicroBox.geometry.width = n < 16 ? layout::kMicroBoxOne : layout::kMicroBoxTwo;
    layout::PlaceScanColumns(f, micros);
    for (int i = 1; i <= n; ++i) f.MicrosPerMl[i].visible = micros;
    f.MicroTitle.visible = micros;
    if (micros) f.focus = {"MicrosPerMl", 1};
  }

  f.Directions.caption = FormatInstructions(p);
  NotifyFormChanged(p);
}

std::string FormatInstructions(const Program& p) {
  std::string s = "* Select result file format (Fluorimeter Intensities or Microspheres/ml).";
  if (p.BlanksPresent) s += "\r* Select or deselect Background Subtraction.";
  if (p.FixedDataLoaded) s += "\r* Select or deselect those colors to be analyzed.";
  if (p.ResultsInMicrospheres) s += "\r* Fill in number of microspheres/ml for each Pure color.";
  s += "\r* Press 'Analyze' button to start analysis.";
  return s;
}

}  // namespace kolvane
