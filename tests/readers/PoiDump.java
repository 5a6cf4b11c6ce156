// Prints what Apache POI's HSSF reads from .xls files, as one JSON array with
// one object per file, in argument order:
//
//     java -cp POI_CLASSPATH:BUILD_DIR PoiDump BOOK.xls ...
//
// A file POI refuses gives {"path": ..., "error": ...} and the others are
// still read, so one JVM start serves a whole batch. Colours are given both
// as palette indexes and as "#RRGGBB" from the workbook's palette.
import java.io.File;
import java.lang.reflect.Method;
import java.security.MessageDigest;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import org.apache.poi.hpsf.SummaryInformation;
import org.apache.poi.hssf.model.HSSFFormulaParser;
import org.apache.poi.hssf.model.InternalSheet;
import org.apache.poi.hssf.record.ColumnInfoRecord;
import org.apache.poi.hssf.record.GutsRecord;
import org.apache.poi.hssf.record.AutoFilterInfoRecord;
import org.apache.poi.hssf.record.NameRecord;
import org.apache.poi.hssf.record.CFRuleBase;
import org.apache.poi.hssf.record.PasswordRecord;
import org.apache.poi.hssf.record.ProtectRecord;
import org.apache.poi.hssf.record.Record;
import org.apache.poi.hssf.record.SCLRecord;
import org.apache.poi.hssf.record.WSBoolRecord;
import org.apache.poi.hssf.record.WindowTwoRecord;
import org.apache.poi.hssf.record.aggregates.ColumnInfoRecordsAggregate;
import org.apache.poi.hssf.record.RecordBase;
import org.apache.poi.hssf.record.RowRecord;
import org.apache.poi.hssf.usermodel.HSSFCell;
import org.apache.poi.hssf.usermodel.HSSFBorderFormatting;
import org.apache.poi.hssf.usermodel.HSSFCellStyle;
import org.apache.poi.hssf.usermodel.HSSFClientAnchor;
import org.apache.poi.hssf.usermodel.DVConstraint;
import org.apache.poi.hssf.usermodel.HSSFComment;
import org.apache.poi.hssf.usermodel.HSSFDataValidation;
import org.apache.poi.hssf.usermodel.HSSFFont;
import org.apache.poi.hssf.usermodel.HSSFFormulaEvaluator;
import org.apache.poi.hssf.usermodel.HSSFConditionalFormatting;
import org.apache.poi.hssf.usermodel.HSSFConditionalFormattingRule;
import org.apache.poi.hssf.usermodel.HSSFFont;
import org.apache.poi.hssf.usermodel.HSSFFontFormatting;
import org.apache.poi.hssf.usermodel.HSSFHyperlink;
import org.apache.poi.hssf.usermodel.HSSFName;
import org.apache.poi.hssf.usermodel.HSSFPalette;
import org.apache.poi.hssf.usermodel.HSSFPatriarch;
import org.apache.poi.hssf.usermodel.HSSFPatternFormatting;
import org.apache.poi.hssf.usermodel.HSSFPicture;
import org.apache.poi.hssf.usermodel.HSSFPrintSetup;
import org.apache.poi.hssf.usermodel.HSSFShape;
import org.apache.poi.hssf.usermodel.HSSFSheet;
import org.apache.poi.hssf.usermodel.HSSFSheetConditionalFormatting;
import org.apache.poi.hssf.usermodel.HSSFWorkbook;
import org.apache.poi.hssf.util.HSSFColor;
import org.apache.poi.poifs.filesystem.POIFSFileSystem;
import org.apache.poi.ss.SpreadsheetVersion;
import org.apache.poi.ss.formula.SharedFormula;
import org.apache.poi.ss.formula.ptg.Ptg;
import org.apache.poi.ss.usermodel.Cell;
import org.apache.poi.ss.usermodel.CellType;
import org.apache.poi.ss.usermodel.CellValue;
import org.apache.poi.ss.usermodel.DataFormatter;
import org.apache.poi.ss.usermodel.DateUtil;
import org.apache.poi.ss.usermodel.FormulaError;
import org.apache.poi.ss.usermodel.HeaderFooter;
import org.apache.poi.ss.usermodel.Sheet;
import org.apache.poi.ss.util.CellAddress;
import org.apache.poi.ss.util.CellRangeAddress;
import org.apache.poi.ss.util.CellReference;
import org.apache.poi.ss.util.PaneInformation;
import org.apache.poi.util.LittleEndian;

