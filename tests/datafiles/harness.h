// One run's worth of data-file state for a test: a temporary DataRoot on the
// real file system, a clock that does not wait, the fake record manager, the
// session and the table.
#ifndef ZOV_TESTS_DATAFILES_HARNESS_H_
#define ZOV_TESTS_DATAFILES_HARNESS_H_

#include <memory>
#include <string>

#include "datafiles/data_file_table.h"
#include "platform/env.h"
#include "platform/native_env.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_record_manager.h"
#include "platform/testing/temp_dir.h"
#include "session/session.h"

namespace zov::datafiles {

struct Harness {
  platform::TempDir dir;
  std::unique_ptr<platform::FileSystem> fs = platform::NewNativeFileSystem();
  platform::FakeClock clock;
  platform::FakeRecordManager rm;
  platform::Env env;
  session::Session session;
  DataFileTable table;

  Harness() {
    env.fs = fs.get();
    env.clock = &clock;
    env.record_manager = &rm;
    session.data_root = dir.path();
  }

  // A data file at DataRoot + "DADES/" + name with the given shape.
  platform::FakeFile& AddFile(const std::string& name, platform::FileSpec spec) {
    platform::FakeFile& f = rm.files[session.data_root + "DADES\\" + name];
    f.spec = std::move(spec);
    return f;
  }
  std::string Path(const std::string& name) const { return session.data_root + "DADES\\" + name; }
};

// A file of `record_length` bytes with one key per entry of `keys`.
inline platform::FileSpec Shape(uint16_t record_length, std::vector<std::vector<platform::KeySegment>> keys) {
  platform::FileSpec spec;
  spec.record_length = record_length;
  spec.page_size = 4096;
  spec.key_count = static_cast<uint16_t>(keys.size());
  spec.keys = std::move(keys);
  return spec;
}

}  // namespace zov::datafiles

#endif  // ZOV_TESTS_DATAFILES_HARNESS_H_
