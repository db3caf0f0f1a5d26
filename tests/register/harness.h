// One register run's worth of state for a test: a temporary directory on the
// real file system (TempDir, DataRoot and the CSV directory), a clock that
// stands still, an in-memory record manager holding the twelve data files,
// and every subsystem state the register steps work on.
#ifndef ZOV_TESTS_REGISTER_HARNESS_H_
#define ZOV_TESTS_REGISTER_HARNESS_H_

#include <memory>
#include <string>
#include <vector>

#include "datafiles/data_file_table.h"
#include "datafiles/data_files.h"
#include "gtest/gtest.h"
#include "format/format_state.h"
#include "format/mask.h"
#include "format/packed.h"
#include "output/output_slots.h"
#include "output/print_file.h"
#include "platform/env.h"
#include "platform/file_system.h"
#include "platform/native_env.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_environment.h"
#include "platform/testing/fake_process_runner.h"
#include "platform/testing/fake_record_manager.h"
#include "platform/testing/temp_dir.h"
#include "register/descriptions.h"
#include "register/records.h"
#include "register/register_state.h"
#include "session/session.h"
#include "tests/register/builders.h"

namespace zov::reg {

struct Harness {
  platform::TempDir dir;
  std::unique_ptr<platform::FileSystem> fs = platform::NewNativeFileSystem();
  platform::FakeClock clock{{2026, 12, 8}};
  platform::FakeEnvironment environment;
  platform::FakeProcessRunner processes;
  platform::FakeRecordManager rm;
  platform::Env env;
  session::Session session;
  format::FormatState format;
  output::PrintFile print;
  output::OutputSlots slots;
  datafiles::DataFileTable files;
  RecordVariables records;
  RegisterState state;
  RegisterContext ctx{env, session, format, print, slots, files, records, state};

  Harness() {
    env.fs = fs.get();
    env.clock = &clock;
    env.environment = &environment;
    env.processes = &processes;
    env.record_manager = &rm;
    session.data_root = dir.path();
    session.temp_dir = dir.path();
    session.program_code = "DAZOROV1";
    format.today = clock.Today();
    // What the session set-up and the run set before the register: euros.
    format::SetCurrency(format, "a,E");
    format::SetCurrency(format, "p");
    state.csv_directory = dir.path();
    state.params.date_from = P("20260101");
    state.params.date_to = P("20261231");
    state.params.property_from = P("000100010001");
    state.params.property_to = P("999999999999");
    state.params.class_from = "";
    state.params.class_to = P("99");
    state.params.include_flag_s = true;
    state.params.include_flag_n = true;
    output::SetUpSlots(slots, 1);
  }

  // Creates the twelve data files in the record manager and opens them.
  void OpenFiles() {
    for (const DataFileSpec& f : kDataFiles) {
      rm.files[session.data_root + "DADES\\" + std::string(f.name) + ".dat"].spec = DescribeDataFile(f);
    }
    for (const DataFileSpec& f : kDataFiles) {
      datafiles::OpenDataFile(env, session, files, f.number, session.data_root + "DADES\\" + std::string(f.name),
                              records.ForFile(f.number));
    }
  }

  template <typename Record>
  void Add(int16_t file_number, const Record& record) {
    const DataFileSpec* f = FindDataFileSpec(file_number);
    rm.files[session.data_root + "DADES\\" + std::string(f->name) + ".dat"].records.emplace_back(record.view());
  }

  void OpenPrint() { output::OpenPrintFile(*fs, session, print, "LPT1"); }

  // The print file's lines after the device line (CR LF ends removed).
  std::vector<std::string> PrintLines() {
    output::ClosePrintFile(print);
    std::string text;
    EXPECT_TRUE(fs->ReadFile(session.temp_dir + "dozudizi.tmp", &text).ok());
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find("\r\n", start);
      if (end == std::string::npos) end = text.size();
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    if (!lines.empty()) lines.erase(lines.begin());
    return lines;
  }

  // Files in the directory whose names end in ".CSV".
  std::vector<std::string> CsvFiles() {
    std::vector<platform::DirEntry> entries;
    EXPECT_TRUE(fs->ListDirectory(dir.path(), &entries).ok());
    std::vector<std::string> out;
    for (const auto& e : entries)
      if (e.name.size() > 4 && e.name.substr(e.name.size() - 4) == ".CSV") out.push_back(e.name);
    return out;
  }
};

}  // namespace zov::reg

#endif  // ZOV_TESTS_REGISTER_HARNESS_H_
