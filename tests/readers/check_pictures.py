#!/usr/bin/python3
"""Prints the pictures of an .xlsx or a .gnumeric file, and the pixels of
bitmap files.

    check_pictures.py BOOK.xlsx [BITMAP.bmp ...]
    check_pictures.py BOOK.gnumeric [BITMAP.bmp ...]

One line per picture, sheets in workbook order, pictures in drawing order:
    picture SHEET CELL DX DY WIDTH HEIGHT IMAGE_WIDTH IMAGE_HEIGHT PIXELS
CELL is the anchor's top-left cell (e.g. B3), DX DY the offset inside it and
WIDTH HEIGHT the picture's size on the sheet, all in pixels (9525 EMU each);
PIXELS is a digest of the embedded image's RGB pixels. Gnumeric's file gives
    image SHEET CELL IMAGE_WIDTH IMAGE_HEIGHT PIXELS
instead, or "image SHEET CELL none" for a picture it kept without pixels.
One line per bitmap:
    bitmap INDEX IMAGE_WIDTH IMAGE_HEIGHT PIXELS
so a test can match each picture with the bitmap file it was made from.
"""
import base64
import gzip
import hashlib
import io
import posixpath
import sys
import xml.etree.ElementTree as ET
import zipfile

from PIL import Image

from sheet_names import column_name

EMU_PER_PIXEL = 9525
NS = {
    "main": "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
    "rel": "http://schemas.openxmlformats.org/package/2006/relationships",
    "xdr": "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing",
    "a": "http://schemas.openxmlformats.org/drawingml/2006/main",
}
R_ID = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}id"
R_EMBED = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}embed"


def pixels(image):
    rgb = image.convert("RGB")
    return "%d %d %s" % (rgb.width, rgb.height, hashlib.md5(rgb.tobytes()).hexdigest())


def relations(book, part):
    """Relationship id -> target part name, for the part's .rels file."""
    folder, name = posixpath.split(part)
    rels_name = posixpath.join(folder, "_rels", name + ".rels")
    if rels_name not in book.namelist():
        return {}
    root = ET.fromstring(book.read(rels_name))
    return {
        r.get("Id"): posixpath.normpath(posixpath.join(folder, r.get("Target")))
        for r in root.findall("rel:Relationship", NS)
    }


def emu_pixels(value):
    return round(int(value) / EMU_PER_PIXEL)


def print_drawing(book, sheet_name, drawing):
    images = relations(book, drawing)
    root = ET.fromstring(book.read(drawing))
    for anchor in root:
        start = anchor.find("xdr:from", NS)
        ext = anchor.find(".//a:xfrm/a:ext", NS)
        blip = anchor.find(".//a:blip", NS)
        if start is None or ext is None or blip is None:
            continue
        col = int(start.find("xdr:col", NS).text)
        row = int(start.find("xdr:row", NS).text)
        image = Image.open(io.BytesIO(book.read(images[blip.get(R_EMBED)])))
        print("picture %s %s%d %d %d %d %d %s" % (
            sheet_name, column_name(col), row + 1,
            emu_pixels(start.find("xdr:colOff", NS).text),
            emu_pixels(start.find("xdr:rowOff", NS).text),
            emu_pixels(ext.get("cx")), emu_pixels(ext.get("cy")), pixels(image)))


def print_gnumeric(path):
    gnm = "{http://www.gnumeric.org/v10.dtd}"
    with gzip.open(path) as stream:
        root = ET.parse(stream).getroot()
    images = {image.get("name"): image.text for image in root.iter("GOImage")}
    for sheet in root.iter(gnm + "Sheet"):
        name = sheet.find(gnm + "Name").text
        for picture in sheet.iter(gnm + "SheetObjectImage"):
            cell = picture.get("ObjectBound").split(":")[0]
            content = picture.find("Content")
            data = images.get(content.get("name")) if content is not None else None
            if not data:
                print("image %s %s none" % (name, cell))
                continue
            image = Image.open(io.BytesIO(base64.b64decode(data)))
            print("image %s %s %s" % (name, cell, pixels(image)))


def print_xlsx(path):
    with zipfile.ZipFile(path) as book:
        sheets = relations(book, "xl/workbook.xml")
        workbook = ET.fromstring(book.read("xl/workbook.xml"))
        for sheet in workbook.find("main:sheets", NS):
            part = sheets[sheet.get(R_ID)]
            for target in relations(book, part).values():
                if "/drawings/" in target:
                    print_drawing(book, sheet.get("name"), target)


def main():
    if sys.argv[1].endswith(".gnumeric"):
        print_gnumeric(sys.argv[1])
    else:
        print_xlsx(sys.argv[1])
    for index, path in enumerate(sys.argv[2:]):
        print("bitmap %d %s" % (index, pixels(Image.open(path))))


if __name__ == "__main__":
    main()
