#include "flow/flow_output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

#include "base/file_identity.h"
#include "base/output_file.h"

namespace kolvane::flow {
namespace {

constexpr const char* kEnd = "\r\n";

std::string Flags(const std::vector<std::string>& flags) {
  std::string text;
  for (const std::string& f : flags) text += (text.empty() ? "" : ",") + f;
  return text;
}

std::string Join(const std::vector<std::string>& cells) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
  return line + kEnd;
}

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Td(const std::string& text) {
  return "<td>" + Escape(text) + "</td>";
}

std::string Row(const std::vector<std::string>& cells, const char* tag = "td") {
  std::string row = "<tr>";
  for (const std::string& c : cells)
    row += std::string("<") + tag + ">" + Escape(c) + "</" + tag + ">";
  return row + "</tr>\n";
}

std::string Who(const std::string& animal) {
  return animal.empty() ? std::string("the animal") : "animal " + animal;
}

// One animal's organ flows (ml/min/g) as grouped bars: a group per organ, a bar per colour.
std::string BarChart(const FlowResult& r, const std::string& animal) {
  std::vector<std::string> organs;
  double top = 0;
  for (const OrganFlow& o : r.organs) {
    if (o.animal != animal) continue;
    if (std::find(organs.begin(), organs.end(), o.organ) == organs.end()) organs.push_back(o.organ);
    if (std::isfinite(o.flow_ml_min_g)) top = std::max(top, o.flow_ml_min_g);
  }
  if (organs.empty() || !(top > 0)) return "";
  static const char* kFills[] = {"#3b528b", "#21918c", "#5ec962", "#fde725",
                                 "#d0421b", "#7a0177", "#999999", "#e08214"};
  const int bar = 14, gap = 18, left = 60, bottom = 200, height = 170;
  const int colors = static_cast<int>(r.colors.size());
  const int group = colors * bar + gap;
  const int width = left + static_cast<int>(organs.size()) * group + 10;
  std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
                  "\" height=\"250\" font-size=\"11\">\n";
  s += "<text x=\"2\" y=\"20\">" + Cell(top) + "</text><text x=\"2\" y=\"" +
       std::to_string(bottom) + "\">0</text>\n";
  for (std::size_t g = 0; g < organs.size(); ++g) {
    const int x0 = left + static_cast<int>(g) * group;
    for (const OrganFlow& o : r.organs) {
      if (o.animal != animal || o.organ != organs[g] || !(o.flow_ml_min_g > 0)) continue;
      const int k =
          static_cast<int>(std::find(r.colors.begin(), r.colors.end(), o.color) - r.colors.begin());
      const int h = static_cast<int>(std::lround(height * o.flow_ml_min_g / top));
      s += "<rect x=\"" + std::to_string(x0 + k * bar) + "\" y=\"" + std::to_string(bottom - h) +
           "\" width=\"" + std::to_string(bar - 2) + "\" height=\"" + std::to_string(h) +
           "\" fill=\"" + kFills[k % 8] + "\"><title>" + Escape(o.color) + ": " +
           Cell(o.flow_ml_min_g) + " ml/min/g</title></rect>\n";
    }
    s += "<text x=\"" + std::to_string(x0) + "\" y=\"" + std::to_string(bottom + 15) + "\">" +
         Escape(organs[g]) + "</text>\n";
  }
  for (int k = 0; k < colors; ++k)
    s += "<rect x=\"" + std::to_string(left + 90 * k) +
         "\" y=\"230\" width=\"10\" height=\"10\" "
         "fill=\"" +
         kFills[k % 8] + "\"/><text x=\"" + std::to_string(left + 90 * k + 14) + "\" y=\"240\">" +
         Escape(r.colors[static_cast<std::size_t>(k)]) + "</text>\n";
  return s + "</svg>\n";
}

}  // namespace

std::string Cell(double value) {
  if (!std::isfinite(value)) return "";
  char text[40];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 7);
  return std::string(text, end.ptr);
}

