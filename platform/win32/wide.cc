#include "platform/win32/wide.h"

#include <windows.h>

#include "platform/code_page.h"

namespace zov::platform {
namespace {

std::wstring ToWide(std::string_view text) {
  constexpr UINT code_page = CP_UTF8;
  if (text.empty()) return {};
  const int n = ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string FromWide(std::wstring_view text) {
  constexpr UINT code_page = CP_UTF8;
  if (text.empty()) return {};
  const int n = ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring Cp850ToWide(std::string_view cp850) {
  std::wstring out;
  out.reserve(cp850.size());
  for (char c : cp850) out += static_cast<wchar_t>(Cp850CodePoint(static_cast<unsigned char>(c)));
  return out;
}

bool WideToCp850Exact(std::wstring_view wide, std::string* cp850) {
  cp850->clear();
  cp850->reserve(wide.size());
  for (wchar_t c : wide) {
    char byte = 0;
    if (!CodePointToCp850(static_cast<char32_t>(c), &byte)) return false;
    *cp850 += byte;
  }
  return true;
}

std::string WideToCp850(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (wchar_t c : wide) {
    char byte = '?';
    if (!CodePointToCp850(static_cast<char32_t>(c), &byte)) byte = '?';
    out += byte;
  }
  return out;
}
std::string WideToUtf8(std::wstring_view wide) { return FromWide(wide); }
std::wstring Utf8ToWide(std::string_view utf8) { return ToWide(utf8); }

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
