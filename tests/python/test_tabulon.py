"""The Python package read back through xlrd and LibreOffice: frames of
every dtype, every script in BIFF8, the pandas engine and its options, the
object model, its docstrings and the refusals."""

import ast
import datetime as dt
import decimal
import inspect
import io
import pathlib
import re
import shutil
import struct
import subprocess
import warnings

import numpy as np
import pandas as pd
import pytest
import xlrd

import tabulon
from tabulon import _tabulon


def open_book(path):
    return xlrd.open_workbook(str(path), formatting_info=True)


def cell_format(book, cell):
    return book.format_map[book.xf_list[cell.xf_index].format_key].format_str


def cell_font(book, cell):
    return book.font_list[book.xf_list[cell.xf_index].font_index]


# A text each format keeps whole: the code page's characters in BIFF5, every
# script in BIFF8.
TEXTS = {"biff5": "Grüße €", "biff8": "Grüße € Ωμέγα Привет 日本語 한국어 שלום 😀"}


# One text per script, and a sheet name outside the Latin script.
SCRIPTS = ["Ångström façade Dvořák", "Привет", "Ωμέγα", "שלום", "مرحبا", "日本語 中文", "한국어",
           "😀 emoji"]
CYRILLIC_SHEET = "Отчёт"


def write_scripts_file(path):
    tabulon.write_frame(pd.DataFrame({"text": SCRIPTS}), path, sheet_name=CYRILLIC_SHEET,
                        index=False, file_format="biff8")


def every_dtype_frame(text="Grüße €"):
    return pd.DataFrame(
        {
            "int": np.array([1, -2, 3], dtype="int64"),
            "float": [1.5, np.nan, -2.25],
            "when": pd.to_datetime(["2024-02-29 13:45:30", None, "1999-12-31"]),
            "day": [dt.date(2024, 1, 2), None, dt.date(1900, 3, 1)],
            "span": pd.to_timedelta(["1 days 02:00:00", None, "00:30:00"]),
            "flag": [True, False, True],
            "maybe": pd.array([True, None, False], dtype="boolean"),
            "kind": pd.Categorical(["b", None, "a"]),
            "text": [text, None, "42"],
            "nullable": pd.array([7, None, 9], dtype="Int64"),
        },
        index=pd.Index(["x", "y", "z"], name="key"),
    )


@pytest.mark.parametrize("file_format", ["biff5", "biff8"])
def test_frame_round_trip_with_report_layout(tmp_path, file_format):
    path = tmp_path / "frame.xls"
    tabulon.write_frame(every_dtype_frame(TEXTS[file_format]), path, sheet_name="Data",
                        title="Report", totals=True, float_format="%.1f", file_format=file_format)
    book = open_book(path)
    assert book.biff_version == {"biff5": 50, "biff8": 80}[file_format]
    sheet = book.sheet_by_name("Data")
    assert sheet.cell_value(0, 0) == "Report"
    assert (0, 1, 0, 11) in sheet.merged_cells
    assert sheet.row_values(1) == ["key", "int", "float", "when", "day", "span", "flag",
                                   "maybe", "kind", "text", "nullable"]
    assert cell_font(book, sheet.cell(1, 1)).bold
    assert sheet.panes_are_frozen and sheet.horz_split_pos == 2
    row = [sheet.cell(2, c) for c in range(11)]
    assert [c.ctype for c in row] == [xlrd.XL_CELL_TEXT, xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_NUMBER,
                                      xlrd.XL_CELL_DATE, xlrd.XL_CELL_DATE, xlrd.XL_CELL_DATE,
                                      xlrd.XL_CELL_BOOLEAN, xlrd.XL_CELL_BOOLEAN,
                                      xlrd.XL_CELL_TEXT, xlrd.XL_CELL_TEXT, xlrd.XL_CELL_NUMBER]
    assert xlrd.xldate_as_datetime(row[3].value, 0) == dt.datetime(2024, 2, 29, 13, 45, 30)
    assert xlrd.xldate_as_datetime(row[4].value, 0) == dt.datetime(2024, 1, 2)
    assert row[5].value == pytest.approx(26 / 24)
    assert [cell_format(book, row[c]) for c in (1, 2, 3, 4, 5)] == [
        "0", "0.0", "yyyy-mm-dd hh:mm:ss", "yyyy-mm-dd", "[h]:mm:ss"]
    assert row[9].value == TEXTS[file_format]
    assert sheet.cell(4, 9).value == "42" and sheet.cell(4, 9).ctype == xlrd.XL_CELL_TEXT
    empty = (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK)
    assert all(sheet.cell(3, c).ctype in empty for c in range(2, 11) if c != 6)
    assert sheet.cell_value(3, 8) == "" and sheet.cell_value(4, 8) == "a"
    assert sheet.row_values(5)[:3] == ["Total", 2.0, -0.75]
    assert sheet.cell_value(5, 10) == 16.0
    assert sheet.colinfo_map[9].width > sheet.colinfo_map[6].width