public final class PoiDump {
  private static final int COLUMN_COUNT = 256; // BIFF8's last column is IV
  private static final short[] EDGES = {
      Sheet.LeftMargin, Sheet.RightMargin, Sheet.TopMargin, Sheet.BottomMargin};
  private static final String[] EDGE_NAMES = {"left", "right", "top", "bottom"};

  private final HSSFWorkbook book;
  private final HSSFPalette palette;
  private final DataFormatter formatter = new DataFormatter();

  private PoiDump(HSSFWorkbook book) {
    this.book = book;
    this.palette = book.getCustomPalette();
  }

  public static void main(String[] args) throws Exception {
    List<Object> files = new ArrayList<>();
    for (String path : args) files.add(dumpFile(path));
    StringBuilder out = new StringBuilder();
    Json.write(files, out);
    System.out.println(out);
  }

  private static Map<String, Object> dumpFile(String path) {
    Map<String, Object> file = new LinkedHashMap<>();
    file.put("path", path);
    if (!new File(path).isFile()) {
      file.put("error", "no such file");
      return file;
    }
    try (POIFSFileSystem fs = new POIFSFileSystem(new File(path), true);
         HSSFWorkbook book = new HSSFWorkbook(fs)) {
      file.putAll(new PoiDump(book).workbook());
    } catch (Exception | LinkageError e) {
      file.put("error", e.getClass().getSimpleName() + ": " + e.getMessage());
      if (System.getenv("POIDUMP_TRACE") != null) e.printStackTrace();
    }
    return file;
  }

  private Map<String, Object> workbook() throws Exception {
    Map<String, Object> out = new LinkedHashMap<>();
    out.put("date1904", book.getInternalWorkbook().isUsing1904DateWindowing());
    out.put("summary", summary(book.getSummaryInformation()));
    out.put("protection", workbookProtection());
    out.put("custom_colours", customColours());
    out.put("names", names());
    out.put("evaluated", evaluated());
    out.put("picture_count", book.getAllPictures().size());
    List<Object> sheets = new ArrayList<>();
    for (int i = 0; i < book.getNumberOfSheets(); ++i) sheets.add(sheet(i));
    out.put("sheets", sheets);
    return out;
  }

  private static Map<String, Object> summary(SummaryInformation summary) {
    if (summary == null) {
      return null;
    }
    return new Fields()
        .with("title", summary.getTitle())
        .with("subject", summary.getSubject())
        .with("author", summary.getAuthor())
        .with("keywords", summary.getKeywords())
        .with("comments", summary.getComments())
        .with("application", summary.getApplicationName());
  }

  private Map<String, Object> workbookProtection() {
    Map<String, Object> out = new LinkedHashMap<>();
    ProtectRecord protect =
        (ProtectRecord) book.getInternalWorkbook().findFirstRecordBySid(ProtectRecord.sid);
    PasswordRecord password =
        (PasswordRecord) book.getInternalWorkbook().findFirstRecordBySid(PasswordRecord.sid);
    out.put("structure", protect != null && protect.getProtect());
    out.put("password_hash", password == null ? 0 : password.getPassword() & 0xFFFF);
    out.put("write_protected", book.isWriteProtected());
    return out;
  }

  // Palette entries that differ from the palette of a new workbook.
  private List<Object> customColours() throws Exception {
    List<Object> out = new ArrayList<>();
    try (HSSFWorkbook fresh = new HSSFWorkbook()) {
      HSSFPalette standard = fresh.getCustomPalette();
      for (short index = 8; index < 64; ++index) {
        String rgb = rgb(palette.getColor(index));
        if (!rgb.equals(rgb(standard.getColor(index)))) {
          out.add(new Fields().with("index", index).with("rgb", rgb));
        }
      }
    }
    return out;
  }

  private List<Object> names() {
    List<Object> out = new ArrayList<>();
    for (int i = 0; i < book.getNumberOfNames(); ++i) {
      HSSFName name = book.getNameAt(i);
      out.add(new Fields()
                  .with("name", name.getNameName())
                  .with("sheet_index", name.getSheetIndex())
                  .with("refers_to", name.getRefersToFormula())
                  .with("builtin", book.getNameRecord(i).isBuiltInName()));
    }
    return out;
  }

