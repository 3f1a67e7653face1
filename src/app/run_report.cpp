#include "app/run_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/matrix_picture.h"
#include "app/program.h"
#include "app/version.h"

namespace kolvane {

namespace {

std::string Num(const char* pattern, double v) {
  char text[48];
  std::snprintf(text, sizeof text, pattern, v);
  return text;
}

std::string Cell(const std::string& t) {
  return "<td>" + EscapeMarkup(t) + "</td>";
}

std::string HistogramSvg(const std::vector<double>& r2) {
  const int bins = 20, w = 600, h = 220, left = 50, bottom = 190;
  double low = 0;
  const std::vector<long> counts = R2Histogram(r2, bins, low);
  const long top = std::max(1L, *std::max_element(counts.begin(), counts.end()));
  std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(w) +
                  "\" height=\"" + std::to_string(h) + "\" font-size=\"11\">\n";
  const double bar = (w - left - 10) / static_cast<double>(bins);
  for (int b = 0; b < bins; ++b) {
    const double bh = 170.0 * counts[b] / top;
    s += "<rect class=\"bar\" x=\"" + Num("%.1f", left + b * bar) + "\" y=\"" +
         Num("%.1f", bottom - bh) + "\" width=\"" + Num("%.1f", bar - 1) + "\" height=\"" +
         Num("%.1f", bh) + "\" fill=\"#3b528b\"><title>" + std::to_string(counts[b]) +
         "</title></rect>\n";
  }
  s += "<text x=\"" + std::to_string(left) + "\" y=\"205\">" + Num("%.2f", low) +
       "</text><text x=\"" + std::to_string(w - 30) + "\" y=\"205\">1.00</text>";
  s += "<text x=\"5\" y=\"20\">" + std::to_string(top) + "</text><text x=\"5\" y=\"" +
       std::to_string(bottom) + "\">0</text><text x=\"" + std::to_string(w / 2 - 20) +
       "\" y=\"218\">R&#178;</text>\n";
  return s + "</svg>\n";
}

std::string SpectrumSvg(const RunFigures& f) {
  const int w = 600, h = 260, left = 60, right = 10, top = 10, bottom = 230;
  const std::size_t n = f.worst_wavelength.size();
  if (n < 3) return "";
  double x0 = f.worst_wavelength[1], x1 = f.worst_wavelength[n - 1], y0 = 0, y1 = 0;
  for (std::size_t d = 1; d < n; ++d) {
    y0 = std::min({y0, f.worst_observed[d], f.worst_fitted[d]});
    y1 = std::max({y1, f.worst_observed[d], f.worst_fitted[d]});
  }
  if (x1 == x0) x1 = x0 + 1;
  if (y1 == y0) y1 = y0 + 1;
  auto line = [&](const std::vector<double>& y, const char* colour, const char* dash) {
    std::string s = "<polyline fill=\"none\" stroke=\"" + std::string(colour) +
                    "\" stroke-width=\"1.5\"" + dash + " points=\"";
    for (std::size_t d = 1; d < n; ++d)
      s += Num("%.1f", left + (f.worst_wavelength[d] - x0) / (x1 - x0) * (w - left - right)) + "," +
           Num("%.1f", bottom - (y[d] - y0) / (y1 - y0) * (bottom - top)) + " ";
    return s + "\"/>\n";
  };
  std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(w) +
                  "\" height=\"" + std::to_string(h) + "\" font-size=\"11\">\n";
  s += "<rect x=\"" + std::to_string(left) + "\" y=\"" + std::to_string(top) + "\" width=\"" +
       std::to_string(w - left - right) + "\" height=\"" + std::to_string(bottom - top) +
       "\" fill=\"none\" stroke=\"#999\"/>\n";
  s += line(f.worst_observed, "#222222", "");
  s += line(f.worst_fitted, "#d0421b", " stroke-dasharray=\"5,3\"");
  s += "<text x=\"" + std::to_string(left) + "\" y=\"248\">" + Num("%g nm", x0) +
       "</text><text x=\"" + std::to_string(w - 60) + "\" y=\"248\">" + Num("%g nm", x1) +
       "</text><text x=\"2\" y=\"20\">" + Num("%.4g", y1) + "</text><text x=\"2\" y=\"" +
       std::to_string(bottom) + "\">" + Num("%.4g", y0) + "</text>\n";
  s += "<text x=\"250\" y=\"248\">black: observed, red dashed: fit</text>\n";
  return s + "</svg>\n";
}

}  // namespace

std::vector<long> R2Histogram(const std::vector<double>& r2, int bins, double& low) {
  std::vector<long> counts(static_cast<std::size_t>(bins), 0);
  double least = 1.0;
  for (double v : r2) least = std::min(least, v);
  low = std::min(0.99, std::floor(least * 100) / 100);
  for (double v : r2) {
    int b = static_cast<int>((v - low) / (1.0 - low) * bins);
    counts[static_cast<std::size_t>(std::clamp(b, 0, bins - 1))]++;
  }
  return counts;
}

std::string RunReportHtml(const Program& p, const std::vector<RecordInput>& inputs) {
  const RunFigures& f = p.figures;
  const RunLedger& l = p.ledger;
  std::string h =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<title>KOLVANE run report</title>\n<style>body{font-family:sans-serif;margin:24px;"
      "max-width:960px}table{border-collapse:collapse;margin:8px 0}td,th{border:1px solid #bbb;"
      "padding:3px 8px;text-align:left}th{background:#eee}td.h{font-family:monospace;"
      "font-size:11px}h2{margin-top:28px}</style></head><body>\n";
  h += "<h1>KOLVANE run report</h1>\n<table>";
  h += "<tr><th>Program</th>" + Cell(std::string("KOLVANE ") + KOLVANE_VERSION_STRING) + "</tr>";
  h += "<tr><th>Results file</th>" + Cell(l.results) + "</tr>";
  std::string outcome = RunEndWord(l.end);
  if (l.end == RunEnd::Stopped && !l.message.empty()) outcome += ": " + l.message;
  if (!l.Complete())
    outcome +=
        "; " + l.results + " unchanged" +
        (l.incomplete.empty() ? std::string() : "; the lines written are in " + l.incomplete);
  h += "<tr><th>Outcome</th>" + Cell(outcome) + "</tr>";
  h += "<tr><th>Records read</th>" + Cell(std::to_string(l.records_read)) + "</tr>";
  h += "<tr><th>Result lines</th>" +
       Cell(std::to_string(l.lines_written) + " of " + std::to_string(l.lines_expected)) + "</tr>";
  h += "<tr><th>OL cells</th>" + Cell(std::to_string(l.ol_cells)) + "</tr>";
  if (f.scan) h += "<tr><th>Hi-Lo flags</th>" + Cell(std::to_string(l.hi_lo_flags)) + "</tr>";
  h += "</table>\n<h2>Inputs</h2>\n<table><tr><th>Role</th><th>Path</th><th>Bytes</th>"
       "<th>SHA-256</th></tr>\n";
  for (const RecordInput& i : inputs) {
    if (i.path.empty()) continue;
    long long size = -1;
    const std::string hash = InputSha256(p, i.path, &size);
    h += "<tr>" + Cell(i.role) + Cell(i.path) + Cell(std::to_string(size)) + "<td class=\"h\">" +
         hash + "</td></tr>\n";
  }
  h += "</table>\n";
  if (f.ready) {
    const MatrixPicture pic = MakeMatrixPicture(f);
    h += "<h2>Matrix</h2>\n<p>" + EscapeMarkup(pic.condition) + "<br>" + EscapeMarkup(pic.pair) +
         "</p>\n" + MatrixPictureSvg(pic, false);
    h += "<h2>Per color</h2>\n<table><tr><th>Color</th><th>Noise gain</th><th>Spread from "
         "blanks (" +
         EscapeMarkup(pic.units) + ")</th><th>Detection limit (3 &#963;)</th></tr>\n";
    for (const PictureRow& r : pic.table)
      h += "<tr>" + Cell(r.colour) + Cell(r.gain) + Cell(r.spread) + Cell(r.limit) + "</tr>\n";
    h += "</table>\n";
  }
  if (f.scan && !f.r2.empty()) {
    h += "<h2>R&#178; over " + std::to_string(f.r2.size()) + " records</h2>\n" + HistogramSvg(f.r2);
    h += "<h2>Worst fit: record " + EscapeMarkup(f.worst_name) +
         " (R&#178; = " + Num("%.4f", f.worst_r2) + ")</h2>\n" + SpectrumSvg(f);
  }
  return h + "</body></html>\n";
}

}  // namespace kolvane
