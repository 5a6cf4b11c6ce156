// The vocabulary of BIFF5 formula bytes: the token ids a FORMULA record's
// expression is made of, and the numbers of the worksheet functions the
// function table knows. The parser, the printer, the encoder and the
// evaluator speak of tokens and functions through these names only.
#pragma once

#include <cstdint>

namespace tabulon {

/// BIFF5 formula token ids. The operators stand alone and take their
/// operands from the tokens before them; the others carry their data after
/// the id.
namespace xlstoken {

constexpr uint8_t kAdd = 0x03;      ///< a + b
constexpr uint8_t kSub = 0x04;      ///< a - b
constexpr uint8_t kMul = 0x05;      ///< a * b
constexpr uint8_t kDiv = 0x06;      ///< a / b
constexpr uint8_t kPower = 0x07;    ///< a ^ b
constexpr uint8_t kConcat = 0x08;   ///< a & b
constexpr uint8_t kLT = 0x09;       ///< a < b
constexpr uint8_t kLE = 0x0A;       ///< a <= b
constexpr uint8_t kEQ = 0x0B;       ///< a = b
constexpr uint8_t kGE = 0x0C;       ///< a >= b
constexpr uint8_t kGT = 0x0D;       ///< a > b
constexpr uint8_t kNE = 0x0E;       ///< a <> b
constexpr uint8_t kUnion = 0x10;    ///< a, b: the union of two references (print titles)
constexpr uint8_t kUplus = 0x12;    ///< +a
constexpr uint8_t kUminus = 0x13;   ///< -a
constexpr uint8_t kPercent = 0x14;  ///< a%
constexpr uint8_t kParen = 0x15;    ///< parentheses around the operand before it
constexpr uint8_t kMissArg = 0x16;  ///< an argument left empty
constexpr uint8_t kStr = 0x17;      ///< text constant: length byte, then the bytes
constexpr uint8_t kAttr = 0x19;     ///< attribute: option byte, then a word
constexpr uint8_t kErr = 0x1C;      ///< error constant: one TXLSFormulaError byte
constexpr uint8_t kBool = 0x1D;     ///< boolean constant: one byte, 0 or 1
constexpr uint8_t kInt = 0x1E;      ///< whole number constant 0 to 65535: one word
constexpr uint8_t kNum = 0x1F;      ///< number constant: eight bytes of IEEE double

// Function calls, in the value class (their result is taken as a value).
constexpr uint8_t kFunc = 0x41;     ///< fixed argument count: function number
constexpr uint8_t kFuncVar = 0x42;  ///< variable count: argument count, function number

// References in the reference class; kValueClass added gives the value
// class, which a reference takes where its cell's value is wanted.
constexpr uint8_t kRef = 0x24;         ///< one cell of the formula's sheet
constexpr uint8_t kArea = 0x25;        ///< a block of the formula's sheet
constexpr uint8_t kRef3d = 0x3A;       ///< one cell of another sheet
constexpr uint8_t kArea3d = 0x3B;      ///< a block of another sheet
constexpr uint8_t kRefN = 0x2C;        ///< one cell, its relative parts offsets from a base cell
constexpr uint8_t kAreaN = 0x2D;       ///< a block, its relative parts offsets from a base cell
constexpr uint8_t kName = 0x23;        ///< a defined name: its NAME record's 1-based index
constexpr uint8_t kValueClass = 0x20;  ///< added to a reference-class id

/// The length of the reference expression that follows, so that a reader can
/// skip it (print titles of rows and columns together).
constexpr uint8_t kMemFunc = 0x29;

/// kAttr's option bit of a one-argument SUM written as an attribute.
constexpr uint8_t kAttrSum = 0x10;

}  // namespace xlstoken

/// BIFF function numbers of the worksheet functions the formula language
/// knows; the function table gives each its name and argument counts.
namespace xlsfunc {

constexpr uint16_t kCount = 0;
constexpr uint16_t kIf = 1;
constexpr uint16_t kIsNa = 2;
constexpr uint16_t kIsError = 3;
constexpr uint16_t kSum = 4;
constexpr uint16_t kAverage = 5;
constexpr uint16_t kMin = 6;
constexpr uint16_t kMax = 7;
constexpr uint16_t kNa = 10;
constexpr uint16_t kSqrt = 20;
constexpr uint16_t kAbs = 24;
constexpr uint16_t kInt = 25;
constexpr uint16_t kRound = 27;
constexpr uint16_t kIndex = 29;
constexpr uint16_t kMid = 31;
constexpr uint16_t kLen = 32;
constexpr uint16_t kValue = 33;
constexpr uint16_t kAnd = 36;
constexpr uint16_t kOr = 37;
constexpr uint16_t kNot = 38;
constexpr uint16_t kMod = 39;
constexpr uint16_t kText = 48;
constexpr uint16_t kMatch = 64;
constexpr uint16_t kDate = 65;
constexpr uint16_t kDay = 67;
constexpr uint16_t kMonth = 68;
constexpr uint16_t kYear = 69;
constexpr uint16_t kNow = 74;
constexpr uint16_t kVLookup = 102;
constexpr uint16_t kLower = 112;
constexpr uint16_t kUpper = 113;
constexpr uint16_t kLeft = 115;
constexpr uint16_t kRight = 116;
constexpr uint16_t kTrim = 118;
constexpr uint16_t kIsText = 127;
constexpr uint16_t kIsNumber = 128;
constexpr uint16_t kIsBlank = 129;
constexpr uint16_t kCountA = 169;
constexpr uint16_t kRoundUp = 212;
constexpr uint16_t kRoundDown = 213;
constexpr uint16_t kToday = 221;
constexpr uint16_t kConcatenate = 336;
constexpr uint16_t kSumIf = 345;
constexpr uint16_t kCountIf = 346;

}  // namespace xlsfunc

}  // namespace tabulon