  // Every formula as POI's own evaluator computes it (names included), or
  // the reason it cannot.
  private List<Object> evaluated() {
    List<Object> out = new ArrayList<>();
    HSSFFormulaEvaluator evaluator = book.getCreationHelper().createFormulaEvaluator();
    for (int i = 0; i < book.getNumberOfSheets(); ++i) {
      for (org.apache.poi.ss.usermodel.Row row : book.getSheetAt(i)) {
        for (Cell cell : row) {
          if (cell.getCellType() != CellType.FORMULA) continue;
          Object value;
          try {
            CellValue result = evaluator.evaluate(cell);
            value = result.getCellType() == CellType.NUMERIC ? (Object) result.getNumberValue()
                                                             : result.formatAsString();
          } catch (RuntimeException e) {
            value = e.getClass().getSimpleName() + ": " + e.getMessage();
          }
          out.add(new Fields()
                      .with("sheet", book.getSheetName(i))
                      .with("address", cell.getAddress().formatAsString())
                      .with("value", value));
        }
      }
    }
    return out;
  }

  private Map<String, Object> sheet(int index) throws Exception {
    HSSFSheet sheet = book.getSheetAt(index);
    Map<String, Object> out = new LinkedHashMap<>();
    out.put("name", sheet.getSheetName());
    out.put("hidden", book.isSheetHidden(index));
    out.put("cells", cells(sheet));
    List<Object> merged = new ArrayList<>();
    for (CellRangeAddress range : sheet.getMergedRegions()) merged.add(range.formatAsString());
    out.put("merged", merged);
    out.put("hyperlinks", hyperlinks(sheet));
    out.put("comments", comments(sheet));
    out.put("notes", notes(sheet));
    out.put("default_column_width", sheet.getDefaultColumnWidth());
    out.put("columns", columns(sheet));
    out.put("default_row_height", sheet.getDefaultRowHeight());
    out.put("rows", rows(sheet));
    out.put("header", headerFooter(sheet.getHeader()));
    out.put("footer", headerFooter(sheet.getFooter()));
    out.put("print", print(sheet));
    // POI looks these up in the link table, and builds one when the file has
    // none; that fails on a file without COUNTRY, so they are asked for only
    // when there are names.
    boolean named = book.getNumberOfNames() > 0;
    out.put("print_area", named ? book.getPrintArea(index) : null);
    out.put("repeating_rows", named ? rangeText(sheet.getRepeatingRows()) : null);
    out.put("repeating_columns", named ? rangeText(sheet.getRepeatingColumns()) : null);
    out.put("row_breaks", sheet.getRowBreaks());
    out.put("column_breaks", sheet.getColumnBreaks());
    out.put("pane", pane(sheet.getPaneInformation()));
    out.put("window", window(sheet));
    out.put("protection", sheetProtection(sheet));
    out.put("pictures", pictures(sheet));
    out.put("outline", outline(sheet));
    out.put("validations", validations(sheet));
    out.put("auto_filter", autoFilter(index));
    out.put("conditional_formats", conditionalFormats(sheet));
    return out;
  }

  // The sheet's AutoFilter: the column count of its AUTOFILTERINFO, and its
  // _FilterDatabase name's area and hidden flag; null without the record.
  private Map<String, Object> autoFilter(int index) throws Exception {
    Method internal = HSSFSheet.class.getDeclaredMethod("getSheet");
    internal.setAccessible(true);
    InternalSheet records = (InternalSheet) internal.invoke(book.getSheetAt(index));
    Record info = records.findFirstRecordBySid(AutoFilterInfoRecord.sid);
    if (info == null) return null;
    Map<String, Object> out = new LinkedHashMap<>();
    out.put("columns", (int) ((AutoFilterInfoRecord) info).getNumEntries());
    for (int i = 0; i < book.getNumberOfNames(); ++i) {
      NameRecord name = book.getNameRecord(i);
      if (name.getBuiltInName() != NameRecord.BUILTIN_FILTER_DB || name.getSheetNumber() != index + 1)
        continue;
      out.put("refers_to", book.getNameAt(i).getRefersToFormula());
      out.put("hidden", name.isHiddenName());
    }
    return out;
  }

