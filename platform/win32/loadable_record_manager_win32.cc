// The backend that forwards every call to a DLL's BTRCALL. A 32-bit DLL
// exports it with the Windows API calling convention (__stdcall), under its
// plain name or decorated with the size of its arguments; both names are
// looked for. (On 64-bit Windows there is one calling convention.)
#include <windows.h>

#include "platform/recman/fp_control.h"
#include "platform/recman/record_managers.h"
#include "platform/win32/wide.h"

namespace zov::platform {
namespace {

using BtrCallFunction = int16_t(WINAPI*)(uint16_t operation, void* position_block, void* data,
                                         uint32_t* data_length, void* key, uint8_t key_length, int8_t key_number);

// The export names of BTRCALL: plain, then __stdcall-decorated (seven
// arguments of 4 bytes each) with and without the leading underscore.
constexpr const char* kExportNames[] = {"BTRCALL", "_BTRCALL@28", "BTRCALL@28"};

class LoadableRecordManager : public RecordManager {
 public:
  LoadableRecordManager(HMODULE library, BtrCallFunction call) : library_(library), call_(call) {}
  ~LoadableRecordManager() override { ::FreeLibrary(library_); }
  LoadableRecordManager(const LoadableRecordManager&) = delete;
  LoadableRecordManager& operator=(const LoadableRecordManager&) = delete;

  int16_t Call(uint16_t operation, uint8_t* position_block, void* data, uint32_t* data_length, void* key,
               uint8_t key_length, int8_t key_number) override {
    const int16_t status = call_(operation, position_block, data, data_length, key, key_length, key_number);
    RestoreFloatingPointControl();
    return status;
  }

 private:
  const HMODULE library_;
  const BtrCallFunction call_;
};

}  // namespace

Status NewLoadableRecordManager(const std::string& library_path, std::unique_ptr<RecordManager>* record_manager) {
  HMODULE library = ::LoadLibraryW(Cp850ToWide(library_path).c_str());
  if (library == nullptr) {
    const Status why = Win32Error("LoadLibraryW", library_path, ::GetLastError());
    RestoreFloatingPointControl();
    return Status::IoError("cannot load record manager library " + why.message());
  }
  FARPROC symbol = nullptr;
  for (const char* name : kExportNames) {
    symbol = ::GetProcAddress(library, name);
    if (symbol != nullptr) break;
  }
  // Library initialisers may have changed the floating-point state.
  RestoreFloatingPointControl();
  if (symbol == nullptr) {
    ::FreeLibrary(library);
    return Status::InvalidArgument("record manager library " + library_path + " does not export BTRCALL");
  }
  *record_manager = std::make_unique<LoadableRecordManager>(
      library, reinterpret_cast<BtrCallFunction>(reinterpret_cast<void (*)()>(symbol)));
  return Status::Ok();
}

}  // namespace zov::platform
