#include "books/nif_file.h"

#include "format/chars.h"
#include "format/packed.h"
#include "format/tax_ids.h"
#include "output/report_fields.h"
#include "platform/ascii.h"

namespace zov::books {

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

}  // namespace

platform::Status ParseOwnerNifs(std::string_view text, std::string_view name, OwnerNifs* nifs) {
  *nifs = OwnerNifs{};
  std::map<std::string, int, std::less<>> line_of;
  std::map<std::string, std::string, std::less<>> owner_of_nif;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a spreadsheet's byte-order mark
  int number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == '#') continue;
    auto fail = [&](const std::string& why) {
      return platform::Status::InvalidArgument(std::string(name) + ", line " + std::to_string(number) + ": " + why);
    };
    const std::size_t semi = line.find(';');
    if (semi == std::string_view::npos || line.find(';', semi + 1) != std::string_view::npos)
      return fail("expected \"owner code;NIF\"");
    const std::string_view code = Trim(line.substr(0, semi));
    const std::string_view given = Trim(line.substr(semi + 1));
    // No NIF is longer; a longer value is kept cut, as reports show it.
    const std::string nif = given.size() <= kNifKeptBytes
                                ? platform::AsciiUpper(given)
                                : platform::AsciiUpper(given.substr(0, kNifKeptBytes)) + std::string(output::kCutMark);
    bool digits = !code.empty() && code.size() <= 4;
    for (char c : code) digits = digits && format::IsDigit(c);
    if (!digits) return fail("the owner code must be 1 to 4 digits");
    if (nif.empty()) return fail("no NIF after the owner code");
    int64_t value = 0;
    for (char c : code) value = value * 10 + (c - '0');
    const std::string owner = format::ZeroPad(value, 4);
    if (auto [it, fresh] = line_of.emplace(owner, number); !fresh)
      return fail("owner " + owner + " already has a NIF on line " + std::to_string(it->second));
    nifs->nif_of[owner] = nif;
    if (auto [it, fresh] = owner_of_nif.emplace(nif, owner); !fresh) {
      nifs->shared_with[owner] = it->second;
      nifs->shared_with.emplace(it->second, owner);
    }
  }
  return platform::Status::Ok();
}

std::optional<Finding> OwnerNif(const OwnerNifs& nifs, std::string_view owner_code, std::string_view file_name,
                                const OwnOutputWords& words, std::string* nif) {
  nif->clear();
  auto it = nifs.nif_of.find(owner_code);
  if (it == nifs.nif_of.end())
    return Error("TITULAR", "El propietario no tiene NIF en " + std::string(file_name) + ": no se genera " +
                                std::string(words.its));
  *nif = it->second;
  if (format::ClassifyNif(*nif) == format::NifKind::kInvalid)
    return Error("TITULAR", "NIF del titular '" + *nif + "' no v\xA0lido: no se genera " + std::string(words.its));
  if (auto shared = nifs.shared_with.find(owner_code); shared != nifs.shared_with.end())
    return Error("TITULAR", "El NIF " + *nif + " figura tambi\x82n para el propietario " + shared->second + ": " +
                                std::string(words.only_one) + "; una los propietarios o corrija " +
                                std::string(file_name));
  return std::nullopt;
}

}  // namespace zov::books
