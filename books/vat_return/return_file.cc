#include "books/vat_return/return_file.h"

#include <memory>
#include <span>

#include "books/vat_return/design_text.h"

namespace zov::books::vat {

namespace {

using platform::Status;

std::string Where(const Piece& piece, const Field& field) {
  return std::string(piece.name) + ", position " + std::to_string(field.position) +
         (field.key.empty() ? std::string() : " (" + std::string(field.key) + ")");
}

Status AppendField(const Piece& piece, const Field& field, const ReturnValues& values, std::string* out) {
  if (!field.fixed.empty()) {
    if (static_cast<int>(field.fixed.size()) != field.length)
      return Status::InvalidArgument(Where(piece, field) + ": fixed text of the wrong length");
    out->append(field.fixed);
    return Status::Ok();
  }
  if (field.type == FieldType::kText) {
    const std::string* text = field.key.empty() ? nullptr : values.FindText(field.key);
    if (text == nullptr) {
      if (!field.key.empty() && values.FindAmount(field.key) != nullptr)
        return Status::InvalidArgument(Where(piece, field) + ": a number given for a text field");
      out->append(static_cast<std::size_t>(field.length), ' ');
      return Status::Ok();
    }
    if (static_cast<int>(text->size()) > field.length)
      return Status::InvalidArgument(Where(piece, field) + ": a text of " + std::to_string(text->size()) +
                                     " characters does not fit " + std::to_string(field.length));
    int blanked = 0;
    out->append(DesignText(*text, &blanked));
    out->append(static_cast<std::size_t>(field.length) - text->size(), ' ');
    return Status::Ok();
  }
  const int64_t* amount = field.key.empty() ? nullptr : values.FindAmount(field.key);
  if (amount == nullptr && !field.key.empty() && values.FindText(field.key) != nullptr)
    return Status::InvalidArgument(Where(piece, field) + ": a text given for a number field");
  const int64_t value = amount == nullptr ? 0 : *amount;
  std::string digits;
  if (!FieldNumber(field, value, &digits))
    return Status::InvalidArgument(Where(piece, field) + ": " + std::to_string(value) + " does not fit " +
                                   (field.type == FieldType::kUnsigned ? "an unsigned field of " : "a field of ") +
                                   std::to_string(field.length) + " characters");
  out->append(digits);
  return Status::Ok();
}

}  // namespace

Status ReturnBytes(const Design& design, const ReturnValues& values, bool annual, std::string* out) {
  out->clear();
  for (const Piece& piece : design.pieces) {
    if (piece.use == PieceUse::kAnnual && !annual) continue;
    const std::size_t start = out->size();
    for (const Field& field : piece.fields)
      if (Status s = AppendField(piece, field, values, out); !s.ok()) return s;
    if (out->size() - start != static_cast<std::size_t>(piece.length))
      return Status::InvalidArgument(std::string(piece.name) + ": " + std::to_string(out->size() - start) +
                                     " characters instead of " + std::to_string(piece.length));
  }
  return Status::Ok();
}

std::string ReturnFileName(std::string_view nif, int year, std::string_view period) {
  return std::string(nif) + "_303_" + std::to_string(year) + "_" + std::string(period) + ".txt";
}

ReturnFiles::~ReturnFiles() { RemoveParts(); }

void ReturnFiles::RemoveParts() {
  for (std::size_t i = committed_; i < parts_.size(); ++i) fs_.DeleteFile(parts_[i]).IgnoreError();
  parts_.resize(committed_);
}

Status ReturnFiles::Write(const std::string& path, std::string_view bytes) {
  const std::string part = path + ".part";
  std::unique_ptr<platform::ByteFile> file;
  // Created new (never through a link, and without looking for another
  // letter case among the folder's names); one left by a killed run is
  // removed first.
  Status s = fs_.OpenByteFile(part, platform::OpenMode::kCreateNew, &file);
  if (s.IsAlreadyExists()) {
    s = fs_.DeleteFile(part);
    if (s.ok()) s = fs_.OpenByteFile(part, platform::OpenMode::kCreateNew, &file);
  }
  if (!s.ok()) return s;
  s = file->Write(0, bytes);
  const Status closed = file->Close();
  if (s.ok()) s = closed;
  if (!s.ok()) {
    fs_.DeleteFile(part).IgnoreError();
    return s;
  }
  parts_.push_back(part);
  return Status::Ok();
}

Status ReturnFiles::Commit() {
  Status s = fs_.SyncFiles(std::span<const std::string>(parts_).subspan(committed_));
  for (std::size_t i = committed_; s.ok() && i < parts_.size(); ++i) {
    const std::string& part = parts_[i];
    s = fs_.RenameToExactName(part, std::string_view(part).substr(0, part.size() - 5));
    if (s.ok()) ++committed_;
  }
  if (committed_ > 0) fs_.SyncDirectoryOf(parts_[committed_ - 1]).IgnoreError();
  RemoveParts();
  return s;
}

}  // namespace zov::books::vat
