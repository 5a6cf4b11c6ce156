// The --codepage option that `tabulon convert` and `tabulon export` share.
#include <tabulon/XLSCodePage.h>

#include <string>

#include "Commands.h"

namespace tabulon {

bool ParseCodePageOption(const std::string& text, uint16_t& code_page, std::string& error) {
  const bool digits = !text.empty() && text.size() <= 5 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  const unsigned long number = digits ? std::stoul(text) : 0;
  if (!XLSIsKnownCodePage(static_cast<uint16_t>(number)) || number > 0xFFFF) {
    error = "--codepage needs one of the code pages " + std::string(XLSKnownCodePagesText()) +
            ", not '" + text + "'";
    return false;
  }
  code_page = static_cast<uint16_t>(number);
  return true;
}

}  // namespace tabulon