std::string FlowTableText(const FlowResult& r) {
  std::string text =
      Join({"animal", "sample", "organ", "side", "colour", "flow_ml_min", "flow_ml_min_g",
            "spheres", "error_pct", "flags", "percent_co", "region", "weight_g"});
  for (const PieceFlow& p : r.pieces)
    text += Join({p.animal, p.sample, p.organ, p.side, p.color, Cell(p.flow_ml_min),
                  Cell(p.flow_ml_min_g), Cell(p.spheres), Cell(p.error_pct), Flags(p.flags),
                  Cell(p.percent_co), p.region, Cell(p.weight_g)});
  return text;
}

std::string OrganTableText(const FlowResult& r) {
  std::string text = Join({"animal", "organ", "colour", "pieces", "weight_g", "flow_ml_min",
                           "flow_ml_min_g", "mean_ml_min_g", "sd_ml_min_g", "rd",
                           "left_right_ratio", "change_pct", "cardiac_output_ml_min", "flags"});
  for (const OrganFlow& o : r.organs)
    text += Join({o.animal, o.organ, o.color, std::to_string(o.pieces), Cell(o.weight_g),
                  Cell(o.flow_ml_min), Cell(o.flow_ml_min_g), Cell(o.mean_ml_min_g),
                  Cell(o.sd_ml_min_g), Cell(o.rd), Cell(o.left_right), Cell(o.change_pct),
                  Cell(o.cardiac_output), Flags(o.flags)});
  return text;
}

std::string FlowReportHtml(const FlowResult& r, const std::vector<FlowInputFile>& inputs) {
  std::string h =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<title>Blood flow</title>\n<style>body{font-family:sans-serif;margin:2em}"
      "table{border-collapse:collapse;margin-bottom:1em}td,th{border:1px solid #bbb;"
      "padding:2px 6px;text-align:right}th{background:#eee}.warn{color:#a00}</style>"
      "</head><body>\n<h1>Blood flow</h1>\n<p>Results in " +
      std::string(r.unit == Unit::Microspheres ? "microspheres/ml" : "intensity levels") +
      ". Files read:</p>\n<ul>\n";
  for (const FlowInputFile& f : inputs) h += "<li>" + Escape(f.role + ": " + f.path) + "</li>\n";
  h += "</ul>\n";
  for (const std::string& n : r.notes) h += "<p>" + Escape(n) + "</p>\n";
  for (const std::string& w : r.withheld) h += "<p class=\"warn\">" + Escape(w) + "</p>\n";

  h += "<h2>References</h2>\n<table>\n" +
       Row({"Animal", "Colour", "Samples", "Spheres", "Rate (ml/min)", "Difference (%)",
            "Cardiac output (ml/min)", "Flows"},
           "th");
  for (const ReferenceCheck& c : r.references) {
    std::string samples, spheres;
    for (std::size_t i = 0; i < c.samples.size(); ++i) {
      samples += (i ? " + " : "") + c.samples[i];
      spheres += (i ? " + " : "") + (std::isfinite(c.spheres[i]) ? Cell(c.spheres[i]) : "?");
    }
    h += Row({c.animal, c.color, samples, spheres, Cell(c.rate_ml_min), Cell(c.difference_pct),
              Cell(c.cardiac_output), c.withheld ? "not written" : "written"});
  }
  h += "</table>\n";

  std::vector<std::string> animals;
  for (const OrganFlow& o : r.organs)
    if (std::find(animals.begin(), animals.end(), o.animal) == animals.end())
      animals.push_back(o.animal);
  for (const std::string& a : animals) {
    h += "<h2>Organ flows of " + Escape(Who(a)) + " (ml/min/g)</h2>\n" + BarChart(r, a) +
         "<table>\n" +
         Row({"Organ", "Colour", "Pieces", "Weight (g)", "Flow (ml/min)", "Flow (ml/min/g)",
              "SD (ml/min/g)", "RD", "L/R", "Change (%)", "Flags"},
             "th");
    for (const OrganFlow& o : r.organs)
      if (o.animal == a)
        h += "<tr>" + Td(o.organ) + Td(o.color) + Td(std::to_string(o.pieces)) +
             Td(Cell(o.weight_g)) + Td(Cell(o.flow_ml_min)) + Td(Cell(o.flow_ml_min_g)) +
             Td(Cell(o.sd_ml_min_g)) + Td(Cell(o.rd)) + Td(Cell(o.left_right)) +
             Td(Cell(o.change_pct)) + Td(Flags(o.flags)) + "</tr>\n";
    h += "</table>\n";
  }
  return h + "</body></html>\n";
}

