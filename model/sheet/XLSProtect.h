// The protection state of a worksheet or workbook with its password
// verifier and its PROTECT / PASSWORD records.
#pragma once

#include <cstdint>
#include <string>

namespace tabulon {

class TXLSRecordSection;

/// The protection of a worksheet or workbook (IXLSWorkSheet::Protect,
/// IXLSWorkBook::Protect), with its password verifier.
class TXLSProtect {
 public:
  /// The published 16-bit password verifier of the file format; 0 for "".
  static uint16_t EncodePassword(const std::string& password);

  /// Protects, with a password when it is not empty. When a password is set
  /// already, only the same password is accepted; otherwise nothing changes.
  void Protect(const std::string& password = std::string());
  /// Removes the protection; with check on, a set password must match.
  /// Returns true when the protection was removed.
  bool UnProtect(const std::string& password = std::string(), bool check = true);

  /// @return Whether protection is on.
  bool IsProtected() const { return protected_; }
  /// @return Whether a password guards the protection.
  bool HasPassword() const { return hasPassword_; }
  /// @return The 16-bit password verifier written to the file; 0 without a password.
  uint16_t GetPasswordHash() const { return passwordHash_; }

  /// PROTECT then PASSWORD when protected; nothing (and 1) otherwise.
  int32_t Store(TXLSRecordSection& section) const;

 private:
  bool protected_ = false;
  bool hasPassword_ = false;
  uint16_t passwordHash_ = 0;
};

}  // namespace tabulon
