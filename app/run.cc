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
#include "session/leading_number.h"

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
    errors.WriteLine("dazorov1: no spooler " + fs.Resolve(ctx.session.exe_dir + std::string(kSpoolerProgram)) +
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

// How long to wait for another run: ZOVWAIT seconds when it holds a whole
// number, else the default.
int32_t RunWaitSeconds(platform::Environment& environment) {
  const std::string value = environment.GetOrEmpty(kRunWaitVariable);
  if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos || value.size() > 6) {
    return kDefaultRunWaitSeconds;
  }
  return static_cast<int32_t>(session::LeadingWhole(value, session::Rounding::kTowardZero));
}

// Takes the session's run lock, waiting for the run that holds it. False
// (said on standard error) when it could not be taken: nothing has changed.
bool TakeRunLock(RunContext& ctx) {
  platform::FileSystem& fs = *ctx.env.fs;
  const std::string lock_file = ctx.session.temp_dir + std::string(kRunLockFile);
  const std::string folder = fs.Resolve(ctx.session.temp_dir.empty() ? "." : ctx.session.temp_dir);
  const int32_t wait_seconds = RunWaitSeconds(*ctx.env.environment);
  platform::LockWait wait;
  wait.wait_millis = wait_seconds * 1000;
  wait.poll_millis = 200;
  bool shown = false;
  wait.waiting = [&](const std::string& holder) {
    const std::string line = "dazorov1: waiting for the run that uses " + folder + " (" +
                             (holder.empty() ? std::string("another run") : holder) + "), at most " +
                             std::to_string(wait_seconds) + " s";
    ctx.env.error_output->WriteLine(line);
    // The screen's 80 columns take the run waited for, not the folder.
    screen::ShowMessageLine(ctx.env, ctx.session, ctx.screen,
                            "Waiting for another run (" + (holder.empty() ? std::string("not known") : holder) +
                                "), at most " + std::to_string(wait_seconds) + " s");
    shown = true;
  };
  std::string holder;
  const platform::Status s = platform::WaitForFileLock(fs, *ctx.env.clock, lock_file, platform::LockStartNote(*ctx.env.clock),
                                                       wait, &ctx.run_lock, &holder);
  if (shown) screen::ShowMessageLine(ctx.env, ctx.session, ctx.screen, "");
  if (s.ok()) return true;
  if (s.IsBusy()) {
    ctx.env.error_output->WriteLine("dazorov1: another run still uses " + folder + " after " +
                                    std::to_string(wait_seconds) + " s (" +
                                    (holder.empty() ? std::string("its holder is not known") : holder) +
                                    "): stopped, nothing done");
  } else {
    ctx.env.error_output->WriteLine("dazorov1: cannot lock " + fs.Resolve(lock_file) + ": " + s.message());
  }
  return false;
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

  // Start-up. The folders keep naming the same places once DataRoot is the
  // current directory (a relative ZOVROOT included).
  env.console->HideCursor();
  session::SetUpSession(env, ctx.session, ctx.format);
  for (std::string* dir : {&ctx.session.data_root, &ctx.session.exe_dir, &ctx.session.temp_dir}) {
    *dir = platform::AbsoluteName(*env.fs, *dir);
  }
  ctx.state.csv_directory = platform::AbsoluteName(*env.fs, reg::CsvDirectory(*env.environment, env.conventions));
  ctx.user_settings = std::make_unique<session::UserSettingsFile>(*env.fs, ctx.session.data_root);
  ctx.format.settings = ctx.user_settings.get();
  ctx.format.today = env.clock->Today();
  if (!ctx.session.data_root.empty()) env.fs->SetCurrentDirectory(ctx.session.data_root).IgnoreError();
  if (!TakeRunLock(ctx)) {
    env.console->Restore();
    return kExitFailed;
  }
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
                             std::string(datafiles::CannotAccessText(ctx.session)) + env.fs->Resolve(parameters_path));
    return Fail(ctx);
  }
  ctx.state.params = reg::ParseRunParameters(ctx.format, lines);
  // An unreadable date would select every date on file: nothing is produced.
  if (ctx.state.params.unreadable_line != 0) {
    errors.WriteLine("dazorov1: " + env.fs->Resolve(parameters_path) + " line " +
                     std::to_string(ctx.state.params.unreadable_line) + ": not a date");
    return Fail(ctx);
  }
  ctx.state.mail_requested = false;

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
  // Each file was named on standard error when it was given up.
  if (ctx.state.csv_unpublished != 0) failed = true;

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
