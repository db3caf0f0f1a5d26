// The table of open keyed data files: 40 entries, each naming an open file
// by the caller's file number and holding what the record manager needs
// between calls. One table per run, owned by the run and passed by reference
// to every data-file operation (data_files.h, record_ops.h).
//
//   datafiles::DataFileTable files;
//   files.show_fatal_message = [&](std::string_view text) { ... };
//   int16_t st = datafiles::OpenDataFile(env, session, files, 6, name, owner_record);
#ifndef ZOV_DATAFILES_DATA_FILE_TABLE_H_
#define ZOV_DATAFILES_DATA_FILE_TABLE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/record_manager.h"
#include "platform/recman/file_spec.h"

namespace zov::datafiles {

inline constexpr int kMaxOpenFiles = 40;
// The data buffer handed to the record manager; longer records are not supported.
inline constexpr std::size_t kDataBufferSize = 1536;
// The key buffer that carries a path name (open, create, statistics).
inline constexpr std::size_t kPathBufferSize = 255;
// The key buffer of a read.
inline constexpr std::size_t kKeyBufferSize = 256;
// The longest key the record manager can be handed (its key length is a byte).
inline constexpr std::size_t kMaxKeyLength = 255;

// Statuses of the data-file layer. 0 is success; every other value not
// listed here is the record manager's own status, passed through unchanged.
inline constexpr int16_t kStatusOk = 0;
inline constexpr int16_t kStatusNotOpen = 3;  // the file number is not open
// A data file could be neither opened nor created. The message has been
// shown (through show_fatal_message), every data file has been released,
// and fatal_message says which file and why. The caller must close what it
// holds and end the program with a non-zero exit code.
inline constexpr int16_t kStatusFatal = 1001;
inline constexpr int16_t kStatusAlreadyOpen = 1002;  // the file number is already open
inline constexpr int16_t kStatusTableFull = 1003;    // all 40 entries are in use
inline constexpr int16_t kStatusNoSuchKey = 1004;    // the key number does not exist in the file
// A record read through a key does not carry that key: its own key fields
// disagree with the key value the record manager found it under (a damaged
// index). The record variable is left as it was.
inline constexpr int16_t kStatusKeyMismatch = 1005;

struct DataFileEntry {
  int16_t file_number = 0;  // 0: the entry is free
  std::array<uint8_t, platform::kPositionBlockSize> position_block{};
  // The caller's record variable; reads fill it and copy the record back into
  // it. The caller keeps it alive while the file is open.
  std::span<char> record;
  int32_t record_length = 0;  // from the file statistics at open
  // The path (with its extension) as the file system writes it, for
  // messages that must say which file failed.
  std::string path;
  int16_t key_number = 0;     // current key
  std::string key_value;      // current key value, exactly as long as the key
  // The file's statistics, read once: a file's record length and keys cannot
  // change while it is open (the record manager refuses to replace an open
  // file), and the walk asks for them on every keyed read.
  std::optional<platform::FileSpec> statistics;
};

struct DataFileTable {
  // entries[1..40] hold open files; entries[0] only lends its position block
  // to ResetDataFiles.
  std::array<DataFileEntry, kMaxOpenFiles + 1> entries{};
  // Shows the message of a data file that can be neither opened nor created
  // (a framed box at row 12, a beep, a key waited for, the screen restored).
  // The run sets it; when empty the message is only kept in fatal_message.
  // `detail` is fatal_detail.
  std::function<void(std::string_view message, std::string_view detail)> show_fatal_message;
  // The last fatal message: the language's text, the name as passed (as the
  // file system writes it: FileSystem::Resolve), and the status in
  // parentheses, in code page 850. Empty until a fatal failure.
  std::string fatal_message;
  // What the framed message cannot hold, for standard error: the status's
  // meaning and the full path with its extension.
  std::string fatal_detail;
};

}  // namespace zov::datafiles

#endif  // ZOV_DATAFILES_DATA_FILE_TABLE_H_
