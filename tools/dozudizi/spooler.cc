#include "tools/dozudizi/spooler.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <random>
#include <span>

#include "format/chars.h"
#include "format/format_state.h"
#include "platform/ascii.h"
#include "session/ini_file.h"
#include "session/session.h"
#include "session/session_setup.h"
#include "tools/dozudizi/page_grid.h"
#include "tools/dozudizi/outbox.h"
#include "tools/dozudizi/pdf_writer.h"
#include "tools/dozudizi/print_file_parser.h"
#include "tools/dozudizi/text_render.h"

namespace zov::tools {
namespace {

constexpr std::string_view kProgram = "dozudizi: ";

bool EndsWithIgnoringCase(std::string_view s, std::string_view suffix) {
  return s.size() > suffix.size() && platform::EqualsIgnoringAsciiCase(s.substr(s.size() - suffix.size()), suffix);
}

bool IsAbsolute(std::string_view name) { return !name.empty() && (name.front() == '/' || name.front() == '\\'); }

constexpr std::size_t kReadChunk = 1 << 20;
constexpr std::size_t kWriteBuffer = 1 << 18;
constexpr int kNameAttempts = 100;
constexpr int kMaxRemoveDepth = 4;

// A file created new under a temporary name beside its final one, buffered,
// and synced and renamed into place by Commit. Dropped without Commit, the
// temporary file is removed and the final name untouched.
class OutputFile {
 public:
  OutputFile(platform::FileSystem& fs, std::mt19937& random) : fs_(fs), random_(random) {}
  ~OutputFile() { Abandon(); }

  // `in_place`: the file is created under its final name inside a directory
  // of this run's own, and Commit only closes it: the directory is what is
  // renamed into place (one sync per owner's file would cost more than the
  // whole run).
  platform::Status Create(const std::string& path, bool in_place) {
    path_ = path;
    in_place_ = in_place;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      temp_ = in_place ? path : platform::DirectoryPart(path) + "~" + RandomDigits(random_) + ".tmp";
      platform::Status s = fs_.OpenByteFile(temp_, platform::OpenMode::kCreateNew, &file_);
      if (!s.IsAlreadyExists() || in_place) return s;
    }
    return platform::Status::IoError("no free temporary name beside " + fs_.Resolve(path));
  }

  platform::Status Write(std::string_view data) {
    buffer_ += data;
    return buffer_.size() >= kWriteBuffer ? Flush() : status_;
  }

  platform::Status Commit() {
    if (!file_) return platform::Status::IoError("not open");
    Flush().IgnoreError();
    if (status_.ok() && !in_place_) status_ = file_->Sync();
    platform::Status c = file_->Close();
    if (status_.ok()) status_ = c;
    file_.reset();
    if (status_.ok() && temp_ != path_) status_ = fs_.RenameFile(temp_, path_);
    if (!status_.ok()) fs_.DeleteFile(temp_).IgnoreError();
    temp_.clear();
    return status_;
  }

  static std::string RandomDigits(std::mt19937& random) {
    std::string digits = std::to_string(random() % 100000000u);
    return std::string(8 - digits.size(), '0') + digits;
  }

 private:
  platform::Status Flush() {
    if (status_.ok() && !buffer_.empty()) {
      status_ = file_->Write(offset_, buffer_);
      offset_ += buffer_.size();
    }
    buffer_.clear();
    return status_;
  }

  void Abandon() {
    if (!file_) return;
    file_->Close().IgnoreError();
    file_.reset();
    fs_.DeleteFile(temp_).IgnoreError();
  }

  platform::FileSystem& fs_;
  std::mt19937& random_;
  std::string path_;
  bool in_place_ = false;
  std::string temp_;
  std::unique_ptr<platform::ByteFile> file_;
  std::string buffer_;
  uint64_t offset_ = 0;
  platform::Status status_;
};

// An output file holding a PDF document.
struct PdfOutput {
  PdfOutput(platform::FileSystem& fs, std::mt19937& random)
      : file(fs, random), pdf([this](std::string_view bytes) { return file.Write(bytes); }) {}
  OutputFile file;
  PdfWriter pdf;
};

class Run : public PageSink {
 public:
  Run(platform::FileSystem& fs, const Cp850Text& cp, const SpoolRequest& request)
      : fs_(fs), cp_(cp), request_(request), random_(std::random_device()()), layout_(*this, &problems_) {
    mail_ = platform::EqualsIgnoringAsciiCase(format::TrimBlanks(request_.mail_setting), "S");
    outbox_ = request_.temp_dir + std::string(kOutboxDir);
  }

