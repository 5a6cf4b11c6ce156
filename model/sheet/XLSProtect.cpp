#include "XLSProtect.h"

#include "XLSRecordIds.h"
#include "XLSRecordSection.h"

namespace tabulon {

uint16_t TXLSProtect::EncodePassword(const std::string& password) {
  const uint16_t n = static_cast<uint16_t>(password.size());
  if (n == 0) return 0;
  uint16_t hash = 0;
  for (uint32_t i = 1; i <= n; ++i) {
    uint32_t v = uint32_t{static_cast<uint8_t>(password[i - 1])} << (i % 32);
    // Rotates the 15-bit value left by i.
    v = (v & 0x7FFF) | ((v & 0x3FFF8000) >> 15);
    hash ^= static_cast<uint16_t>(v);
  }
  hash ^= n;
  hash ^= 0xCE4B;
  return hash;
}

void TXLSProtect::Protect(const std::string& password) {
  if (hasPassword_ && EncodePassword(password) != passwordHash_) return;
  protected_ = true;
  hasPassword_ = !password.empty();
  passwordHash_ = EncodePassword(password);
}

bool TXLSProtect::UnProtect(const std::string& password, bool check) {
  if (check && protected_ && hasPassword_ && EncodePassword(password) != passwordHash_) {
    return false;
  }
  protected_ = false;
  hasPassword_ = false;
  passwordHash_ = 0;
  return true;
}

int32_t TXLSProtect::Store(TXLSRecordSection& section) const {
  if (!protected_) return 1;
  const int32_t status = section.Append(MakeWordRecord(xlsrec::kProtect, 1));
  return status == 1 ? section.Append(MakeWordRecord(xlsrec::kPassword, passwordHash_)) : status;
}

}  // namespace tabulon
