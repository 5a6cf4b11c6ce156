#include "XLSFormulaFunctions.h"

#include <cctype>
#include <cstring>

namespace tabulon {

namespace {

// BIFF function numbers; a fixed count is MinArgs == MaxArgs. Variable
// functions take at most 30 arguments in BIFF5.
constexpr TXLSFunctionInfo kFunctions[] = {
    {"COUNT", 0, 0, 30, "R", false},      {"IF", 1, 2, 3, "VR", false},
    {"ISNA", 2, 1, 1, "V", false},        {"ISERROR", 3, 1, 1, "V", false},
    {"SUM", 4, 0, 30, "R", false},        {"AVERAGE", 5, 1, 30, "R", false},
    {"MIN", 6, 1, 30, "R", false},        {"MAX", 7, 1, 30, "R", false},
    {"NA", 10, 0, 0, "V", false},         {"SQRT", 20, 1, 1, "V", false},
    {"ABS", 24, 1, 1, "V", false},        {"INT", 25, 1, 1, "V", false},
    {"ROUND", 27, 2, 2, "V", false},      {"INDEX", 29, 2, 4, "RV", false},
    {"MID", 31, 3, 3, "V", false},        {"LEN", 32, 1, 1, "V", false},
    {"VALUE", 33, 1, 1, "V", false},      {"AND", 36, 1, 30, "R", false},
    {"OR", 37, 1, 30, "R", false},        {"NOT", 38, 1, 1, "V", false},
    {"MOD", 39, 2, 2, "V", false},        {"TEXT", 48, 2, 2, "V", false},
    {"MATCH", 64, 2, 3, "VRV", false},    {"DATE", 65, 3, 3, "V", false},
    {"DAY", 67, 1, 1, "V", false},        {"MONTH", 68, 1, 1, "V", false},
    {"YEAR", 69, 1, 1, "V", false},       {"NOW", 74, 0, 0, "V", true},
    {"VLOOKUP", 102, 3, 4, "VRV", false}, {"LOWER", 112, 1, 1, "V", false},
    {"UPPER", 113, 1, 1, "V", false},     {"LEFT", 115, 1, 2, "V", false},
    {"RIGHT", 116, 1, 2, "V", false},     {"TRIM", 118, 1, 1, "V", false},
    {"ISTEXT", 127, 1, 1, "V", false},    {"ISNUMBER", 128, 1, 1, "V", false},
    {"ISBLANK", 129, 1, 1, "V", false},   {"COUNTA", 169, 0, 30, "R", false},
    {"ROUNDUP", 212, 2, 2, "V", false},   {"ROUNDDOWN", 213, 2, 2, "V", false},
    {"TODAY", 221, 0, 0, "V", true},      {"CONCATENATE", 336, 1, 30, "V", false},
    {"SUMIF", 345, 2, 3, "RVR", false},   {"COUNTIF", 346, 2, 2, "RV", false},
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