  SpoolOutcome Go() {
    const std::string print_file = request_.temp_dir + std::string(kPrintFileName);
    print_file_name_ = fs_.Resolve(print_file);
    if (mail_ && !MakeStaging()) return std::move(out_);
    if (!ReadPrintFile(print_file)) {
      DropStaging();
      return std::move(out_);
    }
    layout_.Finish();
    layout_done_ = true;
    TakeProblems();
    out_.pages = layout_.pages();
    if (out_.pages == 0) Message("the print file holds nothing to print; the output is empty");
    if (!opened_) Open();
    FinishOwner();
    FinishDevice();
    if (mail_) {
      FinishOutbox();
    } else {
      RemoveOutbox(outbox_, "the outbox of an earlier run");
    }
    if (out_.problems > 0 && out_.exit_code == kExitDone) out_.exit_code = kExitProblems;
    return std::move(out_);
  }

 private:
  void Message(std::string text) { out_.messages.push_back(std::string(kProgram) + std::move(text)); }

  void Fail(std::string text) {
    Message(std::move(text));
    out_.exit_code = kExitProblems;
  }

  // Reads the print file in pieces, feeding each whole line on. False when
  // it cannot be read (reported).
  bool ReadPrintFile(const std::string& print_file) {
    platform::DirEntry entry;
    platform::Status s = fs_.FindFirst(print_file, &entry);
    if (s.ok() && (entry.attributes & (platform::kAttrDirectory | platform::kAttrSystem)) != 0) {
      s = platform::Status::IoError("not a regular file");
    }
    std::unique_ptr<platform::ByteFile> file;
    if (s.ok()) s = fs_.OpenByteFile(print_file, platform::OpenMode::kReadOnly, &file);
    uint64_t size = 0;
    if (s.ok()) s = file->Size(&size);
    std::string chunk;
    std::string carry;
    ParsedPrintFile batch;
    for (uint64_t at = 0; s.ok() && at < size;) {
      s = file->Read(at, static_cast<std::size_t>(std::min<uint64_t>(kReadChunk, size - at)), &chunk);
      if (!s.ok()) break;
      if (chunk.empty()) break;  // shorter than it was
      at += chunk.size();
      std::string_view rest = chunk;
      for (std::size_t end = rest.find('\n'); end != std::string_view::npos; end = rest.find('\n')) {
        std::string_view line = rest.substr(0, end);
        if (!carry.empty()) {
          carry += line;
          line = carry;
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        parser_.ParseLine(line, &batch);
        carry.clear();
        rest.remove_prefix(end + 1);
        Feed(&batch);
      }
      carry += rest;
      if (request_.progress) request_.progress(at, size);
    }
    if (!s.ok()) {
      Fail("cannot read the print file " + print_file_name_ + ": " + s.message());
      return false;
    }
    if (!carry.empty()) {
      std::string_view line = carry;
      if (line.back() == '\r') line.remove_suffix(1);
      parser_.ParseLine(line, &batch);
    }
    parser_.Finish(!carry.empty(), &batch);
    Feed(&batch);
    return true;
  }

  void Feed(ParsedPrintFile* batch) {
    for (Diagnostic& d : batch->diagnostics) problems_.push_back(std::move(d));
    for (const Command& c : batch->commands) {
      if (c.kind == CommandKind::kItem) CountUnshown(c);
      layout_.Feed(c);
    }
    batch->commands.clear();
    batch->diagnostics.clear();
    TakeProblems();
  }

  // An item whose characters a PDF page cannot show prints them as "?": a
  // changed line, listed and counted like the others. (The device is named
  // before the first item; text and screen output show every character.)
  void CountUnshown(const Command& item) {
    if (!to_pdf_) to_pdf_ = mail_ || ResolveDevice(layout_.device(), request_.temp_dir).kind == DeviceKind::kPdf;
    if (!*to_pdf_) return;
    const std::size_t n = cp_.CountNotInWinAnsi(item.text);
    if (n > 0) {
      problems_.push_back(Diagnostic{item.line, std::to_string(n) + " character(s) the PDF font cannot show printed as \"?\""});
    }
  }

  // Lists the problems found so far, up to kMaxListedProblems in all.
  void TakeProblems() {
    for (const Diagnostic& d : problems_) {
      if (out_.problems++ < static_cast<std::size_t>(kMaxListedProblems)) {
        Message(print_file_name_ + (d.line > 0 ? " line " + std::to_string(d.line) : std::string()) + ": " +
                d.message);
      }
    }
    problems_.clear();
    if (finished_listing_) return;
    if (out_.problems > static_cast<std::size_t>(kMaxListedProblems) && layout_done_) {
      Message(std::to_string(out_.problems - kMaxListedProblems) + " more problems in " + print_file_name_ +
              " not listed");
      finished_listing_ = true;
    }
  }

  // The device's output, opened at the first page (the DEVICE line comes
  // before it).
  void Open() {
    opened_ = true;
    to_ = ResolveDevice(layout_.device(), request_.temp_dir);
    if (to_.unknown) {
      Message("device \"" + layout_.device() + "\" not known; writing the PDF " + fs_.Resolve(to_.path));
    }
    if (to_.kind == DeviceKind::kScreen) return;
    device_ = std::make_unique<PdfOutput>(fs_, random_);
    platform::Status s = device_->file.Create(to_.path, false);
    if (!s.ok()) {
      Fail("cannot write " + fs_.Resolve(to_.path) + ": " + s.message());
      device_.reset();
    }
  }

  void BeginPart(const Part& part) override {
    FinishOwner();
    if (!mail_ || staging_.empty() || part.address.empty()) return;
    if (!IsPlausibleAddress(part.address)) {
      Message("owner " + part.name + " (print file line " + std::to_string(part.line) +
              "): the e-mail field \"" + part.address +
              "\" is not one plausible address; not mailed");
      return;
    }
    owner_entry_ = OutboxEntry{part.address, part.name, OutboxFileName(++owner_number_, part.name)};
    owner_ = std::make_unique<PdfOutput>(fs_, random_);
    platform::Status s = owner_->file.Create(staging_ + "/" + owner_entry_.file, true);
    if (!s.ok()) {
      Fail("cannot write the outbox file " + owner_entry_.file + ": " + s.message());
      owner_.reset();
    }
  }

  void AddPage(const Page& page) override {
    if (!opened_) Open();
    if (to_.kind != DeviceKind::kPdf || (!device_ && !owner_)) {
      // Text: form feeds between pages, as RenderText does.
      std::string text = (layout_.pages() > 0 ? "\f\n" : "") + RenderText(cp_, std::span<const Page>(&page, 1));
      if (to_.kind == DeviceKind::kScreen) {
        out_.screen += text;
      } else if (to_.kind == DeviceKind::kText && device_) {
        device_->file.Write(text).IgnoreError();  // a failure shows at Commit
      }
      if (!owner_) return;
    }
    platform::Status s = EncodePage(cp_, page, &encoded_);
    if (!s.ok()) {
      Fail("cannot make a PDF page: " + s.message());
      return;
    }
    if (to_.kind == DeviceKind::kPdf && device_) device_->pdf.AddPage(encoded_).IgnoreError();
    if (owner_) owner_->pdf.AddPage(encoded_).IgnoreError();
  }

  void FinishDevice() {
    if (!device_) return;
    platform::Status s = to_.kind == DeviceKind::kPdf ? device_->pdf.Finish() : platform::Status::Ok();
    if (s.ok()) s = device_->file.Commit();
    if (!s.ok()) {
      Fail("cannot write " + fs_.Resolve(to_.path) + ": " + s.message());
    } else {
      out_.written.push_back(to_.path);
    }
    device_.reset();
  }

  void FinishOwner() {
    if (!owner_) return;
    platform::Status s = owner_->pdf.Finish();
    if (s.ok()) s = owner_->file.Commit();
    if (!s.ok()) {
      Fail("cannot write the outbox file " + owner_entry_.file + ": " + s.message());
    } else {
      entries_.push_back(std::move(owner_entry_));
    }
    owner_.reset();
  }

  // A new directory of this run's own, where the outbox is built.
  bool MakeStaging() {
    platform::Status s;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      std::string name = outbox_ + "-" + OutputFile::RandomDigits(random_) + ".tmp";
      s = fs_.CreateDirectory(name);
      if (s.ok()) {
        staging_ = name;
        return true;
      }
      if (!s.IsAlreadyExists()) break;
    }
    Fail("cannot create the outbox " + fs_.Resolve(outbox_) + ": " + s.message());
    return false;
  }

