// Record bytes as a damaged installation holds them, through the whole
// register: an in-memory record manager serves the twelve data files, the
// walk selects receipts, computes each line, its VAT summary and CSV row, and
// writes the print file and CSV files into a temporary directory that is
// removed after each input. The spooler's parser reads every line of the
// print file.
//
// Input: 4 bytes of run switches (receipt key, owner flags, class bound,
// first record kept whole), then records, each a file byte (which of the
// twelve files), a 2-byte little-endian length and that many bytes (shorter
// or longer than the file's record, as a damaged file may answer).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "datafiles/data_file_table.h"
#include "datafiles/data_files.h"
#include "format/format_state.h"
#include "format/mask.h"
#include "format/packed.h"
#include "fuzz/fuzz_input.h"
#include "output/output_slots.h"
#include "output/print_file.h"
#include "platform/env.h"
#include "platform/testing/fake_env.h"
#include "register/descriptions.h"
#include "register/records.h"
#include "register/register_state.h"
#include "register/walk.h"
#include "session/session.h"
#include "tools/dozudizi/print_file_parser.h"
#include "platform/testing/fake_record_manager.h"

namespace {

using namespace zov;

std::string DataPath(const session::Session& session, const reg::DataFileSpec& f) {
  return session.data_root + "DADES\\" + std::string(f.name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  fuzz::FuzzInput in(data, size);
  // Files in memory: as fast as the walk allows, and nothing left behind.
  platform::FakeEnv fake;
  platform::FileSystem* fs = &fake.base_fs();
  platform::Env& env = fake.env;
  platform::FakeRecordManager rm;
  env.record_manager = &rm;

  session::Session session;
  session.data_root = fake.root();
  session.temp_dir = fake.root();
  session::LanguageState language;
  language.program_code = "DAZOROV1";
  format::FormatState format;
  format.today = fake.clock.Today();
  format::SetCurrency(format, "a,E");
  format::SetCurrency(format, "p");
  output::PrintFile print;
  output::OutputSlots slots;
  output::SetUpSlots(slots, 1);
  datafiles::DataFileTable files;
  reg::RecordVariables records;
  reg::RegisterState state;
  reg::RegisterContext ctx{env, session, language, format, print, slots, files, records, state};

  const uint8_t switches = in.Byte();
  state.csv_directory = fake.root();
  state.params.receipt_key = (switches & 1) != 0 ? 2 : 1;
  state.params.include_flag_s = (switches & 2) == 0;
  state.params.include_flag_n = (switches & 4) == 0;
  state.params.date_from = format::PackDigits("20260101");
  state.params.date_to = format::PackDigits((switches & 8) != 0 ? "99999999" : "20261231");
  state.params.property_from = format::PackDigits("000100010001");
  state.params.property_to = format::PackDigits("999999999999");
  state.params.class_to = format::PackDigits(std::to_string(in.Byte()));
  (void)in.Byte();
  (void)in.Byte();

  for (const reg::DataFileSpec& f : reg::kDataFiles) {
    rm.files[DataPath(session, f) + ".dat"].spec = reg::DescribeDataFile(f);
  }
  while (!in.AtEnd()) {
    const reg::DataFileSpec& f = reg::kDataFiles[in.Byte() % reg::kDataFiles.size()];
    std::size_t length = in.Byte();
    length |= static_cast<std::size_t>(in.Byte()) << 8;
    std::string record;
    for (std::size_t i = 0; i < length && !in.AtEnd(); ++i) record += static_cast<char>(in.Byte());
    rm.files[DataPath(session, f) + ".dat"].records.push_back(std::move(record));
  }
  for (const reg::DataFileSpec& f : reg::kDataFiles) {
    (void)datafiles::OpenDataFile(env, session, files, f.number, DataPath(session, f), records.ForFile(f.number));
  }

  output::OpenPrintFile(*fs, session, print, "LPT1");
  (void)reg::ProduceRegister(ctx);
  output::ClosePrintFile(print);
  output::SetUpSlots(slots, 0);

  // Whatever the records hold, the spooler reads every line the register
  // printed: none is skipped or misread. Control bytes of a data field (an
  // e-mail address in SEND) are blanked by the spooler and only reported.
  std::string printed;
  if (fs->ReadFile(session.temp_dir + "dozudizi.tmp", &printed).ok()) {
    for (const tools::Diagnostic& d : tools::ParsePrintFile(printed).diagnostics) {
      fuzz::Check(d.message.find("replaced by blanks") != std::string::npos);
    }
  }
  return 0;
}
