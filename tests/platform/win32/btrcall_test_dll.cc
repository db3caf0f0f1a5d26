// A BTRCALL DLL built from our engine for the loader's tests. Like some
// foreign libraries it leaves the floating-point control changed (rounding
// toward zero, 53-bit precision), so that the tests can see it set back.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "platform/recman/record_managers.h"

extern "C" int16_t WINAPI BTRCALL(uint16_t operation, void* position_block, void* data, uint32_t* data_length,
                                  void* key, uint8_t key_length, int8_t key_number) {
  static const std::unique_ptr<zov::platform::RecordManager> engine = zov::platform::NewSqliteRecordManager();
  const int16_t status = engine->Call(operation, static_cast<uint8_t*>(position_block), data, data_length, key,
                                      key_length, key_number);
  const uint16_t control_word = 0x0E7F;
  const uint32_t mxcsr = 0x7F80;
  __asm__ __volatile__("fldcw %0" : : "m"(control_word));
  __asm__ __volatile__("ldmxcsr %0" : : "m"(mxcsr));
  return status;
}
