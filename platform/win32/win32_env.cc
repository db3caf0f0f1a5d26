#include "platform/win32/win32_env.h"

#include <windows.h>

#include <cstdio>

#include "platform/recman/record_managers.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_console.h"
#include "platform/win32/win32_file_system.h"

namespace zov::platform {
namespace {

class Win32Clock : public Clock {
 public:
  Win32Clock() { ::QueryPerformanceFrequency(&frequency_); }
  CivilDate Today() override {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return CivilDate{t.wYear, t.wMonth, t.wDay};
  }
  int32_t HundredthsSinceMidnight() override {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return (t.wHour * 3600 + t.wMinute * 60 + t.wSecond) * 100 + t.wMilliseconds / 10;
  }
  int64_t SecondsSinceEpoch() override {
    FILETIME t;
    ::GetSystemTimeAsFileTime(&t);
    // 100-nanosecond intervals since 1601-01-01, 11644473600 s before 1970.
    const int64_t intervals = static_cast<int64_t>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime);
    return intervals / 10000000 - 11644473600;
  }
  int64_t MonotonicMicros() override {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    const int64_t ticks = now.QuadPart, per_second = frequency_.QuadPart;
    return ticks / per_second * 1000000 + ticks % per_second * 1000000 / per_second;
  }
  void SleepMillis(int32_t millis) override {
    if (millis > 0) ::Sleep(static_cast<DWORD>(millis));
  }

 private:
  LARGE_INTEGER frequency_;
};

class Win32Environment : public Environment {
 public:
  std::optional<std::string> Get(std::string_view name) override {
    const std::wstring wide_name = Cp850ToWide(name);
    ::SetLastError(ERROR_SUCCESS);
    DWORD n = ::GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
    if (n == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    std::wstring value(n, L'\0');
    n = ::GetEnvironmentVariableW(wide_name.c_str(), value.data(), n);
    value.resize(n);
    return WideToCp850(value);
  }
};

// Characters after which the command interpreter or the C runtime would
// split or reinterpret an unquoted argument.
bool NeedsQuotes(const std::string& arg) {
  return arg.empty() || arg.find_first_of(" \t\n\v\"&|<>^()%!,;=") != std::string::npos;
}

// The C runtime's rules: inside quotes, backslashes are literal unless they
// precede a double quote, where they are doubled and the quote escaped.
void AppendQuoted(const std::string& arg, std::string* line) {
  if (!NeedsQuotes(arg)) {
    *line += arg;
    return;
  }
  *line += '"';
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      line->append(backslashes * 2 + 1, '\\');
    } else {
      line->append(backslashes, '\\');
    }
    backslashes = 0;
    *line += c;
  }
  line->append(backslashes * 2, '\\');
  *line += '"';
}

class Win32ProcessRunner : public ProcessRunner {
 public:
  Status RunAndWait(const std::string& program, const std::vector<std::string>& args, int* exit_code) override {
    std::wstring application = Cp850ToWide(program);
    std::wstring command_line = Cp850ToWide(QuoteCommandLine(program, args));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(application.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process)) {
      return Win32Error("CreateProcessW", program, ::GetLastError());
    }
    ::CloseHandle(process.hThread);
    Status s;
    DWORD code = 0;
    if (::WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0) {
      s = Win32Error("WaitForSingleObject", program, ::GetLastError());
    } else if (!::GetExitCodeProcess(process.hProcess, &code)) {
      s = Win32Error("GetExitCodeProcess", program, ::GetLastError());
    } else {
      *exit_code = static_cast<int>(code);
    }
    ::CloseHandle(process.hProcess);
    return s;
  }
};

class Win32ErrorOutput : public ErrorOutput {
 public:
  void WriteLine(std::string_view line) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    std::fflush(stderr);
  }
};

std::string ModulePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      return WideToCp850(path);
    }
    path.resize(path.size() * 2);
  }
}

// The record manager the run uses, and the words that name it.
std::unique_ptr<RecordManager> ChooseRecordManager(Environment& environment, Clock* clock, std::string* choice,
                                                   std::string* error) {
  std::unique_ptr<RecordManager> loaded;
  auto load = [&](const std::string& path) -> std::unique_ptr<RecordManager> {
    const Status s = NewLoadableRecordManager(path, &loaded);
    if (!s.ok()) *error = s.message();
    return std::move(loaded);
  };
  const std::optional<std::string> library = environment.Get("ZOVRECMAN");
  if (library && !library->empty()) {
    *choice = "ZOVRECMAN library " + *library;
    return load(*library);
  }
  // The suite's library, where the system's DLL search finds it. Found but
  // unusable (another architecture, a missing dependency) is an error: our
  // engine cannot read the suite's files in its place.
  HMODULE probe = ::LoadLibraryW(L"wbtrv32.dll");
  if (probe != nullptr) {
    const std::string path = ModulePath(probe);
    ::FreeLibrary(probe);
    *choice = "wbtrv32.dll (" + path + ")";
    return load(path);
  }
  const DWORD why = ::GetLastError();
  if (why != ERROR_MOD_NOT_FOUND) {
    *error = Win32Error("LoadLibraryW", "wbtrv32.dll", why).message();
    return nullptr;
  }
  *choice = "our engine (SQLite data files)";
  SqliteRecordManagerOptions options;
  options.clock = clock;
  return NewSqliteRecordManager(options);
}

}  // namespace

std::string QuoteCommandLine(const std::string& program, const std::vector<std::string>& args) {
  std::string line;
  AppendQuoted(program, &line);
  for (const std::string& arg : args) {
    line += ' ';
    AppendQuoted(arg, &line);
  }
  return line;
}

std::unique_ptr<Clock> NewWin32Clock() { return std::make_unique<Win32Clock>(); }
std::unique_ptr<Environment> NewWin32Environment() { return std::make_unique<Win32Environment>(); }
std::unique_ptr<ProcessRunner> NewWin32ProcessRunner() { return std::make_unique<Win32ProcessRunner>(); }
std::unique_ptr<ErrorOutput> NewWin32ErrorOutput() { return std::make_unique<Win32ErrorOutput>(); }

Status Win32Env::Create(std::unique_ptr<Win32Env>* env) {
  env->reset();
  std::unique_ptr<Win32Env> p(new Win32Env());
  p->fs_ = NewWin32FileSystem();
  p->clock_ = NewWin32Clock();
  p->environment_ = NewWin32Environment();
  p->processes_ = NewWin32ProcessRunner();
  p->error_output_ = NewWin32ErrorOutput();
  std::string error;
  p->record_manager_ = ChooseRecordManager(*p->environment_, p->clock_.get(), &p->record_manager_choice_, &error);
  if (!p->record_manager_) return Status::IoError(error);
  if (p->environment_->Get("ZOVDEBUG")) p->error_output_->WriteLine("record manager: " + p->record_manager_choice_);
  p->console_ = NewWin32Console();
  p->env_ = Env{p->fs_.get(),      p->clock_.get(),          p->environment_.get(), p->processes_.get(),
                p->console_.get(), p->record_manager_.get(), p->error_output_.get()};
  // Windows opens a document through the command interpreter (%COMSPEC% /C).
  p->env_.conventions.opener_through_command_interpreter = true;
  *env = std::move(p);
  return Status::Ok();
}

Win32Env::~Win32Env() {
  if (console_) console_->Restore();
}

}  // namespace zov::platform
