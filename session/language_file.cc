#include "session/language_file.h"

namespace zov::session {
namespace {

constexpr char kCtrlZ = 26;

}  // namespace

LanguageItemReader::LanguageItemReader(std::string_view contents)
    : text_(contents.substr(0, contents.find(kCtrlZ))) {}

std::string LanguageItemReader::ReadItem() {
  while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  std::string item;
  if (pos_ >= text_.size()) return item;

  if (text_[pos_] == '"') {
    std::size_t close = text_.find('"', pos_ + 1);
    if (close == std::string_view::npos) {
      item.assign(text_.substr(pos_ + 1));
      pos_ = text_.size();
      return item;
    }
    item.assign(text_.substr(pos_ + 1, close - pos_ - 1));
    pos_ = close + 1;
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n')) ++pos_;
    if (pos_ < text_.size()) {
      if (text_[pos_] == ',') {
        ++pos_;
      } else if (text_[pos_] == '\r') {
        ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
      }
    }
    return item;
  }

  for (; pos_ < text_.size(); ++pos_) {
    char c = text_[pos_];
    if (c == ',') {
      ++pos_;
      break;
    }
    if (c == '\r') {
      ++pos_;
      if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
      break;
    }
    if (c != '\n' && c != '\t') item += c;
  }
  return item;
}

std::string LookUpTranslation(std::string_view contents, std::string_view language, std::string_view text) {
  LanguageItemReader reader(contents);
  while (!reader.AtEnd()) {
    std::string key = reader.ReadItem();
    if (reader.AtEnd()) break;
    std::string glg = reader.ReadItem();
    std::string oci = reader.ReadItem();
    std::string spa = reader.ReadItem();
    if (key == text) {
      if (language == "SPA") return spa;
      if (language == "GLG") return glg;
      if (language == "OCI") return oci;
      break;
    }
  }
  return std::string(text);
}

namespace {

std::string TranslateFromFile(platform::Env& env, const Session& session, const std::string& path,
                              std::string_view text) {
  std::string contents;
  platform::Status s = env.fs->ReadFile(path, &contents);
  if (s.IsNotFound()) {
    // A missing file is created empty, so the translators find where to
    // put their texts; a missing LOCALE folder leaves it missing.
    std::unique_ptr<platform::ByteFile> file;
    if (env.fs->OpenByteFile(path, platform::OpenMode::kReadWriteCreate, &file).ok()) file->Close().IgnoreError();
    return std::string(text);
  }
  if (!s.ok()) return std::string(text);
  return LookUpTranslation(contents, session.language, text);
}

}  // namespace

std::string TranslateText(platform::Env& env, const Session& session, LanguageState& language,
                          std::string_view text) {
  if (session.language == "CAT") return std::string(text);
  if (language.language_file.empty()) language.language_file = language.program_code;
  const std::string path = session.data_root + "LOCALE\\" + language.language_file + ".LNG";
  // The register asks for the same few texts on every page: answers are
  // kept for the run, for this language and this file.
  std::string key = session.language + path;
  if (key != language.translations_key) {
    language.translations.clear();
    language.translations_key = std::move(key);
  }
  auto it = language.translations.find(text);
  if (it == language.translations.end()) {
    it = language.translations.emplace(std::string(text), TranslateFromFile(env, session, path, text)).first;
  }
  return it->second;
}

}  // namespace zov::session
