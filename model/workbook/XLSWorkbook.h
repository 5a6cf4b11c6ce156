// The workbook: root of the object model and owner of the worksheets, the
// formatting tables, the workbook protection, the palette and the code page.
// SaveAs walks the whole model once, builds the stream "Book" in memory as
// record sections (the workbook-level records, then each sheet's), and writes
// it as a compound document that atomically replaces the target file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "XLSConstants.h"
#include "XLSInterfaces.h"
#include "XLSObject.h"
#include "XLSPalette.h"
#include "XLSTextLoss.h"

namespace tabulon {

// The formatting tables, the record buffers and the text encoder are held
// behind pointers: their headers stay internal.
class TXLSBlob;
class TXLSBlobList;
class TXLSDefinedNames;
class TXLSProtect;
class TXLSRecordEncoder;
enum class TXLSGlobalsPart : uint8_t;
class TXLSRecordSection;
class TXLSSpillFile;
class TXLSStream;
class TXLSTextEncoder;
class TXLSWorkSheets;
class TXLSWorksheet;
class TXLSXFList;

/// The workbook: construct one, add sheets through GetWorksheets(), fill and
/// format them through ranges, then SaveAs. The caller owns and destroys it;
/// every interface handed out from it must be released (XLSPtr does it) before.
class TXLSWorkbook : public XLSImplements<IXLSWorkBook> {
 public:
  /// Code page of a new workbook: Windows-1252 (Western European).
  static constexpr uint16_t kDefaultCodePage = 1252;
  /// Largest stream "Book" a compound document can hold.
  static constexpr uint64_t kMaxBookSize = 0x80000000u;

  TXLSWorkbook();
  ~TXLSWorkbook() override;

  // IXLSWorkBook
  TXLSColor GetCustomColor2(int32_t index, int32_t unused) override;
  void SetCustomColor(int32_t index, int32_t unused, TXLSColor color) override;
  XLSPtr<IXLSWorkSheets> GetWorksheets() override;
  /// The active sheet, or none.
  XLSPtr<IXLSWorkSheet> GetActiveSheet() override;
  int32_t Close() override;
  int32_t ResetColors() override;
  void Protect() override;
  void Protect(const std::string& password) override;
  void UnProtect() override;
  void UnProtect(const std::string& password) override;
  void UnProtect(const std::string& password, int32_t unused) override;
  /// Writes the workbook to file_name: 1 when the file is complete on disk,
  /// -1 otherwise (GetLastError tells why). The file is replaced only by a
  /// complete new one; on failure an existing file stays as it was.
  int32_t SaveAs(const std::string& file_name) override;

  /// Does nothing: saving needs no scratch folder.
  /// @param folder Not used.
  /// @return -1.
  virtual int32_t SetTempDir(const std::string& folder);
  /// Sets the Windows code page of the workbook's texts: 874, 932, 936, 949,
  /// 950 or 1250 to 1258 (default 1252). The CODEPAGE record declares it and
  /// the FONT records carry its character set. @return 1, or -1 for any other
  /// code page, which leaves the workbook as it was (GetLastError says why).
  virtual int32_t SetCodePage(uint16_t code_page);

  /// @param index Palette index 1 to 56.
  /// @return The palette colour as 0x00BBGGRR; 0 outside 1 to 56.
  uint32_t GetCustomColor(int32_t index) const { return palette_.GetCustomColor(index); }
  /// @param color 0x00BBGGRR.
  /// @return The palette index (1 to 56) of the nearest palette colour.
  int32_t GetCustomColorIndex(TXLSColor color) const;
  /// Loads the default palette of the later spreadsheet generation (what a new workbook has).
  /// @return 1.
  int32_t SetPaletteXL97() { return palette_.SetPaletteXL97(); }

  /// Why the last SaveAs (naming the path) or SetCodePage failed; empty after
  /// a successful save.
  const std::string& GetLastError() const { return lastError_; }

