#include "platform/native_env.h"

#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/code_page.h"
#include "platform/posix_file_system.h"
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
  // The value as the system gives it is UTF-8.
  Status Lookup(std::string_view name, std::optional<std::string>* value) override {
    value->reset();
    const char* native = ::getenv(Cp850ToUtf8Exact(name).c_str());
    if (native == nullptr) return Status::Ok();
    std::string text;
    if (!Utf8ToCp850Exact(native, &text)) {
      return Status::InvalidArgument(
          NotInCodePage850("the environment variable " + std::string(name), Utf8ToCp850(native)));
    }
    *value = std::move(text);
    return Status::Ok();
  }
};

class PosixProcessRunner : public ProcessRunner {
 public:
  // The program's path and its arguments go to the system as UTF-8.
  Status RunAndWait(const std::string& program, const std::vector<std::string>& args, int* exit_code) override {
    std::vector<std::string> native;
    native.push_back(Cp850ToUtf8Exact(program));
    for (const std::string& a : args) native.push_back(Cp850ToUtf8Exact(a));
    std::vector<char*> argv;
    for (std::string& a : native) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid;
    int rc = ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
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

}  // namespace

std::unique_ptr<FileSystem> NewNativeFileSystem() { return NewPosixFileSystem(); }
std::unique_ptr<Clock> NewNativeClock() { return std::make_unique<PosixClock>(); }
std::unique_ptr<Environment> NewNativeEnvironment() { return std::make_unique<PosixEnvironment>(); }
std::unique_ptr<ProcessRunner> NewNativeProcessRunner() { return std::make_unique<PosixProcessRunner>(); }
std::unique_ptr<Console> NewNativeConsole() { return NewTerminalConsole(); }

// A POSIX system runs the document opener directly.
SystemConventions NativeConventions() { return SystemConventions{.opener_through_command_interpreter = false}; }

// The suite's own library is a Windows DLL: here only ZOVRECMAN names one.
Status FindSuiteRecordManagerLibrary(std::string*) { return Status::NotFound("no suite record manager here"); }

Status ProgramArguments(int argc, char** argv, std::vector<std::string>* args) {
  args->clear();
  for (int i = 1; i < argc; ++i) {
    std::string arg;
    if (!Utf8ToCp850Exact(argv[i], &arg)) {
      return Status::InvalidArgument(NotInCodePage850("argument " + std::to_string(i), Utf8ToCp850(argv[i])));
    }
    args->push_back(std::move(arg));
  }
  return Status::Ok();
}

bool WriteStandardText(StandardStream stream, std::string_view cp850) {
  std::FILE* to = stream == StandardStream::kOutput ? stdout : stderr;
  const std::string text = Cp850ToUtf8Lines(cp850);
  const bool written = std::fwrite(text.data(), 1, text.size(), to) == text.size();
  return std::fflush(to) == 0 && written;
}

bool StandardStreamIsTerminal(StandardStream stream) {
  return ::isatty(stream == StandardStream::kOutput ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

}  // namespace zov::platform
