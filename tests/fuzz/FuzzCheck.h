// What every fuzz harness checks after it has built a workbook: the saved
// compound document and its record stream are well formed for the
// workbook's file format. A violation aborts, which libFuzzer reports as a
// crash with the input that caused it.
#pragma once

#include <algorithm>
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
#include "XLSConstants.h"
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

// What a stream of one file format looks like.
struct TFormatRules {
  const char* StreamName;
  uint16_t DataLimit;  // the most data bytes of a record
  uint16_t BofVersion;
  uint16_t BofLength;
  uint16_t DimensionsId;
  uint16_t DimensionsLength;
  bool SharedStrings;  // cell texts are LABELSST into an SST, not LABEL
};

inline TFormatRules RulesOf(int32_t file_format) {
  if (file_format == xlExcel8)
    return {"Workbook", 8224, 0x0600, 16, xlsrec::kDimensions32, 14, true};
  return {"Book", 2080, 0x0500, 8, xlsrec::kDimensions, 10, false};
}

constexpr uint16_t kGlobalsSubstream = 0x0005;
constexpr uint16_t kSheetSubstream = 0x0010;

// One record of a stream: where it starts and its data.
struct TRecord {
  size_t Pos;
  uint16_t Id;
  const uint8_t* Data;
  uint16_t Length;

  uint16_t WordAt(size_t at) const { return XLSGetLE<uint16_t>(Data + at); }
  uint32_t LongAt(size_t at) const { return XLSGetLE<uint32_t>(Data + at); }
};

// The records of a stream that they fill exactly, each within the data limit.
inline std::vector<TRecord> SplitRecords(const std::vector<uint8_t>& stream,
                                         const TFormatRules& rules) {
  std::vector<TRecord> records;
  for (size_t pos = 0; pos < stream.size();) {
    Require(pos + 4 <= stream.size(), "record header cut off");
    const uint16_t length = Word(stream, pos + 2);
    Require(length <= rules.DataLimit, "record longer than the format allows");
    Require(pos + 4 + length <= stream.size(), "record data cut off");
    records.push_back({pos, Word(stream, pos), stream.data() + pos + 4, length});
    pos += 4 + length;
  }
  return records;
}

// Reads the strings of an SST and its CONTINUE records the way readers take
// them apart, and checks EXTSST behind them against where each bucket's
// first string starts.
class TSharedStringCheck {
 public:
  TSharedStringCheck(const std::vector<TRecord>& records, size_t sst)
      : records_(records), next_(sst + 1), record_(&records[sst]) {
    Require(record_->Length >= 8, "SST without its counts");
    TotalCount = record_->LongAt(0);
    UniqueCount = record_->LongAt(4);
    Require(UniqueCount <= TotalCount, "more unique strings than uses");
    at_ = 8;
    for (uint32_t i = 0; i < UniqueCount; ++i) ReadString();
    Require(at_ == record_->Length, "bytes behind the last shared string");
    Require(next_ < records_.size() && records_[next_].Id == xlsrec::kExtSst,
            "no EXTSST behind the shared strings");
    CheckExtSst(records_[next_]);
  }

  uint32_t TotalCount = 0;
  uint32_t UniqueCount = 0;

 private:
  struct TStart {
    size_t Pos;
    size_t OffsetInRecord;  // from the record's header
  };

  void NextRecord() {
    Require(next_ < records_.size() && records_[next_].Id == xlsrec::kContinue,
            "a shared string goes on past the SST's records");
    record_ = &records_[next_++];
    at_ = 0;
  }

  void ReadString() {
    if (at_ == record_->Length) NextRecord();
    Require(at_ + 3 <= record_->Length, "a shared string's header split between records");
    starts_.push_back({record_->Pos + 4 + at_, 4 + at_});
    size_t characters = record_->WordAt(at_);
    uint8_t flags = record_->Data[at_ + 2];
    at_ += 3;
    for (;;) {
      Require((flags & ~1u) == 0, "shared string flags other than the character width");
      const size_t width = (flags & 1) ? 2 : 1;
      const size_t fit = std::min(characters, (record_->Length - at_) / width);
      at_ += fit * width;
      characters -= fit;
      if (characters == 0) return;
      NextRecord();
      Require(record_->Length >= 1, "an empty CONTINUE inside a shared string");
      flags = record_->Data[0];
      at_ = 1;
    }
  }

