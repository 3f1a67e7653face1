// In this file: the blood-flow step's output files. FLOW.tsv holds one row per tissue piece and
// colour, ORGANS.tsv one row per animal, organ and colour, the report a self-contained page with
// the references' counts and agreement and a bar chart per animal, the record (FLOW.tsv.json)
// the inputs with their digests, the choices, the references and organs and what was withheld.
// Cells are TAB-separated, lines end in CR LF, numbers have seven significant digits, and a number
// that is not known is an empty cell, never NaN or infinity. Every file goes through the temporary
// file + rename writer, and none is written onto a file being read.
#pragma once

#include <string>
#include <vector>

#include "flow/flow.h"

namespace kolvane::flow {

// A number with seven significant digits (the full stop, whatever the locale); empty when it is
// not finite.
std::string Cell(double value);

// A file read, for the report and the record.
struct FlowInputFile {
  std::string role;  // "results", "sheet"
  std::string path;
  std::string sha256;  // empty when not known
};

std::string FlowTableText(const FlowResult& result);
std::string OrganTableText(const FlowResult& result);
// `inputs`: the files read, named on the page.
std::string FlowReportHtml(const FlowResult& result, const std::vector<FlowInputFile>& inputs);
// The record as JSON text; numbers not known are null.
std::string FlowRecordText(const FlowResult& result, const std::vector<FlowInputFile>& inputs,
                           const std::string& flows, const std::string& organs,
                           const std::string& html);

struct FlowOutputs {
  std::string flows, organs, html;  // empty: not written
  std::string record;               // empty: not written (the batch writes FLOW.tsv.json)
};

// The refusal when an output would land on a file being read (or two outputs on one file), else
// empty. `reads`: the results files, their run records and the sheet.
std::string RefusedOutputs(const FlowOutputs& outputs, const std::vector<std::string>& reads);
// Writes what `outputs` names. Empty, or the first failure "PATH (REASON)".
std::string WriteFlowOutputs(const FlowOutputs& outputs, const FlowResult& result,
                             const std::vector<FlowInputFile>& inputs);

}  // namespace kolvane::flow
