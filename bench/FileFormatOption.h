// The --format option of the Tabulon benchmark programs: the file format
// SaveAs writes, "biff5" (Excel 5/95, the default) or "biff8" (Excel 97-2003).
#pragma once

#include <tabulon/Tabulon.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>

namespace bench {

// The file format that name stands for; exits with a message on any other name.
inline int32_t FileFormat(const std::string& name) {
  if (name == "biff5") return tabulon::xlExcel5;
  if (name == "biff8") return tabulon::xlExcel8;
  std::cerr << "unknown file format '" << name << "': biff5 or biff8\n";
  std::exit(2);
}

}  // namespace bench
