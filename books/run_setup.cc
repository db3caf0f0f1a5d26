#include "books/run_setup.h"

#include "datafiles/data_files.h"
#include "datafiles/record_ops.h"
#include "format/packed.h"
#include "register/walk_events.h"
#include "session/session_setup.h"

namespace zov::books {

namespace {

using platform::Status;

std::string DataFilePath(const session::Session& session, std::string_view name) {
  return session.data_root + "DADES\\" + std::string(name);
}

}  // namespace

RunSetUp::RunSetUp(platform::Env& env)
    : env_(env),
      table_(std::make_unique<datafiles::DataFileTable>()),
      records_(std::make_unique<reg::RecordVariables>()) {}

RunSetUp::~RunSetUp() {
  if (files_open_) (void)datafiles::ResetDataFiles(env_, *table_);
}

Status RunSetUp::FindInstallation() {
  session::SetUpSession(env_, session_, format_state_);
  if (session_.data_root.empty())
    return Status::InvalidArgument("ZOVROOT is not set: it names the installation to read");
  for (int16_t number : reg::kWalkFiles) {
    const std::string path = DataFilePath(session_, reg::FindDataFileSpec(number)->name) + ".dat";
    platform::DirEntry entry;
    if (!env_.fs->FindFirst(path, &entry).ok() || (entry.attributes & platform::kAttrDirectory) != 0)
      return Status::NotFound("no installation in " + env_.fs->Resolve(session_.data_root) + ": " +
                              env_.fs->Resolve(path) + " is missing");
  }
  return Status::Ok();
}

Status RunSetUp::ReadNifs(std::string_view path) {
  const std::string file = path.empty() ? session_.data_root + std::string(kDefaultNifFile) : std::string(path);
  nif_path_ = env_.fs->Resolve(file);
  std::string text;
  if (Status s = env_.fs->ReadFile(file, &text); !s.ok())
    return Status::IoError("cannot read the owners' NIF file: " + s.message());
  return ParseOwnerNifs(text, nif_path_, &nifs_);
}

Status RunSetUp::OpenDataFiles() {
  for (int16_t number : reg::kWalkFiles) {
    const int16_t status =
        datafiles::OpenDataFile(env_, session_, *table_, number,
                                DataFilePath(session_, reg::FindDataFileSpec(number)->name),
                                records_->ForFile(number));
    files_open_ = true;
    if (status != datafiles::kStatusOk)
      return Status::IoError("cannot open the data files: " + table_->fatal_message);
  }
  return Status::Ok();
}

std::vector<std::string> RunSetUp::OwnersInRange(const reg::RunParameters& params) {
  std::vector<std::string> owners;
  const std::string_view from = std::string_view(params.property_from).substr(0, reg::kOwnerCodeSize);
  const std::string_view to = std::string_view(params.property_to).substr(0, reg::kOwnerCodeSize);
  int16_t status = datafiles::ReadByKey(env_, *table_, reg::kFileVPropiet, 0, from, 1);
  while (status == datafiles::kStatusOk && records_->owner.OwnerCode() <= to) {
    owners.push_back(format::UnpackDigits(records_->owner.OwnerCode()));
    status = datafiles::ReadStep(env_, *table_, reg::kFileVPropiet, 1);
  }
  return owners;
}

reg::RunParameters YearSelection(int64_t last_date, int from_owner, int to_owner) {
  reg::RunParameters params;
  params.date_from = format::PackDigits(format::ZeroPad(last_date / 10000 * 10000 + 101, 8));
  params.date_to = format::PackDigits(format::ZeroPad(last_date, 8));
  params.receipt_key = reg::kReceiptKeyByIssueDate;
  params.property_from = reg::PropertyBound(format::ZeroPad(from_owner, 4), "000100010001");
  params.property_to = reg::PropertyBound(format::ZeroPad(to_owner, 4), "999999999999");
  params.class_from = "";
  params.class_to = "\xFF\xFF";
  params.include_flag_s = params.include_flag_n = true;
  return params;
}

}  // namespace zov::books