  void CheckExtSst(const TRecord& extSst) {
    Require(extSst.Length >= 2, "EXTSST without its bucket size");
    const uint16_t bucket = extSst.WordAt(0);
    Require(bucket > 0, "EXTSST buckets of no strings");
    const size_t buckets = (starts_.size() + bucket - 1) / bucket;
    Require(extSst.Length == 2 + 8 * buckets, "EXTSST not one entry per bucket");
    for (size_t i = 0; i < buckets; ++i) {
      const TStart& start = starts_[i * bucket];
      Require(
          extSst.LongAt(2 + 8 * i) == start.Pos && extSst.WordAt(6 + 8 * i) == start.OffsetInRecord,
          "EXTSST places a bucket elsewhere than its first string");
    }
  }

  const std::vector<TRecord>& records_;
  size_t next_;
  const TRecord* record_;
  size_t at_ = 0;
  std::vector<TStart> starts_;
};

// The used range DIMENSIONS announces for a sheet, which holds its cells.
struct TDimensions {
  uint32_t FirstRow = 0, EndRow = 0;
  uint16_t FirstCol = 0, EndCol = 0;
  bool Holds(uint16_t row, uint16_t col) const {
    return row >= FirstRow && row < EndRow && col >= FirstCol && col < EndCol;
  }
};

inline TDimensions ReadDimensions(const TRecord& record, const TFormatRules& rules) {
  Require(record.Length == rules.DimensionsLength, "DIMENSIONS of the other format's length");
  TDimensions used;
  const bool wideRows = rules.DimensionsLength == 14;
  used.FirstRow = wideRows ? record.LongAt(0) : record.WordAt(0);
  // The 16-bit field cannot hold 65536, one past the last row: it wraps to 0.
  const uint32_t narrowEnd = record.WordAt(2) == 0 ? 65536 : record.WordAt(2);
  used.EndRow = wideRows ? record.LongAt(4) : narrowEnd;
  used.FirstCol = record.WordAt(wideRows ? 8 : 4);
  used.EndCol = record.WordAt(wideRows ? 10 : 6);
  Require(used.FirstRow <= used.EndRow && used.EndRow <= 65536, "DIMENSIONS rows out of order");
  Require(used.FirstCol <= used.EndCol && used.EndCol <= 256, "DIMENSIONS columns out of order");
  return used;
}

inline bool IsCell(uint16_t id) {
  return id == xlsrec::kBlank || id == xlsrec::kNumber || id == xlsrec::kLabel ||
         id == xlsrec::kLabelSst || id == xlsrec::kBoolErr || id == xlsrec::kFormula;
}

