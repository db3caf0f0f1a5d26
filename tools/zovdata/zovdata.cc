#include "tools/zovdata/zovdata.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/recman/status.h"
#include "tools/zovdata/suite_files.h"

namespace zov::tools {
namespace {

using platform::Status;

constexpr std::size_t kPathBufferSize = 255;
constexpr std::size_t kStatBufferSize = 1536;
// Open modes of the record manager.
constexpr int8_t kModeNormal = 0;
constexpr int8_t kModeReadOnly = -2;

Status::Code CodeOf(int16_t status) {
  switch (status) {
    case platform::kRmFileNotFound: return Status::Code::kNotFound;
    case platform::kRmFileExists: return Status::Code::kAlreadyExists;
    case platform::kRmFileLocked:
    case platform::kRmRecordLocked: return Status::Code::kBusy;
    case platform::kRmAccessDenied: return Status::Code::kPermissionDenied;
    default: return Status::Code::kIoError;
  }
}

// "<file>: cannot <action>: <meaning> (status N)"
Status RecordManagerError(std::string_view file, std::string_view action, int16_t status) {
  std::string m(file);
  m += ": cannot ";
  m += action;
  m += ": ";
  m += platform::RecordStatusMeaning(status);
  m += " (status " + std::to_string(status) + ")";
  return Status::Error(CodeOf(status), m);
}

Status PathBuffer(std::string_view file, std::array<char, kPathBufferSize>* buffer) {
  if (file.empty()) return Status::InvalidArgument("no data file named");
  if (file.size() + 1 > kPathBufferSize) {
    return Status::InvalidArgument(std::string(file.substr(0, 40)) + "...: path too long (at most " +
                                   std::to_string(kPathBufferSize - 1) + " bytes)");
  }
  if (file.find('\0') != std::string_view::npos) {
    return Status::InvalidArgument("the data file's path holds a zero byte");
  }
  buffer->fill(' ');
  std::memcpy(buffer->data(), file.data(), file.size());
  (*buffer)[file.size()] = '\0';
  return Status::Ok();
}

// A data file opened through the record manager, closed when it goes.
class OpenFile {
 public:
  explicit OpenFile(platform::RecordManager& rm) : rm_(rm) {}
  ~OpenFile() {
    if (open_) {
      char data = 0, key = 0;
      uint32_t length = 0;
      rm_.Call(platform::kOpClose, block_.data(), &data, &length, &key, 0, 0);
    }
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  Status Open(std::string_view file, int8_t mode) {
    std::array<char, kPathBufferSize> path;
    Status s = PathBuffer(file, &path);
    if (!s.ok()) return s;
    std::array<char, 5> owner{};
    uint32_t length = 0;
    const int16_t st = rm_.Call(platform::kOpOpen, block_.data(), owner.data(), &length, path.data(),
                                static_cast<uint8_t>(kPathBufferSize), mode);
    if (st != platform::kRmOk) return RecordManagerError(file, "open", st);
    open_ = true;
    return Status::Ok();
  }

  Status Stats(std::string_view file, datafiles::FileSpec* stats) {
    std::array<uint8_t, kStatBufferSize> data{};
    std::array<char, kPathBufferSize> key;
    key.fill(' ');
    uint32_t length = kStatBufferSize;
    const int16_t st = Call(platform::kOpStat, data.data(), &length, key.data(), static_cast<uint8_t>(key.size()), 0);
    if (st != platform::kRmOk) return RecordManagerError(file, "read the statistics", st);
    *stats = datafiles::DecodeFileSpec(std::span<const uint8_t>(data.data(), length));
    if (stats->record_length == 0) return Status::IoError(std::string(file) + ": statistics give no record length");
    return Status::Ok();
  }

  int16_t Call(uint16_t operation, void* data, uint32_t* length, void* key, uint8_t key_length,
               int8_t key_number) {
    return rm_.Call(operation, block_.data(), data, length, key, key_length, key_number);
  }

 private:
  platform::RecordManager& rm_;
  std::array<uint8_t, platform::kPositionBlockSize> block_{};
  bool open_ = false;
};

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string path(dir);
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  return path + std::string(name);
}

const char* SegmentFlagNames(uint16_t flags, std::string* out) {
  struct Name {
    uint16_t bit;
    const char* name;
  };
  static constexpr Name kNames[] = {
      {datafiles::kSegDuplicates, "duplicates"}, {datafiles::kSegModifiable, "modifiable"},
      {datafiles::kSegBinary, "binary"},         {datafiles::kSegContinues, "continues"},
      {datafiles::kSegAltCollating, "collated"}, {datafiles::kSegDescending, "descending"},
      {datafiles::kSegExtendedType, "extended type"},
  };
  out->clear();
  for (const Name& n : kNames) {
    if (flags & n.bit) {
      if (!out->empty()) *out += ", ";
      *out += n.name;
    }
  }
  return out->c_str();
}

std::string_view TypeName(uint8_t type) {
  switch (type) {
    case 0: return "string";
    case 1: return "signed integer";
    case 14: return "unsigned binary";
    default: return "other";
  }
}

}  // namespace

Status WriteDescriptions(platform::FileSystem& fs, std::string_view dir) {
  if (dir.empty()) return Status::InvalidArgument("no directory named");
  platform::DirEntry entry;
  std::string probe(dir);
  while (probe.size() > 1 && (probe.back() == '/' || probe.back() == '\\')) probe.pop_back();
  if (fs.FindFirst(probe, &entry).code() == Status::Code::kNotFound) {
    Status s = fs.CreateDirectory(probe);
    if (!s.ok()) return Status::Error(s.code(), std::string(dir) + ": cannot create the directory: " + s.message());
  }
  for (const SuiteFile& f : SuiteDataFiles()) {
    const std::string path = JoinPath(dir, std::string(f.name) + ".xdf");
    Status s = platform::WriteFileAtomically(fs, path, datafiles::EncodeDescription(f.spec));
    if (!s.ok()) return Status::Error(s.code(), path + ": cannot write: " + s.message());
  }
  return Status::Ok();
}

Status CreateDataFileFromSpec(platform::Env& env, std::string_view file, std::string_view spec) {
  std::array<char, kPathBufferSize> path;
  Status s = PathBuffer(file, &path);
  if (!s.ok()) return s;
  std::string data(spec);
  uint32_t length = static_cast<uint32_t>(data.size());
  std::array<uint8_t, platform::kPositionBlockSize> block{};
  const int16_t st = env.record_manager->Call(platform::kOpCreate, block.data(), data.data(), &length, path.data(),
                                              static_cast<uint8_t>(kPathBufferSize), -1);
  if (st != platform::kRmOk) return RecordManagerError(file, "create", st);
  return Status::Ok();
}

Status CreateDataFile(platform::Env& env, std::string_view file, std::string_view xdf) {
  std::string contents;
  Status s = env.fs->ReadFile(xdf, &contents);
  if (!s.ok()) return Status::Error(s.code(), std::string(xdf) + ": cannot read the description: " + s.message());
  std::optional<std::string> spec = datafiles::SpecificationOfDescription(contents);
  if (!spec) {
    return Status::InvalidArgument(std::string(xdf) + ": not a description file (" + std::to_string(contents.size()) +
                                   " bytes; a 2-byte count and that many bytes expected)");
  }
  return CreateDataFileFromSpec(env, file, *spec);
}

Status InsertRecords(platform::Env& env, std::string_view file, std::string_view records, std::string_view source,
                     uint64_t* loaded) {
  *loaded = 0;
  OpenFile f(*env.record_manager);
  Status s = f.Open(file, kModeNormal);
  if (!s.ok()) return s;
  datafiles::FileSpec stats;
  s = f.Stats(file, &stats);
  if (!s.ok()) return s;
  const std::size_t length = stats.record_length;
  if (records.size() % length != 0) {
    return Status::InvalidArgument(std::string(source) + ": " + std::to_string(records.size()) +
                                   " bytes is not a whole number of " + std::to_string(length) + "-byte records of " +
                                   std::string(file) + " (" + std::to_string(records.size() / length) +
                                   (records.size() / length == 1 ? " record and " : " records and ") + std::to_string(records.size() % length) +
                                   " bytes over); nothing loaded");
  }
  const std::size_t count = records.size() / length;
  if (count == 0) return Status::Ok();

  char none = 0;
  uint32_t zero = 0;
  int16_t st = f.Call(platform::kOpBeginTransaction, &none, &zero, &none, 0, 0);
  if (st != platform::kRmOk) return RecordManagerError(file, "begin a transaction", st);
  auto abort = [&] {
    uint32_t z = 0;
    f.Call(platform::kOpAbortTransaction, &none, &z, &none, 0, 0);
  };

  std::string data;
  std::array<char, kPathBufferSize> key;
  for (std::size_t i = 0; i < count; ++i) {
    data.assign(records.substr(i * length, length));
    uint32_t data_length = static_cast<uint32_t>(length);
    key.fill(' ');
    st = f.Call(platform::kOpInsert, data.data(), &data_length, key.data(), static_cast<uint8_t>(key.size()), 0);
    if (st != platform::kRmOk) {
      abort();
      std::string m = std::string(source) + ": record " + std::to_string(i + 1) + " of " + std::to_string(count) +
                      " (bytes " + std::to_string(i * length) + " to " + std::to_string((i + 1) * length - 1) +
                      "): " + std::string(file) + " refused it: " +
                      std::string(platform::RecordStatusMeaning(st));
      if (st == platform::kRmDuplicateKey) m += " on a key that allows none";
      m += " (status " + std::to_string(st) + "); nothing loaded";
      return Status::Error(CodeOf(st), m);
    }
  }
  st = f.Call(platform::kOpEndTransaction, &none, &zero, &none, 0, 0);
  if (st != platform::kRmOk) {
    abort();
    Status e = RecordManagerError(file, "commit the load", st);
    return Status::Error(e.code(), e.message() + "; nothing loaded");
  }
  *loaded = count;
  return Status::Ok();
}

Status LoadRecords(platform::Env& env, std::string_view file, std::string_view records_path, uint64_t* loaded) {
  *loaded = 0;
  std::string records;
  Status s = env.fs->ReadFile(records_path, &records);
  if (!s.ok()) return Status::Error(s.code(), std::string(records_path) + ": cannot read the records: " + s.message());
  return InsertRecords(env, file, records, records_path, loaded);
}

Status ForEachRecord(platform::Env& env, std::string_view file, int key_number,
                     const std::function<void(std::string_view record)>& each) {
  OpenFile f(*env.record_manager);
  Status s = f.Open(file, kModeReadOnly);
  if (!s.ok()) return s;
  datafiles::FileSpec stats;
  s = f.Stats(file, &stats);
  if (!s.ok()) return s;
  if (key_number < 0 || key_number >= static_cast<int>(stats.keys.size())) {
    return Status::InvalidArgument(std::string(file) + ": no key " + std::to_string(key_number) + " (the file has " +
                                   std::to_string(stats.keys.size()) + (stats.keys.size() == 1 ? " key" : " keys") +
                                   ", numbered from 0)");
  }
  std::string data(stats.record_length, '\0');
  std::array<char, kPathBufferSize> key;
  uint16_t operation = platform::kOpGetFirst;
  for (;;) {
    uint32_t length = static_cast<uint32_t>(data.size());
    key.fill('\0');
    const int16_t st =
        f.Call(operation, data.data(), &length, key.data(), static_cast<uint8_t>(key.size()), static_cast<int8_t>(key_number));
    if (st == platform::kRmEndOfFile) return Status::Ok();
    if (st != platform::kRmOk) return RecordManagerError(file, "read", st);
    each(std::string_view(data.data(), std::min<std::size_t>(length, data.size())));
    operation = platform::kOpGetNext;
  }
}

Status ReadFileStats(platform::Env& env, std::string_view file, datafiles::FileSpec* stats) {
  OpenFile f(*env.record_manager);
  Status s = f.Open(file, kModeReadOnly);
  if (!s.ok()) return s;
  return f.Stats(file, stats);
}

std::string HexLine(std::string_view record) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(record.size() * 2);
  for (char c : record) {
    const auto b = static_cast<uint8_t>(c);
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  }
  return out;
}

