#include "XLSCellArea.h"

#include <algorithm>

namespace tabulon {

std::vector<TXLSCellArea> XLSCutArea(const TXLSCellArea& area, const TXLSCellArea& cut) {
  if (!area.Overlaps(cut)) return {area};
  std::vector<TXLSCellArea> rest;
  const uint16_t top = std::max(area.FirstRow, cut.FirstRow);
  const uint16_t bottom = std::min(area.LastRow, cut.LastRow);
  if (area.FirstRow < cut.FirstRow)
    rest.push_back(
        {area.FirstRow, static_cast<uint16_t>(cut.FirstRow - 1), area.FirstCol, area.LastCol});
  if (area.FirstCol < cut.FirstCol)
    rest.push_back({top, bottom, area.FirstCol, static_cast<uint8_t>(cut.FirstCol - 1)});
  if (area.LastCol > cut.LastCol)
    rest.push_back({top, bottom, static_cast<uint8_t>(cut.LastCol + 1), area.LastCol});
  if (area.LastRow > cut.LastRow)
    rest.push_back(
        {static_cast<uint16_t>(cut.LastRow + 1), area.LastRow, area.FirstCol, area.LastCol});
  return rest;
}

void XLSAddCellArea(TXLSBlob& record, const TXLSCellArea& area) {
  record.AddWord(area.FirstRow);
  record.AddWord(area.LastRow);
  record.AddWord(area.FirstCol);
  record.AddWord(area.LastCol);
}

}  // namespace tabulon
