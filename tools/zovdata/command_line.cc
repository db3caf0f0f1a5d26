#include "tools/zovdata/command_line.h"

#include <ostream>

#include "tools/demo/demo.h"
#include "tools/support/command_line.h"
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
    "command; \"zovdata --version\" names the record manager in use.\n"
    "\n"
    "Exit codes: 0 done; 1 failed (the reason is printed on one line); 2 wrong\n"
    "usage (nothing done).\n";

constexpr std::string_view kDescribeHelp =
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
    "Creates FILE as an empty data file shaped by the description file XDF\n"
    "(see \"zovdata describe\"). An existing FILE is never replaced: remove it\n"
    "first if that is what you want.\n"
    "\n"
    "Example: zovdata create DADES/VCobros.dat ddf/VCobros.xdf\n";

constexpr std::string_view kLoadHelp =
    "Inserts into FILE the records stored back to back in the file RECORDS,\n"
    "each exactly FILE's record length (see \"zovdata stat\"). The load is all\n"
    "or nothing: a RECORDS file whose size is not a whole number of records\n"
    "is refused before anything is written, and a record that FILE refuses\n"
    "(for instance a second record with the same value of a key that allows\n"
    "no duplicates) undoes the whole load and is named by its position.\n"
    "\n"
    "Example: zovdata load DADES/VCobros.dat receipts.bin\n";

constexpr std::string_view kDumpHelp =
    "Prints every record of FILE as one line of lower-case hexadecimal digits\n"
    "(two per byte), in the order of key N (default 0). Records with equal\n"
    "keys come in the order they were inserted.\n"
    "\n"
    "Example: zovdata dump DADES/VCobros.dat --key 1\n";

constexpr std::string_view kStatHelp =
    "Prints FILE's record length, its number of records, its page size and\n"
    "each key with its segments: position (1-based byte in the record),\n"
    "length, flags (0x01 duplicates allowed, 0x02 modifiable, 0x04 binary,\n"
    "0x10 another segment follows, 0x20 alternate collating sequence, 0x40\n"
    "descending, 0x100 extended type) and type (0 string).\n";

constexpr std::string_view kCheckHelp =
    "Runs the record manager's integrity check over each data file: the\n"
    "file's pages, every index entry against the record it points to, every\n"
    "record against its keys, and the record count. A damaged index makes\n"
    "the register meet a record where its key does not belong, or miss it.\n"
    "Without FILE, every *.dat file in the DADES folder of the installation\n"
    "that ZOVROOT names is checked.\n"
    "\n"
    "One line per file: \"sound\", \"damaged\" followed by what was found\n"
    "(indented), or \"not checked\" and why; then a summary line.\n"
    "A damaged file is rebuilt from a backup, or by dumping its records\n"
    "(zovdata dump) into a new file (zovdata create, zovdata load).\n";

constexpr std::string_view kDataFileHelp = "the data file, extension included";

// What a command's arguments and options are parsed into.
struct CommandArgs {
  std::string first;
  std::string second;
  int key = 0;
  std::vector<std::string> files;
};

struct Command {
  std::string_view name;
  // Declares the command's arguments and options into `line`.
  void (*declare)(CommandLine& line, CommandArgs& args);
};

void DeclareDescribe(CommandLine& line, CommandArgs& a) {
  line.Argument("DIR", "where the descriptions go (made when missing)", &a.first);
}
void DeclareCreate(CommandLine& line, CommandArgs& a) {
  line.Argument("FILE", std::string(kDataFileHelp), &a.first);
  line.Argument("XDF", "the description file", &a.second);
}
void DeclareLoad(CommandLine& line, CommandArgs& a) {
  line.Argument("FILE", std::string(kDataFileHelp), &a.first);
  line.Argument("RECORDS", "the records, back to back", &a.second);
}
void DeclareDump(CommandLine& line, CommandArgs& a) {
  line.Argument("FILE", std::string(kDataFileHelp), &a.first);
  line.Number("--key", "N", "the key whose order the records follow (default 0)", 0, 127, &a.key);
}
void DeclareStat(CommandLine& line, CommandArgs& a) { line.Argument("FILE", std::string(kDataFileHelp), &a.first); }
void DeclareCheck(CommandLine& line, CommandArgs& a) {
  line.MoreArguments("FILE", "data files to check (default: every one of the installation's DADES folder)", &a.files);
}

