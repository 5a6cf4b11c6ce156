// The host data layer the export components read: cursors, bookmarks and
// controls of the data sets, the memory, CSV and SQLite data sets, ISO 8601
// dates, the component framework's removal notification and the registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Tabulon.h"
#include "ToolRun.h"
#include "XLSDBGrid.h"

namespace tabulon {
namespace {

std::string Scratch(const std::string& name) {
  return test::ScratchDir() + "/datasets_" + name;
}

// A fresh SQLite database built from the given SQL with the sqlite3 shell.
std::string Database(const std::string& name, const std::string& sql) {
  const std::string path = Scratch(name + ".db");
  const std::string script = Scratch(name + ".sql");
  std::remove(path.c_str());
  test::WriteFile(script, sql);
  test::Run({"sh", "-c", "sqlite3 " + test::ShellQuoted(path) + " < " + test::ShellQuoted(script)});
  return path;
}

double Serial(const std::string& iso) {
  double serial = -1;
  TFieldType kind = ftUnknown;
  EXPECT_TRUE(XLSParseIsoDateTime(iso, serial, kind)) << iso;
  return serial;
}

// --- ISO 8601 -------------------------------------------------------------------------

TEST(IsoDateTime, DatesTimesAndBothBecomeSerials) {
  double serial = 0;
  TFieldType kind = ftUnknown;
  ASSERT_TRUE(XLSParseIsoDateTime("2024-03-01", serial, kind));
  EXPECT_EQ(serial, 45352);
  EXPECT_EQ(kind, ftDate);
  ASSERT_TRUE(XLSParseIsoDateTime("12:00", serial, kind));
  EXPECT_EQ(serial, 0.5);
  EXPECT_EQ(kind, ftTime);
  ASSERT_TRUE(XLSParseIsoDateTime("2024-03-01T18:00:00", serial, kind));
  EXPECT_EQ(serial, 45352.75);
  EXPECT_EQ(kind, ftDateTime);
  EXPECT_DOUBLE_EQ(Serial("1899-12-30 00:00:01.5"), 1.5 / 86400);
  EXPECT_EQ(Serial("1900-03-01"), 61);
}

TEST(IsoDateTime, DaysThatDoNotExistAndOtherTextsAreRefused) {
  double serial = 0;
  TFieldType kind = ftUnknown;
  for (const char* text : {"2023-02-29", "2024-13-01", "2024-1-01", "24:00", "12:60:00",
                           "2024-03-01X10:00", "2024-03-01 ", "", "10:00:00."})
    EXPECT_FALSE(XLSParseIsoDateTime(text, serial, kind)) << text;
  EXPECT_TRUE(XLSParseIsoDateTime("2024-02-29", serial, kind));
}

// --- cursor, bookmarks, controls -------------------------------------------------------

TMemoryDataSet& ThreeRecords(TMemoryDataSet& data) {
  data.AddField("n", ftInteger);
  for (int32_t i = 1; i <= 3; ++i) data.AppendRecord({OleVariant(i)});
  return data;
}

TEST(DataSetCursor, WalksFromFirstToEndAndLoadsEachRecord) {
  TMemoryDataSet data(nullptr);
  ThreeRecords(data);
  EXPECT_EQ(data.GetRecNo(), 3) << "AppendRecord makes the new record current";
  std::vector<int32_t> seen;
  for (data.First(); !data.GetEof(); data.Next())
    seen.push_back(data.GetField(0).GetValue().ToInt());
  EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_TRUE(data.GetField(0).IsNull()) << "no values at the end of data";
  data.Next();
  EXPECT_TRUE(data.GetEof());
}

TEST(DataSetCursor, BookmarkReturnsToItsRecordUntilFreed) {
  TMemoryDataSet data(nullptr);
  ThreeRecords(data);
  data.First();
  data.Next();
  TBookmark mark = data.GetBookmark();
  data.First();
  data.GotoBookmark(mark);
  EXPECT_EQ(data.GetField(0).GetValue().ToInt(), 2);
  data.FreeBookmark(mark);
  data.First();
  data.GotoBookmark(mark);
  EXPECT_EQ(data.GetRecNo(), 1);
}

TEST(DataSetCursor, ControlsStayDisabledUntilEveryDisableIsMatched) {
  TMemoryDataSet data(nullptr);
  data.DisableControls();
  data.DisableControls();
  data.EnableControls();
  EXPECT_TRUE(data.ControlsDisabled());
  data.EnableControls();
  data.EnableControls();
  EXPECT_FALSE(data.ControlsDisabled());
}

TEST(DataSetCursor, FieldsAreFoundWithoutCaseAndRangeChecked) {
  TMemoryDataSet data(nullptr);
  data.AddField("Amount", ftCurrency, 12);
  EXPECT_EQ(data.FindField("AMOUNT"), &data.GetField(0));
  EXPECT_EQ(data.FindField("other"), nullptr);
  EXPECT_THROW(data.GetField(1), std::out_of_range);
  EXPECT_THROW(data.AppendRecord({OleVariant(1), OleVariant(2)}), EDatabaseError);
}

TEST(DataSetCursor, DateTimeOfAFieldIsZeroForNullAndText) {
  TField field("d", ftDateTime, 0);
  field.SetValue(OleVariant::Date(45352.25));
  EXPECT_EQ(field.GetAsDateTime(), 45352.25);
  field.SetValue(OleVariant::Null());
  EXPECT_EQ(field.GetAsDateTime(), 0);
  field.SetValue(OleVariant("2024-03-01"));
  EXPECT_EQ(field.GetAsDateTime(), 0);
}

// --- CSV ----------------------------------------------------------------------------

TEST(CsvDataSet, ColumnsTakeTheNarrowestCommonType) {
  TCsvDataSet csv(nullptr);
  csv.LoadFromText(
      "\xEF\xBB\xBFid,price,day,at,when,name\n"
      "1,2,2024-03-01,10:00:00,2024-03-01,Anna\n"
      "2,2.5,2024-03-02,11:30:00,2024-03-02 12:00:00,\"M\xC3\xBCller, J.\"\n",
      "mem");
  ASSERT_EQ(csv.GetFieldCount(), 6);
  const std::vector<TFieldType> types = {ftInteger, ftFloat, ftDate, ftTime, ftDateTime, ftString};
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(csv.GetField(i).GetDataType(), types[i]) << i;
  EXPECT_EQ(csv.GetField(0).GetFieldName(), "id") << "byte order mark skipped";
  EXPECT_EQ(csv.GetRecNo(), 1);
  EXPECT_EQ(VarType(csv.GetField(1).GetValue()), varDouble);
  EXPECT_EQ(VarType(csv.GetField(2).GetValue()), varDate);
  csv.Next();
  EXPECT_EQ(csv.GetField(5).GetValue().ToString(), "M\xFCller, J.");
  EXPECT_EQ(csv.GetField(4).GetAsDateTime(), 45353.5);
  EXPECT_EQ(csv.GetField(5).GetDisplayWidth(), 10);
}

TEST(CsvDataSet, EmptyValuesAreNullAndMixedColumnsText) {
  TCsvDataSet csv(nullptr);
  csv.LoadFromText("a,b\n1,\n007,x\n", "mem");
  EXPECT_EQ(csv.GetField(0).GetDataType(), ftString) << "007 is not a number";
  EXPECT_EQ(csv.GetField(1).GetDataType(), ftString);
  EXPECT_TRUE(csv.GetField(1).IsNull());
  EXPECT_EQ(csv.GetField(0).GetValue().ToString(), "1");
}

TEST(CsvDataSet, MalformedOrUnreadableInputRaisesWithItsPlace) {
  TCsvDataSet csv(nullptr);
  try {
    csv.LoadFromText("a\n\"open\n", "bad.csv");
    FAIL() << "no error";
  } catch (const EDatabaseError& error) {
    EXPECT_TRUE(test::Contains(error.what(),
                               "bad.csv: line 3, column 1: the quoted field opened on line 2"))
        << error.what();
  }
  EXPECT_THROW(csv.LoadFromText("a\n1,2\n", "wide.csv"), EDatabaseError);
  EXPECT_THROW(csv.LoadFromText("", "empty.csv"), EDatabaseError);
  EXPECT_THROW(csv.LoadFromFile(Scratch("missing.csv")), EDatabaseError);
}

TEST(CsvDataSet, CharactersOutsideTheCodePageAreReportedWithRecordAndField) {
  TCsvDataSet csv(nullptr);
  std::vector<TTextLoss> losses;
  csv.OnTextLoss = [&](const TTextLoss& loss) { losses.push_back(loss); };
  csv.LoadFromText("name\nok\n\xE4\xB8\xAD\n", "mem");
  ASSERT_EQ(losses.size(), 1u);
  EXPECT_EQ(losses[0].RecNo, 2);
  EXPECT_EQ(losses[0].FieldName, "name");
  EXPECT_EQ(losses[0].CodePoint, 0x4E2Du);
  csv.Next();
  EXPECT_EQ(csv.GetField(0).GetValue().ToString(), "?");
}

// --- SQLite --------------------------------------------------------------------------

const char kTypesSql[] =
    "CREATE TABLE t (d DATE, tm TIME, dt DATETIME, ts TIMESTAMP, c CURRENCY, m MONEY,"
    " dec DECIMAL(10,2), i INTEGER, r REAL, s TEXT, b BOOLEAN, v VARCHAR(12));\n"
    "INSERT INTO t VALUES ('2024-03-01', '12:00:00', '2024-03-01 18:00:00',"
    " '2024-03-01T00:00:01', 12.5, '7.25', 3, 5000000000, 1.5, 'Gr\xC3\xBC\xC3\x9F"
    "e', 1, 'x');\n"
    "INSERT INTO t VALUES (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,"
    " NULL);\n";

TEST(SqliteDataSet, DeclaredTypesBecomeFieldTypes) {
  TSqliteDataSet data(nullptr);
  data.Open(Database("types", kTypesSql), "SELECT * FROM t");
  const std::vector<TFieldType> types = {ftDate,     ftTime,     ftDateTime, ftDateTime,
                                         ftCurrency, ftCurrency, ftCurrency, ftInteger,
                                         ftFloat,    ftString,   ftBoolean,  ftString};
  ASSERT_EQ(data.GetFieldCount(), static_cast<int32_t>(types.size()));
  for (size_t i = 0; i < types.size(); ++i)
    EXPECT_EQ(data.GetField(static_cast<int32_t>(i)).GetDataType(), types[i]) << i;
  EXPECT_EQ(data.GetField(11).GetDisplayWidth(), 12) << "VARCHAR(12)";
}

TEST(SqliteDataSet, ValuesKeepTheirKindAndNullStaysNull) {
  TSqliteDataSet data(nullptr);
  data.Open(Database("values", kTypesSql), "SELECT * FROM t");
  EXPECT_EQ(VarType(data.GetField(0).GetValue()), varDate);
  EXPECT_EQ(data.GetField(0).GetAsDateTime(), 45352);
  EXPECT_EQ(data.GetField(1).GetAsDateTime(), 0.5);
  EXPECT_EQ(data.GetField(2).GetAsDateTime(), 45352.75);
  EXPECT_DOUBLE_EQ(data.GetField(3).GetAsDateTime(), 45352 + 1.0 / 86400);
  EXPECT_EQ(VarType(data.GetField(4).GetValue()), varCurrency);
  EXPECT_EQ(data.GetField(5).GetValue().ToDouble(), 7.25) << "currency stored as text";
  EXPECT_EQ(VarType(data.GetField(7).GetValue()), varInt64);
  EXPECT_EQ(data.GetField(9).GetValue().ToString(),
            "Gr\xFC\xDF"
            "e")
      << "UTF-8 to code page 1252";
  EXPECT_EQ(VarType(data.GetField(10).GetValue()), varBoolean);
  data.Next();
  for (int32_t i = 0; i < data.GetFieldCount(); ++i)
    EXPECT_TRUE(VarIsNull(data.GetField(i).GetValue())) << i;
  data.Next();
  EXPECT_TRUE(data.GetEof());
}

TEST(SqliteDataSet, UnixTimesAndJulianDaysInDateColumns) {
  TSqliteDataSet data(nullptr);
  data.Open(Database("numeric_dates",
                     "CREATE TABLE t (a DATETIME, b DATE);"
                     "INSERT INTO t VALUES (86400, julianday('2024-03-01'));"),
            "SELECT a, b FROM t");
  EXPECT_EQ(data.GetField(0).GetAsDateTime(), 25570);
  EXPECT_NEAR(data.GetField(1).GetAsDateTime(), 45352, 1e-6);
}

TEST(SqliteDataSet, ExpressionsTakeTheTypeOfTheirFirstValue) {
  TSqliteDataSet data(nullptr);
  data.Open(Database("expr", "CREATE TABLE t (x INTEGER); INSERT INTO t VALUES (2);"),
            "SELECT x * 2 AS twice, x / 4.0 AS quarter, 'n' || x AS label FROM t");
  EXPECT_EQ(data.GetField(0).GetDataType(), ftInteger);
  EXPECT_EQ(data.GetField(1).GetDataType(), ftFloat);
  EXPECT_EQ(data.GetField(2).GetDataType(), ftString);
  EXPECT_EQ(data.GetField(2).GetFieldName(), "label");
}

TEST(SqliteDataSet, FirstRunsTheQueryAgainAndLossesAreReportedOnce) {
  TSqliteDataSet data(nullptr);
  int32_t losses = 0;
  data.OnTextLoss = [&](const TTextLoss& loss) {
    ++losses;
    EXPECT_EQ(loss.RecNo, 2);
  };
  data.Open(
      Database("again",
               "CREATE TABLE t (s TEXT); INSERT INTO t VALUES ('a'), ('\xE4\xB8\xAD'), ('c');"),
      "SELECT s FROM t");
  for (int pass = 0; pass < 2; ++pass) {
    int32_t count = 0;
    for (data.First(); !data.GetEof(); data.Next()) ++count;
    EXPECT_EQ(count, 3);
  }
  data.First();
  data.GotoBookmark({2, true});
  EXPECT_EQ(data.GetField(0).GetValue().ToString(), "c");
  EXPECT_EQ(losses, 1);
}

TEST(SqliteDataSet, BadDatabaseOrQueryRaisesAClearError) {
  TSqliteDataSet data(nullptr);
  const auto message = [&](const std::string& db, const std::string& sql) {
    try {
      data.Open(db, sql);
    } catch (const EDatabaseError& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_TRUE(test::Contains(message(Scratch("none.db"), "SELECT 1"), "cannot open the database"));
  const std::string notDb = Scratch("text.db");
  test::WriteFile(notDb, std::string(4096, 'x'));
  EXPECT_TRUE(test::Contains(message(notDb, "SELECT 1"), "file is not a database"));
  const std::string db = Database("bad", "CREATE TABLE t (x);");
  EXPECT_TRUE(test::Contains(message(db, "SELEC x FROM t"), "bad query: near \"SELEC\""));
  EXPECT_TRUE(test::Contains(message(db, "SELECT y FROM t"), "no such column: y"));
  EXPECT_TRUE(test::Contains(message(db, "  "), "the query is empty"));
  EXPECT_TRUE(test::Contains(message(db, "DELETE FROM t"), "returns no rows"));
  EXPECT_EQ(data.GetFieldCount(), 0);
}

// --- components -----------------------------------------------------------------------

TEST(Components, OwnerDestroysWhatItOwnsAndLinksAreForgotten) {
  auto* form = new TComponent(nullptr);
  auto* data = new TMemoryDataSet(form);
  auto* source = new TDataSource(form);
  TDataSource standalone(nullptr);
  source->SetDataSet(data);
  standalone.SetDataSet(data);
  EXPECT_EQ(form->GetComponentCount(), 2);
  delete data;
  EXPECT_EQ(source->GetDataSet(), nullptr);
  EXPECT_EQ(standalone.GetDataSet(), nullptr);
  EXPECT_EQ(form->GetComponentCount(), 1);
  delete form;  // frees source; ASan reports a leak or a double free
}

TEST(Components, ExportersForgetAGridOrDataSetBeingRemoved) {
  TDataset2Excel exporter(nullptr);
  TDBGrid2Excel gridExporter(nullptr);
  {
    TMemoryDataSet data(nullptr);
    TDBGrid grid(nullptr);
    exporter.SetDataset(&data);
    gridExporter.SetDBGrid(&grid);
    EXPECT_EQ(exporter.GetDataset(), &data);
  }
  EXPECT_EQ(exporter.GetDataset(), nullptr);
  EXPECT_EQ(gridExporter.GetDBGrid(), nullptr);
  exporter.ExportDataset();
  EXPECT_EQ(exporter.GetWorkbook(), nullptr) << "no data set, nothing done";
}

TEST(Components, RegisterPutsBothExportersOnTheTabulonPage) {
  Register();
  Register();
  TComponentRegistry& registry = TComponentRegistry::Get();
  EXPECT_EQ(registry.GetPageClasses("Tabulon"),
            (std::vector<std::string>{"TDataset2Excel", "TDBGrid2Excel"}));
  TComponent owner(nullptr);
  TComponent* made = registry.CreateComponent("TDBGrid2Excel", &owner);
  EXPECT_NE(dynamic_cast<TDBGrid2Excel*>(made), nullptr);
  EXPECT_EQ(owner.GetComponentCount(), 1);
  EXPECT_EQ(registry.CreateComponent("TUnknown", &owner), nullptr);
}

TEST(Colors, SystemColorsResolveAndPlainColorsPass) {
  EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
  EXPECT_EQ(ColorToRGB(clWindowText), 0u);
  EXPECT_EQ(ColorToRGB(clBtnFace), 0xF0F0F0u);
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
  EXPECT_EQ(ColorToRGB(XLSSystemColorFlag | 200), 0u);
}

}  // namespace
}  // namespace tabulon
