#include "register/csv_export.h"

#include <vector>

#include "register/csv_fields.h"
#include "session/file_names.h"

namespace zov::reg {

namespace {

bool EndsInSeparator(std::string_view dir) {
  return !dir.empty() && (dir.back() == '/' || dir.back() == '\\' || dir.back() == ':');
}

// The first ordinary file in `dir` named `name` without regard to case.
std::string FindInDirectory(platform::FileSystem& fs, std::string dir, std::string_view name) {
  if (dir.empty()) return {};
  if (!EndsInSeparator(dir)) dir += '/';
  platform::DirEntry entry;
  if (!fs.FindFirst(dir + std::string(name), &entry).ok()) return {};
  if ((entry.attributes & (platform::kAttrDirectory | platform::kAttrVolumeLabel)) != 0) return {};
  return fs.Resolve(dir + entry.name);
}

}  // namespace

std::string CsvDirectory(platform::Environment& environment) {
  std::string dir = environment.GetOrEmpty("TEMP");
  if (!kOpenerThroughCommandInterpreter) {
    if (dir.empty()) dir = environment.GetOrEmpty("TMPDIR");
    if (dir.empty()) dir = "/tmp";
  }
  if (!dir.empty() && !EndsInSeparator(dir)) dir += kOpenerThroughCommandInterpreter ? '\\' : '/';
  return dir;
}

std::string FindOpener(platform::FileSystem& fs, std::string_view exe_dir, std::string_view path_list) {
  std::vector<std::string> dirs;
  dirs.emplace_back(exe_dir);
  std::size_t start = 0;
  while (start <= path_list.size()) {
    std::size_t end = path_list.find(':', start);
    if (end == std::string_view::npos) end = path_list.size();
    if (end > start) dirs.emplace_back(path_list.substr(start, end - start));
    start = end + 1;
  }
  const std::string_view bare = kOpenerProgram.substr(0, kOpenerProgram.find('.'));
  for (const std::string& dir : dirs) {
    for (std::string_view name : {kOpenerProgram, bare}) {
      std::string found = FindInDirectory(fs, dir, name);
      if (!found.empty()) return found;
    }
  }
  return {};
}

void OwnerCsvStart(RegisterContext& ctx) {
  RegisterState& st = ctx.state;
  st.owner_started = true;
  st.first_group_of_owner = true;
  ++st.owners;
  st.csv_path = session::UniqueFileName(ctx.env, st.csv_directory, "", kCsvExtension);
  st.csv_slot = output::OpenSlot(ctx.slots, st.csv_path, kCsvFormatSpec);
  for (std::string_view header : kCsvHeaders) output::AddField(ctx.slots, st.csv_slot, header);
  output::WriteLine(ctx.env, ctx.slots, st.csv_slot);
}

void CsvRow(RegisterContext& ctx, const LineAmounts& amounts) {
  const RecordVariables& r = ctx.records;
  const auto values = CsvRowValues(r.receipt, amounts, r.property, r.contract, r.cadastre);
  for (const std::string& value : values) output::AddField(ctx.slots, ctx.state.csv_slot, value);
  output::WriteLine(ctx.env, ctx.slots, ctx.state.csv_slot);
}

void OwnerCsvEnd(RegisterContext& ctx) {
  RegisterState& st = ctx.state;
  output::FreeSlot(ctx.slots, st.csv_slot);
  st.csv_slot = 0;
  if (st.params.open_csv) {
    int exit_code = 0;
    if (kOpenerThroughCommandInterpreter) {
      // "%COMSPEC% /C DEDADO.EXE path": the process runner quotes the path
      // when it holds a blank (TEMP under a user profile often does), which
      // would otherwise split it in two.
      const std::string comspec = ctx.env.environment->GetOrEmpty("COMSPEC");
      ctx.env.processes->RunAndWait(comspec, {"/C", std::string(kOpenerProgram), st.csv_path}, &exit_code)
          .IgnoreError();
    } else {
      if (!st.opener_looked_up) {
        st.opener_path = FindOpener(*ctx.env.fs, ctx.session.exe_dir, ctx.env.environment->GetOrEmpty("PATH"));
        st.opener_looked_up = true;
      }
      if (!st.opener_path.empty())
        ctx.env.processes->RunAndWait(st.opener_path, {ctx.env.fs->Resolve(st.csv_path)}, &exit_code).IgnoreError();
    }
  } else {
    ctx.env.fs->DeleteFile(st.csv_path).IgnoreError();
  }
}

}  // namespace zov::reg
