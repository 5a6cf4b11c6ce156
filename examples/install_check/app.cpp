// The smallest program against an installed Tabulon: parse and write cell
// references and build a variant array. Prints "C7 2 3 ok".
#include <tabulon/Tabulon.h>

#include <iostream>

int main() {
  uint16_t row = 0;
  uint8_t col = 0;
  if (tabulon::GetCellRef("c4", row, col) != 1) return 1;
  tabulon::OleVariant values = tabulon::VarArrayOf({1, 2.5, "three"});
  std::cout << tabulon::EncodeCellRef(6, col) << ' ' << static_cast<int>(col) << ' ' << values.HighBound(1) + 1
            << " ok\n";
  return 0;
}