  // Each conditional format's ranges and rules. A rule's formulas keep their
  // relative references as offsets from the range's top-left cell (tRefN):
  // they are read back at that cell, as the user typed them.
  private List<Object> conditionalFormats(HSSFSheet sheet) throws Exception {
    Method record = HSSFConditionalFormattingRule.class.getDeclaredMethod("getCfRuleRecord");
    record.setAccessible(true);
    HSSFSheetConditionalFormatting formats = sheet.getSheetConditionalFormatting();
    List<Object> out = new ArrayList<>();
    for (int i = 0; i < formats.getNumConditionalFormattings(); ++i) {
      HSSFConditionalFormatting format = formats.getConditionalFormattingAt(i);
      CellRangeAddress[] ranges = format.getFormattingRanges();
      List<Object> regions = new ArrayList<>();
      for (CellRangeAddress range : ranges) regions.add(range.formatAsString());
      List<Object> rules = new ArrayList<>();
      for (int j = 0; j < format.getNumberOfRules(); ++j) {
        HSSFConditionalFormattingRule rule = format.getRule(j);
        CFRuleBase cf = (CFRuleBase) record.invoke(rule);
        Map<String, Object> r = new LinkedHashMap<>();
        r.put("type", (int) cf.getConditionType());
        r.put("operator", (int) rule.getComparisonOperation());
        r.put("formula1", formulaAt(cf.getParsedExpression1(), ranges[0]));
        r.put("formula2", formulaAt(cf.getParsedExpression2(), ranges[0]));
        HSSFFontFormatting font = rule.getFontFormatting();
        r.put("font_colour", font == null ? null : (int) font.getFontColorIndex());
        r.put("bold", font == null ? null : font.isBold());
        r.put("italic", font == null ? null : font.isItalic());
        HSSFPatternFormatting fill = rule.getPatternFormatting();
        r.put("fill_pattern", fill == null ? null : (int) fill.getFillPattern());
        r.put("fill_colour", fill == null ? null : (int) fill.getFillBackgroundColor());
        HSSFBorderFormatting border = rule.getBorderFormatting();
        r.put("border_style", border == null ? null : (int) border.getBorderLeft().getCode());
        r.put("border_colours", border == null ? null : List.of(
            (int) border.getLeftBorderColor(), (int) border.getRightBorderColor(),
            (int) border.getTopBorderColor(), (int) border.getBottomBorderColor()));
        rules.add(r);
      }
      Map<String, Object> f = new LinkedHashMap<>();
      f.put("regions", regions);
      f.put("rules", rules);
      out.add(f);
    }
    return out;
  }

  private String formulaAt(Ptg[] tokens, CellRangeAddress range) {
    if (tokens == null || tokens.length == 0) return null;
    Ptg[] atCell = new SharedFormula(SpreadsheetVersion.EXCEL97)
        .convertSharedFormulas(tokens, range.getFirstRow(), range.getFirstColumn());
    return HSSFFormulaParser.toFormulaString(book, atCell);
  }

  private List<Object> cells(HSSFSheet sheet) {
    List<Object> out = new ArrayList<>();
    for (org.apache.poi.ss.usermodel.Row row : sheet) {
      for (Cell cell : row) out.add(cell((HSSFCell) cell));
    }
    return out;
  }

  private static List<Object> hyperlinks(HSSFSheet sheet) {
    List<Object> out = new ArrayList<>();
    for (HSSFHyperlink link : sheet.getHyperlinkList()) {
      CellRangeAddress range = new CellRangeAddress(
          link.getFirstRow(), link.getLastRow(), link.getFirstColumn(), link.getLastColumn());
      out.add(new Fields()
                  .with("range", range.formatAsString())
                  .with("type", link.getType().name().toLowerCase())
                  .with("address", link.getAddress())
                  .with("label", link.getLabel()));
    }
    return out;
  }

  // Data validations: the rule, its bounds or items, its messages and cells.
  private static List<Object> validations(HSSFSheet sheet) {
    List<Object> out = new ArrayList<>();
    for (HSSFDataValidation validation : sheet.getDataValidations()) {
      DVConstraint rule = validation.getConstraint();
      List<Object> regions = new ArrayList<>();
      for (CellRangeAddress range : validation.getRegions().getCellRangeAddresses())
        regions.add(range.formatAsString());
      String[] items = rule.getExplicitListValues();
      out.add(new Fields()
                  .with("type", rule.getValidationType())
                  .with("operator", rule.getOperator())
                  .with("items", items == null ? null : java.util.Arrays.asList(items))
                  .with("formula1", rule.getFormula1())
                  .with("formula2", rule.getFormula2())
                  .with("value1", rule.getValue1())
                  .with("value2", rule.getValue2())
                  .with("error_style", validation.getErrorStyle())
                  .with("allow_blank", validation.getEmptyCellAllowed())
                  .with("no_dropdown", validation.getSuppressDropDownArrow())
                  .with("show_prompt", validation.getShowPromptBox())
                  .with("show_error", validation.getShowErrorBox())
                  .with("prompt_title", validation.getPromptBoxTitle())
                  .with("prompt", validation.getPromptBoxText())
                  .with("error_title", validation.getErrorBoxTitle())
                  .with("error", validation.getErrorBoxText())
                  .with("regions", regions));
    }
    return out;
  }

