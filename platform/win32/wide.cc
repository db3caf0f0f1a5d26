#include "platform/win32/wide.h"

#include <windows.h>

namespace zov::platform {
namespace {

constexpr UINT kCodePage850 = 850;

std::wstring ToWide(UINT code_page, std::string_view text) {
  if (text.empty()) return {};
  const int n = ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string FromWide(UINT code_page, std::wstring_view text) {
  if (text.empty()) return {};
  const char* fallback = code_page == CP_UTF8 ? nullptr : "?";
  const int n = ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      fallback, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n, fallback, nullptr);
  return out;
}

}  // namespace

std::wstring Cp850ToWide(std::string_view cp850) { return ToWide(kCodePage850, cp850); }
std::string WideToCp850(std::wstring_view wide) { return FromWide(kCodePage850, wide); }
std::string WideToUtf8(std::wstring_view wide) { return FromWide(CP_UTF8, wide); }
std::wstring Utf8ToWide(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }

Status::Code CodeOfWin32Error(uint32_t error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_NO_MORE_FILES:
      return Status::Code::kNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return Status::Code::kPermissionDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return Status::Code::kAlreadyExists;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
      return Status::Code::kBusy;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
      return Status::Code::kInvalidArgument;
    default:
      return Status::Code::kIoError;
  }
}

Status Win32Error(const char* call, std::string_view path, uint32_t error) {
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string reason = n > 0 ? WideToCp850(std::wstring_view(text, n)) : std::string();
  if (text != nullptr) ::LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ' ||
                             reason.back() == '.')) {
    reason.pop_back();
  }
  if (reason.empty()) reason = "error " + std::to_string(error);
  return Status::Error(CodeOfWin32Error(error), std::string(call) + " " + std::string(path) + ": " + reason);
}

}  // namespace zov::platform