def test_biff8_keeps_every_script(tmp_path):
    write_scripts_file(tmp_path / "scripts.xls")
    sheet = open_book(tmp_path / "scripts.xls").sheet_by_name(CYRILLIC_SHEET)
    assert sheet.col_values(0) == ["text"] + SCRIPTS


def converted_by_libreoffice(paths, folder):
    """The .xlsx files LibreOffice makes of paths, in one start of it."""
    profile = (folder / "profile").as_uri()  # apart from any LibreOffice already running
    subprocess.run([shutil.which("soffice"), f"-env:UserInstallation={profile}", "--headless",
                    "--convert-to", "xlsx", "--outdir", str(folder), *map(str, paths)],
                   check=True, capture_output=True, timeout=300)
    return [folder / (path.stem + ".xlsx") for path in paths]


@pytest.mark.skipif(not shutil.which("soffice"), reason="LibreOffice (soffice) is not installed")
def test_libreoffice_reads_frames_of_both_formats(tmp_path):
    import openpyxl

    sources = []
    for file_format in tabulon.FILE_FORMATS:
        sources.append(tmp_path / f"{file_format}.xls")
        tabulon.write_frame(every_dtype_frame(TEXTS[file_format]), sources[-1], sheet_name="Data",
                            title="Report", totals=True, float_format="%.1f",
                            file_format=file_format)
    sources.append(tmp_path / "scripts.xls")
    write_scripts_file(sources[-1])
    *frames, scripts = converted_by_libreoffice(sources, tmp_path)

    for file_format, converted in zip(tabulon.FILE_FORMATS, frames):
        sheet = openpyxl.load_workbook(converted, data_only=True)["Data"]
        rows = [[cell.value for cell in row] for row in sheet.iter_rows()]
        assert rows[0][0] == "Report" and "A1:K1" in sheet.merged_cells
        assert sheet["B2"].font.b and sheet.freeze_panes == "A3"
        assert rows[2] == ["x", 1, 1.5, dt.datetime(2024, 2, 29, 13, 45, 30),
                           dt.datetime(2024, 1, 2), dt.timedelta(days=1, hours=2), True, True,
                           "b", TEXTS[file_format], 7]
        assert rows[3] == ["y", -2, None, None, None, None, False, None, None, None, None]
        assert rows[5][:3] == ["Total", 2, -0.75] and rows[5][10] == 16
        # LibreOffice writes the literal characters of a format escaped: yyyy\-mm.
        assert [sheet.cell(3, c).number_format.replace("\\", "") for c in range(2, 7)] == [
            "0", "0.0", "yyyy-mm-dd hh:mm:ss", "yyyy-mm-dd", "[h]:mm:ss"]
    sheet = openpyxl.load_workbook(scripts)[CYRILLIC_SHEET]
    assert [cell.value for cell in sheet["A"]] == ["text"] + SCRIPTS


def test_multiindex_frames_as_pandas_writes_them(tmp_path):
    columns = pd.MultiIndex.from_product([["a", "b"], ["x", "y"]], names=["top", "sub"])
    index = pd.MultiIndex.from_tuples([("k", 1), ("k", 2), ("m", 1)], names=["outer", "inner"])
    df = pd.DataFrame(np.arange(12.0).reshape(3, 4), index=index, columns=columns)
    wb = tabulon.Workbook()
    wb.add_frame(df, "Multi")
    wb.save(tmp_path / "ours.xls")
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # pandas 1.5 deprecates its xlwt engine
        df.to_excel(tmp_path / "xlwt.xls", engine="xlwt", sheet_name="Multi")
    ours = open_book(tmp_path / "ours.xls").sheet_by_name("Multi")
    theirs = open_book(tmp_path / "xlwt.xls").sheet_by_name("Multi")
    assert [ours.row_values(r) for r in range(theirs.nrows)] == [
        theirs.row_values(r) for r in range(theirs.nrows)]
    assert sorted(ours.merged_cells) == sorted(theirs.merged_cells)