constexpr Command kCommands[] = {
    {"describe", DeclareDescribe}, {"create", DeclareCreate}, {"load", DeclareLoad},
    {"dump", DeclareDump},         {"stat", DeclareStat},     {"check", DeclareCheck},
};

std::string_view HelpOf(std::string_view name) {
  if (name == "describe") return kDescribeHelp;
  if (name == "create") return kCreateHelp;
  if (name == "load") return kLoadHelp;
  if (name == "dump") return kDumpHelp;
  if (name == "check") return kCheckHelp;
  return kStatHelp;
}

const Command* FindCommand(std::string_view name) {
  for (const Command& c : kCommands) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

bool IsKnown(std::string_view name) { return name == "demo" || FindCommand(name) != nullptr; }

bool IsHelp(std::string_view a) { return a == "--help" || a == "-h" || a == "help"; }

int Fail(std::ostream& err, const Status& s) {
  err << "zovdata: " << s.message() << "\n";
  return kExitProblems;
}

int UnknownCommand(std::ostream& err, std::string_view name) {
  err << "zovdata: unknown command \"" << name << "\"; see \"zovdata --help\"\n";
  return kExitUsage;
}

// `zovdata check [FILE...]`.
int RunCheck(platform::Env& env, std::vector<std::string> files, std::ostream& out, std::ostream& err) {
  if (files.empty()) {
    Status s = InstallationDataFiles(env, &files);
    if (s.IsInvalidArgument()) {
      err << "zovdata check: " << s.message() << "; see \"zovdata check --help\"\n";
      return kExitUsage;
    }
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
  return damaged + not_checked == 0 ? kExitDone : kExitProblems;
}

}  // namespace

int RunZovdata(platform::Env& env, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kToolHelp;
    return kExitUsage;
  }
  const std::string& name = args[0];
  if (IsHelp(name)) {
    if (args.size() == 1) {
      out << kToolHelp;
      return kExitDone;
    }
    if (!IsKnown(args[1])) return UnknownCommand(err, args[1]);
    // The command's own help, as "zovdata COMMAND --help" gives it.
    return RunZovdata(env, {args[1], "--help"}, out, err);
  }
  if (!IsKnown(name)) return UnknownCommand(err, name);
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (name == "demo") return RunDemoCommand(env, rest, out, err);

  const Command& command = *FindCommand(name);
  CommandLine line("zovdata " + name, std::string(HelpOf(name)));
  line.Epilogue(std::string(kExitCodesHelp));
  CommandArgs a;
  command.declare(line, a);
  if (std::optional<int> stop = line.Parse(rest, out, err)) return *stop;
  if (name == "check") return RunCheck(env, a.files, out, err);

  if (name == "describe") {
    Status s = WriteDescriptions(*env.fs, a.first);
    if (!s.ok()) return Fail(err, s);
    out << "wrote " << SuiteDataFiles().size() << " descriptions to " << a.first << "\n";
    return kExitDone;
  }
  if (name == "create") {
    Status s = CreateDataFile(env, a.first, a.second);
    if (!s.ok()) return Fail(err, s);
    out << "created " << a.first << "\n";
    return kExitDone;
  }
  if (name == "load") {
    uint64_t loaded = 0;
    Status s = LoadRecords(env, a.first, a.second, &loaded);
    if (!s.ok()) return Fail(err, s);
    out << "loaded " << loaded << (loaded == 1 ? " record" : " records") << " into " << a.first << "\n";
    return kExitDone;
  }
  if (name == "dump") {
    Status s = ForEachRecord(env, a.first, a.key, [&](std::string_view record) { out << HexLine(record) << "\n"; });
    if (!s.ok()) return Fail(err, s);
    return kExitDone;
  }
  // stat
  platform::FileSpec stats;
  Status s = ReadFileStats(env, a.first, &stats);
  if (!s.ok()) return Fail(err, s);
  out << FormatStats(a.first, stats);
  return kExitDone;
}

}  // namespace zov::tools
