// Our engine as a Windows DLL with the suite's entry point: BTRCALL with
// the Windows API calling convention, exported under its plain name and,
// in 32-bit builds, under the decorated one too (btrcall.def.in), so that a
// program loading the suite's library can load this one in its place.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "platform/recman/record_managers.h"

extern "C" int16_t WINAPI BTRCALL(uint16_t operation, void* position_block, void* data, uint32_t* data_length,
                                  void* key, uint8_t key_length, int8_t key_number) {
  // A C entry point has nowhere else to keep the process's engine; it is
  // destroyed (closing every file) when the DLL is unloaded.
  static const std::unique_ptr<zov::platform::RecordManager> engine = zov::platform::NewSqliteRecordManager();
  return engine->Call(operation, static_cast<uint8_t*>(position_block), data, data_length, key, key_length,
                      key_number);
}
