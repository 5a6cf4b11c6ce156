// A data set over the rows of one SQLite query. Rows are read one at a time
// as the cursor moves, so a large result is never held in memory; First runs
// the query again, and GotoBookmark walks from the first row.
//
// Field types come from the declared column types (DATE, TIME, DATETIME or
// TIMESTAMP, CURRENCY, MONEY or DECIMAL, INT..., REAL, FLOAT or DOUBLE,
// BOOL..., TEXT, CHAR or CLOB, BLOB); a column without a declared type (an
// expression) takes the type of its value in the first row. Date and time
// columns turn ISO 8601 texts, Julian day numbers (REAL) and Unix times
// (INTEGER) into day serials; NULL stays Null; UTF-8 texts are converted to
// the workbook's code page (OnTextLoss reports what it cannot hold); a BLOB
// value is loaded as Null, its field's GetDropped saying so. Display
// widths follow the type (VARCHAR(n): n characters, at most 50), never
// narrower than the column's name.
#pragma once

#include <string>

#include "XLSDataSet.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tabulon {

/// The rows of one SQLite query (in the library tabulon7-sqlite or
/// tabulon4-sqlite; see the top of this header for the field types).
class TSqliteDataSet : public TDataSet {
 public:
  /// @param owner The owning component, or null.
  explicit TSqliteDataSet(TComponent* owner) : TDataSet(owner) {}
  ~TSqliteDataSet() override;

  /// Opens the database file read-only, prepares the query and moves to its
  /// first row. Throws EDatabaseError, naming the file or quoting SQLite's
  /// reason, for a missing or damaged database, bad SQL or a statement that
  /// returns no columns.
  void Open(const std::string& database, const std::string& sql);
  /// Closes the query and the database; the data set has no fields afterwards.
  void Close();
  /// @return Whether a query is open.
  bool GetActive() const { return statement_ != nullptr; }

 protected:
  bool ReadFirst() override;
  bool ReadNext() override;

 private:
  void DefineFields();
  /// Steps the statement and loads the row; false after the last row.
  bool Step();
  OleVariant ColumnValue(int column, const TField& field);
  [[noreturn]] void Fail(const std::string& what) const;
  // value as a currency; throws EDatabaseError naming the record and field
  // when it is beyond the currency range.
  OleVariant CurrencyValue(double value, const TField& field) const;
  // Fails unless rest (what follows the prepared statement) is blank.
  void RequireSingleStatement(const char* rest) const;

  sqlite3* db_ = nullptr;
  sqlite3_stmt* statement_ = nullptr;
  std::string database_;
};

}  // namespace tabulon
