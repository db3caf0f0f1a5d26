#include "tools/dozudizi/spooler.h"

#include <span>

#include "format/chars.h"
#include "format/format_state.h"
#include "platform/ascii.h"
#include "session/ini_file.h"
#include "session/session.h"
#include "session/session_setup.h"
#include "tools/dozudizi/page_grid.h"
#include "tools/dozudizi/outbox.h"
#include "tools/dozudizi/pdf_render.h"
#include "tools/dozudizi/print_file_parser.h"
#include "tools/dozudizi/text_render.h"

namespace zov::tools {
namespace {

constexpr std::string_view kProgram = "dozudizi: ";

bool EndsWithIgnoringCase(std::string_view s, std::string_view suffix) {
  return s.size() > suffix.size() && platform::EqualsIgnoringAsciiCase(s.substr(s.size() - suffix.size()), suffix);
}

bool IsAbsolute(std::string_view name) { return !name.empty() && (name.front() == '/' || name.front() == '\\'); }

class Run {
 public:
  Run(platform::FileSystem& fs, const Cp850Text& cp, const SpoolRequest& request)
      : fs_(fs), cp_(cp), request_(request) {}

  SpoolOutcome Go() {
    const std::string print_file = request_.temp_dir + std::string(kPrintFileName);
    std::string bytes;
    platform::Status s = fs_.ReadFile(print_file, &bytes);
    if (!s.ok()) {
      Fail("cannot read the print file " + fs_.Resolve(print_file) + ": " + s.message());
      return std::move(out_);
    }
    Document doc = LayOut(ParsePrintFile(bytes));
    ListProblems(fs_.Resolve(print_file), doc.diagnostics);
    if (doc.pages.empty()) Message("the print file holds nothing to print; the output is empty");

    Destination to = ResolveDevice(doc.device, request_.temp_dir);
    if (to.unknown) Message("device \"" + cp_.ToUtf8(doc.device) + "\" not known; writing the PDF " + fs_.Resolve(to.path));
    switch (to.kind) {
      case DeviceKind::kScreen:
        out_.screen = RenderText(cp_, doc.pages);
        break;
      case DeviceKind::kText:
        Write(to.path, RenderText(cp_, doc.pages));
        break;
      case DeviceKind::kPdf:
        WritePdf(to.path, doc.pages);
        break;
    }
    if (platform::EqualsIgnoringAsciiCase(format::TrimBlanks(request_.mail_setting), "S")) FillOutbox(doc);
    return std::move(out_);
  }

 private:
  void Message(std::string text) { out_.messages.push_back(std::string(kProgram) + std::move(text)); }

  void Fail(std::string text) {
    Message(std::move(text));
    out_.exit_code = kExitFailed;
  }

  void ListProblems(const std::string& file, const std::vector<Diagnostic>& problems) {
    if (problems.empty()) return;
    int listed = 0;
    for (const Diagnostic& d : problems) {
      if (listed++ == kMaxListedProblems) break;
      Message(file + (d.line > 0 ? " line " + std::to_string(d.line) : std::string()) + ": " + d.message);
    }
    if (problems.size() > static_cast<std::size_t>(kMaxListedProblems)) {
      Message(std::to_string(problems.size() - kMaxListedProblems) + " more problems in " + file + " not listed");
    }
    out_.exit_code = kExitLinesSkipped;
  }

  bool Write(const std::string& path, std::string_view data) {
    platform::Status s = platform::WriteFileAtomically(fs_, path, data);
    if (!s.ok()) {
      Fail("cannot write " + fs_.Resolve(path) + ": " + s.message());
      return false;
    }
    out_.written.push_back(path);
    return true;
  }

  bool WritePdf(const std::string& path, std::span<const Page> pages) {
    std::string pdf;
    platform::Status s = RenderPdf(cp_, pages, &pdf);
    if (!s.ok()) {
      Fail("cannot make the PDF " + fs_.Resolve(path) + ": " + s.message());
      return false;
    }
    return Write(path, pdf);
  }

  void FillOutbox(const Document& doc) {
    const std::string dir = request_.temp_dir + std::string(kOutboxDir) + "/";
    platform::Status s = fs_.CreateDirectory(request_.temp_dir + std::string(kOutboxDir));
    if (!s.ok() && !s.IsAlreadyExists()) {
      Fail("cannot create the outbox " + fs_.Resolve(request_.temp_dir + std::string(kOutboxDir)) + ": " + s.message());
      return;
    }
    std::vector<OutboxEntry> entries;
    int number = 0;
    for (const Part& part : doc.parts) {
      if (part.address.empty()) continue;
      OutboxEntry e{part.address, part.name, OutboxFileName(cp_, ++number, part.name)};
      std::span<const Page> pages(doc.pages.data() + part.first_page, part.page_count);
      if (WritePdf(dir + e.file, pages)) entries.push_back(std::move(e));
    }
    Write(dir + std::string(kManifestName), ManifestCsv(entries));
  }

  platform::FileSystem& fs_;
  const Cp850Text& cp_;
  const SpoolRequest& request_;
  SpoolOutcome out_;
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

}  // namespace zov::tools
