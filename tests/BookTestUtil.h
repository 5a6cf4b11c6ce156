// Helpers for the workbook tests: the records of a saved "Book" stream, and
// scratch paths and commands for checking saved files.
#pragma once

#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Tabulon.h"
#include "ToolRun.h"
#include "XLSByteOrder.h"
#include "XLSRecordIds.h"
#include "XLSStream.h"

namespace tabulon {
namespace book_test {

using TBytes = std::vector<uint8_t>;

struct TRecord {
  uint16_t id;
  size_t offset;  // of the record header in the stream
  TBytes data;

  uint16_t Word(size_t pos) const { return XLSGetLE<uint16_t>(&data[pos]); }
  uint32_t Long(size_t pos) const { return XLSGetLE<uint32_t>(&data[pos]); }
};

inline std::vector<TRecord> SplitRecords(const TBytes& stream) {
  std::vector<TRecord> records;
  size_t pos = 0;
  while (pos + 4 <= stream.size()) {
    const uint16_t id = XLSGetLE<uint16_t>(&stream[pos]);
    const size_t length = XLSGetLE<uint16_t>(&stream[pos + 2]);
    records.push_back(
        {id, pos, TBytes(stream.begin() + pos + 4, stream.begin() + pos + 4 + length)});
    pos += 4 + length;
  }
  return records;
}

// The stream "Book" of a save, split into records.
inline std::vector<TRecord> BookRecords(TXLSWorkbook& book, TBytes* stream = nullptr) {
  TXLSMemoryStream out;
  if (book.WriteBookStream(out) != 1) return {};
  if (stream != nullptr) *stream = out.Bytes();
  return SplitRecords(out.Bytes());
}

// The workbook-level records: everything up to and including the first EOF.
inline std::vector<TRecord> GlobalsOf(const std::vector<TRecord>& records) {
  std::vector<TRecord> globals;
  for (const TRecord& record : records) {
    globals.push_back(record);
    if (record.id == xlsrec::kEof) break;
  }
  return globals;
}

inline std::vector<TRecord> WithId(const std::vector<TRecord>& records, uint16_t id) {
  std::vector<TRecord> found;
  for (const TRecord& record : records) {
    if (record.id == id) found.push_back(record);
  }
  return found;
}

// Scratch folder and file helpers, shared with the tests that run programs.
using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;

struct TRun {
  int status;
  std::string output;
};

// Runs a shell command; its standard output and error come back together.
inline TRun RunCommand(const std::string& command) {
  TRun run{-1, ""};
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

}  // namespace book_test
}  // namespace tabulon
