// What every fuzz harness checks after it has built a workbook: the saved
// compound document and its record stream are well formed. A violation
// aborts, which libFuzzer reports as a crash with the input that caused it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "XLSByteOrder.h"
#include "XLSCodePage.h"
#include "XLSRecordIds.h"
#include "XLSStream.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"

namespace tabulon {
namespace fuzz {

[[noreturn]] inline void Broken(const char* what) {
  std::fprintf(stderr, "structural check failed: %s\n", what);
  std::abort();
}

inline void Require(bool condition, const char* what) {
  if (!condition) Broken(what);
}

inline uint16_t Word(const std::vector<uint8_t>& bytes, size_t pos) {
  return XLSGetLE<uint16_t>(&bytes[pos]);
}

// The "Book" stream: records of at most 2080 data bytes that fill it
// exactly; a workbook substream and then one substream per sheet, each from
// BOF to EOF.
inline void CheckRecordStream(const std::vector<uint8_t>& stream) {
  size_t pos = 0;
  bool inSubstream = false;
  int substreams = 0;
  while (pos < stream.size()) {
    Require(pos + 4 <= stream.size(), "record header cut off");
    const uint16_t id = Word(stream, pos);
    const uint16_t length = Word(stream, pos + 2);
    Require(length <= 2080, "record longer than 2080 bytes");
    Require(pos + 4 + length <= stream.size(), "record data cut off");
    if (id == xlsrec::kBof) {
      Require(!inSubstream, "BOF inside a substream");
      inSubstream = true;
      ++substreams;
    } else {
      Require(inSubstream, "record outside a substream");
      if (id == xlsrec::kEof) inSubstream = false;
    }
    pos += 4 + length;
  }
  Require(!inSubstream, "substream without EOF");
  Require(substreams >= 2, "no workbook and sheet substreams");
}

// The compound document: its signature, whole 512-byte sectors.
inline void CheckDocument(const std::vector<uint8_t>& document) {
  static const uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  Require(document.size() >= 512 && document.size() % 512 == 0, "not whole sectors");
  for (int i = 0; i < 8; ++i) Require(document[i] == kSignature[i], "no compound signature");
}

// The texts of a record stream that readers decode in the workbook's code
// page (sheet names, cell texts, headers and footers): each decodes whole,
// and no two sheet names are equal as readers compare them.
inline void CheckStoredTexts(const std::vector<uint8_t>& stream) {
  uint16_t codePage = 1252;
  auto converter = std::make_unique<TXLSCodePageConverter>(codePage);
  std::set<std::string> names;
  for (size_t pos = 0; pos + 4 <= stream.size(); pos += 4 + Word(stream, pos + 2)) {
    const uint16_t id = Word(stream, pos);
    const std::string_view data(reinterpret_cast<const char*>(stream.data()) + pos + 4,
                                Word(stream, pos + 2));
    std::string_view text;
    if (id == xlsrec::kCodePage) {
      codePage = Word(stream, pos + 4);
      converter = std::make_unique<TXLSCodePageConverter>(codePage);
    } else if (id == xlsrec::kBoundSheet) {
      text = data.substr(7);
      Require(names.insert(TXLSWorkSheets::NameKey(std::string(text), codePage)).second,
              "two sheets of one name");
    } else if (id == xlsrec::kLabel) {
      text = data.substr(8);
    } else if ((id == xlsrec::kHeader || id == xlsrec::kFooter) && !data.empty()) {
      text = data.substr(1);
    }
    if (text.empty()) continue;
    // A code page has no U+FFFD, so one in the decoded text stands for bytes it
    // does not define, such as a double-byte character cut in half.
    const std::string decoded = converter->ToUtf8(text);
    Require(decoded.find("\xEF\xBF\xBD") == std::string::npos,
            "a text its code page cannot decode");
  }
}

// Saves the workbook to memory twice (stream alone, whole document) and
// checks both.
inline void CheckSaved(TXLSWorkbook& book) {
  TXLSMemoryStream stream;
  Require(book.WriteBookStream(stream) == 1, "the record stream was refused");
  CheckRecordStream(stream.Bytes());
  TXLSMemoryStream document;
  Require(book.WriteDocument(document) == 1, "the document was refused");
  CheckDocument(document.Bytes());
}

}  // namespace fuzz
}  // namespace tabulon