  /// Chooses how texts handed in are read. Off by default: texts handed in
  /// (cell values and arrays, sheet names, header and footer texts, number
  /// formats, font names) are code page bytes, stored and written as they
  /// are (BIFF8: read in the code page and written as Unicode). On: they are
  /// UTF-8, kept as given (GetValue hands them back unchanged) and converted
  /// to the code page when a BIFF5 workbook saves; characters the code page
  /// lacks are replaced and reported by GetTextLosses. BIFF8 keeps every
  /// character. Set it before adding texts: stored texts are not converted
  /// when it changes.
  /// @param on true: texts are UTF-8; false: code page bytes.
  void SetUtf8Texts(bool on);
  /// @return Whether texts handed in are UTF-8 (SetUtf8Texts).
  bool GetUtf8Texts() const { return utf8Texts_; }
  /// The characters the latest save had to replace because the code page
  /// cannot hold them.
  /// @return Their count and the first few with sheet, cell or kind of text;
  /// empty before a save, after SetCodePage or SetUtf8Texts, and when texts
  /// are code page bytes.
  const TXLSTextLossReport& GetTextLosses() const;
  /// @return The converter of the current save, which sheets and tables use
  /// to write their texts (after a save it keeps that save's losses).
  TXLSTextEncoder& GetTextEncoder() { return *textEncoder_; }
  /// @param sheet_index 1-based sheet number.
  /// @return The bytes the records carry for the sheet's name during a save;
  /// its name as stored otherwise; empty text for no such sheet.
  const std::string& GetRecordSheetName(int32_t sheet_index) const;
  /// @param text A text handed in.
  /// @return Its length in code page bytes (UTF-8 converted when
  /// SetUtf8Texts is on), as record limits count it.
  size_t CodePageLength(const std::string& text) const;
  /// @param name A sheet name handed in.
  /// @return The form a save stores for it, before the cut to the longest
  /// name: in BIFF8 its UTF-8; in BIFF5 code page bytes, converted when
  /// SetUtf8Texts is on, with `_` for each character the code page lacks.
  std::string StoredSheetName(const std::string& name) const;
  /// @param stored A name as StoredSheetName gives it.
  /// @return Its length as the file format counts it: bytes in BIFF5,
  /// characters (UTF-16 units) in BIFF8.
  size_t SheetNameLength(const std::string& stored) const;
  /// @return The code page in which stored sheet names are scanned for the
  /// characters a name may not hold.
  uint16_t SheetNameCodePage() const;
  /// Cuts a text handed in to a byte limit of the code page.
  /// @param text The text.
  /// @param max_bytes The limit, in bytes of the code page.
  /// @return The longest start of text whose code page form (UTF-8 converted
  /// when SetUtf8Texts is on) takes at most max_bytes; it ends on a character
  /// boundary.
  std::string FitText(const std::string& text, size_t max_bytes) const;

  /// @return The cell-format table with its font, number-format and style tables.
  TXLSXFList& GetXFList() { return *xfList_; }
  /// @return The 56-colour palette.
  TXLSPalette& GetPalette() { return palette_; }
  /// @return The worksheet collection (GetWorksheets as a reference).
  TXLSWorkSheets& GetSheets() { return *sheets_; }
  /// @return The workbook's protection state.
  TXLSProtect& GetProtect() { return *protect_; }
  /// @return The defined names of the workbook and of its sheets (AddName).
  TXLSDefinedNames& GetNames() { return *names_; }
  /// @return The defined names, read only.
  const TXLSDefinedNames& GetNames() const { return *names_; }
  /// Chooses the file format SaveAs writes: xlExcel5 (39, Excel 5/95, the
  /// default) or xlExcel8 (56, Excel 97-2003). A formula is checked against
  /// the rows the format's references reach (16384 in BIFF5, 65536 in BIFF8)
  /// when it is set, so choose the format first.
  /// @param file_format xlExcel5 or xlExcel8.
  /// @return 1; -1 for any other value, or when a stored formula refers to
  /// rows the format cannot address; the workbook then stays as it was
  /// (GetLastError says why).
  virtual int32_t SetFileFormat(int32_t file_format);
  /// @return xlExcel5 or xlExcel8 (SetFileFormat).
  int32_t GetFileFormat() const { return fileFormat_; }
  /// Defines a workbook name: formulas of every sheet use it as they use a
  /// reference ("=SUM(Sales)"), and readers list it in their name manager.
  /// A sheet's own names (IXLSWorkSheet::AddName) hide it on that sheet.
  /// Both file formats write names, and SetFileFormat may follow.
  /// @param name ASCII letters, digits, '_', '.' and '\\', starting with a
  ///        letter, '_' or '\\', at most 255 characters, not a cell reference
  ///        ("A1", "XFD1048576", "R1C1", "R", "C": one to three letters then
  ///        digits count as one) nor TRUE or FALSE; names are compared
  ///        without case.
  /// @param refers_to What it stands for, as a formula:
  ///        "=Sheet1!$B$2:$B$9", "=0.07", "=Rates!$A$1*2". Every reference
  ///        must name its sheet (a workbook name belongs to no sheet) and is
  ///        absolute ("Sheet1!B2" is Sheet1!$B$2). It may use names defined
  ///        before it, so that names never form a cycle. A sheet renamed
  ///        later is followed; a sheet deleted later makes its references
  ///        \#REF!.
  /// @return 1, or -1 (GetLastError says why, naming the name): an invalid
  ///        or taken name, a formula that does not parse, a reference without
  ///        a sheet, an unknown name.
  int32_t AddName(const std::string& name, const std::string& refers_to);
  /// @return The record encoder of the chosen file format, which the sheets
  /// and tables use to build the records whose layout differs between the
  /// formats (during a save: the save's own).
  TXLSRecordEncoder& GetRecordEncoder() { return *recordEncoder_; }
  /// @return The code page the file declares for its texts (1252 unless SetCodePage changed it).
  uint16_t GetCodePage() const { return codePage_; }
  /// @return The first visible sheet tab, from 0.
  uint16_t GetFirstTab() const { return firstTab_; }
  /// The first visible sheet tab, 0-based.
  void SetFirstTab(uint16_t zero_based_index) { firstTab_ = zero_based_index; }
  /// @return "Sheet", the prefix of generated sheet names.
  const std::string& GetDefaultSheetPrefix() const { return defaultSheetPrefix_; }
  /// Selected sheets counted by the latest save.
  uint16_t GetSelectedCount() const { return selectedCount_; }

