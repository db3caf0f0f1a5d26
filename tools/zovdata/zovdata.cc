#include "tools/zovdata/zovdata.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "datafiles/description_file.h"
#include "platform/recman/record_file.h"
#include "platform/recman/status.h"
#include "tools/zovdata/suite_files.h"

// The demo installation builder is built in when its sources are present.
#ifdef ZOV_ZOVDATA_HAS_DEMO
#include "tools/zovdata/demo.h"
#endif

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

// ---------------------------------------------------------------------------
// The command line.

namespace {

constexpr std::string_view kToolHelp =
    "zovdata: look after the data files of the property-rental suite.\n"
    "\n"
    "The suite keeps its data in keyed record files (DADES/*.dat) that are\n"
    "reached through the record manager, never edited by hand. Each file has\n"
    "fixed-length records and one or more keys; its shape is kept in a\n"
    "description file (ddf/<name>.xdf) from which a missing file is created.\n"
    "\n"
    "Usage: zovdata COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  describe DIR                  write the descriptions of the twelve data files into DIR\n"
    "  create FILE XDF               create the empty data file FILE from the description XDF\n"
    "  load FILE RECORDS             insert the records stored in RECORDS into FILE\n"
    "  dump FILE [--key N]           print FILE's records, one hex line each, in key order\n"
    "  stat FILE                     print FILE's record length, record count and keys\n"
    "  demo DIR [--owners N] [--seed S]\n"
    "                                build a demo installation in DIR\n"
    "\n"
    "FILE is the data file's path as it is on disk, extension included\n"
    "(e.g. /srv/zov/DADES/VCobros.dat). \"zovdata COMMAND --help\" explains one\n"
    "command. Exit code: 0 done, 1 failed (the reason is printed on one line),\n"
    "2 wrong usage.\n";

constexpr std::string_view kDescribeHelp =
    "Usage: zovdata describe DIR\n"
    "\n"
    "Writes the description files of the twelve data files that the register\n"
    "program opens into DIR (created if missing): VPropiet.xdf, VGrups.xdf,\n"
    "VDepBase.xdf, VDepPart.xdf, VDepCont.xdf, VDepBanc.xdf, VDepCada.xdf,\n"
    "VCobros.xdf, VDesCob.xdf, VConcept.xdf, Remeses.xdf and USeccio.xdf.\n"
    "An installation keeps them in its ddf/ folder: the register program\n"
    "creates a missing data file from them. Existing files are replaced.\n"
    "\n"
    "A description is a 2-byte little-endian count followed by that many\n"
    "bytes of the record manager's file specification: record length, page\n"
    "size, number of keys, and one 16-byte entry per key segment.\n";

constexpr std::string_view kCreateHelp =
    "Usage: zovdata create FILE XDF\n"
    "\n"
    "Creates FILE as an empty data file shaped by the description file XDF\n"
    "(see \"zovdata describe\"). An existing FILE is never replaced: remove it\n"
    "first if that is what you want.\n"
    "\n"
    "Example: zovdata create DADES/VCobros.dat ddf/VCobros.xdf\n";

constexpr std::string_view kLoadHelp =
    "Usage: zovdata load FILE RECORDS\n"
    "\n"
    "Inserts into FILE the records stored back to back in the file RECORDS,\n"
    "each exactly FILE's record length (see \"zovdata stat\"). The load is all\n"
    "or nothing: a RECORDS file whose size is not a whole number of records\n"
    "is refused before anything is written, and a record that FILE refuses\n"
    "(for instance a second record with the same value of a key that allows\n"
    "no duplicates) undoes the whole load and is named by its position.\n"
    "\n"
    "Example: zovdata load DADES/VCobros.dat receipts.bin\n";

constexpr std::string_view kDumpHelp =
    "Usage: zovdata dump FILE [--key N]\n"
    "\n"
    "Prints every record of FILE as one line of lower-case hexadecimal digits\n"
    "(two per byte), in the order of key N (default 0). Records with equal\n"
    "keys come in the order they were inserted.\n"
    "\n"
    "Example: zovdata dump DADES/VCobros.dat --key 1\n";

constexpr std::string_view kStatHelp =
    "Usage: zovdata stat FILE\n"
    "\n"
    "Prints FILE's record length, its number of records, its page size and\n"
    "each key with its segments: position (1-based byte in the record),\n"
    "length, flags (0x01 duplicates allowed, 0x02 modifiable, 0x04 binary,\n"
    "0x10 another segment follows, 0x20 alternate collating sequence, 0x40\n"
    "descending, 0x100 extended type) and type (0 string).\n";

constexpr std::string_view kDemoHelp =
    "Usage: zovdata demo DIR [--owners N] [--seed S] [--properties-per-owner N\n"
    "                        --receipts-per-property N] [--csv keep|delete]\n"
    "\n"
    "Builds a demo installation in DIR for trying the register program: the\n"
    "descriptions (ddf/), the twelve data files loaded with N owners, their\n"
    "properties and two years of receipts (DADES/), the user settings, the\n"
    "language file and a tmp/ folder with the run parameters. The same options\n"
    "give the same installation. Existing data files are never overwritten.\n"
    "\n"
    "  --owners N                 how many owners\n"
    "  --seed S                   the seed of the generated data\n"
    "  --properties-per-owner N   with --receipts-per-property: a fixed shape\n"
    "  --receipts-per-property N  instead of varied owners\n"
    "  --csv keep|delete          whether the register keeps its CSV files\n";

struct Command {
  std::string_view name;
  std::string_view help;
};
constexpr Command kCommands[] = {
    {"describe", kDescribeHelp}, {"create", kCreateHelp}, {"load", kLoadHelp},
    {"dump", kDumpHelp},         {"stat", kStatHelp},     {"demo", kDemoHelp},
};

const Command* FindCommand(std::string_view name) {
  for (const Command& c : kCommands) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

bool IsHelp(std::string_view a) { return a == "--help" || a == "-h" || a == "help"; }

int Usage(std::ostream& err, std::string_view command, std::string_view problem) {
  err << "zovdata: " << command << ": " << problem << "; see \"zovdata " << command << " --help\"\n";
  return 2;
}

int Fail(std::ostream& err, const Status& s) {
  err << "zovdata: " << s.message() << "\n";
  return 1;
}

// Positional arguments, refusing options other than those the command takes.
bool Positionals(const std::vector<std::string>& args, std::vector<std::string>* out, std::string* bad) {
  for (const std::string& a : args) {
    if (a.size() > 1 && a[0] == '-') {
      *bad = a;
      return false;
    }
    out->push_back(a);
  }
  return true;
}

}  // namespace

int RunZovdata(platform::Env& env, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kToolHelp;
    return 2;
  }
  const std::string& name = args[0];
  if (IsHelp(name)) {
    if (args.size() > 1) {
      const Command* c = FindCommand(args[1]);
      if (c == nullptr) {
        err << "zovdata: unknown command \"" << args[1] << "\"; see \"zovdata --help\"\n";
        return 2;
      }
      out << c->help;
      return 0;
    }
    out << kToolHelp;
    return 0;
  }
  const Command* command = FindCommand(name);
  if (command == nullptr) {
    err << "zovdata: unknown command \"" << name << "\"; see \"zovdata --help\"\n";
    return 2;
  }
  std::vector<std::string> rest(args.begin() + 1, args.end());
  for (const std::string& a : rest) {
    if (a == "--help" || a == "-h") {
      out << command->help;
      return 0;
    }
  }