std::string FormatStats(std::string_view file, const datafiles::FileSpec& stats) {
  std::string out;
  out += "file: " + std::string(file) + "\n";
  out += "record length: " + std::to_string(stats.record_length) + "\n";
  out += "records: " + std::to_string(stats.record_count) + "\n";
  out += "page size: " + std::to_string(stats.page_size) + "\n";
  out += "keys: " + std::to_string(stats.keys.size()) + "\n";
  std::string names;
  for (std::size_t k = 0; k < stats.keys.size(); ++k) {
    const auto& key = stats.keys[k];
    out += "key " + std::to_string(k) + ": " + std::to_string(stats.KeyLength(static_cast<int>(k))) + " bytes in " +
           std::to_string(key.size()) + (key.size() == 1 ? " segment" : " segments") +
           ((key.front().flags & datafiles::kSegDuplicates) ? ", duplicates allowed" : ", unique") + "\n";
    for (const datafiles::KeySegment& s : key) {
      const std::string flags = "0x" + HexLine(std::string{static_cast<char>(s.flags >> 8), static_cast<char>(s.flags & 0xFF)});
      out += "  position " + std::to_string(s.position) + ", length " + std::to_string(s.length) + ", flags " + flags;
      SegmentFlagNames(s.flags, &names);
      if (!names.empty()) out += " (" + names + ")";
      out += ", type " + std::to_string(s.extended_type) + " (" + std::string(TypeName(s.extended_type)) + ")\n";
    }
  }
  return out;
}

}  // namespace zov::tools
