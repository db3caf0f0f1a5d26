#include "books/vat_return/return_file.h"

#include <memory>

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

Status WriteReturnFile(platform::FileSystem& fs, const std::string& path, std::string_view bytes) {
  std::unique_ptr<platform::ByteFile> file;
  Status s = fs.OpenByteFile(path, platform::OpenMode::kCreateNew, &file);
  if (!s.ok()) return s;
  s = file->Write(0, bytes);
  const Status closed = file->Close();
  if (s.ok()) s = closed;
  if (!s.ok()) fs.DeleteFile(path).IgnoreError();
  return s;
}

}  // namespace zov::books::vat
