// Data sets whose records are held in memory: TMemoryDataSet is filled by the
// caller, TCsvDataSet from a CSV file with a header row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "XLSDataSet.h"

namespace tabulon {

/// Records held in memory: define the fields, then append records.
class TMemoryDataSet : public TDataSet {
 public:
  /// @param owner The owning component, or null.
  explicit TMemoryDataSet(TComponent* owner) : TDataSet(owner) {}

  /// Fields are defined before the first record is appended.
  TField& AddField(const std::string& name, TFieldType type, int32_t display_width = 0) {
    return TDataSet::AddField(name, type, display_width);
  }
  /// Appends a record (missing trailing values are Null) and makes it the
  /// current one. Throws EDatabaseError when it holds more values than fields.
  void AppendRecord(std::vector<OleVariant> values);
  /// @return The number of records.
  int64_t GetRecordCount() const { return static_cast<int64_t>(records_.size()); }

 protected:
  bool ReadFirst() override { return ReadRecord(0); }
  bool ReadNext() override { return ReadRecord(current_ + 1); }
  bool ReadRecord(int64_t record) override;

  /// The records, one value per field each.
  std::vector<std::vector<OleVariant>> records_;

 private:
  int64_t current_ = 0;
};

/// The records of a CSV file (RFC 4180, UTF-8, first record = field names).
/// Each column gets the narrowest type all its non-empty values share:
/// ftInteger, ftFloat, ftDate, ftTime, ftDateTime (ISO 8601 texts, stored as
/// day serials), else ftString. A column at least half of whose non-empty
/// values are ISO 8601 dates or times stays a date or time column; its other
/// values (03/05/2024, 2024-02-30) are held as texts, which the export
/// components report. Empty values are Null. A field's display
/// width is its longest value or name, at most kMaxDisplayWidth characters.
class TCsvDataSet : public TMemoryDataSet {
 public:
  /// Widest display width a CSV field gets, in characters.
  static constexpr int32_t kMaxDisplayWidth = 50;

  /// @param owner The owning component, or null.
  explicit TCsvDataSet(TComponent* owner) : TMemoryDataSet(owner) {}

  /// Reads the file and moves to its first record. Throws EDatabaseError, with
  /// the file name and the reason, when it cannot be read or is malformed.
  void LoadFromFile(const std::string& path);
  /// The same from CSV text already in memory; name is used in messages.
  void LoadFromText(const std::string& utf8, const std::string& name);

  /// Sets the field delimiter of the files read next.
  /// @param delimiter ',' (the default), ';', a tab or '|'
  void SetDelimiter(char delimiter) { delimiter_ = delimiter; }
  /// @return The field delimiter the files are read with.
  char GetDelimiter() const { return delimiter_; }
  /// Sets whether the files read next write numbers with a decimal comma.
  /// @param decimal_comma true reads "12,5" as the number 12.5 (and "12.5"
  /// as text); false (the default) reads "12,5" as text.
  void SetDecimalComma(bool decimal_comma) { decimalComma_ = decimal_comma; }
  /// @return How many values of the last file read were read as texts that
  /// are numbers with a decimal comma ("12,5"): what SetDecimalComma(true)
  /// reads as numbers. 0 when it was set.
  int64_t GetDecimalCommaTextCount() const { return decimalCommaTexts_; }

 private:
  char delimiter_ = ',';
  bool decimalComma_ = false;
  int64_t decimalCommaTexts_ = 0;
};

}  // namespace tabulon