  void DropStaging() {
    if (!staging_.empty()) RemoveOutbox(staging_, "a partial outbox");
    staging_.clear();
  }

  void FinishOutbox() {
    if (staging_.empty()) return;
    OutputFile manifest(fs_, random_);
    platform::Status s = manifest.Create(staging_ + "/" + std::string(kManifestName), true);
    if (s.ok()) s = manifest.Write(ManifestCsv(entries_));
    if (s.ok()) s = manifest.Commit();
    if (!s.ok()) {
      Fail("cannot write the outbox manifest: " + s.message() + "; the outbox was not replaced");
      DropStaging();
      return;
    }
    // The earlier outbox goes aside first, so the name never holds a mix.
    platform::DirEntry entry;
    std::string aside;
    if (fs_.FindFirst(outbox_, &entry).ok()) {
      if ((entry.attributes & platform::kAttrDirectory) != 0) {
        aside = outbox_ + "-" + OutputFile::RandomDigits(random_) + ".old";
        s = fs_.RenameFile(outbox_, aside);
      } else {
        s = fs_.DeleteFile(outbox_);  // a link or a file: removed, never followed
      }
    }
    if (s.ok()) s = fs_.RenameFile(staging_, outbox_);
    if (!s.ok()) {
      Fail("cannot put the outbox in place " + fs_.Resolve(outbox_) + ": " + s.message());
      DropStaging();
      return;
    }
    staging_.clear();
    if (!aside.empty()) RemoveOutbox(aside, "the outbox of an earlier run");
    out_.outbox = outbox_;
    out_.mailed = static_cast<int>(entries_.size());
  }