def test_pandas_engine_options(tmp_path):
    df = pd.DataFrame({"v": [1.23456, np.nan], "when": pd.to_datetime(["2024-05-06", None]),
                       "s": ["é", "f"]}, index=pd.Index([10, 20], name="id"))
    path = tmp_path / "engine.xls"
    df.to_excel(path, engine="tabulon", sheet_name="S", startrow=2, startcol=1,
                float_format="%.2f", na_rep="-", freeze_panes=(3, 2))
    book = open_book(path)
    sheet = book.sheet_by_name("S")
    assert sheet.row_values(2)[1:] == ["id", "v", "when", "s"]
    assert cell_font(book, sheet.cell(2, 2)).bold and sheet.cell(2, 2).xf_index > 0
    assert sheet.row_values(3)[1:3] == [10.0, 1.23]
    assert sheet.cell_value(4, 2) == "-" and sheet.cell_value(4, 3) == "-"
    assert cell_format(book, sheet.cell(3, 3)) == "YYYY-MM-DD HH:MM:SS"
    assert sheet.panes_are_frozen and (sheet.horz_split_pos, sheet.vert_split_pos) == (3, 2)

    style_map = getattr(df.style, "map", None) or df.style.applymap  # map from pandas 2.1
    styled = style_map(
        lambda v: "color: red; font-weight: bold; background-color: #FFFF00; border: 1px solid"
        if v == "é" else "")
    styled.to_excel(tmp_path / "styled.xls", engine="tabulon")
    book = open_book(tmp_path / "styled.xls")
    cell = book.sheet_by_index(0).cell(1, 3)
    xf = book.xf_list[cell.xf_index]
    assert cell_font(book, cell).bold and xf.border.top_line_style == 1
    assert book.colour_map[xf.background.pattern_colour_index] == (255, 255, 0)

    target = tmp_path / "two.xls"
    with pd.ExcelWriter(target, engine="tabulon", date_format="DD.MM.YYYY") as writer:
        df.to_excel(writer, sheet_name="A", index=False, header=False)
        df.to_excel(writer, sheet_name="B")
        assert set(writer.sheets) == {"A", "B"} and isinstance(writer.book, tabulon.Workbook)
    two = open_book(target)
    assert two.sheet_names() == ["A", "B"] and two.sheet_by_name("A").nrows == 2
    # pandas 1.5's to_excel takes no engine_kwargs; its ExcelWriter does.
    biff8 = tmp_path / "biff8.xls"
    with pd.ExcelWriter(biff8, engine="tabulon", engine_kwargs={"file_format": "biff8"}) as writer:
        df.assign(s=SCRIPTS[:2]).to_excel(writer, sheet_name=CYRILLIC_SHEET)
    back = open_book(biff8)
    assert back.biff_version == 80
    assert back.sheet_by_name(CYRILLIC_SHEET).col_values(3, 1) == SCRIPTS[:2]
    buffer = io.BytesIO()
    df.to_excel(buffer, engine="tabulon")
    from_buffer = xlrd.open_workbook(file_contents=buffer.getvalue()).sheet_by_index(0)
    assert from_buffer.col_values(0, 1) == [10.0, 20.0]

    failed = tmp_path / "failed.xls"
    with pytest.raises(ValueError, match="not allowed"):
        df.to_excel(failed, engine="tabulon", sheet_name="bad/name")
    assert not failed.exists()
    with pytest.raises(RuntimeError):
        with pd.ExcelWriter(failed, engine="tabulon") as writer:
            df.to_excel(writer)
            raise RuntimeError("interrupted")
    assert not failed.exists()


