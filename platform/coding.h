// Fixed-width little-endian integers at any byte address: the one way the
// program reads and writes the integers of its byte layouts (records, the
// record manager's file specifications, description files, the engine's
// counters). Unaligned access is fine; the host's byte order does not matter.
//
//   EncodeFixed16(buffer + 4, key_count);
//   uint32_t records = DecodeFixed32(stat + 6);
#ifndef ZOV_PLATFORM_CODING_H_
#define ZOV_PLATFORM_CODING_H_

#include <cstdint>

namespace zov::platform {

inline void EncodeFixed16(void* at, uint16_t value) {
  auto* p = static_cast<unsigned char*>(at);
  p[0] = static_cast<unsigned char>(value & 0xFF);
  p[1] = static_cast<unsigned char>(value >> 8);
}

inline void EncodeFixed32(void* at, uint32_t value) {
  auto* p = static_cast<unsigned char*>(at);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
}

inline void EncodeFixed64(void* at, uint64_t value) {
  auto* p = static_cast<unsigned char*>(at);
  for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
}

inline uint16_t DecodeFixed16(const void* at) {
  const auto* p = static_cast<const unsigned char*>(at);
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t DecodeFixed32(const void* at) {
  const auto* p = static_cast<const unsigned char*>(at);
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

inline uint64_t DecodeFixed64(const void* at) {
  const auto* p = static_cast<const unsigned char*>(at);
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | p[i];
  return value;
}

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_CODING_H_
