#include "tools/zovdata/zovdata.h"

#include <algorithm>

#include "datafiles/description_file.h"
#include "platform/recman/record_file.h"
#include "platform/recman/record_managers.h"
#include "platform/recman/status.h"
#include "tools/zovdata/suite_files.h"

namespace zov::tools {
namespace {

using platform::Status;

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

// Refuses, saying why, a path that the record manager's key buffer cannot
// carry.
Status CheckPath(std::string_view file) {
  if (file.empty()) return Status::InvalidArgument("no data file named");
  if (file.size() + 1 > platform::kPathKeyLength) {
    return Status::InvalidArgument(std::string(file.substr(0, 40)) + "...: path too long (at most " +
                                   std::to_string(platform::kPathKeyLength - 1) + " bytes)");
  }
  if (file.find('\0') != std::string_view::npos) {
    return Status::InvalidArgument("the data file's path holds a zero byte");
  }
  return Status::Ok();
}

// Opens `file` in `mode` and reads its statistics.
Status OpenAndStat(platform::RecordFile& f, std::string_view file, int8_t mode, platform::FileSpec* stats) {
  Status s = CheckPath(file);
  if (!s.ok()) return s;
  int16_t st = f.Open(file, mode);
  if (st != platform::kRmOk) return RecordManagerError(file, "open", st);
  st = f.Stat(stats);
  if (st != platform::kRmOk) return RecordManagerError(file, "read the statistics", st);
  if (stats->record_length == 0) return Status::IoError(std::string(file) + ": statistics give no record length");
  return Status::Ok();
}

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
      {platform::kSegDuplicates, "duplicates"}, {platform::kSegModifiable, "modifiable"},
      {platform::kSegBinary, "binary"},         {platform::kSegContinues, "continues"},
      {platform::kSegCollated, "collated"},     {platform::kSegDescending, "descending"},
      {platform::kSegExtended, "extended type"},
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
    case platform::kTypeString: return "string";
    case platform::kTypeSignedInteger: return "signed integer";
    case platform::kTypeUnsignedBinary: return "unsigned binary";
    default: return "other";
  }
}

}  // namespace

Status WriteDescriptions(platform::FileSystem& fs, std::string_view dir) {
  if (dir.empty()) return Status::InvalidArgument("no directory named");
  platform::DirEntry entry;
  std::string probe(dir);
  while (probe.size() > 1 && (probe.back() == '/' || probe.back() == '\\')) probe.pop_back();
  if (fs.FindFirst(probe, &entry).IsNotFound()) {
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
  Status s = CheckPath(file);
  if (!s.ok()) return s;
  platform::RecordFile f(*env.record_manager);
  const int16_t st = f.Create(file, spec, -1);
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
  platform::RecordFile f(*env.record_manager);
  platform::FileSpec stats;
  Status s = OpenAndStat(f, file, platform::RecordFile::kNormal, &stats);
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

  platform::RecordManager& rm = *env.record_manager;
  int16_t st = platform::BeginTransaction(rm);
  if (st != platform::kRmOk) return RecordManagerError(file, "begin a transaction", st);
  // The load has already failed; what abort answers changes nothing.
  auto abort = [&] { (void)platform::AbortTransaction(rm); };

  for (std::size_t i = 0; i < count; ++i) {
    st = f.Insert(records.substr(i * length, length), 0);
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
  st = platform::EndTransaction(rm);
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
  platform::RecordFile f(*env.record_manager);
  platform::FileSpec stats;
  Status s = OpenAndStat(f, file, platform::RecordFile::kReadOnly, &stats);
  if (!s.ok()) return s;
  if (key_number < 0 || key_number >= static_cast<int>(stats.keys.size())) {
    return Status::InvalidArgument(std::string(file) + ": no key " + std::to_string(key_number) + " (the file has " +
                                   std::to_string(stats.keys.size()) + (stats.keys.size() == 1 ? " key" : " keys") +
                                   ", numbered from 0)");
  }
  std::string key(static_cast<std::size_t>(stats.KeyLength(key_number)), '\0'), record;
  uint16_t operation = platform::kOpGetFirst;
  for (;;) {
    const int16_t st = f.Get(operation, static_cast<int8_t>(key_number), &key, &record, stats.record_length);
    if (st == platform::kRmEndOfFile) return Status::Ok();
    if (st != platform::kRmOk) return RecordManagerError(file, "read", st);
    each(record);
    operation = platform::kOpGetNext;
  }
}

Status ReadFileStats(platform::Env& env, std::string_view file, platform::FileSpec* stats) {
  platform::RecordFile f(*env.record_manager);
  return OpenAndStat(f, file, platform::RecordFile::kReadOnly, stats);
}

Status InstallationDataFiles(platform::Env& env, std::vector<std::string>* files) {
  files->clear();
  const std::string root = env.environment != nullptr ? env.environment->GetOrEmpty("ZOVROOT") : std::string();
  if (root.empty()) return Status::InvalidArgument("no FILE named and ZOVROOT is not set");
  const std::string dir = env.fs->Resolve(JoinPath(root, "DADES")) + "/";
  std::vector<platform::DirEntry> entries;
  Status s = env.fs->ListDirectory(dir, &entries);
  if (!s.ok()) return Status::Error(s.code(), dir + ": cannot list the data files: " + s.message());
  for (const platform::DirEntry& e : entries) {
    if ((e.attributes & (platform::kAttrDirectory | platform::kAttrSystem)) == 0 && platform::WildcardMatch("*.dat", e.name)) {
      files->push_back(dir + e.name);
    }
  }
  std::sort(files->begin(), files->end());
  return Status::Ok();
}

CheckResult CheckOneDataFile(std::string_view file, std::string* report) {
  *report = std::string(file) + ": ";
  if (Status s = CheckPath(file); !s.ok()) {
    *report += "not checked: " + s.message();
    return CheckResult::kNotChecked;
  }
  platform::DataFileCheck check;
  const int16_t st = platform::CheckDataFile(std::string(file), &check);
  if (st != platform::kRmOk) {
    *report += "not checked: " + std::string(platform::RecordStatusMeaning(st)) + " (status " + std::to_string(st) + ")";
    return CheckResult::kNotChecked;
  }
  if (!check.damaged) {
    *report += "sound";
    return CheckResult::kSound;
  }
  *report += "damaged";
  for (const std::string& finding : check.findings) *report += "\n  " + finding;
  return CheckResult::kDamaged;
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

std::string FormatStats(std::string_view file, const platform::FileSpec& stats) {
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
           ((key.front().flags & platform::kSegDuplicates) ? ", duplicates allowed" : ", unique") + "\n";
    for (const platform::KeySegment& s : key) {
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
