#include "register/csv_export.h"

#include <vector>

#include "register/csv_fields.h"
#include "session/file_names.h"

namespace zov::reg {

namespace {

// The first ordinary file in `dir` named `name` without regard to case.
std::string FindInDirectory(platform::FileSystem& fs, std::string dir, std::string_view name) {
  if (dir.empty()) return {};
  if (!platform::EndsInSeparator(dir)) dir += '/';
  platform::DirEntry entry;
  if (!fs.FindFirst(dir + std::string(name), &entry).ok()) return {};
  if ((entry.attributes & (platform::kAttrDirectory | platform::kAttrVolumeLabel)) != 0) return {};
  return fs.Resolve(dir + entry.name);
}

}  // namespace

std::string CsvDirectory(platform::Environment& environment, const platform::SystemConventions& conventions) {
  const bool interpreter = conventions.opener_through_command_interpreter;
  std::string dir = environment.GetOrEmpty("TEMP");
  if (!interpreter) {
    if (dir.empty()) dir = environment.GetOrEmpty("TMPDIR");
    if (dir.empty()) dir = "/tmp";
  }
  if (!dir.empty() && !platform::EndsInSeparator(dir)) dir += interpreter ? '\\' : '/';
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
  RegisterState& state = ctx.state;
  // The file is written through the descriptor that created it.
  std::unique_ptr<platform::ByteFile> file;
  state.csv_temp_path = session::UniqueTemporaryFile(ctx.env, state.csv_directory, "", kCsvExtension, &file);
  state.csv_path.clear();
  state.csv_lost_before = ctx.slots.lost_lines;
  state.csv_slot = output::OpenSlot(ctx.slots, state.csv_temp_path, kCsvFormatSpec,
                                    file ? platform::AppendToByteFile(std::move(file), 0) : nullptr);
  for (const IssuedColumnSpec& column : kIssuedInvoiceDesign)
    output::AddField(ctx.slots, state.csv_slot, column.csv_header);
  output::WriteLine(ctx.env, ctx.slots, state.csv_slot);
  // The file exists from the owner's start; its lines are written together,
  // since it is handed over (or deleted) only at the owner's end.
  output::HoldLines(ctx.slots, state.csv_slot);
}

void CsvRow(RegisterContext& ctx, const LineAmounts& amounts) {
  const RecordVariables& r = ctx.records;
  const auto values = CsvRowValues(r.receipt, amounts, r.property, r.contract, r.cadastre);
  for (const std::string& value : values) output::AddField(ctx.slots, ctx.state.csv_slot, value);
  output::WriteLine(ctx.env, ctx.slots, ctx.state.csv_slot);
}

void OwnerCsvEnd(RegisterContext& ctx) {
  RegisterState& state = ctx.state;
  output::FlushSlot(ctx.env, ctx.slots, state.csv_slot);
  output::FreeSlot(ctx.slots, state.csv_slot);
  state.csv_slot = 0;
  if (ctx.slots.lost_lines != state.csv_lost_before) {
    // Cut short or empty: the user must not take it for the owner's export.
    ctx.env.fs->DeleteFile(state.csv_temp_path).IgnoreError();
    ctx.env.error_output->WriteLine("dazorov1: CSV file " + ctx.env.fs->Resolve(state.csv_temp_path) +
                 " is incomplete: deleted, not opened");
    return;
  }
  if (!state.params.open_csv) {
    ctx.env.fs->DeleteFile(state.csv_temp_path).IgnoreError();
    return;
  }
  const platform::Status named = session::PublishUniqueFile(ctx.env, state.csv_temp_path, state.csv_directory, "",
                                                            kCsvExtension, &state.csv_path);
  if (!named.ok()) {
    ctx.env.fs->DeleteFile(state.csv_temp_path).IgnoreError();
    ++state.csv_unpublished;
    ctx.env.error_output->WriteLine("dazorov1: CSV file " + ctx.env.fs->Resolve(state.csv_temp_path) +
                 " could not be given its name: deleted, not opened: " + named.message());
    return;
  }
  int exit_code = 0;
  if (ctx.env.conventions.opener_through_command_interpreter) {
    // "%COMSPEC% /C DEDADO.EXE path": the process runner quotes the path
    // when it holds a blank (TEMP under a user profile often does), which
    // would otherwise split it in two.
    const std::string comspec = ctx.env.environment->GetOrEmpty("COMSPEC");
    ctx.env.processes->RunAndWait(comspec, {"/C", std::string(kOpenerProgram), state.csv_path}, &exit_code)
        .IgnoreError();
  } else {
    if (!state.opener_looked_up) {
      state.opener_path = FindOpener(*ctx.env.fs, ctx.session.exe_dir, ctx.env.environment->GetOrEmpty("PATH"));
      state.opener_looked_up = true;
    }
    if (!state.opener_path.empty())
      ctx.env.processes->RunAndWait(state.opener_path, {ctx.env.fs->Resolve(state.csv_path)}, &exit_code)
          .IgnoreError();
  }
}

void AbandonOwnerCsv(RegisterContext& ctx) {
  RegisterState& state = ctx.state;
  if (state.csv_slot == 0) return;
  output::FreeSlot(ctx.slots, state.csv_slot);
  state.csv_slot = 0;
  ctx.env.fs->DeleteFile(state.csv_temp_path).IgnoreError();
}

}  // namespace zov::reg
