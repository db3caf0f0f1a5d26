// The backend that forwards every call to a shared library's BTRCALL.
#include <dlfcn.h>

#include "platform/code_page.h"
#include "platform/recman/fp_control.h"
#include "platform/recman/record_managers.h"

namespace zov::platform {
namespace {

using BtrCallFunction = int16_t (*)(uint16_t operation, void* position_block, void* data, uint32_t* data_length,
                                    void* key, uint8_t key_length, int8_t key_number);

class LoadableRecordManager : public RecordManager {
 public:
  LoadableRecordManager(void* library, BtrCallFunction call) : library_(library), call_(call) {}
  ~LoadableRecordManager() override { ::dlclose(library_); }
  LoadableRecordManager(const LoadableRecordManager&) = delete;
  LoadableRecordManager& operator=(const LoadableRecordManager&) = delete;

  int16_t Call(uint16_t operation, uint8_t* position_block, void* data, uint32_t* data_length, void* key,
               uint8_t key_length, int8_t key_number) override {
    const int16_t status = call_(operation, position_block, data, data_length, key, key_length, key_number);
    RestoreFloatingPointControl();
    return status;
  }

 private:
  void* const library_;
  const BtrCallFunction call_;
};

}  // namespace

Status NewLoadableRecordManager(const std::string& library_path, std::unique_ptr<RecordManager>* record_manager) {
  void* library = ::dlopen(Cp850ToUtf8Exact(library_path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = ::dlerror();
    RestoreFloatingPointControl();
    return Status::IoError("cannot load record manager library " + library_path + ": " +
                           (why ? why : "unknown error"));
  }
  ::dlerror();
  void* symbol = ::dlsym(library, "BTRCALL");
  if (symbol == nullptr) {
    ::dlclose(library);
    RestoreFloatingPointControl();
    return Status::InvalidArgument("record manager library " + library_path + " does not export BTRCALL");
  }
  // Library initialisers may have changed the floating-point state too.
  RestoreFloatingPointControl();
  *record_manager = std::make_unique<LoadableRecordManager>(library, reinterpret_cast<BtrCallFunction>(symbol));
  return Status::Ok();
}

}  // namespace zov::platform
