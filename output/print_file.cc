#include "output/print_file.h"

#include <charconv>
#include <cstdlib>

#include "format/chars.h"
#include "output/print_file_format.h"
#include "platform/ascii.h"
#include "session/leading_number.h"

namespace zov::output {
namespace {

// Added to the print file's name while it is being written.
constexpr std::string_view kTemporarySuffix = ".new";

// Pending lines are written once they reach this size.
constexpr std::size_t kChunkBytes = 64 * 1024;

void RecordFailure(PrintFile& pf, std::string message) {
  if (pf.failed) return;
  pf.failed = true;
  pf.error = std::move(message);
}

void Flush(PrintFile& pf) {
  if (pf.pending.empty() || !pf.file) return;
  platform::Status s = pf.file->Write(pf.written, pf.pending);
  if (s.ok()) {
    pf.written += pf.pending.size();
  } else {
    RecordFailure(pf, s.message());
  }
  pf.pending.clear();
}

// Whether output may be added; a missing file is a failure of the run.
bool Writable(PrintFile& pf) {
  if (pf.failed) return false;
  if (!pf.file) {
    RecordFailure(pf, "print file written while not open");
    return false;
  }
  return true;
}

void EndLine(PrintFile& pf) {
  pf.pending.append(kLineEnd);
  if (pf.pending.size() >= kChunkBytes) Flush(pf);
}

void AppendNumber(std::string& out, int32_t n) {
  char digits[16];
  int64_t magnitude = n < 0 ? -static_cast<int64_t>(n) : n;
  auto result = std::to_chars(digits, digits + sizeof digits, magnitude);
  out += n < 0 ? '-' : ' ';
  out.append(digits, result.ptr);
  out += ' ';
}

// Free texts of the other line kinds may not break the line: CR and LF
// become blanks, so a stored address or name cannot forge a command line.
void AppendOnOneLine(std::string& out, std::string_view text) {
  std::size_t start = out.size();
  out.append(text);
  for (std::size_t i = start; i < out.size(); ++i) {
    if (out[i] == '\r' || out[i] == '\n') out[i] = ' ';
  }
}

void WriteTaggedLine(PrintFile& pf, std::string_view tag, std::string_view text) {
  if (!Writable(pf)) return;
  pf.pending.append(tag);
  AppendOnOneLine(pf.pending, text);
  EndLine(pf);
}

bool IsControl(unsigned char c) { return c < 32 || c == 127 || c == 255; }

}  // namespace

std::string NumberText(int32_t n) {
  std::string out;
  AppendNumber(out, n);
  return out;
}

void OpenPrintFile(platform::FileSystem& fs, const session::Session& session, PrintFile& pf,
                   std::string_view device) {
  if (pf.file) ClosePrintFile(pf);
  pf.path = session.temp_dir + std::string(kPrintFileName);
  pf.pending.clear();
  pf.written = 0;
  pf.fs = &fs;
  platform::Status s = CreatePrintFileTemporary(fs, pf.path, &pf.temp_path, &pf.file);
  if (!s.ok()) {
    pf.file.reset();
    RecordFailure(pf, s.message());
    return;
  }
  WriteTaggedLine(pf, kDeviceTag, device);
}

void StartPage(PrintFile& pf, int16_t lines) {
  pf.page_length = lines;
  pf.line_counter = 0;
  if (!Writable(pf)) return;
  pf.pending.append(kPageTag);
  AppendNumber(pf.pending, lines);
  EndLine(pf);
}

void PrintAt(PrintFile& pf, int16_t column, std::string_view text, int16_t advance) {
  if (pf.line_counter >= pf.page_length) StartPage(pf, pf.page_length);
  if (advance != 0) pf.line_counter = static_cast<int16_t>(pf.line_counter + advance);
  if (!Writable(pf)) return;
  std::string& out = pf.pending;
  AppendNumber(out, column);
  out += kItemSeparator;
  std::size_t start = out.size();
  out.append(text);
  for (std::size_t i = start; i < out.size(); ++i) {
    if (IsControl(static_cast<unsigned char>(out[i]))) out[i] = ' ';
  }
  out += kItemSeparator;
  AppendNumber(out, advance);
  EndLine(pf);
}

void SetJustification(PrintFile& pf, std::string& spec) {
  std::string_view trimmed = format::TrimBlanks(spec);
  char k = trimmed.empty() ? ' ' : platform::AsciiUpper(trimmed[0]);
  std::string normal;
  switch (k) {
    case 'C': normal = "C"; break;
    case 'D':
    case 'R': normal = "D"; break;
    case 'A':
    case 'B': normal = "A"; break;
    case 'N': {
      int64_t n = std::llabs(session::LeadingWhole(trimmed.substr(1), session::Rounding::kTowardZero));
      normal = "N ";
      normal += std::to_string(n);
      normal += ' ';
      // The character between backslashes; without a closing one, the rest.
      std::size_t first = spec.find('\\');
      if (first != std::string::npos) {
        std::size_t second = spec.find('\\', first + 1);
        normal += spec.substr(first, second == std::string::npos ? std::string::npos : second - first + 1);
      }
      break;
    }
    default: normal = "E"; break;
  }
  spec = std::move(normal);
  WriteTaggedLine(pf, kJustificationTag, spec);
}

void PrintControl(PrintFile& pf, std::string_view code) { WriteTaggedLine(pf, kControlTag, code); }

void PrintSendTo(PrintFile& pf, std::string_view text) { WriteTaggedLine(pf, kSendTag, text); }

platform::Status CreatePrintFileTemporary(platform::FileSystem& fs, const std::string& path, std::string* temp_path,
                                          std::unique_ptr<platform::ByteFile>* file) {
  *temp_path = path + std::string(kTemporarySuffix);
  // A temporary file a killed run left behind goes first; the new one is
  // created afresh (never through a link, owner-only).
  platform::Status gone = fs.DeleteFile(*temp_path);
  if (!gone.ok() && !gone.IsNotFound()) return gone;
  return fs.OpenByteFile(*temp_path, platform::OpenMode::kCreateNew, file);
}

platform::Status PublishPrintFile(platform::FileSystem& fs, const std::string& temp_path, const std::string& path) {
  return fs.RenameFile(temp_path, path);
}

void ClosePrintFile(PrintFile& pf) {
  if (!pf.file) return;
  Flush(pf);
  platform::Status s = pf.file->Close();
  if (!s.ok()) RecordFailure(pf, s.message());
  pf.file.reset();
  if (!pf.failed) {
    s = PublishPrintFile(*pf.fs, pf.temp_path, pf.path);
    if (!s.ok()) RecordFailure(pf, s.message());
  }
  if (pf.failed) pf.fs->DeleteFile(pf.temp_path).IgnoreError();
  pf.temp_path.clear();
}

void AbandonPrintFile(PrintFile& pf) {
  if (!pf.file) return;
  pf.file->Close().IgnoreError();
  pf.file.reset();
  pf.pending.clear();
  pf.fs->DeleteFile(pf.temp_path).IgnoreError();
  pf.temp_path.clear();
}

}  // namespace zov::output
