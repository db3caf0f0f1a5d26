// The few file-system calls the engine makes itself, beside SQLite's own:
// what lies at a path, removing and replacing files. Paths are the
// engine's: code page 850 bytes as the caller passed them, converted here
// for the system (UTF-8 on POSIX, UTF-16 on Windows), as SQLite is given
// them in UTF-8. POSIX in engine_files.cc, Windows in
// win32/engine_files_win32.cc.
#ifndef ZOV_PLATFORM_RECMAN_ENGINE_FILES_H_
#define ZOV_PLATFORM_RECMAN_ENGINE_FILES_H_

#include <cstdint>
#include <string>

namespace zov::platform {

// Which file a path names, stable while the file exists: two paths with
// the same identity are the same file.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t file = 0;
  bool operator<(const FileIdentity& o) const { return volume != o.volume ? volume < o.volume : file < o.file; }
};

enum class PathKind { kMissing, kFile, kOther };

// What lies at `path`: kRmOk with *kind (and *id unless missing), or the
// record manager's status for the failure; a missing directory on the way
// answers `missing_status`.
[[nodiscard]] int16_t InspectPath(const std::string& path, int16_t missing_status, PathKind* kind,
                                  FileIdentity* id);

// Removes the file when it exists.
void RemoveFileIfPresent(const std::string& path);

// Replaces `to` (when it exists) with `from`, durably. kRmOk, or the status
// for the failure (`missing_status` when either is missing).
[[nodiscard]] int16_t ReplaceDataFile(const std::string& from, const std::string& to, int16_t missing_status);

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_RECMAN_ENGINE_FILES_H_
