// The register run's own state and the view of every subsystem state that
// its steps work on. The run context (app/) owns the states; RegisterContext
// only refers to them, so each test can build a fresh set.
//
//   reg::RegisterContext ctx{env, session, language, format, print, slots, files, records, state};
//   reg::ProduceRegister(ctx);
#ifndef ZOV_REGISTER_REGISTER_STATE_H_
#define ZOV_REGISTER_REGISTER_STATE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "datafiles/data_file_table.h"
#include "format/format_state.h"
#include "output/output_slots.h"
#include "output/print_file.h"
#include "platform/env.h"
#include "register/line.h"
#include "register/records.h"
#include "register/run_parameters.h"
#include "session/language_file.h"
#include "session/session.h"

namespace zov::reg {

// Lines per printed page.
inline constexpr int16_t kPageLength = 66;

struct RegisterState {
  RunParameters params;

  // Printed layout. The page counter is the page number within the current
  // owner's part: 0 until its first heading and again after its totals. The
  // group and property flags are clear while their heading is still due.
  int32_t page_counter = 0;
  bool first_group_of_owner = false;
  bool group_started = false;
  bool property_started = false;
  // Set when an owner's first page carries an e-mail address; becomes the
  // spooler's Correu setting.
  bool mail_requested = false;

  VatSummary summary;

  // The current owner's CSV file, its output slot and its final name. The
  // file is written under a temporary name (csv_temp_path) and takes its
  // final name (csv_path) at the owner's end, complete.
  std::string csv_temp_path;
  std::string csv_path;
  int16_t csv_slot = 0;
  // CSV files that were complete but could not be given their final name
  // (each said on standard error): the run ends with a failure.
  int32_t csv_unpublished = 0;
  // slots.lost_lines when the owner's file was started: more at its end
  // means the file is not complete.
  int32_t csv_lost_before = 0;
  // Where CSV files are made, read from the environment once per run
  // (ending in a separator, or empty for the current directory).
  std::string csv_directory;
  // The document opener's native path, looked up at its first use; empty
  // when there is none.
  bool opener_looked_up = false;
  std::string opener_path;

  // Counts for the run's summary.
  int64_t lines = 0;
  int64_t owners = 0;
};

struct RegisterContext {
  platform::Env& env;
  const session::Session& session;
  session::LanguageState& language;
  format::FormatState& format;
  output::PrintFile& print;
  output::OutputSlots& slots;
  datafiles::DataFileTable& files;
  RecordVariables& records;
  RegisterState& state;
};

// The fixed text for the session language (session::TranslateText: each
// text is looked up in the language file once per run).
std::string Translate(RegisterContext& ctx, std::string_view text);

}  // namespace zov::reg

#endif  // ZOV_REGISTER_REGISTER_STATE_H_