  // Comments by cell, also those on cells that hold nothing.
  private static List<Object> comments(HSSFSheet sheet) {
    List<Object> out = new ArrayList<>();
    for (Map.Entry<CellAddress, HSSFComment> entry : sheet.getCellComments().entrySet()) {
      HSSFComment comment = entry.getValue();
      out.add(new Fields()
                  .with("address", entry.getKey().formatAsString())
                  .with("author", comment.getAuthor())
                  .with("text", comment.getString().getString())
                  .with("visible", comment.isVisible()));
    }
    return out;
  }

  // Each note as getCellComment finds it at its cell, with the row and column
  // the note itself names.
  private static List<Object> notes(HSSFSheet sheet) {
    List<Object> out = new ArrayList<>();
    for (CellAddress address : sheet.getCellComments().keySet()) {
      HSSFComment note = sheet.getCellComment(address);
      out.add(new Fields()
                  .with("address", address.formatAsString())
                  .with("text", note == null ? null : note.getString().getString())
                  .with("author", note == null ? null : note.getAuthor())
                  .with("row", note == null ? -1 : note.getRow())
                  .with("column", note == null ? -1 : note.getColumn())
                  .with("visible", note != null && note.isVisible()));
    }
    return out;
  }

  private Map<String, Object> cell(HSSFCell cell) {
    Map<String, Object> out = new LinkedHashMap<>();
    out.put("address", cell.getAddress().formatAsString());
    CellType type = cell.getCellType();
    out.put("type", typeName(type));
    if (type == CellType.FORMULA) {
      out.put("formula", cell.getCellFormula());
      CellType cached = cell.getCachedFormulaResultType();
      out.put("cached_type", typeName(cached));
      out.put("value", value(cell, cached));
    } else {
      out.put("value", value(cell, type));
      out.put("text", formatter.formatCellValue(cell));
    }
    HSSFCellStyle style = cell.getCellStyle();
    out.put("number_format", style.getDataFormatString());
    out.put("is_date", type == CellType.NUMERIC && DateUtil.isCellDateFormatted(cell));
    out.put("font", font(style.getFont(book)));
    out.put("fill", fill(style));
    out.put("borders", borders(style));
    out.put("alignment", alignment(style));
    return out;
  }

  private static String typeName(CellType type) { return type.name().toLowerCase(); }

  private static Object value(HSSFCell cell, CellType type) {
    switch (type) {
      case NUMERIC:
        return cell.getNumericCellValue();
      case STRING:
        return cell.getStringCellValue();
      case BOOLEAN:
        return cell.getBooleanCellValue();
      case ERROR:
        return FormulaError.forInt(cell.getErrorCellValue()).getString();
      default:
        return null;
    }
  }

  private Map<String, Object> font(HSSFFont font) {
    Map<String, Object> out = new LinkedHashMap<>();
    out.put("name", font.getFontName());
    out.put("height_points", font.getFontHeightInPoints());
    out.put("bold", font.getBold());
    out.put("italic", font.getItalic());
    out.put("underline", font.getUnderline());
    out.put("strikeout", font.getStrikeout());
    out.put("script", font.getTypeOffset());
    out.put("colour", colour(font.getColor()));
    return out;
  }

  private Map<String, Object> fill(HSSFCellStyle style) {
    return new Fields()
        .with("pattern", style.getFillPattern().name().toLowerCase())
        .with("fg", colour(style.getFillForegroundColor()))
        .with("bg", colour(style.getFillBackgroundColor()));
  }

