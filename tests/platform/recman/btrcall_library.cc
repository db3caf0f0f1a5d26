// A record-manager library built from our engine, exporting BTRCALL the way
// a foreign one does, for the tests of the loadable backend. Like some
// foreign libraries it leaves the floating-point control changed (rounding
// toward zero, 53-bit precision), so that the tests can see it set back.
#include <cstdint>
#include <memory>

#include "platform/recman/record_managers.h"

extern "C" __attribute__((visibility("default"))) int16_t BTRCALL(uint16_t operation, void* position_block,
                                                                  void* data, uint32_t* data_length, void* key,
                                                                  uint8_t key_length, int8_t key_number) {
  // A C entry point has nowhere else to keep the process's engine; it is
  // destroyed (closing every file) when the library is unloaded.
  static const std::unique_ptr<zov::platform::RecordManager> engine = zov::platform::NewSqliteRecordManager();
  const int16_t status = engine->Call(operation, static_cast<uint8_t*>(position_block), data, data_length, key,
                                      key_length, key_number);
#if defined(__x86_64__)
  const uint16_t control_word = 0x0E7F;
  const uint32_t mxcsr = 0x7F80;
  __asm__ __volatile__("fldcw %0" : : "m"(control_word));
  __asm__ __volatile__("ldmxcsr %0" : : "m"(mxcsr));
#endif
  return status;
}
