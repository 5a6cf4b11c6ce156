#include "XLSFormulaFunctions.h"

#include <cctype>
#include <cstring>

#include "XLSFormulaTokens.h"

namespace tabulon {

namespace {

// A fixed count is MinArgs == MaxArgs. Variable functions take at most 30
// arguments in BIFF5.
constexpr TXLSFunctionInfo kFunctions[] = {
    {"COUNT", xlsfunc::kCount, 0, 30, "R", false},
    {"IF", xlsfunc::kIf, 2, 3, "VR", false},
    {"ISNA", xlsfunc::kIsNa, 1, 1, "V", false},
    {"ISERROR", xlsfunc::kIsError, 1, 1, "V", false},
    {"SUM", xlsfunc::kSum, 0, 30, "R", false},
    {"AVERAGE", xlsfunc::kAverage, 1, 30, "R", false},
    {"MIN", xlsfunc::kMin, 1, 30, "R", false},
    {"MAX", xlsfunc::kMax, 1, 30, "R", false},
    {"NA", xlsfunc::kNa, 0, 0, "V", false},
    {"SQRT", xlsfunc::kSqrt, 1, 1, "V", false},
    {"ABS", xlsfunc::kAbs, 1, 1, "V", false},
    {"INT", xlsfunc::kInt, 1, 1, "V", false},
    {"ROUND", xlsfunc::kRound, 2, 2, "V", false},
    {"INDEX", xlsfunc::kIndex, 2, 4, "RV", false},
    {"MID", xlsfunc::kMid, 3, 3, "V", false},
    {"LEN", xlsfunc::kLen, 1, 1, "V", false},
    {"VALUE", xlsfunc::kValue, 1, 1, "V", false},
    {"AND", xlsfunc::kAnd, 1, 30, "R", false},
    {"OR", xlsfunc::kOr, 1, 30, "R", false},
    {"NOT", xlsfunc::kNot, 1, 1, "V", false},
    {"MOD", xlsfunc::kMod, 2, 2, "V", false},
    {"TEXT", xlsfunc::kText, 2, 2, "V", false},
    {"MATCH", xlsfunc::kMatch, 2, 3, "VRV", false},
    {"DATE", xlsfunc::kDate, 3, 3, "V", false},
    {"DAY", xlsfunc::kDay, 1, 1, "V", false},
    {"MONTH", xlsfunc::kMonth, 1, 1, "V", false},
    {"YEAR", xlsfunc::kYear, 1, 1, "V", false},
    {"NOW", xlsfunc::kNow, 0, 0, "V", true},
    {"VLOOKUP", xlsfunc::kVLookup, 3, 4, "VRV", false},
    {"LOWER", xlsfunc::kLower, 1, 1, "V", false},
    {"UPPER", xlsfunc::kUpper, 1, 1, "V", false},
    {"LEFT", xlsfunc::kLeft, 1, 2, "V", false},
    {"RIGHT", xlsfunc::kRight, 1, 2, "V", false},
    {"TRIM", xlsfunc::kTrim, 1, 1, "V", false},
    {"ISTEXT", xlsfunc::kIsText, 1, 1, "V", false},
    {"ISNUMBER", xlsfunc::kIsNumber, 1, 1, "V", false},
    {"ISBLANK", xlsfunc::kIsBlank, 1, 1, "V", false},
    {"COUNTA", xlsfunc::kCountA, 0, 30, "R", false},
    {"ROUNDUP", xlsfunc::kRoundUp, 2, 2, "V", false},
    {"ROUNDDOWN", xlsfunc::kRoundDown, 2, 2, "V", false},
    {"TODAY", xlsfunc::kToday, 0, 0, "V", true},
    {"CONCATENATE", xlsfunc::kConcatenate, 1, 30, "V", false},
    {"SUMIF", xlsfunc::kSumIf, 2, 3, "RVR", false},
    {"COUNTIF", xlsfunc::kCountIf, 2, 2, "RV", false},
};

bool SameName(const char* a, const std::string& b) {
  if (std::strlen(a) != b.size()) return false;
  for (size_t i = 0; i < b.size(); ++i) {
    if (a[i] != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

}  // namespace

bool TXLSFunctionInfo::TakesReference(int arg) const {
  const size_t count = std::strlen(ArgClasses);
  const size_t at = static_cast<size_t>(arg) < count ? static_cast<size_t>(arg) : count - 1;
  return ArgClasses[at] == 'R';
}

const TXLSFunctionInfo* FindFunction(const std::string& name) {
  for (const TXLSFunctionInfo& info : kFunctions) {
    if (SameName(info.Name, name)) return &info;
  }
  return nullptr;
}

const TXLSFunctionInfo* FindFunction(uint16_t index) {
  for (const TXLSFunctionInfo& info : kFunctions) {
    if (info.Index == index) return &info;
  }
  return nullptr;
}

}  // namespace tabulon
