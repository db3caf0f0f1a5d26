#include "tools/zovllibres/command_line.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "format/packed.h"

namespace zov::tools {

namespace {

using books::BooksRequest;
using platform::Status;

constexpr std::string_view kUsage =
    "usage: zovllibres --year YYYY --quarter 1-4 --out DIR [--from-owner CODE] [--to-owner CODE]\n"
    "                  [--owner-nifs FILE] [--epigraph DIGITS]\n";

bool ParseInt(std::string_view text, int low, int high, int* value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, *value);
  return !text.empty() && ec == std::errc() && ptr == end && *value >= low && *value <= high;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Owner(int code) { return format::ZeroPad(code, 4); }

}  // namespace

Status ParseBooksArguments(const std::vector<std::string>& args, BooksRequest* request) {
  *request = BooksRequest{};
  bool year = false, quarter = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    if (!name.starts_with("--")) return Status::InvalidArgument("unexpected argument " + name);
    if (const std::size_t eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    } else {
      if (i + 1 == args.size()) return Status::InvalidArgument(name + " needs a value");
      value = args[++i];
    }
    if (name == "--year") {
      if (!ParseInt(value, 1900, 9999, &request->year))
        return Status::InvalidArgument("--year takes a year of four digits, not " + value);
      year = true;
    } else if (name == "--quarter") {
      if (!ParseInt(value, 1, 4, &request->quarter))
        return Status::InvalidArgument("--quarter takes 1, 2, 3 or 4, not " + value);
      quarter = true;
    } else if (name == "--out") {
      if (value.empty()) return Status::InvalidArgument("--out needs a folder");
      request->out_dir = value;
    } else if (name == "--from-owner" || name == "--to-owner") {
      int code = 0;
      if (value.size() > 4 || !AllDigits(value) || !ParseInt(value, 0, 9999, &code))
        return Status::InvalidArgument(name + " takes an owner code of 1 to 4 digits, not " + value);
      (name == "--from-owner" ? request->from_owner : request->to_owner) = code;
    } else if (name == "--owner-nifs") {
      if (value.empty()) return Status::InvalidArgument("--owner-nifs needs a file");
      request->nif_file = value;
    } else if (name == "--epigraph") {
      if (value.size() < 3 || value.size() > 4 || !AllDigits(value))
        return Status::InvalidArgument("--epigraph takes an IAE group or epigraph of 3 or 4 digits, not " + value);
      request->epigraph = value;
    } else {
      return Status::InvalidArgument("unknown option " + name);
    }
  }
  if (!year) return Status::InvalidArgument("--year is missing");
  if (!quarter) return Status::InvalidArgument("--quarter is missing");
  if (request->out_dir.empty()) return Status::InvalidArgument("--out is missing");
  if (request->from_owner > request->to_owner)
    return Status::InvalidArgument("--from-owner " + Owner(request->from_owner) + " lies after --to-owner " +
                                   Owner(request->to_owner));
  return Status::Ok();
}

int RunZovllibres(platform::Env& env, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool progress) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage;
    return books::kExitAllValid;
  }
  BooksRequest request;
  if (Status s = ParseBooksArguments(args, &request); !s.ok()) {
    err << "zovllibres: " << s.message() << "\n" << kUsage;
    return books::kExitCannotRun;
  }
  return books::RunBooks(env, request, out, err, progress);
}

}  // namespace zov::tools