  if (name == "demo") {
#ifdef ZOV_ZOVDATA_HAS_DEMO
    return RunDemoCommand(env, rest, out, err);
#else
    err << "zovdata: demo: this zovdata was built without the demo builder\n";
    return 1;
#endif
  }

  std::vector<std::string> positional;
  std::string bad;
  int key_number = 0;
  if (name == "dump") {
    std::vector<std::string> filtered;
    for (std::size_t i = 0; i < rest.size(); ++i) {
      std::string_view value;
      if (rest[i] == "--key") {
        if (i + 1 == rest.size()) return Usage(err, name, "--key needs a key number");
        value = rest[++i];
      } else if (rest[i].rfind("--key=", 0) == 0) {
        value = std::string_view(rest[i]).substr(6);
      } else {
        filtered.push_back(rest[i]);
        continue;
      }
      const char* end = value.data() + value.size();
      auto [ptr, ec] = std::from_chars(value.data(), end, key_number);
      if (value.empty() || ec != std::errc() || ptr != end || key_number < 0 || key_number > 127) {
        return Usage(err, name, "--key needs a key number from 0 to 127, not \"" + std::string(value) + "\"");
      }
    }
    rest = filtered;
  }
  if (!Positionals(rest, &positional, &bad)) return Usage(err, name, "unknown option \"" + bad + "\"");

  const std::size_t wanted = (name == "create" || name == "load") ? 2 : 1;
  if (positional.size() != wanted) {
    return Usage(err, name,
                 positional.size() < wanted ? "missing argument" : "too many arguments");
  }

  if (name == "describe") {
    Status s = WriteDescriptions(*env.fs, positional[0]);
    if (!s.ok()) return Fail(err, s);
    out << "wrote " << SuiteDataFiles().size() << " descriptions to " << positional[0] << "\n";
    return 0;
  }
  if (name == "create") {
    Status s = CreateDataFile(env, positional[0], positional[1]);
    if (!s.ok()) return Fail(err, s);
    out << "created " << positional[0] << "\n";
    return 0;
  }
  if (name == "load") {
    uint64_t loaded = 0;
    Status s = LoadRecords(env, positional[0], positional[1], &loaded);
    if (!s.ok()) return Fail(err, s);
    out << "loaded " << loaded << (loaded == 1 ? " record" : " records") << " into " << positional[0] << "\n";
    return 0;
  }
  if (name == "dump") {
    Status s = ForEachRecord(env, positional[0], key_number,
                             [&](std::string_view record) { out << HexLine(record) << "\n"; });
    if (!s.ok()) return Fail(err, s);
    return 0;
  }
  // stat
  platform::FileSpec stats;
  Status s = ReadFileStats(env, positional[0], &stats);
  if (!s.ok()) return Fail(err, s);
  out << FormatStats(positional[0], stats);
  return 0;
}

}  // namespace zov::tools
