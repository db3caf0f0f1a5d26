// What every run of the books layer does before its walk, in this order:
// the installation found as the register finds it (ZOVROOT, ZOVTMP, the
// session set-up), the owners' NIF file read whole, (the caller's output
// folder opened: output_folder.h,) the data files the walk reads opened; and the register's selection of
// one year's invoices, by issue date, from 1 January to a given day over a
// range of owners. The record books and the VAT returns start so.
//
//   RunSetUp setup(env);
//   Status s = setup.FindInstallation();
//   if (s.ok()) s = setup.ReadNifs(request.nif_file);
//   ... OutputFolder::Open(*env.fs, *env.clock, request.out_dir, spec, note, &folder) ...
//   if (s.ok()) s = setup.OpenDataFiles();
//   if (!s.ok()) err << "zovllibres: " << s.message() << "\n";
//   reg::RunParameters params = YearSelection(20261231, 1, 9999);
//   reg::WalkRegister(env, setup.table(), setup.records(), params, consumers);
//
// Every failure is one line of text (the caller puts the program's name in
// front), and none leaves anything behind.
#ifndef ZOV_BOOKS_RUN_SETUP_H_
#define ZOV_BOOKS_RUN_SETUP_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "books/nif_file.h"
#include "datafiles/data_file_table.h"
#include "format/format_state.h"
#include "platform/env.h"
#include "platform/status.h"
#include "register/records.h"
#include "register/run_parameters.h"
#include "session/session.h"

namespace zov::books {

inline constexpr std::string_view kDefaultNifFile = "owners-nif.csv";

class RunSetUp {
 public:
  explicit RunSetUp(platform::Env& env);
  // Releases the data files when they were opened.
  ~RunSetUp();
  RunSetUp(const RunSetUp&) = delete;
  RunSetUp& operator=(const RunSetUp&) = delete;

  // The session set-up, and every data file the walk reads present in
  // DataRoot's DADES.
  [[nodiscard]] platform::Status FindInstallation();
  // The NIF file `path` (native, code page 850), or kDefaultNifFile in the
  // installation's root when empty; read whole and parsed (nif_file.h).
  [[nodiscard]] platform::Status ReadNifs(std::string_view path);
  // The data files the walk reads, through the data-file layer.
  [[nodiscard]] platform::Status OpenDataFiles();

  // The owners of the parameters' property range, 4-digit codes in key
  // order (for a progress bar over the walk). Data files open.
  std::vector<std::string> OwnersInRange(const reg::RunParameters& params);

  const session::Session& session() const { return session_; }
  const OwnerNifs& nifs() const { return nifs_; }
  // The NIF file read, as the system names it, for messages.
  const std::string& nif_path() const { return nif_path_; }
  datafiles::DataFileTable& table() { return *table_; }
  reg::RecordVariables& records() { return *records_; }

 private:
  platform::Env& env_;
  session::Session session_;
  format::FormatState format_state_;
  OwnerNifs nifs_;
  std::string nif_path_;
  std::unique_ptr<datafiles::DataFileTable> table_;
  std::unique_ptr<reg::RecordVariables> records_;
  bool files_open_ = false;
};

// The register's selection of the invoices issued from 1 January of
// `last_date`'s year to `last_date` (YYYYMMDD), of every class, owners
// flagged S and N both, from owner `from_owner` to `to_owner` (codes 0 to
// 9999).
reg::RunParameters YearSelection(int64_t last_date, int from_owner, int to_owner);

}  // namespace zov::books

#endif  // ZOV_BOOKS_RUN_SETUP_H_
