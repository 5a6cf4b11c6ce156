// The extension module tabulon._tabulon: the workbook, its sheets, ranges,
// fonts, fills, borders and page setups as Python classes, and the column
// writers the frame writer and the pandas engine use. The Python package
// wraps the workbook; everything else is handed out as defined here.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <map>
#include <memory>
#include <string>

#include "PyCells.h"
#include "PyColumns.h"
#include "XLSCellRef.h"
#include "XLSConstants.h"
#include "XLSRecordEncoder.h"
#include "XLSStream.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon::python {
namespace {

using TNumbers = py::array_t<double, py::array::c_style | py::array::forcecast>;
using TFlags = py::array_t<uint8_t, py::array::c_style | py::array::forcecast>;

// Names of the constants a caller gives as text, and the constants.
const std::map<std::string, int32_t> kLineWeights = {
    {"hair", xlHairline}, {"thin", xlThin}, {"medium", xlMedium}, {"thick", xlThick}};
const std::map<std::string, int32_t> kLineStyles = {{"none", xlLineStyleNone},
                                                    {"continuous", xlContinuous},
                                                    {"dash", xlDash},
                                                    {"dot", xlDot},
                                                    {"double", xlDouble}};
const std::map<std::string, int32_t> kEdges = {{"left", xlEdgeLeft},
                                               {"top", xlEdgeTop},
                                               {"bottom", xlEdgeBottom},
                                               {"right", xlEdgeRight},
                                               {"inside_vertical", xlInsideVertical},
                                               {"inside_horizontal", xlInsideHorizontal}};
const std::map<std::string, int32_t> kHAligns = {
    {"general", xlHAlignGeneral},
    {"left", xlHAlignLeft},
    {"center", xlHAlignCenter},
    {"right", xlHAlignRight},
    {"fill", xlHAlignFill},
    {"justify", xlHAlignJustify},
    {"center_across_selection", xlHAlignCenterAcrossSelection}};
const std::map<std::string, int32_t> kVAligns = {{"top", xlVAlignTop},
                                                 {"center", xlVAlignCenter},
                                                 {"bottom", xlVAlignBottom},
                                                 {"justify", xlVAlignJustify}};
const std::map<std::string, int32_t> kOrientations = {{"portrait", xlPortrait},
                                                      {"landscape", xlLandscape}};

int32_t Named(const std::map<std::string, int32_t>& names, const std::string& name,
              const char* what) {
  const auto found = names.find(name);
  if (found != names.end()) return found->second;
  std::string known;
  for (const auto& entry : names) known += (known.empty() ? "" : ", ") + entry.first;
  ThrowValueError("'" + name + "' is not a " + what + " (" + known + ")");
}

std::string NameOf(const std::map<std::string, int32_t>& names, int32_t constant) {
  for (const auto& entry : names)
    if (entry.second == constant) return entry.first;
  return std::to_string(constant);
}

TXLSRunDirection Direction(bool down) {
  return down ? xlRunDown : xlRunRight;
}

uint16_t CheckedRow(int64_t row) {
  if (row < 0 || row > XLSMaxRow)
    ThrowValueError("row " + std::to_string(row) + " lies outside rows 0 to 65535");
  return static_cast<uint16_t>(row);
}

uint16_t CheckedCol(int64_t col) {
  if (col < 0 || col > XLSMaxCol)
    ThrowValueError("column " + std::to_string(col) + " lies outside columns 0 to 255");
  return static_cast<uint16_t>(col);
}

// The workbook, owned by its Python object; sheets and ranges keep it alive.
struct TPyBook {
  std::unique_ptr<TXLSWorkbook> Book = std::make_unique<TXLSWorkbook>();
};

struct TPySheet {
  XLSPtr<IXLSWorkSheet> Sheet;
};

struct TPyRange {
  XLSPtr<IXLSRange> Range;
  XLSPtr<IXLSWorkSheet> Sheet;
};

// The font, fill and borders of a range, or one of its borders.
template <class I>
struct TFacet {
  XLSPtr<I> Facet;
};

struct TPyPageSetup {
  XLSPtr<IXLSPageSetup> Setup;
};

// ---- Workbook ------------------------------------------------------------------

std::unique_ptr<TPyBook> NewBook(uint16_t code_page, int32_t file_format) {
  auto book = std::make_unique<TPyBook>();
  book->Book->SetUtf8Texts(true);
  if (book->Book->SetCodePage(code_page) != 1 || book->Book->SetFileFormat(file_format) != 1)
    ThrowValueError(book->Book->GetLastError());
  return book;
}

TPySheet AddSheet(TPyBook& book, const std::string& name) {
  TXLSWorkbook& workbook = *book.Book;
  const std::string stored = workbook.StoredSheetName(name);
  if (!TXLSWorkSheets::IsAllowedName(stored, workbook.SheetNameCodePage(),
                                     workbook.SheetNameLength(stored)))
    ThrowValueError("the sheet name '" + name + "' is not allowed: it needs 1 to 31 " +
                    workbook.GetRecordEncoder().TextUnit() + ", none of [ ] : * ? / \\");
  XLSPtr<IXLSWorkSheets> sheets = workbook.GetWorksheets();
  for (int32_t i = 1; i <= sheets->GetCount(); ++i) {
    if (sheets->Get(i)->GetWorkSheetName() == name)
      ThrowValueError("the workbook has a sheet named '" + name + "' already");
  }
  XLSPtr<IXLSWorkSheet> sheet = sheets->Add();
  sheet->SetWorkSheetName(name);
  if (sheet->GetWorkSheetName() != name) {
    sheet->Delete();
    ThrowValueError("the sheet name '" + name + "' is refused (another sheet's name differs " +
                    "from it only in the case of its letters)");
  }
  return {sheet};
}

TPySheet SheetAt(TPyBook& book, int32_t index) {
  XLSPtr<IXLSWorkSheet> sheet = book.Book->GetWorksheets()->Get(index + 1);
  if (!sheet) throw py::index_error("no sheet " + std::to_string(index));
  return {sheet};
}

[[noreturn]] void ThrowOSError(const std::string& message) {
  PyErr_SetString(PyExc_OSError, message.c_str());
  throw py::error_already_set();
}

void SaveBook(TPyBook& book, const std::string& path) {
  int32_t status = 0;
  {
    py::gil_scoped_release unlocked;
    status = book.Book->SaveAs(path);
  }
  if (status != 1) ThrowOSError(book.Book->GetLastError());
}

// The characters the latest save replaced: (count, [(sheet, item, cell, character)]).
py::tuple TextLosses(TPyBook& book) {
  const TXLSTextLossReport& report = book.Book->GetTextLosses();
  py::list first;
  for (const TXLSTextLoss& loss : report.First)
    first.append(py::make_tuple(
        loss.Sheet, loss.Item, loss.Cell,
        py::reinterpret_steal<py::str>(PyUnicode_FromOrdinal(static_cast<int>(loss.CodePoint)))));
  return py::make_tuple(report.Count, first);
}

py::bytes BookBytes(TPyBook& book) {
  TXLSMemoryStream stream;
  if (book.Book->WriteDocument(stream) != 1) ThrowOSError(book.Book->GetLastError());
  const std::vector<uint8_t>& bytes = stream.Bytes();
  return py::bytes(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// ---- Sheet ---------------------------------------------------------------------

TPyRange RangeOf(TPySheet& sheet, const std::string& address) {
  const size_t colon = address.find(':');
  const std::string first = address.substr(0, colon);
  const std::string last = colon == std::string::npos ? first : address.substr(colon + 1);
  XLSPtr<IXLSRange> range = sheet.Sheet->FGetRange(first, last);
  if (!range) ThrowValueError(sheet.Sheet->GetLastError());
  return {range, sheet.Sheet};
}

TPyRange CellOf(TPySheet& sheet, int64_t row, int64_t col) {
  const std::string ref = EncodeCellRef(CheckedRow(row), static_cast<uint8_t>(CheckedCol(col)));
  return {sheet.Sheet->FGetRange(ref, ref), sheet.Sheet};
}

TPyRange BlockOf(TPySheet& sheet, int64_t row1, int64_t col1, int64_t row2, int64_t col2) {
  const std::string first = EncodeCellRef(CheckedRow(row1), static_cast<uint8_t>(CheckedCol(col1)));
  const std::string last = EncodeCellRef(CheckedRow(row2), static_cast<uint8_t>(CheckedCol(col2)));
  return {sheet.Sheet->FGetRange(first, last), sheet.Sheet};
}

void CheckStatus(IXLSWorkSheet& sheet, int32_t status, const std::string& what) {
  if (status == 1) return;
  const std::string reason = sheet.GetLastError();
  ThrowValueError(reason.empty() ? what + " refused" : reason);
}

void SetNumbers(TPySheet& sheet, int64_t row, int64_t col, const TNumbers& values, bool down,
                bool dates) {
  const double* data = values.data();
  const auto count = static_cast<size_t>(values.size());
  const uint16_t r = CheckedRow(row), c = CheckedCol(col);
  int32_t status = 0;
  {
    py::gil_scoped_release unlocked;
    status = dates ? sheet.Sheet->SetDates(r, c, data, count, Direction(down))
                   : sheet.Sheet->SetNumbers(r, c, data, count, Direction(down));
  }
  CheckStatus(*sheet.Sheet, status, "the run");
}

void SetBooleans(TPySheet& sheet, int64_t row, int64_t col, const TFlags& values, bool down) {
  CheckStatus(*sheet.Sheet,
              sheet.Sheet->SetBooleans(CheckedRow(row), CheckedCol(col), values.data(),
                                       static_cast<size_t>(values.size()), Direction(down)),
              "the run");
}

TDateFormats DateFormats(const std::string& datetime_format, const std::string& date_format) {
  TDateFormats formats;
  if (!datetime_format.empty()) formats.DateTime = datetime_format;
  if (!date_format.empty()) formats.Date = date_format;
  return formats;
}

// ---- Range ---------------------------------------------------------------------

bool IsScalar(py::handle value) {
  if (py::isinstance<py::str>(value) || py::isinstance<py::bytes>(value)) return true;
  if (py::isinstance<py::array>(value)) return py::reinterpret_borrow<py::array>(value).ndim() == 0;
  return !py::isinstance<py::sequence>(value);
}

// Values are written from the range's top-left cell: a scalar fills the
// range, a 2-D list, tuple or array gives one row per item, a 1-D one runs
// down a range of one column and to the right otherwise.
void SetRangeValue(TPyRange& range, py::handle value) {
  IXLSWorkSheet& sheet = *range.Sheet;
  const uint16_t top = range.Range->GetFirstRow();
  const uint16_t left = range.Range->GetFirstCol();
  const TDateFormats formats;
  if (IsScalar(value)) {
    const TPyCell cell = ToCell(value, formats);
    for (int32_t row = top; row <= range.Range->GetLastRow(); ++row)
      for (int32_t col = left; col <= range.Range->GetLastCol(); ++col)
        StoreCell(sheet, static_cast<uint16_t>(row), static_cast<uint16_t>(col), cell);
    return;
  }
  py::object items = py::isinstance<py::array>(value) ? value.attr("tolist")()
                                                      : py::reinterpret_borrow<py::object>(value);
  const py::sequence rows = items;
  const bool twoDimensional = rows.size() > 0 && !IsScalar(rows[0]);
  if (!twoDimensional) {
    const bool down = range.Range->GetLastCol() == left && range.Range->GetLastRow() > top;
    SetValueRun(sheet, top, left, rows, Direction(down), formats);
    return;
  }
  for (size_t i = 0; i < rows.size(); ++i)
    SetValueRun(sheet, CheckedRow(top + static_cast<int64_t>(i)), left, rows[i], xlRunRight,
                formats);
}

py::object RangeValue(TPyRange& range) {
  const OleVariant value = range.Range->GetValue();
  if (!VarIsArray(value)) return FromVariant(value);
  py::list rows;
  for (int32_t i = value.LowBound(1); i <= value.HighBound(1); ++i) {
    py::list row;
    for (int32_t j = value.LowBound(2); j <= value.HighBound(2); ++j)
      row.append(FromVariant(value.GetElement({i, j})));
    rows.append(row);
  }
  return rows;
}

void SetFormula(TPyRange& range, const std::string& text) {
  const TXLSFormulaStatus status = range.Range->SetFormula(text);
  if (!status.Ok()) ThrowValueError("the formula '" + text + "' is refused: " + status.Message);
}

std::string Address(TPyRange& range) {
  const std::string first = EncodeCellRef(range.Range->GetFirstRow(), range.Range->GetFirstCol());
  const std::string last = EncodeCellRef(range.Range->GetLastRow(), range.Range->GetLastCol());
  return first == last ? first : first + ":" + last;
}

double FirstNumber(const OleVariant& value) {
  return VarIsArray(value) ? value.GetElement({value.LowBound(1)}).ToDouble() : value.ToDouble();
}

// ---- Definitions ---------------------------------------------------------------
// The docstrings are what help() shows; python/tabulon/_tabulon.pyi repeats
// them word for word, and the package tests compare the two.

const char* const kColorDoc =
    "The colour as \"#RRGGBB\"; set it as \"#RRGGBB\", (red, green, blue) or 0xRRGGBB.";

void DefineBook(py::module_& m) {
  py::class_<TPyBook>(m, "Book", "A workbook of the library; tabulon.Workbook wraps it.")
      .def(py::init(&NewBook), py::arg("code_page") = 1252, py::arg("file_format") = xlExcel5,
           "A workbook without sheets, its texts saved in code_page (BIFF5) and its file format\n"
           "the library's number (39 BIFF5, 56 BIFF8); ValueError with the library's reason\n"
           "when either is refused.")
      .def("add_sheet", &AddSheet, py::arg("name"), py::keep_alive<0, 1>(),
           "Append a sheet; ValueError when no sheet may have the name or another has it.")
      .def("sheet", &SheetAt, py::arg("index"), py::keep_alive<0, 1>(),
           "The sheet at index, counted from 0; IndexError when there is none.")
      .def_property_readonly(
          "sheet_count", [](TPyBook& book) { return book.Book->GetWorksheets()->GetCount(); },
          "The number of sheets.")
      .def("save", &SaveBook, py::arg("path"),
           "Write the file atomically; OSError naming the path when it cannot be written.")
      .def("to_bytes", &BookBytes, "The whole .xls file as bytes.")
      .def("text_losses", &TextLosses,
           "The characters the latest save replaced: (count, [(sheet, item, cell, character)]).")
      .def_property_readonly(
          "code_page", [](TPyBook& book) { return book.Book->GetCodePage(); },
          "The Windows code page the file declares for its texts.");
}

void DefineSheet(py::module_& m) {
  py::class_<TPySheet>(m, "Sheet", "A worksheet: its cells, ranges, panes, widths and page setup.")
      .def_property(
          "name", [](TPySheet& s) { return s.Sheet->GetWorkSheetName(); },
          [](TPySheet& s, const std::string& name) {
            s.Sheet->SetWorkSheetName(name);
            if (s.Sheet->GetWorkSheetName() != name)
              ThrowValueError("the sheet name '" + name + "' is refused");
          },
          "The sheet's name; setting one the workbook refuses raises ValueError.")
      .def("range", &RangeOf, py::arg("address"), py::keep_alive<0, 1>(),
           "The range at \"B2\" or \"A1:C3\"; ValueError naming a text that is no address.")
      .def("__getitem__", &RangeOf, py::arg("address"), py::keep_alive<0, 1>(),
           "sheet[address] is sheet.range(address).")
      .def(
          "__setitem__",
          [](TPySheet& s, const std::string& address, const py::object& value) {
            TPyRange range = RangeOf(s, address);
            SetRangeValue(range, value);
          },
          py::arg("address"), py::arg("value"),
          "sheet[address] = value sets sheet.range(address).value.")
      .def("cell", &CellOf, py::arg("row"), py::arg("col"), py::keep_alive<0, 1>(),
           "The cell at a row and column counted from 0.")
      .def("block", &BlockOf, py::arg("first_row"), py::arg("first_col"), py::arg("last_row"),
           py::arg("last_col"), py::keep_alive<0, 1>(),
           "The rectangle between two corners counted from 0.")
      .def(
          "set_numbers",
          [](TPySheet& s, int64_t row, int64_t col, const TNumbers& values, bool down) {
            SetNumbers(s, row, col, values, down, false);
          },
          py::arg("row"), py::arg("col"), py::arg("values"), py::arg("down") = true,
          "Store a 1-D array of numbers from (row, col) down (or right) in one call; NaN empties\n"
          "its cell. ValueError when the run leaves the sheet (nothing is stored then).")
      .def(
          "set_dates",
          [](TPySheet& s, int64_t row, int64_t col, const TNumbers& serials, bool down) {
            SetNumbers(s, row, col, serials, down, true);
          },
          py::arg("row"), py::arg("col"), py::arg("serials"), py::arg("down") = true,
          "set_numbers for day serials (days since 1899-12-30), stored as dates.")
      .def("set_booleans", &SetBooleans, py::arg("row"), py::arg("col"), py::arg("values"),
           py::arg("down") = true,
           "set_numbers for booleans given as bytes: 0 FALSE, 1 TRUE, other values empty.")
      .def(
          "set_texts",
          [](TPySheet& s, int64_t row, int64_t col, const py::object& values, bool down) {
            SetTextRun(*s.Sheet, CheckedRow(row), CheckedCol(col), values, Direction(down));
          },
          py::arg("row"), py::arg("col"), py::arg("values"), py::arg("down") = true,
          "Store texts in one run; None, NaN and pandas.NA empty their cells, other objects\n"
          "are stored as their str(); every text stays a text (\"42\" too).")
      .def(
          "set_values",
          [](TPySheet& s, int64_t row, int64_t col, const py::object& values, bool down,
             const std::string& datetime_format, const std::string& date_format) {
            SetValueRun(*s.Sheet, CheckedRow(row), CheckedCol(col), values, Direction(down),
                        DateFormats(datetime_format, date_format));
          },
          py::arg("row"), py::arg("col"), py::arg("values"), py::arg("down") = true,
          py::arg("datetime_format") = "", py::arg("date_format") = "",
          "Store values of any Python types one cell after another, each with its kind's\n"
          "number format; datetime_format and date_format, when given, replace those of\n"
          "datetimes and dates.")
      .def(
          "fit_columns",
          [](TPySheet& s, int32_t header_row, int32_t first_row, int32_t last_row,
             int32_t first_col, int32_t last_col, double max_width) {
            FitColumns(*s.Sheet, header_row, first_row, last_row, first_col, last_col, max_width);
          },
          py::arg("header_row"), py::arg("first_row"), py::arg("last_row"), py::arg("first_col"),
          py::arg("last_col"), py::arg("max_width") = 60.0,
          "Fit column widths to the header rows (bold) and the values as their formats show them.")
      .def(
          "write_excel_cells",
          [](TPySheet& s, py::iterable cells, int32_t startrow, int32_t startcol,
             const std::string& datetime_format, const std::string& date_format) {
            return WriteExcelCells(*s.Sheet, cells, startrow, startcol,
                                   DateFormats(datetime_format, date_format));
          },
          py::arg("cells"), py::arg("startrow"), py::arg("startcol"),
          py::arg("datetime_format") = "", py::arg("date_format") = "",
          "Store the cells pandas' ExcelWriter hands over, shifted by startrow and startcol.\n"
          "Returns (runs, merges): runs lists (style, number_format, col, first_row, last_row)\n"
          "for cells below each other sharing a style or format, merges lists (first_row,\n"
          "first_col, last_row, last_col).")
      .def(
          "freeze_panes",
          [](TPySheet& s, int64_t row, int64_t col) {
            const uint16_t r = CheckedRow(row), c = CheckedCol(col);
            CheckStatus(*s.Sheet, s.Sheet->FreezePanes(r, c, r, c), "freezing the panes");
          },
          py::arg("row"), py::arg("col") = 0,
          "Keep the first row rows and col columns in view while scrolling.")
      .def(
          "set_column_width",
          [](TPySheet& s, int64_t col, double width) {
            CellOf(s, 0, col).Range->GetEntireColumn()->SetColumnWidth(OleVariant(width));
          },
          py::arg("col"), py::arg("width"),
          "Set the width of a column counted from 0, in characters.")
      .def(
          "column_width",
          [](TPySheet& s, int64_t col) {
            return FirstNumber(CellOf(s, 0, col).Range->GetColumnWidth());
          },
          py::arg("col"), "The width of a column counted from 0, in characters.")
      .def(
          "set_row_height",
          [](TPySheet& s, int64_t row, double height) {
            CellOf(s, row, 0).Range->GetEntireRow()->SetRowHeight(OleVariant(height));
          },
          py::arg("row"), py::arg("height"), "Set the height of a row counted from 0, in points.")
      .def(
          "row_height",
          [](TPySheet& s, int64_t row) {
            return FirstNumber(CellOf(s, row, 0).Range->GetRowHeight());
          },
          py::arg("row"), "The height of a row counted from 0, in points.")
      .def(
          "insert_bitmap",
          [](TPySheet& s, int64_t row, int64_t col, const std::string& path, uint16_t x, uint16_t y,
             float scale_x, float scale_y) {
            CheckStatus(*s.Sheet,
                        s.Sheet->InsertBitmap(CheckedRow(row), CheckedCol(col), path, x, y, scale_x,
                                              scale_y),
                        "the bitmap");
          },
          py::arg("row"), py::arg("col"), py::arg("path"), py::arg("x") = 0, py::arg("y") = 0,
          py::arg("scale_x") = 1.0f, py::arg("scale_y") = 1.0f,
          "Place a 24-bit uncompressed .bmp with its corner in a cell (offset x, y pixels);\n"
          "ValueError with the reason when the file is refused.")
      .def_property(
          "zoom", [](TPySheet& s) { return static_cast<TXLSWorksheet&>(*s.Sheet).GetZoom(); },
          [](TPySheet& s, uint16_t zoom) {
            if (s.Sheet->SetZoom(zoom) != 1)
              ThrowValueError("a zoom of " + std::to_string(zoom) + " % lies outside 10 to 400");
          },
          "The zoom in percent, 10 to 400; ValueError for another.")
      .def_property(
          "display_gridlines", [](TPySheet& s) { return s.Sheet->GetDisplayGridLines(); },
          [](TPySheet& s, bool on) { s.Sheet->SetDisplayGridLines(on); },
          "Whether the sheet shows its gridlines.")
      .def(
          "delete", [](TPySheet& s) { s.Sheet->Delete(); }, "Remove the sheet from its workbook.")
      .def(
          "protect", [](TPySheet& s, const std::string& password) { s.Sheet->Protect(password); },
          py::arg("password") = "",
          "Protect the sheet's locked cells from edits, with a password unless it is empty.")
      .def_property_readonly(
          "page_setup", [](TPySheet& s) { return TPyPageSetup{s.Sheet->GetPageSetup()}; },
          py::keep_alive<0, 1>(), "How the sheet prints.");
}

void DefineRange(py::module_& m) {
  py::class_<TPyRange> range(m, "Range", "A rectangle of cells.");
  range
      .def_property(
          "value", &RangeValue, &SetRangeValue,
          "The stored values: one value for a cell, else a list of rows. Setting takes a\n"
          "scalar (filling the range), or a 1-D or 2-D list, tuple or numpy array written\n"
          "from the top-left cell; Python and numpy values convert as their types say.")
      .def_property(
          "formula", [](TPyRange& r) { return r.Range->GetFormula(); }, &SetFormula,
          "The top-left cell's formula (\"=SUM(A1:A3)\"); setting a refused one raises ValueError.")
      .def_property(
          "number_format", [](TPyRange& r) { return r.Range->GetNumFormat(); },
          [](TPyRange& r, const std::string& format) {
            // The library keeps an empty text as a format of its own; readers
            // know General.
            r.Range->SetNumFormat(format.empty() ? "General" : format);
          },
          "The top-left cell's number format (\"0.00\", \"yyyy-mm-dd\"); setting formats every\n"
          "cell, \"\" meaning General.")
      .def_property_readonly("address", &Address, "The address, \"B2\" or \"A1:C3\".")
      .def_property_readonly(
          "row", [](TPyRange& r) { return r.Range->GetFirstRow(); },
          "The first row, counted from 0.")
      .def_property_readonly(
          "column", [](TPyRange& r) { return r.Range->GetFirstCol(); },
          "The first column, counted from 0.")
      .def_property_readonly(
          "shape",
          [](TPyRange& r) {
            return py::make_tuple(r.Range->GetLastRow() - r.Range->GetFirstRow() + 1,
                                  r.Range->GetLastCol() - r.Range->GetFirstCol() + 1);
          },
          "(rows, columns).")
      .def_property_readonly(
          "font", [](TPyRange& r) { return TFacet<IXLSFont>{r.Range->GetFont()}; },
          py::keep_alive<0, 1>(), "The font of the cells.")
      .def_property_readonly(
          "fill", [](TPyRange& r) { return TFacet<IXLSInterior>{r.Range->GetInterior()}; },
          py::keep_alive<0, 1>(), "The fill of the cells.")
      .def_property_readonly(
          "borders", [](TPyRange& r) { return TFacet<IXLSBorders>{r.Range->GetBorders()}; },
          py::keep_alive<0, 1>(), "The outline and inside lines of the cells.")
      .def_property(
          "column_width", [](TPyRange& r) { return FirstNumber(r.Range->GetColumnWidth()); },
          [](TPyRange& r, double width) {
            r.Range->GetEntireColumn()->SetColumnWidth(OleVariant(width));
          },
          "The first column's width in characters; setting sets every column of the range.")
      .def_property(
          "row_height", [](TPyRange& r) { return FirstNumber(r.Range->GetRowHeight()); },
          [](TPyRange& r, double height) {
            r.Range->GetEntireRow()->SetRowHeight(OleVariant(height));
          },
          "The first row's height in points; setting sets every row of the range.")
      .def_property(
          "horizontal_alignment",
          [](TPyRange& r) { return NameOf(kHAligns, r.Range->GetHAlign()); },
          [](TPyRange& r, const std::string& name) {
            r.Range->SetHAlign(Named(kHAligns, name, "horizontal alignment"));
          },
          "general, left, center, right, fill, justify or center_across_selection.")
      .def_property(
          "vertical_alignment", [](TPyRange& r) { return NameOf(kVAligns, r.Range->GetVAlign()); },
          [](TPyRange& r, const std::string& name) {
            r.Range->SetVAlign(Named(kVAligns, name, "vertical alignment"));
          },
          "top, center, bottom or justify.")
      .def_property(
          "wrap_text", [](TPyRange& r) { return r.Range->GetWrapText().ToBool(); },
          [](TPyRange& r, bool wrap) { r.Range->SetWrapText(OleVariant(wrap)); },
          "Whether the cells wrap their texts onto several lines.")
      .def(
          "merge", [](TPyRange& r, bool across) { r.Range->Merge(OleVariant(across)); },
          py::arg("across") = false, "Merge the range into one cell (each row apart when across).")
      .def(
          "unmerge", [](TPyRange& r) { r.Range->Unmerge(); },
          "Dissolve the merged areas in or across the range; the cells keep their values.")
      .def(
          "clear_contents", [](TPyRange& r) { r.Range->ClearContents(); },
          "Empty the cells; their formats stay.")
      .def(
          "clear", [](TPyRange& r) { r.Range->Clear(); },
          "Empty the cells and remove their formats.")
      .def(
          "__repr__", [](TPyRange& r) { return "<tabulon.Range " + Address(r) + ">"; },
          "<tabulon.Range A1:C3>");
}

// The properties a single border and the borders of a range share.
template <class TLine>
void DefineLine(py::class_<TLine>& line) {
  line.def_property(
          "weight", [](TLine& b) { return NameOf(kLineWeights, b.Facet->GetWeight()); },
          [](TLine& b, const std::string& name) {
            b.Facet->SetWeight(Named(kLineWeights, name, "line weight"));
          },
          "hair, thin, medium or thick.")
      .def_property(
          "line_style", [](TLine& b) { return NameOf(kLineStyles, b.Facet->GetLineStyle()); },
          [](TLine& b, const std::string& name) {
            b.Facet->SetLineStyle(Named(kLineStyles, name, "line style"));
          },
          "none, continuous, dash, dot or double.")
      .def_property(
          "color", [](TLine& b) { return ColorText(b.Facet->GetColor()); },
          [](TLine& b, py::handle color) { b.Facet->SetColor(ToColor(color)); }, kColorDoc);
}

void DefineFormats(py::module_& m) {
  using TFont = TFacet<IXLSFont>;
  py::class_<TFont>(m, "Font", "The font of a range; setting a property formats every cell.")
      .def_property(
          "bold", [](TFont& f) { return f.Facet->GetBold(); },
          [](TFont& f, bool on) { f.Facet->SetBold(on); }, "Bold type.")
      .def_property(
          "italic", [](TFont& f) { return f.Facet->GetItalic(); },
          [](TFont& f, bool on) { f.Facet->SetItalic(on); }, "Italic type.")
      .def_property(
          "underline", [](TFont& f) { return f.Facet->GetUnderLine() == xlUnderlineStyleSingle; },
          [](TFont& f, bool on) {
            f.Facet->SetUnderLine(on ? xlUnderlineStyleSingle : xlUnderlineStyleNone);
          },
          "A single underline.")
      .def_property(
          "size", [](TFont& f) { return f.Facet->GetSize(); },
          [](TFont& f, float points) { f.Facet->SetSize(points); }, "The size in points.")
      .def_property(
          "name", [](TFont& f) { return f.Facet->GetName(); },
          [](TFont& f, const std::string& name) { f.Facet->SetName(name); },
          "The typeface (\"Arial\").")
      .def_property(
          "color", [](TFont& f) { return ColorText(f.Facet->GetColor()); },
          [](TFont& f, py::handle color) { f.Facet->SetColor(ToColor(color)); }, kColorDoc);

  using TFill = TFacet<IXLSInterior>;
  py::class_<TFill>(m, "Fill", "The fill of a range.")
      .def_property(
          "color", [](TFill& f) { return ColorText(f.Facet->GetColor()); },
          [](TFill& f, py::handle color) { f.Facet->SetColor(ToColor(color)); }, kColorDoc);

  using TBorder = TFacet<IXLSBorder>;
  py::class_<TBorder> border(m, "Border", "One edge, or the inside lines, of a range.");
  DefineLine(border);

  using TBorders = TFacet<IXLSBorders>;
  py::class_<TBorders> borders(m, "Borders", "The outline and inside lines of a range together.");
  DefineLine(borders);
  borders.def(
      "__getitem__",
      [](TBorders& b, const std::string& edge) {
        return TBorder{b.Facet->GetBorder(Named(kEdges, edge, "border edge"))};
      },
      py::arg("edge"), py::keep_alive<0, 1>(),
      "The border at an edge: left, top, bottom, right, inside_vertical or inside_horizontal.");
}

void DefinePageSetup(py::module_& m) {
  using P = TPyPageSetup;
  py::class_<P> page(m, "PageSetup", "How a sheet prints.");
  page.def_property(
          "orientation", [](P& p) { return NameOf(kOrientations, p.Setup->GetOrientation()); },
          [](P& p, const std::string& name) {
            p.Setup->SetOrientation(Named(kOrientations, name, "page orientation"));
          },
          "portrait or landscape.")
      .def_property(
          "paper_size", [](P& p) { return p.Setup->GetPaperSize(); },
          [](P& p, int32_t size) { p.Setup->SetPaperSize(size); },
          "The paper's number in the file format (9 A4, 1 Letter).")
      .def_property(
          "print_gridlines", [](P& p) { return p.Setup->GetPrintGridlines(); },
          [](P& p, bool on) { p.Setup->SetPrintGridlines(on); }, "Whether the gridlines print.")
      .def_property(
          "print_title_rows", [](P& p) { return p.Setup->GetPrintTitleRows(); },
          [](P& p, const std::string& rows) { p.Setup->SetPrintTitleRows(rows); },
          "The rows printed atop every page (\"$1:$2\").")
      .def_property(
          "print_area", [](P& p) { return p.Setup->FGetPrintArea(); },
          [](P& p, const std::string& area) { p.Setup->FSetPrintArea(area); },
          "The cells that print (\"A1:C5\"); \"\" prints the whole sheet.")
      .def_property(
          "center_header", [](P& p) { return p.Setup->GetCenterHeader(); },
          [](P& p, const std::string& text) { p.Setup->SetCenterHeader(text); },
          "The header's centre part; &P is the page number, &N the page count.")
      .def_property(
          "center_footer", [](P& p) { return p.Setup->GetCenterFooter(); },
          [](P& p, const std::string& text) { p.Setup->SetCenterFooter(text); },
          "The footer's centre part; &P is the page number, &N the page count.")
      .def(
          "fit_to_pages_wide",
          [](P& p, int32_t pages) {
            p.Setup->SetZoom(OleVariant(false));
            p.Setup->SetFitToPagesWide(OleVariant(pages));
            p.Setup->SetFitToPagesTall(OleVariant(false));
          },
          py::arg("pages"), "Scale the printout to pages pages across, as many down as it needs.");
  const auto margin = [&page](const char* name, const char* doc, double (IXLSPageSetup::*get)(),
                              void (IXLSPageSetup::*set)(double)) {
    page.def_property(
        name, [get](P& p) { return (p.Setup.get()->*get)(); },
        [set](P& p, double inches) { (p.Setup.get()->*set)(inches); }, doc);
  };
  margin("top_margin", "The top margin in inches.", &IXLSPageSetup::GetTopMargin,
         &IXLSPageSetup::SetTopMargin);
  margin("bottom_margin", "The bottom margin in inches.", &IXLSPageSetup::GetBottomMargin,
         &IXLSPageSetup::SetBottomMargin);
  margin("left_margin", "The left margin in inches.", &IXLSPageSetup::GetLeftMargin,
         &IXLSPageSetup::SetLeftMargin);
  margin("right_margin", "The right margin in inches.", &IXLSPageSetup::GetRightMargin,
         &IXLSPageSetup::SetRightMargin);
}

}  // namespace
}  // namespace tabulon::python

PYBIND11_MODULE(_tabulon, m) {
  using namespace tabulon::python;
  m.doc() = "The Tabulon library's workbook model (see the tabulon package).";
  // Each class before the classes whose methods return it, so that the
  // signatures help() shows name it.
  DefinePageSetup(m);
  DefineFormats(m);
  DefineRange(m);
  DefineSheet(m);
  DefineBook(m);
  m.def("day_serial", &DaySerial, py::arg("year"), py::arg("month"), py::arg("day"),
        py::arg("seconds") = 0.0, "The day serial of a date and a time of day in seconds.");
}
