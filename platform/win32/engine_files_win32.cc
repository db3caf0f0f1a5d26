#include <windows.h>

#include "platform/recman/engine_files.h"
#include "platform/recman/status.h"
#include "platform/win32/wide.h"

namespace zov::platform {
namespace {

int16_t StatusFromWin32(DWORD error, int16_t missing_status) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return missing_status;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION: return kRmAccessDenied;
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE: return kRmInvalidFileName;
    default: return kRmIoError;
  }
}

}  // namespace

int16_t InspectPath(const std::string& path, int16_t missing_status, PathKind* kind, FileIdentity* id) {
  const std::wstring wide = Cp850ToWide(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) return StatusFromWin32(error, missing_status);
    *kind = PathKind::kMissing;
    return kRmOk;
  }
  // Opening for no access at all needs no sharing and never conflicts.
  HANDLE h = ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return StatusFromWin32(::GetLastError(), missing_status);
  BY_HANDLE_FILE_INFORMATION info;
  const BOOL got = ::GetFileInformationByHandle(h, &info);
  const DWORD error = ::GetLastError();
  ::CloseHandle(h);
  if (!got) return StatusFromWin32(error, missing_status);
  *kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::kOther : PathKind::kFile;
  *id = FileIdentity{info.dwVolumeSerialNumber,
                     (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  return kRmOk;
}

void RemoveFileIfPresent(const std::string& path) { ::DeleteFileW(Cp850ToWide(path).c_str()); }

int16_t ReplaceDataFile(const std::string& from, const std::string& to, int16_t missing_status) {
  if (!::MoveFileExW(Cp850ToWide(from).c_str(), Cp850ToWide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return StatusFromWin32(::GetLastError(), missing_status);
  }
  return kRmOk;
}

}  // namespace zov::platform
