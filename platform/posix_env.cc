#include "platform/posix_env.h"

#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/posix_file_system.h"
#include "platform/recman/record_managers.h"
#include "platform/terminal_console.h"

extern char** environ;

namespace zov::platform {
namespace {

class PosixClock : public Clock {
 public:
  CivilDate Today() override {
    time_t now = ::time(nullptr);
    struct tm local;
    ::localtime_r(&now, &local);
    return CivilDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
  }
  int32_t HundredthsSinceMidnight() override {
    struct timespec ts;
    ::clock_gettime(CLOCK_REALTIME, &ts);
    struct tm local;
    ::localtime_r(&ts.tv_sec, &local);
    return (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) * 100 +
           static_cast<int32_t>(ts.tv_nsec / 10000000);
  }
  int64_t SecondsSinceEpoch() override {
    struct timespec ts;
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<int64_t>(ts.tv_sec);
  }
  int64_t MonotonicMicros() override {
    struct timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
  }
  void SleepMillis(int32_t millis) override {
    if (millis <= 0) return;
    struct timespec ts{millis / 1000, static_cast<long>(millis % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
  }
};

class PosixEnvironment : public Environment {
 public:
  std::optional<std::string> Get(std::string_view name) override {
    const char* value = ::getenv(std::string(name).c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  }
};

class PosixProcessRunner : public ProcessRunner {
 public:
  Status RunAndWait(const std::string& program, const std::vector<std::string>& args, int* exit_code) override {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    int rc = ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (rc != 0) {
      return Status::Error(rc == ENOENT ? Status::Code::kNotFound : Status::Code::kIoError,
                           "posix_spawn " + program + ": " + std::strerror(rc));
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
      if (errno != EINTR) return Status::IoError("waitpid " + program + ": " + std::strerror(errno));
    }
    if (WIFEXITED(status)) {
      *exit_code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
      *exit_code = 128 + WTERMSIG(status);
    } else {
      *exit_code = -1;
    }
    return Status::Ok();
  }
};

class PosixErrorOutput : public ErrorOutput {
 public:
  void WriteLine(std::string_view line) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    std::fflush(stderr);
  }
};

}  // namespace

std::unique_ptr<Clock> NewPosixClock() { return std::make_unique<PosixClock>(); }
std::unique_ptr<Environment> NewPosixEnvironment() { return std::make_unique<PosixEnvironment>(); }
std::unique_ptr<ProcessRunner> NewPosixProcessRunner() { return std::make_unique<PosixProcessRunner>(); }
std::unique_ptr<ErrorOutput> NewPosixErrorOutput() { return std::make_unique<PosixErrorOutput>(); }

Status PosixEnv::Create(std::unique_ptr<PosixEnv>* env) {
  env->reset();
  std::unique_ptr<PosixEnv> p(new PosixEnv());
  p->fs_ = NewPosixFileSystem();
  p->clock_ = NewPosixClock();
  p->environment_ = NewPosixEnvironment();
  p->processes_ = NewPosixProcessRunner();
  p->error_output_ = NewPosixErrorOutput();
  std::optional<std::string> library = p->environment_->Get("ZOVRECMAN");
  if (library && !library->empty()) {
    const Status s = NewLoadableRecordManager(*library, &p->record_manager_);
    if (!s.ok()) return s;
    p->record_manager_choice_ = "ZOVRECMAN library " + *library;
  } else {
    SqliteRecordManagerOptions options;
    options.clock = p->clock_.get();
    p->record_manager_ = NewSqliteRecordManager(options);
    p->record_manager_choice_ = "our engine (SQLite data files)";
  }
  if (p->environment_->Get("ZOVDEBUG")) p->error_output_->WriteLine("record manager: " + p->record_manager_choice_);
  p->console_ = NewTerminalConsole();
  p->env_ = Env{p->fs_.get(),      p->clock_.get(),          p->environment_.get(), p->processes_.get(),
                p->console_.get(), p->record_manager_.get(), p->error_output_.get()};
  // A POSIX system runs the document opener directly.
  p->env_.conventions.opener_through_command_interpreter = false;
  *env = std::move(p);
  return Status::Ok();
}

PosixEnv::~PosixEnv() {
  if (console_) console_->Restore();
}

}  // namespace zov::platform
