#include "register/walk.h"

#include <memory>
#include <string>

#include "datafiles/data_files.h"
#include "datafiles/record_ops.h"
#include "platform/recman/status.h"
#include "register/consumer_thread.h"
#include "register/register_consumers.h"

namespace zov::reg {

namespace {

// One walk: the reads of the four levels and the started flags that decide
// which start events a selected receipt brings.
class Walker {
 public:
  Walker(platform::Env& env, datafiles::DataFileTable& files, RecordVariables& records, const RunParameters& params,
         std::span<WalkConsumer* const> consumers)
      : env_(env), files_(files), r_(records), params_(params), consumers_(consumers) {}

  void Owners() {
    const std::string_view from_owner = std::string_view(params_.property_from).substr(0, kOwnerCodeSize);
    const std::string_view to_owner = std::string_view(params_.property_to).substr(0, kOwnerCodeSize);
    int16_t status = datafiles::ReadByKey(env_, files_, kFileVPropiet, 0, from_owner, 1);
    while (Found(kFileVPropiet, status) && r_.owner.OwnerCode() <= to_owner) {
      owner_started_ = false;
      Groups();
      if (failed()) return;
      if (owner_started_)
        for (WalkConsumer* c : consumers_) c->OwnerEnd(r_);
      status = datafiles::ReadStep(env_, files_, kFileVPropiet, 1);
    }
  }

  const WalkFailure& failure() const { return failure_; }

 private:
  bool failed() const { return !failure_.ok(); }

  // Whether a read delivered a record. Key not found, end of file and a file
  // that is not open only end the loop; any other status is a failure of
  // the walk (the first one is kept) and ends every loop.
  bool Found(int16_t file_number, int16_t status) {
    if (status == datafiles::kStatusOk) return true;
    if (status == platform::kRmKeyNotFound || status == platform::kRmEndOfFile ||
        status == datafiles::kStatusNotOpen || failed())
      return false;
    failure_.file_number = file_number;
    failure_.status = status;
    const datafiles::DataFileEntry* entry = datafiles::OpenEntry(files_, file_number);
    failure_.path = entry != nullptr ? entry->path : "file number " + std::to_string(file_number);
    return false;
  }

  // Reads the property's record of a file keyed by property code. A property
  // without a record there gets a record variable of blanks, so it never
  // inherits the previous property's contract or cadastral data.
  template <typename Record>
  void ReadPropertyRecord(int16_t file_number, Record& record, std::string_view code) {
    if (!Found(file_number, datafiles::ReadByKey(env_, files_, file_number, 0, code, 0))) record.Fill(' ');
  }

  void Groups() {
    const std::string owner_code(r_.owner.OwnerCode());
    const std::string_view to_group = std::string_view(params_.property_to).substr(0, kGroupCodeSize);
    int16_t status = datafiles::ReadByKey(env_, files_, kFileVGrups, 0, owner_code, 1);
    while (Found(kFileVGrups, status) && r_.group.GroupCode().substr(0, kOwnerCodeSize) == owner_code &&
           r_.group.GroupCode() <= to_group) {
      if (!OwnerTakesPart(params_, r_.owner.OwnerFlag())) return;
      // The section record is read for the suite's sake; nothing of it is used.
      (void)Found(kFileUSeccio, datafiles::ReadByKey(env_, files_, kFileUSeccio, 0, r_.group.SectionCode(), 0));
      group_started_ = false;
      if (!failed()) Properties();
      if (failed()) return;
      status = datafiles::ReadStep(env_, files_, kFileVGrups, 1);
    }
  }