  /// Builds the stream "Book" and hands it, whole, to out as a compound
  /// document (what SaveAs writes to its temporary file). Adds a sheet when
  /// there is none. 1, or -1 with GetLastError().
  int32_t WriteDocument(TXLSStream& out);
  /// Builds only the stream "Book" (no compound document) into out.
  int32_t WriteBookStream(TXLSStream& out);

 protected:
  /// Largest stream "Book" this workbook saves, in bytes: kMaxBookSize. A
  /// larger workbook fails the save with -1 and a GetLastError naming its
  /// size. A subclass may lower it, so that the refusal is reached without
  /// building gigabytes of records.
  uint64_t maxBookSize_ = kMaxBookSize;

 private:
  /// Runs a save: builds every record in memory, then write(size) writes the
  /// stream; the record sections of the workbook and the sheets are freed
  /// afterwards in any case.
  template <class TWrite>
  int32_t StoreWorkbook(TXLSSpillFile* spill, TWrite write);
  int32_t BuildRecords(TXLSSpillFile* spill);
  int32_t StoreSheetRecords(TXLSSpillFile* spill);
  int32_t SaveToFile(const std::string& file_name);
  int32_t StoreWorkbookRecords();
  /// The built stream as a compound document; then the stream alone.
  int32_t WriteOle(TXLSStream& out);
  int32_t WriteStream(TXLSStream& out);
  void FreeSections();
  /// A fresh text converter and record encoder for the current code page,
  /// text mode and file format.
  void ResetEncoders();
  /// The first formula cell ("Sheet1!B2") that refers to a row past max_row,
  /// or empty text.
  std::string FormulaBeyondRow(int32_t max_row) const;
  /// The first hyperlink or data validation of the sheets ("the hyperlink
  /// in Sheet1!B2"), which only a BIFF8 file carries, or empty text.
  std::string Biff8OnlyContent() const;
  // Why the workbook cannot be saved in chosen's format (a formula or a
  // name reaching rows it cannot address, a record only BIFF8 carries);
  // empty when it can.
  std::string FormatRefusal(const TXLSRecordEncoder& chosen) const;
  int32_t EncodeSheetNames();
  int32_t Fail(const std::string& message);

  /// Workbook-level record steps: one part of the globals each.
  int32_t StoreGlobalsPart(TXLSGlobalsPart part);
  int32_t StoreCodePage();
  int32_t StoreExterns();
  int32_t StoreNames();
  int32_t StorePrintAreaNames();
  /// The hidden _FilterDatabase name of every sheet with an AutoFilter.
  int32_t StoreFilterDatabaseNames();
  int32_t StorePrintTitleNames();
  int32_t StoreWindow1();
  int32_t Store1904();
  int32_t StoreProtect();
  int32_t StoreAllFonts();
  int32_t StoreAllNumFormats();
  int32_t StoreAllXFS();
  int32_t StoreAllStyles();
  int32_t StorePalette();
  int32_t StoreDrawingGroup();
  int32_t StoreSharedStrings();
  /// Gives each sheet its stream offset behind globals_size bytes of globals.
  int32_t PlaceSheets(int64_t globals_size);

  int32_t Append(TXLSBlob&& record);
  /// Appends, through the workbook's section, the records that build(i, list)
  /// puts into a list for i = 0 to count - 1 (build answers 1 appended, 0 no
  /// record for i, -1 failed). -1 when a build fails or none yields a record.
  template <class TBuild>
  int32_t StoreTableRecords(int32_t count, TBuild build);
  int32_t AppendRecordsOf(const TXLSBlobList& list);

  std::string defaultSheetPrefix_ = "Sheet";
  TXLSPalette palette_;
  uint16_t codePage_ = kDefaultCodePage;
  bool utf8Texts_ = false;
  int32_t fileFormat_ = xlExcel5;
  std::unique_ptr<TXLSTextEncoder> textEncoder_;
  std::unique_ptr<TXLSRecordEncoder> recordEncoder_;
  std::vector<std::string> recordSheetNames_;  // only during a save
  std::unique_ptr<TXLSProtect> protect_;
  std::unique_ptr<TXLSDefinedNames> names_;
  std::unique_ptr<TXLSXFList> xfList_;
  std::unique_ptr<TXLSRecordSection> records_;  ///< only during a save
  /// The globals behind the sheet list, and where they start in the stream.
  std::unique_ptr<TXLSRecordSection> globalsTail_;
  uint32_t globalsBase_ = 0;
  uint16_t firstTab_ = 0;
  uint8_t date1904_ = 0;
  std::unique_ptr<TXLSWorkSheets> sheets_;
  uint16_t selectedCount_ = 0;
  std::string lastError_;
};

}  // namespace tabulon
