// Little-endian integers and doubles in byte buffers, the byte order of every
// field of the file: the record stream, the compound-document container and
// the bitmaps a picture embeds. Whatever the host's byte order, the value's
// least significant byte comes first; doubles travel as their 8 IEEE 754
// bytes. On little-endian hosts the compiler turns each loop into one load or
// store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace tabulon {

// Writes value's sizeof(T) bytes to out, least significant first.
template <typename T>
inline void XLSPutLE(uint8_t* out, T value) {
  static_assert(std::is_unsigned<T>::value, "little-endian fields are unsigned");
  for (size_t i = 0; i < sizeof(T); ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Reads the sizeof(T) bytes at in, least significant first.
template <typename T>
inline T XLSGetLE(const uint8_t* in) {
  static_assert(std::is_unsigned<T>::value, "little-endian fields are unsigned");
  T value = 0;
  for (size_t i = 0; i < sizeof(T); ++i) value |= static_cast<T>(static_cast<T>(in[i]) << (8 * i));
  return value;
}

inline uint64_t XLSDoubleBits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

inline double XLSBitsDouble(uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

inline void XLSPutDoubleLE(uint8_t* out, double value) {
  XLSPutLE(out, XLSDoubleBits(value));
}

inline double XLSGetDoubleLE(const uint8_t* in) {
  return XLSBitsDouble(XLSGetLE<uint64_t>(in));
}

// Appends value's bytes, least significant first, to a growing byte string
// (std::string or std::vector<uint8_t>).
template <typename T, typename Bytes>
inline void XLSAppendLE(Bytes& bytes, T value) {
  uint8_t field[sizeof(T)];
  XLSPutLE(field, value);
  bytes.insert(bytes.end(), field, field + sizeof field);
}

}  // namespace tabulon
