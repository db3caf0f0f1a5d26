#include "datafiles/data_files.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "datafiles/description_file.h"
#include "platform/ascii.h"
#include "platform/recman/status.h"

namespace zov::datafiles {
namespace {

using platform::kRmFileLocked;
using platform::kRmFileNotFound;
// Answered for a name that does not fit the path buffer: the record manager
// would refuse it with the same status.
using platform::kRmInvalidFileName;

// The description of a missing file: its specification bytes, or nullopt when
// the description file is missing, unreadable, or shorter than its count.
std::optional<std::string> ReadDescription(platform::FileSystem& fs, const std::string& path) {
  std::string contents;
  if (!fs.ReadFile(path, &contents).ok()) return std::nullopt;
  return SpecificationOfDescription(contents);
}

// The path buffer: path, a zero byte, blanks up to 255 bytes.
std::array<char, kPathBufferSize> PathBuffer(const std::string& path) {
  std::array<char, kPathBufferSize> key;
  key.fill(' ');
  std::memcpy(key.data(), path.data(), path.size());
  key[path.size()] = '\0';
  return key;
}

// Whether the directory of `path` has an entry named like its last
// component, whatever it is (a link whose target is missing included).
bool NameIsTaken(platform::FileSystem& fs, const std::string& path) {
  const std::string dir = platform::DirectoryPart(path);
  const std::string_view name = std::string_view(path).substr(dir.size());
  std::vector<platform::DirEntry> entries;
  if (!fs.ListDirectory(dir.empty() ? "." : dir, &entries).ok()) return false;
  return std::any_of(entries.begin(), entries.end(), [&](const platform::DirEntry& e) {
    return platform::EqualsIgnoringAsciiCase(e.name, name);
  });
}

}  // namespace

std::string DataFileStatusText(std::string_view path, int16_t status) {
  std::string_view meaning;
  switch (status) {
    case kStatusNotOpen: meaning = "file not open"; break;
    case kStatusFatal: meaning = "cannot be opened or created"; break;
    case kStatusAlreadyOpen: meaning = "file number already open"; break;
    case kStatusTableFull: meaning = "too many open files"; break;
    case kStatusNoSuchKey: meaning = "no such key in the file"; break;
    case kStatusKeyMismatch: meaning = "a record does not carry the key it was read by (a damaged index)"; break;
    default: meaning = platform::RecordStatusMeaning(status); break;
  }
  return "data file " + std::string(path) + ": " + std::string(meaning) + " (status " + std::to_string(status) +
         ")";
}

DataFileName SplitDataFileName(std::string_view name) {
  std::size_t component = 0;  // where the last component starts
  std::size_t dot = std::string_view::npos;
  for (std::size_t i = name.size(); i-- > 0;) {
    if (platform::IsNameSeparator(name[i])) {
      component = i + 1;
      break;
    }
    if (name[i] == '.') dot = i;  // keeps moving left: the leftmost dot wins
  }
  DataFileName out;
  out.directory = std::string(name.substr(0, component));
  if (dot == std::string_view::npos) {
    out.base = std::string(name.substr(component));
    out.extension = ".dat";
  } else {
    out.base = std::string(name.substr(component, dot - component));
    out.extension = std::string(name.substr(dot));
  }
  return out;
}

std::string_view CannotAccessText(const session::Session& session) {
  if (session::IsSpanish(session)) return "NO SE PUEDE ACCEDER AL FICHERO ";
  if (session::IsPortuguese(session)) return "NOM SE PODE ACEDER AO FICHEIRO ";
  // "NON SE PÒT ACCEDIR ATH FICHÈR "
  if (session::IsAranese(session)) return "NON SE P\xE3T ACCEDIR ATH FICH\xD4R ";
  return "NO ES POT ACCEDIR AL FITXER ";
}

int FindFileEntry(const DataFileTable& table, int16_t file_number) {
  int free_entry = 0;
  for (int i = 1; i <= kMaxOpenFiles; ++i) {
    const int16_t n = table.entries[static_cast<std::size_t>(i)].file_number;
    if (n == file_number) return i;
    if (n == 0) free_entry = i;
  }
  return -free_entry;
}

DataFileEntry* OpenEntry(DataFileTable& table, int16_t file_number) {
  if (file_number == 0) return nullptr;
  const int i = FindFileEntry(table, file_number);
  return i > 0 ? &table.entries[static_cast<std::size_t>(i)] : nullptr;
}

int16_t ResetDataFiles(platform::Env& env, DataFileTable& table) {
  auto& scratch = table.entries[0].position_block;
  scratch.fill(' ');
  char data = 0;
  char key = 0;
  uint32_t length = 0;
  const int16_t status =
      env.record_manager->Call(platform::kOpReset, scratch.data(), &data, &length, &key, 0, 0);
  if (status == kStatusOk) {
    for (int i = 1; i <= kMaxOpenFiles; ++i) table.entries[static_cast<std::size_t>(i)] = DataFileEntry{};
  }
  return status;
}

const platform::FileSpec* FileStatistics(platform::Env& env, DataFileEntry& entry) {
  if (entry.statistics) return &*entry.statistics;
  std::array<uint8_t, kDataBufferSize> data{};
  std::array<char, kPathBufferSize> key;
  key.fill(' ');
  uint32_t length = kDataBufferSize;
  const int16_t status = env.record_manager->Call(platform::kOpStat, entry.position_block.data(),
                                                  data.data(), &length, key.data(),
                                                  static_cast<uint8_t>(kPathBufferSize), 0);
  // Without statistics nothing is known about the file: a failed call must
  // not be read as a shape.
  if (status != kStatusOk) return nullptr;
  entry.statistics = platform::DecodeFileSpec(data);
  return &*entry.statistics;
}

KeyLength GetKeyLength(platform::Env& env, DataFileTable& table, int16_t file_number,
                       int16_t key_number) {
  KeyLength out;
  DataFileEntry* entry = OpenEntry(table, file_number);
  if (entry == nullptr) return out;
  const platform::FileSpec* spec = FileStatistics(env, *entry);
  if (spec == nullptr) return out;
  out.record_length = spec->record_length;
  out.key_length = spec->KeyLength(key_number);
  return out;
}

int16_t OpenDataFile(platform::Env& env, const session::Session& session, DataFileTable& table,
                     int16_t file_number, std::string_view name, std::span<char> record) {
  const int found = FindFileEntry(table, file_number);
  if (found > 0) return kStatusAlreadyOpen;
  if (found == 0) return kStatusTableFull;
  DataFileEntry& entry = table.entries[static_cast<std::size_t>(-found)];
  entry = DataFileEntry{};
  entry.file_number = file_number;
  entry.record = record;

  const DataFileName parts = SplitDataFileName(name);
  std::string path = parts.directory + parts.base + parts.extension;
  // The suite's names come from a case-insensitive system: an existing file
  // whose name differs only in letter case is the file meant.
  // Messages name it as the file system writes it (`shown`).
  const std::string shown = env.fs->Resolve(path);
  const std::string& resolved = shown;
  std::string given = path;
  std::replace(given.begin(), given.end(), '\\', '/');
  if (resolved != given) path = resolved;

  // A file that can be neither opened nor created: the message is shown,
  // every data file released, and the caller told to end the program.
  auto fail = [&](int16_t status, std::string detail = {}) -> int16_t {
    std::string message(CannotAccessText(session));
    message += env.fs->Resolve(name);
    message += " (" + std::to_string(status) + ")";
    table.fatal_message = message;
    table.fatal_detail = detail.empty() ? DataFileStatusText(shown, status) : std::move(detail);
    if (table.show_fatal_message) table.show_fatal_message(message, table.fatal_detail);
    ResetDataFiles(env, table);
    // Free the entry even when the record manager refused to release.
    entry = DataFileEntry{};
    return kStatusFatal;
  };

  if (path.size() + 1 > kPathBufferSize) return fail(kRmInvalidFileName);
  std::array<char, kPathBufferSize> key = PathBuffer(path);
  std::array<char, kDataBufferSize> data;

  bool created = false;
  int locked_waits = 0;
  for (;;) {
    data.fill(' ');
    std::memcpy(data.data(), kOwnerName, sizeof kOwnerName);
    uint32_t length = sizeof kOwnerName;
    const int16_t status =
        env.record_manager->Call(platform::kOpOpen, entry.position_block.data(), data.data(), &length,
                                 key.data(), static_cast<uint8_t>(kPathBufferSize), 0);
    if (status == kStatusOk) break;
    if (status == kRmFileLocked) {
      // The wait has no end of its own: say why the run stands still.
      if (locked_waits % kLockedRetriesPerNotice == 0) {
        env.error_output->WriteLine("waiting for data file " + shown + ": locked by another program" +
                     (locked_waits == 0 ? "" : " (still)"));
      }
      ++locked_waits;
      env.clock->SleepMillis(kLockedRetryMillis);
      continue;
    }
    // Create a missing file once; a file that is still missing after its
    // creation was reported done is a failure, not a reason to loop.
    if (status != kRmFileNotFound || created) return fail(status);
    // A name that is there but cannot be opened (a link to a share that is
    // not mounted) holds data elsewhere: an empty file must not take its place.
    if (NameIsTaken(*env.fs, path)) {
      return fail(status, "data file " + shown + ": the name exists but cannot be opened (a link whose target is "
                                                "missing, or no access): not replaced (status " +
                              std::to_string(status) + ")");
    }

    const std::string description = session.data_root + "ddf\\" + parts.base + ".xdf";
    std::optional<std::string> spec = ReadDescription(*env.fs, description);
    // Without a description there is nothing sound to create the file from.
    if (!spec) return fail(status);
    data.fill(' ');
    std::memcpy(data.data(), spec->data(), std::min(spec->size(), kDataBufferSize));
    length = kDataBufferSize;
    const int16_t create_status =
        env.record_manager->Call(platform::kOpCreate, entry.position_block.data(), data.data(),
                                 &length, key.data(), static_cast<uint8_t>(kPathBufferSize), -1);
    // Another program may have created it meanwhile: open that one.
    if (create_status == platform::kRmFileExists) {
      created = true;
      continue;
    }
    if (create_status != kStatusOk) return fail(create_status);
    created = true;
    // An empty register from a missing file must not pass unnoticed.
    env.error_output->WriteLine("data file " + shown + " was missing: created empty");
  }

  const KeyLength shape = GetKeyLength(env, table, file_number, 0);
  entry.record_length = shape.record_length;
  entry.path = shown;
  entry.key_number = 0;
  entry.key_value.assign(std::min<std::size_t>(static_cast<std::size_t>(shape.key_length), kMaxKeyLength),
                         '\0');
  return kStatusOk;
}

}  // namespace zov::datafiles
