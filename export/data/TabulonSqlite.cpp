#include "TabulonSqlite.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

#include "XLSCivilDate.h"
#include "XLSCsvReader.h"

namespace tabulon {
namespace {

// Julian day of 1899-12-30, day serial 0.
constexpr double kJulianDayOfSerialZero = 2415018.5;
constexpr int32_t kMaxTextWidth = 50;
constexpr int32_t kDefaultTextWidth = 20;

std::string Upper(const char* text) {
  std::string upper = text ? text : "";
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

bool Has(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

// The field type of a declared column type, by the words SQLite's own type
// affinity rules look for; ftUnknown when nothing is declared.
TFieldType DeclaredType(const std::string& declared) {
  if (declared.empty()) return ftUnknown;
  if (Has(declared, "DATETIME") || Has(declared, "TIMESTAMP")) return ftDateTime;
  if (Has(declared, "DATE")) return ftDate;
  if (Has(declared, "TIME")) return ftTime;
  if (Has(declared, "CURRENCY") || Has(declared, "MONEY") || Has(declared, "DECIMAL"))
    return ftCurrency;
  if (Has(declared, "BOOL")) return ftBoolean;
  if (Has(declared, "INT")) return ftInteger;
  if (Has(declared, "CHAR") || Has(declared, "CLOB") || Has(declared, "TEXT")) return ftString;
  if (Has(declared, "BLOB")) return ftBlob;
  if (Has(declared, "REAL") || Has(declared, "FLOA") || Has(declared, "DOUB") ||
      Has(declared, "NUMERIC"))
    return ftFloat;
  return ftString;
}

// The field type of a value's storage class, for undeclared columns.
TFieldType StorageType(int storage) {
  switch (storage) {
    case SQLITE_INTEGER:
      return ftInteger;
    case SQLITE_FLOAT:
      return ftFloat;
    case SQLITE_BLOB:
      return ftBlob;
    default:
      return ftString;
  }
}

// "VARCHAR(40)" -> 40 (at most kMaxTextWidth); else the default width.
int32_t DeclaredTextWidth(const std::string& declared) {
  const size_t open = declared.find('(');
  if (open == std::string::npos) return kDefaultTextWidth;
  const int32_t width = std::atoi(declared.c_str() + open + 1);
  return width > 0 ? std::min(width, kMaxTextWidth) : kDefaultTextWidth;
}

int32_t DisplayWidth(TFieldType type, const std::string& declared) {
  switch (type) {
    case ftDate:
      return 10;
    case ftTime:
      return 8;
    case ftDateTime:
      return 19;
    case ftBoolean:
      return 5;
    case ftInteger:
      return 10;
    case ftCurrency:
    case ftFloat:
      return 12;
    case ftString:
      return DeclaredTextWidth(declared);
    default:
      return 0;
  }
}

OleVariant IntegerValue(sqlite3_int64 value) {
  if (value >= INT32_MIN && value <= INT32_MAX) return OleVariant(static_cast<int32_t>(value));
  return OleVariant(static_cast<int64_t>(value));
}

}  // namespace

TSqliteDataSet::~TSqliteDataSet() {
  Close();
}

void TSqliteDataSet::Open(const std::string& database, const std::string& sql) {
  Close();
  Reset();
  database_ = database;
  // The connection belongs to this data set, which one thread uses at a
  // time: SQLite need not lock it around every call.
  if (sqlite3_open_v2(database.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK)
    Fail("cannot open the database");
  // Reading the schema tells a database from any other file, whatever the
  // query touches.
  if (sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
      SQLITE_OK)
    Fail("cannot read the database");
  const char* rest = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement_, &rest) !=
      SQLITE_OK)
    Fail("bad query");
  if (!statement_) Fail("the query is empty");
  RequireSingleStatement(rest);
  if (sqlite3_column_count(statement_) == 0) Fail("the statement returns no rows");
  DefineFields();
  First();
}

// Only the first statement of a text is prepared: a second one would be
// dropped without a word, so it is refused instead.
void TSqliteDataSet::RequireSingleStatement(const char* rest) const {
  if (rest == nullptr) return;
  for (; *rest != '\0'; ++rest) {
    if (*rest != ';' && !std::isspace(static_cast<unsigned char>(*rest)))
      Fail("the query holds more than one statement; only one can be exported");
  }
}

void TSqliteDataSet::Close() {
  sqlite3_finalize(statement_);
  statement_ = nullptr;
  sqlite3_close(db_);
  db_ = nullptr;
}

bool TSqliteDataSet::ReadFirst() {
  if (!statement_) return false;
  sqlite3_reset(statement_);
  return Step();
}

bool TSqliteDataSet::ReadNext() {
  return statement_ && Step();
}

// Undeclared columns look at the first row, so the query runs once here.
void TSqliteDataSet::DefineFields() {
  const int rc = sqlite3_step(statement_);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) Fail("the query failed");
  for (int i = 0; i < sqlite3_column_count(statement_); ++i) {
    const std::string declared = Upper(sqlite3_column_decltype(statement_, i));
    TFieldType type = DeclaredType(declared);
    if (type == ftUnknown)
      type = rc == SQLITE_ROW ? StorageType(sqlite3_column_type(statement_, i)) : ftString;
    const char* name = sqlite3_column_name(statement_, i);
    const std::string fieldName = ToCodePage(name ? name : "", "", 0);
    // Wide enough for the field name, so a header is never cut.
    const auto nameWidth = static_cast<int32_t>(std::min<size_t>(fieldName.size(), kMaxTextWidth));
    AddField(fieldName, type, std::max(DisplayWidth(type, declared), nameWidth));
  }
}

bool TSqliteDataSet::Step() {
  const int rc = sqlite3_step(statement_);
  if (rc == SQLITE_DONE) return false;
  if (rc != SQLITE_ROW) Fail("reading row " + std::to_string(GetLoadingRecNo()) + " failed");
  for (int32_t i = 0; i < GetFieldCount(); ++i) {
    TField& field = GetField(i);
    // No cell shows binary data: the export reports what it leaves out.
    if (sqlite3_column_type(statement_, i) == SQLITE_BLOB) {
      field.SetDroppedValue(
          OleVariant::Null(),
          "a BLOB of " + std::to_string(sqlite3_column_bytes(statement_, i)) + " bytes");
    } else {
      field.SetValue(ColumnValue(i, field));
    }
  }
  return true;
}

OleVariant TSqliteDataSet::ColumnValue(int column, const TField& field) {
  const int storage = sqlite3_column_type(statement_, column);
  if (storage == SQLITE_NULL) return OleVariant::Null();
  const auto text = [&] {
    const unsigned char* utf8 = sqlite3_column_text(statement_, column);
    return std::string(reinterpret_cast<const char*>(utf8),
                       static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
  };
  switch (field.GetDataType()) {
    case ftDate:
    case ftTime:
    case ftDateTime: {
      if (storage == SQLITE_INTEGER)
        return OleVariant::Date(static_cast<double>(kXLSSerialOfUnixEpoch) +
                                static_cast<double>(sqlite3_column_int64(statement_, column)) /
                                    86400.0);
      if (storage == SQLITE_FLOAT)
        return OleVariant::Date(sqlite3_column_double(statement_, column) - kJulianDayOfSerialZero);
      double serial = 0;
      TFieldType kind = ftUnknown;
      if (XLSParseIsoDateTime(text(), serial, kind)) return OleVariant::Date(serial);
      break;
    }
    case ftCurrency: {
      double value = 0;
      if (storage != SQLITE_TEXT) value = sqlite3_column_double(statement_, column);
      if (storage != SQLITE_TEXT || XLSParseDecimalNumber(text(), value))
        return CurrencyValue(value, field);
      break;
    }
    case ftBoolean:
      if (storage == SQLITE_INTEGER)
        return OleVariant(sqlite3_column_int64(statement_, column) != 0);
      break;
    case ftInteger:
      if (storage == SQLITE_INTEGER) return IntegerValue(sqlite3_column_int64(statement_, column));
      if (storage == SQLITE_FLOAT) return OleVariant(sqlite3_column_double(statement_, column));
      break;
    case ftFloat:
      if (storage != SQLITE_TEXT) return OleVariant(sqlite3_column_double(statement_, column));
      break;
    default:
      break;
  }
  // Text, and values that do not have the form their column declares.
  return OleVariant(ToCodePage(text(), field.GetFieldName(), GetLoadingRecNo(), FirstReading()));
}

// A value beyond the currency range stops the export with its place named.
OleVariant TSqliteDataSet::CurrencyValue(double value, const TField& field) const {
  try {
    return OleVariant::Currency(value);
  } catch (const EVariantError& error) {
    throw EDatabaseError(database_ + ": record " + std::to_string(GetLoadingRecNo()) + ", field '" +
                         field.GetFieldName() + "': " + std::to_string(value) +
                         " is beyond the currency range (" + error.what() + ")");
  }
}

void TSqliteDataSet::Fail(const std::string& what) const {
  std::string message = database_ + ": " + what;
  if (db_ && sqlite3_errcode(db_) != SQLITE_OK) message += ": " + std::string(sqlite3_errmsg(db_));
  throw EDatabaseError(message);
}

}  // namespace tabulon