  // Removes what stands under `path`: a link or a file itself, a directory
  // with the entries in it. Failures are reported, not fatal.
  void RemoveOutbox(const std::string& path, const std::string& what) {
    platform::DirEntry entry;
    if (!fs_.FindFirst(path, &entry).ok()) return;
    platform::Status s = (entry.attributes & platform::kAttrDirectory) != 0 ? RemoveTree(path, 0) : fs_.DeleteFile(path);
    if (!s.ok()) Message("cannot remove " + what + " " + fs_.Resolve(path) + ": " + s.message());
  }

  platform::Status RemoveTree(const std::string& dir, int depth) {
    if (depth > kMaxRemoveDepth) return platform::Status::IoError("directories nested too deep");
    std::vector<platform::DirEntry> entries;
    platform::Status s = fs_.ListDirectory(dir, &entries);
    for (const platform::DirEntry& e : entries) {
      if (!s.ok()) break;
      const std::string path = dir + "/" + e.name;
      s = (e.attributes & platform::kAttrDirectory) != 0 ? RemoveTree(path, depth + 1) : fs_.DeleteFile(path);
    }
    return s.ok() ? fs_.RemoveDirectory(dir) : s;
  }

  platform::FileSystem& fs_;
  const Cp850Text& cp_;
  const SpoolRequest& request_;
  std::mt19937 random_;
  SpoolOutcome out_;
  PrintFileParser parser_;
  std::vector<Diagnostic> problems_;
  PageLayout layout_;
  bool layout_done_ = false;
  bool finished_listing_ = false;
  std::string print_file_name_;
  bool mail_ = false;
  std::string outbox_;
  std::string staging_;
  bool opened_ = false;
  std::optional<bool> to_pdf_;  // whether pages go to a PDF, known at the first item
  Destination to_;
  std::unique_ptr<PdfOutput> device_;
  PdfPage encoded_;
  std::unique_ptr<PdfOutput> owner_;
  OutboxEntry owner_entry_;
  int owner_number_ = 0;
  std::vector<OutboxEntry> entries_;
};

}  // namespace

Destination ResolveDevice(std::string_view device, std::string_view temp_dir) {
  std::string_view name = format::TrimBlanks(device);
  Destination d;
  auto in_temp = [&](std::string_view file) {
    return IsAbsolute(file) ? std::string(file) : std::string(temp_dir) + std::string(file);
  };
  if (name.empty() || platform::EqualsIgnoringAsciiCase(name, "PDF")) {
    d.path = in_temp(kDefaultPdfName);
  } else if (platform::EqualsIgnoringAsciiCase(name, "SCREEN")) {
    d.kind = DeviceKind::kScreen;
  } else if (EndsWithIgnoringCase(name, ".pdf")) {
    d.path = in_temp(name);
  } else if (EndsWithIgnoringCase(name, ".txt")) {
    d.kind = DeviceKind::kText;
    d.path = in_temp(name);
  } else {
    d.path = in_temp(kDefaultPdfName);
    d.unknown = true;
  }
  return d;
}

SpoolRequest ReadSpoolRequest(platform::Env& env) {
  session::Session session;
  format::FormatState format_state;
  session::SetUpSession(env, session, format_state);
  SpoolRequest request;
  request.temp_dir = session.temp_dir;
  request.mail_setting =
      session::ReadIniValue(*env.fs, request.temp_dir + std::string(kSettingsFileName), "Opcions", "Correu");
  return request;
}

SpoolOutcome Spool(platform::FileSystem& fs, const Cp850Text& cp, const SpoolRequest& request) {
  return Run(fs, cp, request).Go();
}

std::string Summary(platform::FileSystem& fs, const SpoolOutcome& out) {
  std::string line = std::string(kProgram) + std::to_string(out.pages) + (out.pages == 1 ? " page" : " pages");
  if (!out.written.empty()) {
    line += " to " + fs.Resolve(out.written.front());
  } else if (!out.screen.empty()) {
    line += " to the screen";
  }
  if (!out.outbox.empty()) line += "; " + std::to_string(out.mailed) + " owner PDFs to the outbox " + fs.Resolve(out.outbox);
  line += "; " + std::to_string(out.problems) + (out.problems == 1 ? " line" : " lines") + " skipped or changed";
  return line;
}

}  // namespace zov::tools