  private Map<String, Object> borders(HSSFCellStyle style) {
    return new Fields()
        .with("left", border(style.getBorderLeft().name(), style.getLeftBorderColor()))
        .with("right", border(style.getBorderRight().name(), style.getRightBorderColor()))
        .with("top", border(style.getBorderTop().name(), style.getTopBorderColor()))
        .with("bottom", border(style.getBorderBottom().name(), style.getBottomBorderColor()));
  }

  private Map<String, Object> border(String style, short colour) {
    return new Fields().with("style", style.toLowerCase()).with("colour", colour(colour));
  }

  private static Map<String, Object> alignment(HSSFCellStyle style) {
    Map<String, Object> out = new LinkedHashMap<>();
    out.put("horizontal", style.getAlignment().name().toLowerCase());
    out.put("vertical", style.getVerticalAlignment().name().toLowerCase());
    out.put("wrap", style.getWrapText());
    out.put("rotation", style.getRotation());
    out.put("indent", style.getIndention());
    out.put("shrink", style.getShrinkToFit());
    out.put("locked", style.getLocked());
    out.put("formula_hidden", style.getHidden());
    return out;
  }

  // A palette index with its RGB; the system colours (64 and up) have none.
  private Map<String, Object> colour(short index) {
    return new Fields().with("index", index).with("rgb", rgb(palette.getColor(index)));
  }

  private static String rgb(HSSFColor colour) {
    if (colour == null) {
      return null;
    }
    short[] triplet = colour.getTriplet();
    return String.format("#%02X%02X%02X", triplet[0], triplet[1], triplet[2]);
  }

  // Columns with a width other than the default, or hidden.
  private static List<Object> columns(HSSFSheet sheet) {
    List<Object> out = new ArrayList<>();
    int standard = sheet.getDefaultColumnWidth() * 256;
    for (int col = 0; col < COLUMN_COUNT; ++col) {
      int width = sheet.getColumnWidth(col);
      boolean hidden = sheet.isColumnHidden(col);
      if (width != standard || hidden) {
        out.add(new Fields()
                    .with("index", col)
                    .with("letter", CellReference.convertNumToColString(col))
                    .with("width", width)
                    .with("hidden", hidden));
      }
    }
    return out;
  }

  // Every row the file describes, in twips (1/20 point).
  private static List<Object> rows(HSSFSheet sheet) {
    List<Object> out = new ArrayList<>();
    for (org.apache.poi.ss.usermodel.Row row : sheet) {
      out.add(new Fields()
                  .with("index", row.getRowNum())
                  .with("height", row.getHeight())
                  .with("hidden", row.getZeroHeight()));
    }
    return out;
  }

  private static Map<String, Object> headerFooter(HeaderFooter part) {
    return new Fields()
        .with("left", part.getLeft())
        .with("center", part.getCenter())
        .with("right", part.getRight());
  }

  private static Map<String, Object> print(HSSFSheet sheet) {
    HSSFPrintSetup setup = sheet.getPrintSetup();
    Map<String, Object> out = new LinkedHashMap<>();
    out.put("paper_size", setup.getPaperSize());
    out.put("landscape", setup.getLandscape());
    out.put("no_orientation", setup.getNoOrientation());
    out.put("scale", setup.getScale());
    out.put("fit_to_page", sheet.getFitToPage());
    out.put("fit_width", setup.getFitWidth());
    out.put("fit_height", setup.getFitHeight());
    out.put("first_page", setup.getUsePage() ? (Object) setup.getPageStart() : null);
    out.put("copies", setup.getCopies());
    out.put("black_and_white", setup.getNoColor());
    out.put("draft", setup.getDraft());
    out.put("left_to_right", setup.getLeftToRight());
    Map<String, Object> margins = new LinkedHashMap<>();
    for (int i = 0; i < EDGES.length; ++i) margins.put(EDGE_NAMES[i], sheet.getMargin(EDGES[i]));
    margins.put("header", setup.getHeaderMargin());
    margins.put("footer", setup.getFooterMargin());
    out.put("margins", margins);
    out.put("center_horizontally", sheet.getHorizontallyCenter());
    out.put("center_vertically", sheet.getVerticallyCenter());
    out.put("gridlines", sheet.isPrintGridlines());
    out.put("headings", sheet.isPrintRowAndColumnHeadings());
    return out;
  }

  private static String rangeText(CellRangeAddress range) {
    return range == null ? null : range.formatAsString();
  }