  void Properties() {
    const std::string group_code(r_.group.GroupCode());
    const std::string_view from_group = std::string_view(params_.property_from).substr(0, kGroupCodeSize);
    int16_t status = datafiles::ReadByKey(env_, files_, kFileVDepBase, 0, group_code, 1);
    while (Found(kFileVDepBase, status) && r_.property.PropertyCode().substr(0, kGroupCodeSize) == group_code &&
           r_.property.PropertyCode() <= std::string_view(params_.property_to) &&
           std::string_view(group_code) >= from_group) {
      const std::string code(r_.property.PropertyCode());
      ReadPropertyRecord(kFileVDepPart, r_.part, code);
      ReadPropertyRecord(kFileVDepCont, r_.contract, code);
      ReadPropertyRecord(kFileVDepBanc, r_.bank, code);
      ReadPropertyRecord(kFileVDepCada, r_.cadastre, code);
      property_started_ = false;
      if (!failed()) Receipts();
      if (failed()) return;
      status = datafiles::ReadStep(env_, files_, kFileVDepBase, 1);
    }
  }

  void Receipts() {
    const std::string property_code(r_.property.PropertyCode());
    const std::string from = property_code + params_.date_from;
    const std::string to = property_code + params_.date_to;
    int16_t status = datafiles::ReadByKey(env_, files_, kFileVCobros, params_.receipt_key, from, 1);
    while (Found(kFileVCobros, status) && datafiles::KeyImage(env_, files_, kFileVCobros) <= to &&
           property_code >= params_.property_from) {
      if (ReceiptSelected(params_, r_.receipt)) Line();
      status = datafiles::ReadStep(env_, files_, kFileVCobros, 1);
    }
  }

  void Line() {
    if (!owner_started_) {
      owner_started_ = true;
      for (WalkConsumer* c : consumers_) c->OwnerStart(r_);
    }
    if (!group_started_) {
      group_started_ = true;
      for (WalkConsumer* c : consumers_) c->GroupStart(r_);
    }
    if (!property_started_) {
      property_started_ = true;
      for (WalkConsumer* c : consumers_) c->PropertyStart(r_);
    }
    const LineAmounts amounts = ComputeLine(r_.receipt, r_.contract.ContractKind());
    for (WalkConsumer* c : consumers_) c->Line(r_, amounts);
  }

  platform::Env& env_;
  datafiles::DataFileTable& files_;
  RecordVariables& r_;
  const RunParameters& params_;
  std::span<WalkConsumer* const> consumers_;
  bool owner_started_ = false;
  bool group_started_ = false;
  bool property_started_ = false;
  WalkFailure failure_;
};

}  // namespace

bool OwnerTakesPart(const RunParameters& params, std::string_view owner_flag) {
  return (params.include_flag_n && owner_flag != "S") || (params.include_flag_s && owner_flag != "N");
}

WalkFailure WalkRegister(platform::Env& env, datafiles::DataFileTable& files, RecordVariables& records,
                         const RunParameters& params, std::span<WalkConsumer* const> consumers) {
  Walker walker(env, files, records, params, consumers);
  walker.Owners();
  return walker.failure();
}

WalkFailure WalkWithConsumerThread(platform::Env& env, datafiles::DataFileTable& files, RecordVariables& records,
                                   const RunParameters& params, RecordVariables& replica,
                                   std::span<WalkConsumer* const> consumers) {
  ConsumerThread thread(replica, consumers);
  WalkConsumer* walk_consumers[] = {&thread};
  const WalkFailure failure = WalkRegister(env, files, records, params, walk_consumers);
  thread.Finish();
  return failure;
}

// The printed register and the CSV files are made on a second thread from
// a replica of the record variables, while this one reads on.
WalkFailure ProduceRegister(RegisterContext& ctx) {
  auto replica = std::make_unique<RecordVariables>(ctx.records);
  RegisterContext consumer_ctx{ctx.env,   ctx.session, ctx.language, ctx.format, ctx.print,
                               ctx.slots, ctx.files,   *replica,     ctx.state};
  PrintedRegister printed(consumer_ctx);
  CsvExport csv(consumer_ctx);
  WalkConsumer* consumers[] = {&printed, &csv};
  return WalkWithConsumerThread(ctx.env, ctx.files, ctx.records, ctx.state.params, *replica, consumers);
}

}  // namespace zov::reg