// The record stream: a workbook substream and then one substream per sheet,
// each from BOF (of the format's version) to EOF; BOUNDSHEET offsets naming
// the sheets' BOFs in order; one DIMENSIONS per sheet that holds its cells;
// and, where the format shares strings, one SST whose strings the LABELSST
// cells use.
inline void CheckRecordStream(const std::vector<uint8_t>& stream, const TFormatRules& rules) {
  const std::vector<TRecord> records = SplitRecords(stream, rules);
  bool inSubstream = false;
  int substreams = 0;
  std::vector<size_t> sheetOffsets, sheetBofs;
  size_t dimensionsSeen = 0;
  TDimensions used;
  uint32_t labelSsts = 0, maxIndex = 0;
  std::unique_ptr<TSharedStringCheck> strings;
  for (size_t i = 0; i < records.size(); ++i) {
    const TRecord& record = records[i];
    if (record.Id == xlsrec::kBof) {
      Require(!inSubstream, "BOF inside a substream");
      Require(record.Length == rules.BofLength && record.WordAt(0) == rules.BofVersion,
              "BOF of another format version");
      Require(record.WordAt(2) == (substreams == 0 ? kGlobalsSubstream : kSheetSubstream),
              "a substream of the wrong kind");
      if (substreams > 0) sheetBofs.push_back(record.Pos);
      inSubstream = true;
      ++substreams;
      dimensionsSeen = 0;
      continue;
    }
    Require(inSubstream, "record outside a substream");
    const bool globals = substreams == 1;
    if (record.Id == xlsrec::kEof) {
      inSubstream = false;
      Require(globals || dimensionsSeen == 1, "a sheet without exactly one DIMENSIONS");
    } else if (record.Id == xlsrec::kBoundSheet) {
      Require(globals && record.Length >= 8, "BOUNDSHEET out of place");
      sheetOffsets.push_back(record.LongAt(0));
    } else if (record.Id == xlsrec::kSst) {
      Require(rules.SharedStrings && globals && !strings, "SST out of place");
      strings = std::make_unique<TSharedStringCheck>(records, i);
    } else if (record.Id == rules.DimensionsId && !globals) {
      used = ReadDimensions(record, rules);
      ++dimensionsSeen;
    } else if (IsCell(record.Id)) {
      Require(!globals && dimensionsSeen == 1 && record.Length >= 6, "a cell out of place");
      Require(used.Holds(record.WordAt(0), record.WordAt(2)), "a cell outside DIMENSIONS");
      Require(record.Id != (rules.SharedStrings ? xlsrec::kLabel : xlsrec::kLabelSst),
              "a text cell of the other format");
      if (record.Id == xlsrec::kLabelSst) {
        Require(record.Length == 10, "LABELSST of a wrong length");
        ++labelSsts;
        maxIndex = std::max(maxIndex, record.LongAt(6) + 1);
      }
    }
  }
  Require(!inSubstream, "substream without EOF");
  Require(substreams >= 2, "no workbook and sheet substreams");
  Require(sheetOffsets == sheetBofs, "BOUNDSHEET offsets other than the sheets' BOFs");
  if (!rules.SharedStrings) return;
  Require(strings != nullptr, "no SST");
  Require(labelSsts == strings->TotalCount, "SST total count other than the LABELSST cells");
  Require(maxIndex <= strings->UniqueCount, "LABELSST index past the shared strings");
}

// The compound document: its signature, whole 512-byte sectors, and the one
// stream behind the root entry under the format's name and of the record
// stream's size.
inline void CheckDocument(const std::vector<uint8_t>& document, const TFormatRules& rules,
                          size_t streamSize) {
  static const uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  Require(document.size() >= 512 && document.size() % 512 == 0, "not whole sectors");
  for (int i = 0; i < 8; ++i) Require(document[i] == kSignature[i], "no compound signature");
  const size_t directory = (size_t{XLSGetLE<uint32_t>(&document[0x30])} + 1) * 512;
  const size_t entry = directory + 128;  // the root entry comes first
  Require(entry + 128 <= document.size(), "directory outside the document");
  const std::string_view name(rules.StreamName);
  Require(Word(document, entry + 0x40) == 2 * (name.size() + 1), "stream name of another length");
  for (size_t i = 0; i < name.size(); ++i)
    Require(Word(document, entry + 2 * i) == static_cast<uint8_t>(name[i]),
            "stream of another name");
  Require(document[entry + 0x42] == 2, "directory entry not a stream");
  Require(XLSGetLE<uint32_t>(&document[entry + 0x78]) == streamSize,
          "stream size other than the record stream's");
}

// The texts of a BIFF5 record stream that readers decode in the workbook's code
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
// checks both against the rules of its file format.
inline void CheckSaved(TXLSWorkbook& book) {
  const TFormatRules rules = RulesOf(book.GetFileFormat());
  TXLSMemoryStream stream;
  Require(book.WriteBookStream(stream) == 1, "the record stream was refused");
  CheckRecordStream(stream.Bytes(), rules);
  TXLSMemoryStream document;
  Require(book.WriteDocument(document) == 1, "the document was refused");
  CheckDocument(document.Bytes(), rules, stream.Bytes().size());
}

}  // namespace fuzz
}  // namespace tabulon
