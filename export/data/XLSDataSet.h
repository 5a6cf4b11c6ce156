// The host's data-access layer as the export components read it: a data set
// is a cursor over records with a fixed list of fields; moving the cursor
// loads the current record's values into the fields. TDataSet holds the
// cursor, the fields, bookmarks and the disable count of attached controls;
// a concrete data set only reads records (TMemoryDataSet, TCsvDataSet,
// TSqliteDataSet).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "OleVariant.h"
#include "XLSComponent.h"

namespace tabulon {

class TXLSCodePageConverter;

/// Field types in the host's numbering; the export components give currency,
/// date, time and date-and-time their number formats.
enum TFieldType : int32_t {
  ftUnknown = 0,
  ftString = 1,
  ftSmallint = 2,
  ftInteger = 3,
  ftWord = 4,
  ftBoolean = 5,
  ftFloat = 6,
  ftCurrency = 7,
  ftBCD = 8,
  ftDate = 9,
  ftTime = 10,
  ftDateTime = 11,
  ftBlob = 15,
  ftMemo = 16,
  ftLargeint = 25,
};

/// @return Whether fields of the type hold numbers (integers, floating
/// point, currency, BCD), the types a totals row sums.
/// @param type A field type.
bool IsNumericFieldType(TFieldType type);

/// Raised by a data set that cannot open, read or move.
class EDatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// One column of a data set, holding the current record's value.
class TField {
 public:
  /// Made by the data set (AddField).
  /// @param name Field name.
  /// @param type Field type.
  /// @param display_width Width in characters a view gives it; 0 for no preference.
  TField(std::string name, TFieldType type, int32_t display_width)
      : name_(std::move(name)), type_(type), displayWidth_(display_width) {}

  /// @return The field name.
  const std::string& GetFieldName() const { return name_; }
  /// @return The field type, which picks the number format of its cells.
  TFieldType GetDataType() const { return type_; }
  /// Width in characters that a view gives the field; 0 for no preference.
  int32_t GetDisplayWidth() const { return displayWidth_; }
  /// @param width Width in characters; 0 for no preference.
  void SetDisplayWidth(int32_t width) { displayWidth_ = width; }
  /// @return The number format text the export components give the field's
  /// cells ("0.000", "yyyy-mm-dd", "@"); empty for the format of its type.
  const std::string& GetDisplayFormat() const { return displayFormat_; }
  /// @param format A number format text, as IXLSRange::SetNumFormat takes
  /// it; empty for the format of the field's type.
  void SetDisplayFormat(std::string format) { displayFormat_ = std::move(format); }
  /// @return The horizontal alignment of the field's cells (xlHAlignLeft,
  /// xlHAlignCenter, xlHAlignRight, ...); 0 for the alignment of its type.
  int32_t GetAlignment() const { return alignment_; }
  /// @param alignment An xlHAlign constant, or 0 for the alignment of the
  /// field's type.
  void SetAlignment(int32_t alignment) { alignment_ = alignment; }

  /// The current record's value: Null for a missing value.
  const OleVariant& GetValue() const { return value_; }
  /// @param value The current record's value (Null for a missing one).
  void SetValue(OleVariant value) {
    value_ = std::move(value);
    dropped_.clear();
  }
  /// Loads a value in place of one the source holds but a field cannot (a
  /// BLOB), saying what was left out; the export components report it.
  /// @param value The value loaded instead (usually Null).
  /// @param dropped What was left out, in words ("a BLOB of 12 bytes").
  void SetDroppedValue(OleVariant value, std::string dropped) {
    value_ = std::move(value);
    dropped_ = std::move(dropped);
  }
  /// @return What the data set left out of the current value (see
  /// SetDroppedValue); empty when the value is the source's own.
  const std::string& GetDropped() const { return dropped_; }
  /// @return Whether the current value is Null or Empty.
  bool IsNull() const { return VarIsNull(value_) || VarIsEmpty(value_); }
  /// The value as a day serial with the time as fraction; 0 for Null and for
  /// values that are not numbers or dates.
  double GetAsDateTime() const;

 private:
  std::string name_;
  TFieldType type_;
  int32_t displayWidth_;
  std::string displayFormat_;
  int32_t alignment_ = 0;
  OleVariant value_;
  std::string dropped_;
};

/// A remembered cursor position; Valid is false once freed.
struct TBookmark {
  /// The record, from 0.
  int64_t Record = 0;
  /// false once freed.
  bool Valid = false;
};

/// A character of a text that the workbook's code page cannot hold, or a
/// malformed UTF-8 sequence (CodePoint 0xFFFD); the text keeps '?' instead.
/// RecNo 0 and an empty FieldName stand for the field names themselves.
struct TTextLoss {
  /// Record of the text, from 1; 0 for the field names.
  int64_t RecNo = 0;
  /// Field of the text (in the workbook's code page); empty for the field names.
  std::string FieldName;
  /// The character lost (0xFFFD for malformed UTF-8).
  uint32_t CodePoint = 0;
  /// true when the text was not valid UTF-8 from this point on.
  bool InvalidUtf8 = false;
};

/// A cursor over records with named, typed fields: what the export
/// components read. Subclasses: TMemoryDataSet, TCsvDataSet, TSqliteDataSet.
class TDataSet : public TComponent {
 public:
  /// @param owner The owning component, or null.
  explicit TDataSet(TComponent* owner) : TComponent(owner) {}

  /// @return The number of fields.
  int32_t GetFieldCount() const { return static_cast<int32_t>(fields_.size()); }
  /// Throws std::out_of_range for an index outside 0 .. count - 1.
  TField& GetField(int32_t index) const { return *fields_.at(static_cast<size_t>(index)); }
  /// The field with that name (compared without case), or null.
  TField* FindField(const std::string& name) const;