  private static Map<String, Object> pane(PaneInformation pane) {
    if (pane == null) {
      return null;
    }
    Map<String, Object> out = new LinkedHashMap<>();
    out.put("frozen", pane.isFreezePane());
    out.put("vertical_split", pane.getVerticalSplitPosition());
    out.put("horizontal_split", pane.getHorizontalSplitPosition());
    out.put("left_column", pane.getVerticalSplitLeftColumn());
    out.put("top_row", pane.getHorizontalSplitTopRow());
    out.put("active_pane", pane.getActivePane());
    return out;
  }

  // WINDOW2 and SCL have no getters on HSSFSheet; its internal sheet does.
  private static Map<String, Object> window(HSSFSheet sheet) throws Exception {
    Method internal = HSSFSheet.class.getDeclaredMethod("getSheet");
    internal.setAccessible(true);
    InternalSheet records = (InternalSheet) internal.invoke(sheet);
    WindowTwoRecord window = records.getWindowTwo();
    Map<String, Object> out = new LinkedHashMap<>();
    out.put("zoom", zoom(records.findFirstRecordBySid(SCLRecord.sid)));
    out.put("gridlines", window.getDisplayGridlines());
    out.put("headings", window.getDisplayRowColHeadings());
    out.put("zeros", window.getDisplayZeros());
    out.put("right_to_left", sheet.isRightToLeft());
    out.put("selected", window.getSelected());
    out.put("top_row", window.getTopRow());
    out.put("left_column", window.getLeftCol());
    return out;
  }

  // POI keeps SCL as a record it does not decode: numerator and denominator
  // are read from the record's bytes, after its 4-byte header.
  private static Integer zoom(Record scl) {
    if (scl == null) {
      return null;
    }
    byte[] bytes = scl.serialize();
    int denominator = LittleEndian.getUShort(bytes, 6);
    return denominator == 0 ? null : 100 * LittleEndian.getUShort(bytes, 4) / denominator;
  }

  private static Map<String, Object> sheetProtection(HSSFSheet sheet) {
    return new Fields()
        .with("contents", sheet.getProtect())
        .with("objects", sheet.getObjectProtect())
        .with("scenarios", sheet.getScenarioProtect())
        .with("password_hash", sheet.getPassword() & 0xFFFF);
  }

  // Outline levels and collapsed marks of the rows (ROW) and column runs
  // (COLINFO) the file describes, the sheet options word (WSBOOL) and the
  // gutter levels (GUTS), each null without its record. POI 4.0 reads
  // WSBOOL's two bytes the other way round: getRowSumsBelow and
  // getRowSumsRight answer bits 0x4000 and 0x8000 of the word, so the word is
  // given as well.
  private static Map<String, Object> outline(HSSFSheet sheet) throws Exception {
    Method internal = HSSFSheet.class.getDeclaredMethod("getSheet");
    internal.setAccessible(true);
    InternalSheet records = (InternalSheet) internal.invoke(sheet);
    List<Object> rows = new ArrayList<>();
    for (org.apache.poi.ss.usermodel.Row row : sheet) {
      RowRecord record = records.getRow(row.getRowNum());
      rows.add(new Fields()
                   .with("index", row.getRowNum())
                   .with("level", row.getOutlineLevel())
                   .with("hidden", row.getZeroHeight())
                   .with("collapsed", record.getColapsed()));
    }
    List<Object> columns = new ArrayList<>();
    for (RecordBase block : records.getRecords()) {
      if (!(block instanceof ColumnInfoRecordsAggregate)) continue;
      ((ColumnInfoRecordsAggregate) block).visitContainedRecords(record -> {
        ColumnInfoRecord info = (ColumnInfoRecord) record;
        columns.add(new Fields()
                        .with("first", info.getFirstColumn())
                        .with("last", info.getLastColumn())
                        .with("level", info.getOutlineLevel())
                        .with("hidden", info.getHidden())
                        .with("collapsed", info.getCollapsed()));
      });
    }
    GutsRecord guts = (GutsRecord) records.findFirstRecordBySid(GutsRecord.sid);
    WSBoolRecord options = (WSBoolRecord) records.findFirstRecordBySid(WSBoolRecord.sid);
    return new Fields()
        .with("rows", rows)
        .with("columns", columns)
        .with("sums_below", options == null ? null : sheet.getRowSumsBelow())
        .with("sums_right", options == null ? null : sheet.getRowSumsRight())
        .with("wsbool", options == null ? null
                                        : (options.getWSBool1() & 0xFF) << 8
                                              | (options.getWSBool2() & 0xFF))
        .with("guts", guts == null ? null
                                   : new Fields()
                                         .with("row_levels", guts.getRowLevelMax())
                                         .with("column_levels", guts.getColLevelMax()));
  }

