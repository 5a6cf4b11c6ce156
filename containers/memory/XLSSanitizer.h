// What the library tells AddressSanitizer about memory it manages itself:
// blocks mapped from the system and carved up by the library, and storage
// kept for reuse, are invisible to the sanitizer unless marked. The marks
// cost nothing in builds without the sanitizer.
#pragma once

#include <cstddef>

/// Defined to 1 when the build runs under AddressSanitizer, with GCC
/// (__SANITIZE_ADDRESS__) or with Clang (__has_feature(address_sanitizer)).
#if defined(__SANITIZE_ADDRESS__)
#define TABULON_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TABULON_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef TABULON_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#endif

namespace tabulon {

/// True in builds under AddressSanitizer.
#ifdef TABULON_ADDRESS_SANITIZER
constexpr bool XLSAddressSanitizer = true;
#else
constexpr bool XLSAddressSanitizer = false;
#endif

/// Marks bytes as not to be touched: under AddressSanitizer any access to
/// them is reported until XLSUnpoisonMemory; elsewhere nothing happens.
/// @param start first byte; @param size number of bytes.
inline void XLSPoisonMemory(const void* start, size_t size) {
#ifdef TABULON_ADDRESS_SANITIZER
  __asan_poison_memory_region(start, size);
#else
  (void)start;
  (void)size;
#endif
}

/// Makes bytes marked by XLSPoisonMemory usable again.
/// @param start first byte; @param size number of bytes.
inline void XLSUnpoisonMemory(const void* start, size_t size) {
#ifdef TABULON_ADDRESS_SANITIZER
  __asan_unpoison_memory_region(start, size);
#else
  (void)start;
  (void)size;
#endif
}

}  // namespace tabulon