  /// Moves to the first record; at the end of data when there is none.
  void First();
  /// Moves to the next record, or to the end of data after the last one.
  void Next();
  /// @return Whether the cursor is past the last record.
  bool GetEof() const { return eof_; }
  /// 1-based number of the current record; at the end of data, one more than
  /// the number of records read.
  int64_t GetRecNo() const { return record_ + 1; }

  /// Attached controls stop following the cursor until every DisableControls
  /// is matched by EnableControls.
  void DisableControls() { ++disableCount_; }
  /// Matches one DisableControls.
  void EnableControls();
  /// @return Whether controls are disabled now.
  bool ControlsDisabled() const { return disableCount_ > 0; }

  /// @return The current position, to return to with GotoBookmark.
  TBookmark GetBookmark() const { return {record_, true}; }
  /// Returns to the bookmarked record; a freed bookmark changes nothing.
  void GotoBookmark(const TBookmark& bookmark);
  /// @param bookmark Marked invalid; GotoBookmark then ignores it.
  void FreeBookmark(TBookmark& bookmark) { bookmark.Valid = false; }

  /// Told about every text character that was replaced while reading.
  std::function<void(const TTextLoss&)> OnTextLoss;

  /// The code page texts are read into unless SetCodePage says otherwise.
  static constexpr uint16_t kDefaultCodePage = 1252;
  /// Sets the Windows code page that the UTF-8 texts of the source are
  /// converted to while they are read (874, 932, 936, 949, 950, 1250-1258);
  /// set it before the data set is opened or loaded. The export components
  /// make their workbook declare it.
  /// @param code_page Windows code page number.
  /// @return false, changing nothing, for a code page a workbook cannot
  /// declare.
  bool SetCodePage(uint16_t code_page);
  /// @return The code page of the texts the data set hands out (default 1252).
  uint16_t GetCodePage() const { return codePage_; }
  /// Hands the source's UTF-8 texts out as they are instead of converting
  /// them to the code page, so that no character is lost: for an export in
  /// the BIFF8 file format, which stores every text in Unicode. Malformed
  /// UTF-8 is still reported (OnTextLoss) and its rest replaced by '?'. Set it
  /// before the data set is opened or loaded. Off by default.
  /// @param on true: UTF-8 texts; false: texts in the code page.
  void SetUtf8Texts(bool on) { utf8Texts_ = on; }
  /// @return Whether the data set hands out UTF-8 texts (SetUtf8Texts).
  bool GetUtf8Texts() const { return utf8Texts_; }

 protected:
  /// Defines a field after the existing ones.
  /// @param name Field name.
  /// @param type Field type.
  /// @param display_width Width in characters; 0 for no preference.
  /// @return The new field.
  TField& AddField(const std::string& name, TFieldType type, int32_t display_width);
  /// Loads the first record into the fields; false when there is none.
  virtual bool ReadFirst() = 0;
  /// Loads the record after the current one; false after the last.
  virtual bool ReadNext() = 0;
  /// Loads the zero-based record; false when there is no such record. The
  /// default walks from the first record.
  virtual bool ReadRecord(int64_t record);
  /// Sets every field to Null.
  void ClearValues();
  /// UTF-8 text in the data set's code page (unchanged when GetUtf8Texts,
  /// unless malformed). With report set, each
  /// replaced character goes to OnTextLoss as one of record rec_no (0 for
  /// the field names).
  std::string ToCodePage(const std::string& utf8, const std::string& field_name, int64_t rec_no,
                         bool report = true) const;
  /// The record being read, and whether it is read for the first time (its
  /// losses were not reported yet).
  int64_t GetLoadingRecNo() const { return loading_ + 1; }
  /// @return Whether the record being read is read for the first time.
  bool FirstReading() const { return loading_ > reportedThrough_; }
  /// Drops the fields and starts over at the end of data, before a data set
  /// is filled or opened again.
  void Reset();

 private:
  /// Makes record the current one, or the end of data when it was not found.
  void Arrive(int64_t record, bool found);

  std::vector<std::unique_ptr<TField>> fields_;
  int64_t record_ = 0;
  int64_t loading_ = 0;           ///< the record being read
  int64_t reportedThrough_ = -1;  ///< highest record whose losses were reported
  bool eof_ = true;
  int32_t disableCount_ = 0;
  uint16_t codePage_ = kDefaultCodePage;
  bool utf8Texts_ = false;
  std::shared_ptr<TXLSCodePageConverter> converter_;  // for code pages other than 1252
};

/// The day number that a date cell holds (0 = 1899-12-30) for a calendar date
/// of the years 1 to 9999:
/// @code
/// double serial = 0;
/// if (XLSEncodeDate(2024, 3, 15, serial)) {  // serial is 45366
///   TXLSWorkbook book;
///   XLSPtr<IXLSRange> cell = book.GetWorksheets()->Add()->FGetRange("A1", "A1");
///   cell->SetValue(OleVariant::Date(serial));
///   cell->SetNumFormat("yyyy-mm-dd");  // else readers show 45366
/// }
/// @endcode
/// @param year 1 to 9999.
/// @param month 1 to 12.
/// @param day 1 to the length of the month (29 February in leap years only).
/// @param serial Receives the day number; left as it is for a day that does not exist.
/// @return false for a day that does not exist.
bool XLSEncodeDate(int32_t year, int32_t month, int32_t day, double& serial);

/// Parses ISO 8601 text: "YYYY-MM-DD", "HH:MM[:SS[.fff]]", or a date and time
/// separated by 'T' or a blank; stores the serial and the kind of value
/// (ftDate, ftTime or ftDateTime). False for anything else.
bool XLSParseIsoDateTime(const std::string& text, double& serial, TFieldType& kind);

}  // namespace tabulon
