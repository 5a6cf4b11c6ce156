// The formatted export workload written with libxlsxwriter, as a C program
// would write it: every record of the bench table (bench/export_bench.sql)
// from the same SQLite query, a bold white-on-navy header with thin borders,
// and one thin-border format on every detail cell (with the date and
// currency number formats on those two columns):
//   bench_xlsxwriter_export DB OUT.xlsx [--constant-memory]
#include <sqlite3.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <cstring>
#include <iostream>

namespace {

constexpr uint32_t kNavy = 0x000080;
constexpr uint32_t kWhite = 0xFFFFFF;

lxw_format* BorderFormat(lxw_workbook* workbook, const char* num_format) {
  lxw_format* format = workbook_add_format(workbook);
  format_set_border(format, LXW_BORDER_THIN);
  if (num_format) format_set_num_format(format, num_format);
  return format;
}

lxw_format* HeaderFormat(lxw_workbook* workbook) {
  lxw_format* format = BorderFormat(workbook, nullptr);
  format_set_bold(format);
  format_set_font_color(format, kWhite);
  format_set_bg_color(format, kNavy);
  return format;
}

// "YYYY-MM-DD" as a date; false for any other text.
bool ParseDate(const unsigned char* text, lxw_datetime& date) {
  int year = 0, month = 0, day = 0;
  if (!text ||
      std::sscanf(reinterpret_cast<const char*>(text), "%4d-%2d-%2d", &year, &month, &day) != 3)
    return false;
  date = {year, month, day, 0, 0, 0};
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: bench_xlsxwriter_export DB OUT.xlsx [--constant-memory]\n";
    return 2;
  }
  sqlite3* db = nullptr;
  sqlite3_stmt* query = nullptr;
  if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(db, "SELECT * FROM bench ORDER BY id", -1, &query, nullptr) != SQLITE_OK) {
    std::cerr << "cannot query " << argv[1] << ": " << sqlite3_errmsg(db) << '\n';
    return 1;
  }
  lxw_workbook_options options = {};
  options.constant_memory = argc > 3 && std::strcmp(argv[3], "--constant-memory") == 0;
  lxw_workbook* workbook = workbook_new_opt(argv[2], &options);
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
  lxw_format* header = HeaderFormat(workbook);
  lxw_format* detail = BorderFormat(workbook, nullptr);
  lxw_format* date = BorderFormat(workbook, "dd.mm.yyyy");
  lxw_format* currency = BorderFormat(workbook, "#,##0.00");

  const int columns = sqlite3_column_count(query);
  for (int col = 0; col < columns; ++col)
    worksheet_write_string(sheet, 0, col, sqlite3_column_name(query, col), header);
  lxw_row_t row = 1;
  for (; sqlite3_step(query) == SQLITE_ROW; ++row) {
    for (int col = 0; col < columns; ++col) {
      lxw_datetime when;
      const char* declared = sqlite3_column_decltype(query, col);
      if (declared && std::strcmp(declared, "DATE") == 0 &&
          ParseDate(sqlite3_column_text(query, col), when)) {
        worksheet_write_datetime(sheet, row, col, &when, date);
      } else if (sqlite3_column_type(query, col) == SQLITE_TEXT) {
        worksheet_write_string(sheet, row, col,
                               reinterpret_cast<const char*>(sqlite3_column_text(query, col)),
                               detail);
      } else {
        const bool money = declared && std::strcmp(declared, "CURRENCY") == 0;
        worksheet_write_number(sheet, row, col, sqlite3_column_double(query, col),
                               money ? currency : detail);
      }
    }
  }
  sqlite3_finalize(query);
  sqlite3_close(db);
  const lxw_error status = workbook_close(workbook);
  if (status != LXW_NO_ERROR) {
    std::cerr << lxw_strerror(status) << '\n';
    return 1;
  }
  return 0;
}
