#include "app/run.h"

#include <string>
#include <vector>

#include "datafiles/data_files.h"
#include "format/mask.h"
#include "format/text.h"
#include "output/output_slots.h"
#include "output/print_file.h"
#include "register/csv_export.h"
#include "register/run_parameters.h"
#include "register/walk.h"
#include "screen/message_box.h"
#include "session/ini_file.h"

namespace zov::app {

namespace {

std::string DataFilePath(const RunContext& ctx, std::string_view name) {
  return ctx.session.data_root + "DADES\\" + std::string(name);
}

// Opens the twelve data files in their order. False after a fatal failure
// (already shown and reported; everything released).
bool OpenDataFiles(RunContext& ctx) {
  for (const reg::DataFileSpec& f : reg::kDataFiles) {
    const int16_t status = datafiles::OpenDataFile(ctx.env, ctx.session, ctx.files, f.number,
                                                   DataFilePath(ctx, f.name), ctx.records.ForFile(f.number));
    if (status == datafiles::kStatusFatal) return false;
  }
  return true;
}

// Starts ExeDir + "DOZUDIZI" (found without regard to letter case; on
// Windows the program file is DOZUDIZI.EXE) and waits for it. A spooler that
// is missing, cannot be started or ends with a failure is said on standard
// error; the register stands either way.
void StartSpooler(RunContext& ctx) {
  platform::FileSystem& fs = *ctx.env.fs;
  platform::ErrorOutput& errors = *ctx.env.error_output;
  std::string name = ctx.session.exe_dir + std::string(kSpoolerProgram);
  platform::DirEntry entry;
  bool found = fs.FindFirst(name, &entry).ok();
  if (!found) {
    name += ".EXE";
    found = fs.FindFirst(name, &entry).ok();
  }
  if (!found || (entry.attributes & (platform::kAttrDirectory | platform::kAttrVolumeLabel)) != 0) {
    errors.WriteLine("dazorov1: no spooler " + ctx.session.exe_dir + std::string(kSpoolerProgram) +
                     ": the register was not spooled");
    return;
  }
  const std::string program = fs.Resolve(platform::DirectoryPart(name) + entry.name);
  int exit_code = 0;
  platform::Status started = ctx.env.processes->RunAndWait(program, {}, &exit_code);
  if (!started.ok()) {
    errors.WriteLine("dazorov1: the spooler " + program + " could not be started: " + started.message());
  } else if (exit_code != 0) {
    errors.WriteLine("dazorov1: the spooler " + program + " ended with code " + std::to_string(exit_code) +
                     (exit_code > 128 ? " (killed by signal " + std::to_string(exit_code - 128) + ")" : ""));
  }
}

// Asks the record manager to release every data file. A refusal leaves the
// files to the end of the process, which releases them too; it is reported,
// but the register already made stands.
void ReleaseDataFiles(RunContext& ctx) {
  const int16_t status = datafiles::ResetDataFiles(ctx.env, ctx.files);
  if (status != datafiles::kStatusOk) {
    ctx.env.error_output->WriteLine("dazorov1: the record manager did not release the data files (status " +
                                    std::to_string(status) + ")");
  }
}

// Ends a failed run: what is open is released, the terminal put back.
int Fail(RunContext& ctx) {
  output::AbandonPrintFile(ctx.print);
  ReleaseDataFiles(ctx);
  ctx.env.console->Restore();
  return kExitFailed;
}

}  // namespace

void ConformParamRecord(std::string_view stored, reg::ParamRecord& param) {
  if (stored.size() > reg::kParamRecordSize) {
    param.Assign(stored.substr(0, reg::kParamRecordSize));
  } else {
    (void)format::CopyToBuffer(stored, param.span());
  }
}

platform::Status UpdateParamFile(RunContext& ctx) {
  const std::string path = ctx.session.data_root + std::string(reg::kParamFileName);
  std::string stored;
  platform::Status read = ctx.env.fs->ReadFile(path, &stored);
  if (!read.ok() && !read.IsNotFound()) return read;
  if (!read.ok()) stored.clear();
  ConformParamRecord(stored, ctx.records.param);
  return platform::WriteFileAtomically(*ctx.env.fs, path, ctx.records.param.view());
}

int Run(platform::Env& env) {
  RunContext ctx(env);
  platform::ErrorOutput& errors = *env.error_output;

  // Start-up.
  env.console->HideCursor();
  session::SetUpSession(env, ctx.session, ctx.format);
  ctx.user_settings = std::make_unique<session::UserSettingsFile>(*env.fs, ctx.session.data_root);
  ctx.format.settings = ctx.user_settings.get();
  ctx.format.today = env.clock->Today();
  if (!ctx.session.data_root.empty()) env.fs->SetCurrentDirectory(ctx.session.data_root).IgnoreError();
  ctx.language.program_code = std::string(kProgramCode);
  output::SetUpSlots(ctx.slots, 1);
  ctx.files.show_fatal_message = [&ctx](std::string_view text, std::string_view detail) {
    screen::ShowFatalMessage(ctx.env, ctx.session, ctx.screen, text, detail);
  };
  if (!OpenDataFiles(ctx)) return Fail(ctx);
  ctx.records.param.SetDefaults();
  if (platform::Status s = UpdateParamFile(ctx); !s.ok()) {
    errors.WriteLine("dazorov1: parameter file not updated: " + s.message());
  }

  // The run parameters.
  const std::string parameters_path = ctx.session.temp_dir + std::string(reg::kRunParametersFileName);
  std::vector<std::string> lines;
  if (!platform::ReadTextLines(*env.fs, parameters_path, &lines).ok()) {
    screen::ShowFatalMessage(env, ctx.session, ctx.screen,
                             std::string(datafiles::CannotAccessText(ctx.session)) + parameters_path);
    return Fail(ctx);
  }
  ctx.state.params = reg::ParseRunParameters(ctx.format, lines);
  // An unreadable date would select every date on file: nothing is produced.
  if (ctx.state.params.unreadable_line != 0) {
    errors.WriteLine("dazorov1: " + parameters_path + " line " + std::to_string(ctx.state.params.unreadable_line) +
                     ": not a date");
    return Fail(ctx);
  }
  ctx.state.mail_requested = false;
  ctx.state.csv_directory = reg::CsvDirectory(*env.environment, env.conventions);

  // The register.
  output::OpenPrintFile(*env.fs, ctx.session, ctx.print, ctx.session.output_device);
  format::SetCurrency(ctx.format, "p");
  reg::RegisterContext rc = ctx.Register();
  const reg::WalkFailure walk = reg::ProduceRegister(rc);
  format::SetCurrency(ctx.format, "");
  for (const std::string& warning : ctx.format.warnings) errors.WriteLine("dazorov1: Orva.ini: " + warning);
  if (!walk.ok()) {
    // A register that misses invoices must not pass for the whole one.
    errors.WriteLine("dazorov1: the register stopped: " + datafiles::DataFileStatusText(walk.path, walk.status));
    reg::AbandonOwnerCsv(rc);
    return Fail(ctx);
  }
  output::ClosePrintFile(ctx.print);
  ReleaseDataFiles(ctx);

  bool failed = false;
  if (ctx.print.failed) {
    errors.WriteLine("dazorov1: the print file is incomplete: " + ctx.print.error);
    failed = true;
  }
  if (ctx.slots.lost_lines != 0) {
    errors.WriteLine("dazorov1: " + std::to_string(ctx.slots.lost_lines) +
                     " CSV line(s) could not be written: " + ctx.slots.first_error);
    failed = true;
  }

  // Hand-off to the spooler (not of an incomplete print file).
  platform::Status ini = session::WriteIniValue(env, ctx.session.temp_dir + std::string(kSpoolerSettingsFile),
                                                "Opcions", "Correu",
                                                format::Choose(ctx.state.mail_requested ? 1 : 0, "S", "N"));
  env.console->Restore();
  // The spooler would mail (or not) as the previous run's setting says.
  if (!ini.ok()) {
    errors.WriteLine("dazorov1: spooler setting not written, the spooler is not started: " + ini.message());
    return kExitFailed;
  }
  // The data files were released after the register: nothing opens one
  // again, so no second release is needed here.
  if (!ctx.print.failed) StartSpooler(ctx);
  return failed ? kExitFailed : kExitOk;
}

}  // namespace zov::app
