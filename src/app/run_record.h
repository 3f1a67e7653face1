// In this file: the record of a run, RESULTS.scf.json beside the results file: what the run
// read (each input's path, size and SHA-256), every choice in force, the matrix it solved
// with and its figures, what it counted and how it ended. Both front ends write it after a
// run; it never changes the results file.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/channels.h"

namespace kolvane {

struct Program;

struct RecordInput {
  std::string role;  // "data", "blanks", "controls", "matrix"
  std::string path;
};

// The SHA-256 of a file's bytes as 64 lower-case hex digits, and its size; empty on a file
// that cannot be read.
std::string FileSha256(const std::string& path, long long* size = nullptr);
// The same, taken from the pass of the program's channels that read the file whole when one
// did (and the file has not changed since), else read anew.
std::string InputSha256(const Program& p, const std::string& path, long long* size);
// A SHA-256 digest for the channels to feed as they read (its text: lower-case hex).
std::unique_ptr<ByteDigest> MakeSha256Digest();

// The record as JSON text: the file the run's lines are in, and how the run ended, from the
// run's ledger.
std::string RunRecordText(const Program& p, const std::vector<RecordInput>& inputs);

// After a run that did not end the program, before its files are renamed into place: the
// record beside the file its lines are in (the results file when complete, the incomplete
// file when it kept lines; none else) when Program::RecordWanted, and the report when
// Program::ReportPath is set. What could not be written goes to the ledger's `unwritten`.
void SaveRunFiles(Program& p);

// The inputs of the dataset loaded: the files its dialogs were answered with and the matrix
// file in force.
std::vector<RecordInput> RunInputs(const Program& p);

// The record's path for a results file: the same name with ".json" added.
std::string RecordPathFor(const std::string& results);

}  // namespace kolvane