def bitmap_file(path, width=4, height=3):
    row = bytes([0, 0, 255] * width) + bytes((-3 * width) % 4)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    path.write_bytes(header + info + pixels)
    return path


def test_object_model_round_trip(tmp_path):
    wb = tabulon.Workbook(file_format="biff5")
    sheet = wb.add_sheet("Model")
    sheet["A1"] = dt.datetime(2020, 1, 2, 3, 4, 5)
    sheet["A2"] = dt.date(2021, 6, 7)
    sheet["A3"] = dt.time(12, 30)
    sheet["A4"] = decimal.Decimal("2.5")
    sheet["A5"] = np.int64(7)
    sheet["A6"] = np.float32(0.5)
    sheet["A7"] = np.bool_(True)
    sheet["A8"] = "42"
    sheet["A9"] = None
    sheet.range("B1:D2").value = np.array([[1, 2, 3], [4, 5, 6]])
    sheet.range("B3:D3").value = ("x", 1.5, False)
    sheet["E1"].formula = "=SUM(B1:D2)"
    sheet["B1:D1"].number_format = "0.00"
    sheet["B3"].number_format = ""  # General
    cell = sheet["B2"]
    cell.font.bold = True
    cell.font.size = 14
    cell.font.color = "#FF0000"
    cell.fill.color = (0, 0, 255)
    cell.borders.weight = "thick"
    sheet["F1:G2"].merge()
    sheet["F1"] = "merged"
    sheet["B1"].column_width = 20
    sheet.set_row_height(3, 30)
    sheet.freeze_panes(1, 1)
    sheet.page_setup.orientation = "landscape"
    sheet.page_setup.top_margin = 2.0
    sheet.insert_bitmap(5, 5, str(bitmap_file(tmp_path / "dot.bmp")))
    assert sheet["A1"].value == dt.datetime(2020, 1, 2, 3, 4, 5)
    assert sheet["E1"].formula == "=SUM(B1:D2)" and sheet["E1"].value == 21.0
    assert sheet["B1:C1"].value == [[1.0, 2.0]]
    assert cell.font.color == "#FF0000" and sheet.page_setup.orientation == "landscape"
    wb.save(tmp_path / "model.xls")

    book = open_book(tmp_path / "model.xls")
    back = book.sheet_by_name("Model")
    assert xlrd.xldate_as_datetime(back.cell_value(0, 0), 0) == dt.datetime(2020, 1, 2, 3, 4, 5)
    assert [back.cell(r, 0).ctype for r in range(3)] == [xlrd.XL_CELL_DATE] * 3
    assert back.col_values(0, 3, 8) == [2.5, 7.0, 0.5, 1, "42"]
    assert back.cell(6, 0).ctype == xlrd.XL_CELL_BOOLEAN and back.cell(7, 0).ctype == 1
    assert back.row_values(2, 1, 4) == ["x", 1.5, 0] and back.cell_value(0, 4) == 21.0
    assert cell_format(book, back.cell(0, 1)) == "0.00"
    assert "" not in [f.format_str for f in book.format_map.values()]
    font = cell_font(book, back.cell(1, 1))
    assert font.bold and font.height == 280
    assert book.colour_map[font.colour_index] == (255, 0, 0)
    assert (0, 2, 5, 7) in back.merged_cells and back.cell_value(0, 5) == "merged"
    assert round(back.colinfo_map[1].width / 256) == 21  # 20 characters and the cell margins
    assert back.rowinfo_map[3].height == 600
    assert back.panes_are_frozen


STUB = pathlib.Path(tabulon.__file__).with_name("_tabulon.pyi")
SHOWN_DUNDERS = {"__init__", "__getitem__", "__setitem__", "__repr__"}


def stub_members():
    """{"Class.member": (docstring, parameter names or None)} of the stub."""
    members = {}

    def walk(body, prefix):
        for node, following in zip(body, body[1:] + [None]):
            if isinstance(node, ast.ClassDef):
                members[prefix + node.name] = (ast.get_docstring(node), None)
                walk(node.body, node.name + ".")
            elif isinstance(node, ast.FunctionDef):
                decorators = [getattr(d, "attr", getattr(d, "id", "")) for d in node.decorator_list]
                if "setter" in decorators:
                    continue
                parameters = [a.arg for a in node.args.args if a.arg != "self"]
                is_property = "property" in decorators
                members[prefix + node.name] = (ast.get_docstring(node),
                                               None if is_property else parameters)
            elif isinstance(node, ast.AnnAssign) and prefix:
                documented = isinstance(following, ast.Expr) and isinstance(
                    following.value, ast.Constant)
                members[prefix + node.target.id] = (
                    inspect.cleandoc(following.value.value) if documented else None, None)

    walk(ast.parse(STUB.read_text()).body, "")
    return members


