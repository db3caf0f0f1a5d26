#include "tools/zovdata/command_line.h"

#include <charconv>
#include <ostream>

#include "tools/demo/demo.h"
#include "tools/zovdata/suite_files.h"
#include "tools/zovdata/zovdata.h"

namespace zov::tools {

using platform::Status;

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
    "  check [FILE...]               check data files for damage (all of the installation's without FILE)\n"
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

constexpr std::string_view kCheckHelp =
    "Usage: zovdata check [FILE...]\n"
    "\n"
    "Runs the record manager's integrity check over each data file: the\n"
    "file's pages, every index entry against the record it points to, every\n"
    "record against its keys, and the record count. A damaged index makes\n"
    "the register meet a record where its key does not belong, or miss it.\n"
    "Without FILE, every *.dat file in the DADES folder of the installation\n"
    "that ZOVROOT names is checked.\n"
    "\n"
    "One line per file: \"sound\", \"damaged\" followed by what was found\n"
    "(indented), or \"not checked\" and why; then a summary line. Exit code:\n"
    "0 every file sound, 1 a file damaged or not checked, 2 wrong usage.\n"
    "A damaged file is rebuilt from a backup, or by dumping its records\n"
    "(zovdata dump) into a new file (zovdata create, zovdata load).\n";

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
    {"check", kCheckHelp},
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

// `zovdata check [FILE...]`.
int RunCheck(platform::Env& env, std::vector<std::string> files, std::ostream& out, std::ostream& err) {
  if (files.empty()) {
    Status s = InstallationDataFiles(env, &files);
    if (s.IsInvalidArgument()) return Usage(err, "check", s.message());
    if (!s.ok()) return Fail(err, s);
  }
  int damaged = 0, not_checked = 0;
  for (const std::string& file : files) {
    std::string report;
    const CheckResult result = CheckOneDataFile(file, &report);
    if (result == CheckResult::kDamaged) ++damaged;
    if (result == CheckResult::kNotChecked) ++not_checked;
    out << report << "\n";
  }
  out << files.size() << (files.size() == 1 ? " file" : " files") << " checked: " << damaged << " damaged, "
      << not_checked << " not checked\n";
  return damaged + not_checked == 0 ? 0 : 1;
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

  if (name == "demo") return RunDemoCommand(env, rest, out, err);

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

  if (name == "check") return RunCheck(env, positional, out, err);

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
