#include "tools/demo/demo.h"

#include <limits>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "register/records.h"
#include "tools/demo/demo_files.h"
#include "tools/support/command_line.h"
#include "tools/zovdata/suite_files.h"
#include "tools/zovdata/zovdata.h"

namespace zov::tools {
namespace {

using platform::Status;

// Keeps each file's records back to back, to be loaded in one transaction
// per file.
class BufferingSink : public demo::RecordSink {
 public:
  Status Add(int16_t file_number, std::string_view record) override {
    buffers_[file_number].append(record);
    return Status::Ok();
  }
  Status AddOwnerNif(std::string_view owner_code, std::string_view nif) override {
    owner_nifs_ += std::string(owner_code) + ";" + std::string(nif) + "\r\n";
    return Status::Ok();
  }
  // The agency's file of owners' NIFs: "owner code;NIF" lines.
  const std::string& owner_nifs() const { return owner_nifs_; }
  std::string Take(int16_t file_number) {
    auto it = buffers_.find(file_number);
    if (it == buffers_.end()) return std::string();
    std::string out = std::move(it->second);
    buffers_.erase(it);
    return out;
  }

 private:
  std::map<int16_t, std::string> buffers_;
  std::string owner_nifs_;
};

std::string Join(std::string_view dir, std::string_view name) {
  std::string path(dir);
  if (!path.empty() && path.back() != '/') path += '/';
  return path + std::string(name);
}

bool Exists(platform::FileSystem& fs, const std::string& path) {
  platform::DirEntry entry;
  return fs.FindFirst(path, &entry).ok();
}

Status MakeDirectory(platform::FileSystem& fs, const std::string& dir) {
  if (Exists(fs, dir)) return Status::Ok();
  Status s = fs.CreateDirectory(dir);
  if (!s.ok()) return Status::Error(s.code(), dir + ": cannot create the directory: " + s.message());
  return Status::Ok();
}

Status WriteText(platform::FileSystem& fs, const std::string& path, std::string_view text) {
  Status s = platform::WriteFileAtomically(fs, path, text);
  if (!s.ok()) return Status::Error(s.code(), path + ": cannot write: " + s.message());
  return Status::Ok();
}

// The directory as an absolute path ending in "/".
Status AbsoluteDir(platform::FileSystem& fs, std::string_view dir, std::string* out) {
  std::string d(dir);
  while (d.size() > 1 && d.back() == '/') d.pop_back();
  if (!platform::IsAbsolutePath(d)) {
    std::string cwd;
    Status s = fs.GetCurrentDirectory(&cwd);
    if (!s.ok()) return s;
    d = Join(cwd, d == "." ? std::string_view() : std::string_view(d));
  }
  if (d.back() != '/') d += '/';
  *out = d;
  return Status::Ok();
}

Status Build(platform::Env& env, const DemoRequest& request, const std::string& root,
             std::vector<std::string>* created, demo::DemoCounts* counts) {
  platform::FileSystem& fs = *env.fs;
  const std::string dades = Join(root, "DADES");
  const std::string ddf = Join(root, "ddf");
  const std::string tmp = Join(root, "tmp");
  const std::string locale = Join(root, "LOCALE");

  // Never touch an installation that holds data.
  for (const SuiteFile& f : SuiteDataFiles()) {
    const std::string path = Join(dades, std::string(f.name) + ".dat");
    if (Exists(fs, path)) {
      return Status::AlreadyExists(path + ": exists; the demo is built only where no data files are");
    }
  }
  for (const std::string& dir : {root, dades, ddf, tmp, locale}) {
    if (Status s = MakeDirectory(fs, dir); !s.ok()) return s;
  }
  if (Status s = WriteDescriptions(fs, ddf); !s.ok()) return s;

  // The records before the data files: nothing to undo when they fail.
  BufferingSink sink;
  if (Status s = demo::GenerateInstallation(request.options, sink, counts); !s.ok()) return s;

  for (const SuiteFile& f : SuiteDataFiles()) {
    const std::string path = Join(dades, std::string(f.name) + ".dat");
    if (Status s = CreateDataFile(env, path, Join(ddf, std::string(f.name) + ".xdf")); !s.ok()) return s;
    created->push_back(path);
  }
  for (const reg::DataFileSpec& spec : reg::kDataFiles) {
    const std::string path = Join(dades, std::string(spec.name) + ".dat");
    const std::string records = sink.Take(spec.number);
    uint64_t loaded = 0;
    if (Status s = InsertRecords(env, path, records, "demo records of " + std::string(spec.name), &loaded); !s.ok()) {
      return s;
    }
  }

  // The parameter file VParam.tab is left for the program, which creates it.
  if (Status s = WriteText(fs, Join(root, "Orva.ini"), demo::UserSettingsText()); !s.ok()) return s;
  if (Status s = WriteText(fs, Join(root, "owners-nif.csv"), sink.owner_nifs()); !s.ok()) return s;
  if (Status s = WriteText(fs, Join(locale, "DAZOROV1.LNG"), demo::LanguageFileText()); !s.ok()) return s;
  if (Status s = WriteText(fs, Join(tmp, "Sessio.ini"), demo::SessionSettingsText(tmp + "/")); !s.ok()) return s;
  if (Status s = WriteText(fs, Join(tmp, "OrvaTerm.ini"), demo::TerminalSettingsText()); !s.ok()) return s;
  return WriteText(fs, Join(tmp, "pent.tmp"), demo::RunParametersText(request.keep_csv));
}

std::string Thousands(int64_t n) {
  std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

constexpr std::string_view kDemoHelp =
    "Builds a demo installation in DIR for trying the register program: the\n"
    "descriptions (ddf/), the twelve data files loaded with N owners, their\n"
    "properties and two years of receipts (DADES/), the user settings, the\n"
    "language file and a tmp/ folder with the run parameters. The same options\n"
    "give the same installation. Existing data files are never overwritten.\n";

}  // namespace

Status BuildDemoInstallation(platform::Env& env, const DemoRequest& request, demo::DemoCounts* counts) {
  *counts = demo::DemoCounts{};
  if (request.dir.empty()) return Status::InvalidArgument("no directory named for the demo installation");
  if (Status s = demo::CheckOptions(request.options); !s.ok()) return s;
  std::string root;
  if (Status s = AbsoluteDir(*env.fs, request.dir, &root); !s.ok()) return s;
  std::vector<std::string> created;
  Status s = Build(env, request, root, &created, counts);
  if (!s.ok()) {
    // Leave no half-built installation behind.
    for (const std::string& path : created) env.fs->DeleteFile(path).IgnoreError();
    *counts = demo::DemoCounts{};
  }
  return s;
}

int RunDemoCommand(platform::Env& env, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  DemoRequest request;
  CommandLine line("zovdata demo", std::string(kDemoHelp));
  line.Argument("DIR", "the installation's directory (made when missing)", &request.dir);
  line.Number<int32_t>("--owners", "N", "how many owners", 0, 1000000, &request.options.owners);
  line.Number<uint64_t>("--seed", "S", "the seed of the generated data", 0, std::numeric_limits<uint64_t>::max(),
                        &request.options.seed);
  line.Number<int32_t>("--properties-per-owner", "N", "with --receipts-per-property: a fixed shape", 0, 1000000,
                       &request.options.properties_per_owner);
  line.Number<int32_t>("--receipts-per-property", "N", "instead of varied owners", 0, 1000000,
                       &request.options.receipts_per_property);
  std::string csv = request.keep_csv ? "keep" : "delete";
  line.Choice("--csv", {"keep", "delete"}, "whether the register keeps its CSV files", &csv);
  line.Epilogue(std::string(kExitCodesHelp));
  if (std::optional<int> stop = line.Parse(args, out, err)) return *stop;
  request.keep_csv = csv == "keep";
  // Each of the two shape options needs the other.
  if ((request.options.properties_per_owner == 0) != (request.options.receipts_per_property == 0)) {
    return line.Misuse(err, "--properties-per-owner and --receipts-per-property go together");
  }
  if (Status s = demo::CheckOptions(request.options); !s.ok()) return line.Misuse(err, s.message());

  demo::DemoCounts counts;
  if (Status s = BuildDemoInstallation(env, request, &counts); !s.ok()) {
    err << "zovdata demo: " << s.message() << "\n";
    return kExitProblems;
  }
  std::string root;
  AbsoluteDir(*env.fs, request.dir, &root).IgnoreError();
  out << "Demo installation in " << root << " (seed " << request.options.seed << ")\n"
      << "  " << Thousands(counts.owners) << " owners, " << Thousands(counts.groups) << " groups, "
      << Thousands(counts.properties) << " properties, " << Thousands(counts.receipts) << " receipts ("
      << Thousands(counts.receipts_in_quarter) << " issued " << demo::kQuarterFrom << " to " << demo::kQuarterTo
      << ")\n"
      << "  data files   " << root << "DADES/  (descriptions in " << root << "ddf/)\n"
      << "  settings     " << root << "Orva.ini, language file " << root << "LOCALE/DAZOROV1.LNG\n"
      << "  owners' NIFs " << root << "owners-nif.csv  (for zovllibres)\n"
      << "  run          " << root << "tmp/  (Sessio.ini, OrvaTerm.ini, pent.tmp: register of "
      << demo::kQuarterFrom << " to " << demo::kQuarterTo << ", CSV files "
      << (request.keep_csv ? "kept" : "deleted") << ")\n";
  return kExitDone;
}

}  // namespace zov::tools