namespace {

nlohmann::json Json(double v) {
  return std::isfinite(v) ? nlohmann::json(v) : nlohmann::json();
}

nlohmann::json OrEmpty(const std::string& path) {
  return path.empty() ? nlohmann::json() : nlohmann::json(path);
}

}  // namespace

std::string FlowRecordText(const FlowResult& r, const std::vector<FlowInputFile>& inputs,
                           const std::string& flows, const std::string& organs,
                           const std::string& html) {
  using nlohmann::json;
  json record;
  record["kind"] = "blood flow";
  json in = json::array();
  for (const FlowInputFile& f : inputs)
    in.push_back({{"role", f.role}, {"path", f.path}, {"sha256", OrEmpty(f.sha256)}});
  record["inputs"] = in;
  record["choices"] = {{"colors", r.colors},
                       {"min_spheres", Json(r.options.min_spheres)},
                       {"max_reference_difference", Json(r.options.max_reference_difference)},
                       {"results", r.unit == Unit::Microspheres ? "microspheres/ml" : "intensity"}};
  json refs = json::array();
  for (const ReferenceCheck& c : r.references) {
    json spheres = json::array();
    for (double s : c.spheres) spheres.push_back(Json(s));
    refs.push_back({{"animal", c.animal},
                    {"colour", c.color},
                    {"samples", c.samples},
                    {"spheres", spheres},
                    {"rate_ml_min", Json(c.rate_ml_min)},
                    {"difference_pct", Json(c.difference_pct)},
                    {"cardiac_output_ml_min", Json(c.cardiac_output)},
                    {"written", !c.withheld}});
  }
  json organ_rows = json::array();
  for (const OrganFlow& o : r.organs)
    organ_rows.push_back({{"animal", o.animal},
                          {"organ", o.organ},
                          {"colour", o.color},
                          {"pieces", o.pieces},
                          {"flow_ml_min", Json(o.flow_ml_min)},
                          {"flow_ml_min_g", Json(o.flow_ml_min_g)},
                          {"rd", Json(o.rd)},
                          {"flags", o.flags}});
  record["flow"] = {{"references", refs},
                    {"organs", organ_rows},
                    {"pieces", r.pieces.size()},
                    {"withheld", r.withheld},
                    {"notes", r.notes}};
  record["outputs"] = {
      {"flows", OrEmpty(flows)}, {"organs", OrEmpty(organs)}, {"html", OrEmpty(html)}};
  record["outcome"] = r.withheld.empty() ? "complete" : "flows withheld";
  return record.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string RefusedOutputs(const FlowOutputs& o, const std::vector<std::string>& reads) {
  const std::vector<std::string> outs = {o.flows, o.organs, o.html, o.record};
  for (std::size_t i = 0; i < outs.size(); ++i) {
    if (outs[i].empty()) continue;
    for (const std::string& in : reads)
      if (outs[i] == in || SameFile(outs[i], in))
        return outs[i] + ": would overwrite a file being read; the flows were not written";
    for (std::size_t j = 0; j < i; ++j)
      if (outs[j] == outs[i] || SameFile(outs[j], outs[i]))
        return outs[i] + ": named for two outputs; the flows were not written";
  }
  return "";
}

std::string WriteFlowOutputs(const FlowOutputs& o, const FlowResult& r,
                             const std::vector<FlowInputFile>& inputs) {
  std::string error;
  if (!o.flows.empty()) error = SaveWholeFile(o.flows, FlowTableText(r));
  if (error.empty() && !o.organs.empty()) error = SaveWholeFile(o.organs, OrganTableText(r));
  if (error.empty() && !o.html.empty()) error = SaveWholeFile(o.html, FlowReportHtml(r, inputs));
  if (error.empty() && !o.record.empty())
    error = SaveWholeFile(o.record, FlowRecordText(r, inputs, o.flows, o.organs, o.html));
  return error;
}

}  // namespace kolvane::flow
