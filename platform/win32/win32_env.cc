#include "platform/win32/win32_env.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>

#include "platform/code_page.h"
#include "platform/native_env.h"
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
  Status Lookup(std::string_view name, std::optional<std::string>* value) override {
    value->reset();
    const std::wstring wide_name = Cp850ToWide(name);
    ::SetLastError(ERROR_SUCCESS);
    DWORD n = ::GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
    std::wstring wide;
    if (n == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return Status::Ok();
    } else {
      wide.assign(n, L'\0');
      n = ::GetEnvironmentVariableW(wide_name.c_str(), wide.data(), n);
      wide.resize(n);
    }
    std::string text;
    if (!WideToCp850Exact(wide, &text)) {
      return Status::InvalidArgument(
          NotInCodePage850("the environment variable " + std::string(name), WideToCp850(wide)));
    }
    *value = std::move(text);
    return Status::Ok();
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

// The file a loaded module came from; empty when the system cannot say.
std::wstring ModulePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// Whether a standard handle is a console (not redirected to a file or pipe).
bool IsConsole(HANDLE h) {
  DWORD mode = 0;
  return h != nullptr && h != INVALID_HANDLE_VALUE && ::GetConsoleMode(h, &mode) != 0;
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

std::unique_ptr<FileSystem> NewNativeFileSystem() { return NewWin32FileSystem(); }
std::unique_ptr<Clock> NewNativeClock() { return std::make_unique<Win32Clock>(); }
std::unique_ptr<Environment> NewNativeEnvironment() { return std::make_unique<Win32Environment>(); }
std::unique_ptr<ProcessRunner> NewNativeProcessRunner() { return std::make_unique<Win32ProcessRunner>(); }
std::unique_ptr<Console> NewNativeConsole() { return NewWin32Console(); }

// Windows opens a document through the command interpreter (%COMSPEC% /C).
SystemConventions NativeConventions() { return SystemConventions{.opener_through_command_interpreter = true}; }

// The suite's wbtrv32.dll where the system's DLL search finds it (the
// program's folder first, then the system folders and PATH).
Status FindSuiteRecordManagerLibrary(std::string* path) {
  HMODULE probe = ::LoadLibraryW(L"wbtrv32.dll");
  if (probe == nullptr) {
    const DWORD why = ::GetLastError();
    if (why == ERROR_MOD_NOT_FOUND) return Status::NotFound("no wbtrv32.dll");
    return Win32Error("LoadLibraryW", "wbtrv32.dll", why);
  }
  const std::wstring wide = ModulePath(probe);
  const DWORD error = ::GetLastError();
  ::FreeLibrary(probe);
  if (wide.empty()) return Win32Error("GetModuleFileNameW", "wbtrv32.dll", error);
  if (!WideToCp850Exact(wide, path)) {
    return Status::InvalidArgument(NotInCodePage850("the path of wbtrv32.dll", WideToCp850(wide)));
  }
  return Status::Ok();
}

// From the wide command line: the C runtime's narrow arguments are in the
// ANSI code page, which may lack characters code page 850 has.
Status ProgramArguments(int, char**, std::vector<std::string>* args) {
  args->clear();
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return Win32Error("CommandLineToArgvW", "", ::GetLastError());
  Status s;
  for (int i = 1; i < count && s.ok(); ++i) {
    std::string arg;
    if (WideToCp850Exact(wide[i], &arg)) {
      args->push_back(std::move(arg));
    } else {
      s = Status::InvalidArgument(NotInCodePage850("argument " + std::to_string(i), WideToCp850(wide[i])));
    }
  }
  ::LocalFree(wide);
  return s;
}

bool WriteStandardText(StandardStream stream, std::string_view cp850) {
  std::FILE* file = stream == StandardStream::kOutput ? stdout : stderr;
  const HANDLE h = ::GetStdHandle(stream == StandardStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (!IsConsole(h)) {
    const bool written = std::fwrite(cp850.data(), 1, cp850.size(), file) == cp850.size();
    return std::fflush(file) == 0 && written;
  }
  // What the C library holds goes first.
  std::fflush(file);
  const std::wstring wide = Utf8ToWide(Cp850ToUtf8Lines(cp850));
  DWORD written = 0;
  return ::WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0 &&
         written == wide.size();
}

bool StandardStreamIsTerminal(StandardStream stream) {
  return IsConsole(::GetStdHandle(stream == StandardStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE));
}

}  // namespace zov::platform