def runtime_member(obj):
    """(docstring, parameter names or None) as help() shows them."""
    if isinstance(obj, (type, property)):
        return obj.__doc__, None
    signature, _, doc = obj.__doc__.partition("\n\n")
    return doc, [name for name in re.findall(r"(\w+): ", signature) if name != "self"]


def runtime_members():
    members = {}
    for name, obj in vars(_tabulon).items():
        if isinstance(obj, type):
            members[name] = runtime_member(obj)
            for member, value in vars(obj).items():
                defined_here = isinstance(value, property) or (
                    callable(value) and (value.__doc__ or "").startswith(member + "("))
                if defined_here and (not member.startswith("_") or member in SHOWN_DUNDERS):
                    members[f"{name}.{member}"] = runtime_member(value)
        elif callable(obj):
            members[name] = runtime_member(obj)
    return members


def test_every_member_is_documented_as_the_stub_says():
    def words(doc):
        return " ".join(doc.split()) if doc else None

    stub = {name: (words(doc), parameters) for name, (doc, parameters) in stub_members().items()}
    runtime = {name: (words(doc), parameters) for name, (doc, parameters) in
               runtime_members().items()}
    assert all(doc for doc, _ in runtime.values())
    assert runtime == stub


def test_refusals_raise_with_the_library_reason(tmp_path):
    wb = tabulon.Workbook()
    sheet = wb.add_sheet("S")
    with pytest.raises(ValueError, match="ZZ9"):
        sheet["ZZ9"]
    with pytest.raises(ValueError, match="IFERROR"):
        sheet["A1"].formula = "=IFERROR(1,2)"
    with pytest.raises(ValueError, match="not allowed"):
        wb.add_sheet("a" * 32)
    with pytest.raises(ValueError, match="already"):
        wb.add_sheet("S")
    with pytest.raises(ValueError, match="1251|code page"):
        tabulon.Workbook(code_page=1)
    with pytest.raises(ValueError, match="not one of biff5, biff8"):
        tabulon.Workbook(file_format="biff7")
    with pytest.raises(ValueError, match="not one of"):
        tabulon.write_frame(pd.DataFrame({"a": [1]}), tmp_path / "x.xls", file_format="xlsx")
    with pytest.raises(ValueError, match="leaves the sheet"):
        sheet.set_numbers(65535, 0, np.zeros(2))
    tall = pd.DataFrame({"a": range(70_000)})
    for file_format in tabulon.FILE_FORMATS:  # both formats end at 65,536 rows
        with pytest.raises(ValueError, match="70000 rows .* do not fit on a sheet of 65536 rows"):
            tabulon.write_frame(tall, tmp_path / "big.xls", file_format=file_format)
        with pytest.raises(ValueError, match="row 65536 lies outside rows 0 to 65535"):
            with pd.ExcelWriter(tmp_path / "big.xls", engine="tabulon",
                                engine_kwargs={"file_format": file_format}) as writer:
                tall.to_excel(writer)
    with pytest.raises(ValueError, match="timezones"):
        wb.add_frame(pd.DataFrame({"t": pd.date_range("2024", periods=2, tz="UTC")}), "Zoned")
    assert "Zoned" not in wb
    with pytest.raises(ValueError):
        sheet.insert_bitmap(0, 0, str(tmp_path / "missing.bmp"))
    sheet["B2"] = "中文"
    with pytest.warns(UnicodeWarning, match="U[+]4E2D.*cell B2 of sheet 'S'"):
        wb.to_bytes()
    missing = tmp_path / "no" / "such" / "dir.xls"
    with pytest.raises(OSError, match="dir.xls"):
        wb.save(missing)
    assert not (tmp_path / "big.xls").exists() and not missing.exists()
