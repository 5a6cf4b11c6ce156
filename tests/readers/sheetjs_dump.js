// Prints what SheetJS reads from .xls files, as one JSON array with one
// object per file, in argument order:
//
//     node sheetjs_dump.js BOOK.xls ...
//
// A file SheetJS refuses gives {"path": ..., "error": ...}. Each sheet's own
// keys that SheetJS fills ("!margins", "!protect", "!objects", ...) are passed
// on under their names without the "!", with binary data given as its size
// and MD5 digest.
'use strict';
const crypto = require('crypto');
const path = require('path');
const {createRequire} = require('module');

// SheetJS is installed by scripts/setup.sh in the folder beside this script.
const XLSX = createRequire(path.join(__dirname, 'node', 'package.json'))('xlsx');

const READ_OPTIONS = {
  cellNF: true,
  cellFormula: true,
  cellStyles: true,
  sheetStubs: true
};
// Sheet keys turned into lists of their own below, or restated by "cells".
const SHAPED_KEYS = new Set(['!ref', '!merges', '!cols', '!rows']);

function md5(bytes) { return crypto.createHash('md5').update(bytes).digest('hex'); }

// A copy safe for JSON: byte buffers become their size and digest.
function plain(value) {
  if (value instanceof Uint8Array) return {size: value.length, md5: md5(value)};
  if (Array.isArray(value)) return value.map(plain);
  if (value !== null && typeof value === 'object') {
    return Object.fromEntries(Object.entries(value).map(([key, item]) => [key, plain(item)]));
  }
  return value === undefined ? null : value;
}

function cell(address, found) {
  return {
    address,
    type: found.t,
    value: found.v === undefined ? null : found.v,
    formula: found.f === undefined ? null : found.f,
    number_format: found.z === undefined ? null : String(found.z),
    text: found.w === undefined ? null : found.w,
    is_date: found.t === 'n' && found.z !== undefined && XLSX.SSF.is_date(found.z),
    style: found.s === undefined ? null : plain(found.s),
    link: found.l === undefined ? null : plain(found.l),
    comments: found.c === undefined ? null : plain(found.c),
  };
}

function cells(sheet) {
  if (!sheet['!ref']) return [];
  const range = XLSX.utils.decode_range(sheet['!ref']);
  const out = [];
  for (let r = range.s.r; r <= range.e.r; ++r) {
    for (let c = range.s.c; c <= range.e.c; ++c) {
      const address = XLSX.utils.encode_cell({r, c});
      if (sheet[address]) out.push(cell(address, sheet[address]));
    }
  }
  return out;
}

// SheetJS keeps columns and rows as sparse arrays; only the entries present.
function indexed(entries, name) {
  const out = [];
  (entries || []).forEach((entry, index) => {
    if (!entry) return;
    const item = {index, ...plain(entry)};
    if (name) item.letter = XLSX.utils.encode_col(index);
    out.push(item);
  });
  return out;
}

function sheetDump(name, sheet, info) {
  const out = {
    name,
    hidden: info ? info.Hidden : 0,
    ref: sheet['!ref'] || null,
    cells: cells(sheet),
    merged: (sheet['!merges'] || []).map((range) => XLSX.utils.encode_range(range)),
    columns: indexed(sheet['!cols'], true),
    rows: indexed(sheet['!rows'], false),
  };
  for (const key of Object.keys(sheet)) {
    if (key.startsWith('!') && !SHAPED_KEYS.has(key)) out[key.slice(1)] = plain(sheet[key]);
  }
  return out;
}

function fileDump(file) {
  try {
    const book = XLSX.readFile(file, READ_OPTIONS);
    const workbook = book.Workbook || {};
    return {
      path: file,
      date1904: Boolean(workbook.WBProps && workbook.WBProps.date1904),
      names: plain(workbook.Names || []),
      props: plain(book.Props || {}),
      sheets: book.SheetNames.map(
          (name, i) => sheetDump(name, book.Sheets[name], (workbook.Sheets || [])[i])),
    };
  } catch (error) {
    return {path: file, error: String(error && error.message ? error.message : error)};
  }
}

process.stdout.write(JSON.stringify(process.argv.slice(2).map(fileDump)) + '\n');
