// Every fake platform service, owned together, and the Env that points at
// them: what a test needs to run any layer without the machine's clock,
// environment, processes, terminal or standard error.
//
//   FakeEnv fake;                                    // files in memory
//   fake.environment.Set("ZOVTMP", fake.root());
//   fake.faults.FailAt(FaultFileSystem::Op::kRename, 1);
//   ... run the code under test with fake.env ...
//   EXPECT_TRUE(fake.errors.lines.empty());
//
// Files are held in memory unless the test asks for real ones: a fresh
// temporary directory on the POSIX file system, removed at the end, for code
// that hands paths to other processes or to the record-manager engine.
// Either way env.fs is `faults`, which fails nothing until told to. The
// record manager is an in-memory one (`records`); a test that needs the
// engine puts that in env.record_manager. Every service is there.
#ifndef ZOV_PLATFORM_TESTING_FAKE_ENV_H_
#define ZOV_PLATFORM_TESTING_FAKE_ENV_H_

#include <memory>
#include <string>

#include "platform/env.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_environment.h"
#include "platform/testing/fake_error_output.h"
#include "platform/testing/fake_process_runner.h"
#include "platform/testing/fake_record_manager.h"
#include "platform/testing/fault_file_system.h"
#include "platform/testing/memory_console.h"
#include "platform/testing/memory_file_system.h"
#include "platform/testing/temp_dir.h"

namespace zov::platform {

class FakeEnv {
 public:
  enum class Files { kMemory, kReal };

  explicit FakeEnv(Files files = Files::kMemory);
  FakeEnv(const FakeEnv&) = delete;
  FakeEnv& operator=(const FakeEnv&) = delete;

  // A directory that exists, empty, when the test starts; ends in "/".
  const std::string& root() const { return root_; }
  // The file system beneath `faults`, for setting up and checking files
  // without counting as calls of the code under test.
  FileSystem& base_fs() { return *base_; }
  // Takes the write permission of a file away (the read-only attribute).
  [[nodiscard]] Status SetReadOnly(const std::string& name);

 private:
  std::unique_ptr<TempDir> temp_dir_;  // kReal only
  MemoryFileSystem* memory_ = nullptr;  // kMemory only; owned by base_
  std::unique_ptr<FileSystem> base_;
  std::string root_;

 public:
  FaultFileSystem faults{base_.get()};
  FakeClock clock;
  FakeEnvironment environment;
  FakeProcessRunner processes;
  MemoryConsole console;
  FakeErrorOutput errors;
  FakeRecordManager records;
  Env env{&faults, &clock, &environment, &processes, &console, &records, &errors};
};

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_TESTING_FAKE_ENV_H_
