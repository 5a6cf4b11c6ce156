// The hyperlinks of a sheet (BIFF8): which cells each covers, where it
// leads, and the HLINK record a save writes for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "XLSBlob.h"
#include "XLSCellArea.h"

namespace tabulon {

class TXLSRecordSection;

/// One hyperlink: its cells, its target and the text its top-left cell shows.
struct TXLSHyperlink {
  TXLSCellArea Area;        ///< the cells that hold the link
  std::string Address;      ///< UTF-8: a URL, "mailto:...", a file path or "#Place"
  std::string Description;  ///< UTF-8: the text the top-left cell shows
};

/// How an address is written: a URL moniker (web and e-mail addresses), a
/// file moniker, or only a text mark (a place in the workbook, "#Sheet2!A1").
enum class TXLSLinkKind : uint8_t { kUrl, kFile, kPlace };

/// @param address the link's address as given
/// @return kPlace for "#...", kUrl for http://, https://, ftp:// and mailto:
///         (any case), kFile for everything else
TXLSLinkKind XLSLinkKind(const std::string& address);

/// The HLINK record of a link: the standard link object with its
/// description, then a URL moniker, a file moniker (leading "..\" or "../"
/// counted as up-levels, '/' written as '\') or the text mark of a place.
/// @param link the link, its texts in UTF-8
/// @return the record, id and length included
TXLSBlob XLSHyperlinkRecord(const TXLSHyperlink& link);

/// The links of one sheet in the order they were added.
class TXLSHyperlinks {
 public:
  /// Adds a link; links that share a cell with it are removed first, so a
  /// later link on a cell replaces the earlier one.
  /// @param link the new link
  void Add(TXLSHyperlink link);
  /// @return the links, oldest first
  const std::vector<TXLSHyperlink>& Links() const { return links_; }
  /// One HLINK record per link.
  /// @param section the sheet's data section
  /// @return 1, or the first failing append's status
  int32_t Store(TXLSRecordSection& section) const;

 private:
  std::vector<TXLSHyperlink> links_;
};

}  // namespace tabulon
