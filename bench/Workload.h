// The benchmark workload W(N): one sheet of N rows and 10 columns; columns 0
// to 4 hold numbers (row * 10 + col + 0.5), columns 5 to 9 short distinct
// texts ("r<row>c<col>"). Every writer of the comparison writes exactly this.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>

namespace bench {

constexpr int kColumns = 10;
constexpr int kNumberColumns = 5;

inline bool IsNumberColumn(int col) {
  return col < kNumberColumns;
}
inline double NumberAt(int32_t row, int col) {
  return row * 10.0 + col + 0.5;
}
inline std::string TextAt(int32_t row, int col) {
  return "r" + std::to_string(row) + "c" + std::to_string(col);
}

// The row count N from argv[1]; exits with a usage message when it is missing or not 1 to 65536.
inline int32_t RowCount(int argc, char** argv, const char* usage) {
  const long rows = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 0;
  if (argc < 3 || rows < 1 || rows > 65536) {
    std::cerr << "usage: " << argv[0] << ' ' << usage << '\n';
    std::exit(2);
  }
  return static_cast<int32_t>(rows);
}

}  // namespace bench