  private static List<Object> pictures(HSSFSheet sheet) throws Exception {
    List<Object> out = new ArrayList<>();
    HSSFPatriarch patriarch = sheet.getDrawingPatriarch();
    if (patriarch == null) {
      return out;
    }
    for (HSSFShape shape : patriarch.getChildren()) {
      if (!(shape instanceof HSSFPicture)) {
        continue;
      }
      HSSFPicture picture = (HSSFPicture) shape;
      HSSFClientAnchor anchor = picture.getClientAnchor();
      byte[] image = picture.getPictureData().getData();
      out.add(new Fields()
                  .with("from",
                      corner(anchor.getCol1(), anchor.getRow1(), anchor.getDx1(), anchor.getDy1()))
                  .with("to",
                      corner(anchor.getCol2(), anchor.getRow2(), anchor.getDx2(), anchor.getDy2()))
                  .with("format", picture.getPictureData().suggestFileExtension())
                  .with("mime", picture.getPictureData().getMimeType())
                  .with("size", image.length)
                  .with("md5", md5(image)));
    }
    return out;
  }

  // An anchor corner: the cell and the offset in it (1/1024 of its width,
  // 1/256 of its height).
  private static Fields corner(int col, int row, int dx, int dy) {
    return new Fields().with("col", col).with("row", row).with("dx", dx).with("dy", dy);
  }

  private static String md5(byte[] bytes) throws Exception {
    StringBuilder hex = new StringBuilder();
    for (byte b : MessageDigest.getInstance("MD5").digest(bytes)) {
      hex.append(String.format("%02x", b));
    }
    return hex.toString();
  }

  // An object of the dump: its keys in the order they were added.
  @SuppressWarnings("serial") // never serialized
  static final class Fields extends LinkedHashMap<String, Object> {
    Fields with(String key, Object value) {
      put(key, value);
      return this;
    }
  }

  // Just enough JSON for maps, lists, arrays of int, strings, numbers and
  // booleans; the JDK has no writer of its own.
  static final class Json {
    static void write(Object value, StringBuilder out) {
      if (value == null) {
        out.append("null");
      } else if (value instanceof Map) {
        writeMap((Map<?, ?>) value, out);
      } else if (value instanceof List) {
        writeList((List<?>) value, out);
      } else if (value instanceof int[]) {
        List<Object> items = new ArrayList<>();
        for (int item : (int[]) value) items.add(item);
        writeList(items, out);
      } else if (value instanceof String) {
        writeString((String) value, out);
      } else if (value instanceof Double) {
        writeDouble((Double) value, out);
      } else {
        out.append(value); // Boolean and the integer types
      }
    }

    private static void writeMap(Map<?, ?> map, StringBuilder out) {
      out.append('{');
      String separator = "";
      for (Map.Entry<?, ?> entry : map.entrySet()) {
        out.append(separator);
        writeString((String) entry.getKey(), out);
        out.append(':');
        write(entry.getValue(), out);
        separator = ",";
      }
      out.append('}');
    }

    private static void writeList(List<?> list, StringBuilder out) {
      out.append('[');
      String separator = "";
      for (Object item : list) {
        out.append(separator);
        write(item, out);
        separator = ",";
      }
      out.append(']');
    }

    // JSON has no NaN or infinity: those are written as strings.
    private static void writeDouble(double value, StringBuilder out) {
      if (Double.isNaN(value) || Double.isInfinite(value)) {
        writeString(Double.toString(value), out);
      } else if (value == Math.rint(value) && Math.abs(value) < 1e15) {
        out.append((long) value);
      } else {
        out.append(value);
      }
    }

    // Everything outside printable ASCII is escaped, so the output does not
    // depend on the JVM's console encoding.
    private static void writeString(String text, StringBuilder out) {
      out.append('"');
      for (char c : text.toCharArray()) {
        if (c == '"' || c == '\\') {
          out.append('\\').append(c);
        } else if (c < 0x20 || c > 0x7e) {
          out.append(String.format("\\u%04x", (int) c));
        } else {
          out.append(c);
        }
      }
      out.append('"');
    }
  }
}
