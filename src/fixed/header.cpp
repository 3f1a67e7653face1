#include "fixed/header.h"

#include <cfloat>
#include <cmath>

#include "app/status_line.h"
#include "base/numbers.h"

namespace kolvane {

namespace {

bool Has(const std::string& text, const char* what) {
  return text.find(what) != std::string::npos;
}

// The number that follows the first TAB of an item (the whole item when it has none).
double NumberAfterFirstTab(const std::string& item) {
  std::string::size_type tab = item.find('\t');
  return LenientNumber(tab == std::string::npos ? std::string_view(item)
                                                : std::string_view(item).substr(tab + 1));
}

// With automatic delivery every wavelength line carries the delivery field second; it is cut
// out so that the lines line up with the colour columns. A line with fewer than two TABs has
// no such field to cut and is kept as it is.
std::string CutDeliveryField(const std::string& item) {
  std::string::size_type first = item.find('\t');
  if (first == std::string::npos) return item;
  std::string::size_type second = item.find('\t', first + 1);
  if (second == std::string::npos) return item;
  return item.substr(0, first) + item.substr(second);
}

void StoreWavelengthLine(FixedTables& t, const std::string& item) {
  static const char* const kKeys[4] = {"ex sl", "em sl", "ex wl", "em wl"};
  for (int k = 0; k < 4; ++k)
    if (Has(item, kKeys[k])) t.WavelengthLines[k] = item;
}

// Every header value starts from the state that start-up leaves, so that nothing of an
// earlier dataset shows through a header that lacks a line.
void ResetHeaderValues(Program& p) {
  p.NumColors = 0;
  p.HeaderPureCount = 0;
  p.SolventAmount = 2.0f;
  p.fixed.AutoDelivery = false;
  for (auto& line : p.fixed.WavelengthLines) line.clear();
  p.TissueInFile = false;
  p.TissueColumn = false;
  for (int i = 1; i <= kMaxColors; ++i) {
    p.form.Color[i].ticked = false;
    p.ColorSelected[i] = false;
  }
}

Flow Refuse(Program& p, const std::string& problem) {
  p.host.ShowMessage("The data file " + p.channels.In(Channels::kData).Path() + " " + problem +
                     "  The file was not loaded.");
  return Flow::Stop;
}

// The colour line names the colour of every reading column; a line with fewer names than
// colours repeats its last name.
void ParseColorLine(Program& p, std::string text) {
  std::string::size_type tube = text.find("Tube");
  if (tube != std::string::npos) text.erase(0, tube + 4);
  text = TrimSpaces(text);
  if (!text.empty() && text[0] == '\t') text.erase(0, 1);
  for (int i = 1; i <= p.NumColors; ++i) {
    std::string name;
    if (text.find('\t') != std::string::npos) {
      name = SplitAtTab(text);
      text = TrimSpaces(text);
    } else {
      name = text;
    }
    Control& box = p.form.Color[i];
    box.caption = name;
    box.ticked = true;
    box.text_color = kBlack;
    p.ColorSelected[i] = true;
    p.ColorIsTissue[i] = name == "Tissue";
    if (p.ColorIsTissue[i]) {
      box.text_color = kBlue;
      p.TissueInFile = true;
      p.TissueColumn = true;
    }
  }
}

// The colour count stands on a "Wavelengths" line; it decides the size of every table, so a
// file whose count is missing or outside 1..30 cannot be read.
Flow TakeColorCount(Program& p, double count) {
  std::optional<std::int16_t> n = ToInt16(count);
  if (!n || *n < 1)
    return Refuse(p, "gives no number of colors (a \"Wavelengths\" line with at least 1).");
  if (*n > kMaxColors)
    return Refuse(p, "has " + std::to_string(*n) + " colors; at most 30 can be handled.");
  p.NumColors = *n;
  return Flow::Continue;
}

Flow ParseItem(Program& p, const std::string& item, double& color_count) {
  p.TissueInFile = false;
  p.TissueColumn = false;
  if (Has(item, "Pures")) {
    std::optional<std::int16_t> n = ToInt16(NumberAfterFirstTab(item));
    if (!n) return Refuse(p, "gives a number of pures outside -32768..32767.");
    p.HeaderPureCount = *n;
  }
  if (Has(item, "Wavelengths")) color_count = NumberAfterFirstTab(item);
  if (Has(item, "Amount of solvent")) {
    double amount = NumberAfterFirstTab(item);
    if (!(std::fabs(amount) <= FLT_MAX))
      return Refuse(p, "gives an amount of solvent out of range.");
    p.SolventAmount = static_cast<float>(amount);
  }
  if (Has(item, "Delivery")) p.fixed.AutoDelivery = Has(item, "Auto");
  if (HasWavelengthKeyword(item))
    StoreWavelengthLine(p.fixed, p.fixed.AutoDelivery ? CutDeliveryField(item) : item);
  if (Has(item, "Color")) {
    Flow f = TakeColorCount(p, color_count);
    if (f != Flow::Continue) return f;
    ParseColorLine(p, item);
  }
  return Flow::Continue;
}

void EchoColorLine(Program& p) {
  std::string line = "Color";
  for (int i = 1; i <= p.NumColors; ++i) line += "\t" + TrimSpaces(p.form.Color[i].caption);
  OutputChannel& out = p.channels.Out(Channels::kResults);
  out.WriteLine(line);
  for (const std::string& w : p.fixed.WavelengthLines) out.WriteLine(w);
}

}  // namespace

bool HasWavelengthKeyword(const std::string& item) {
  return Has(item, "ex sl") || Has(item, "em sl") || Has(item, "ex wl") || Has(item, "em wl");
}

Flow ReadDataFileHeader(Program& p, bool parse, bool echo) {
  InputChannel& in = p.channels.In(Channels::kData);
  if (parse) ResetHeaderValues(p);
  double color_count = 0;
  std::string item;
  while (in.ReadItem(item) == ReadStatus::Ok) {
    bool color_line = Has(item, "Color");
    if (parse) {
      Flow f = ParseItem(p, item, color_count);
      if (f != Flow::Continue) return f;
    }
    if (echo) {
      if (color_line)
        EchoColorLine(p);
      else if (!HasWavelengthKeyword(item))
        p.channels.Out(Channels::kResults).WriteLine(item);
    }
    if (color_line) return Flow::Continue;
  }
  if (echo) {
    // Only a file changed since it was loaded gets here.
    ShowRunStop(p, "The data file " + in.Path() + " has no Color line.  Analysis ending.");
    return Flow::Stop;
  }
  return Refuse(p, "has no Color line.");
}

}  // namespace kolvane
