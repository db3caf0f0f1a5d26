// The demo installation's returns of the third and fourth quarters, written
// by a whole run, read back by an independent reader (read_303.py cuts the
// files by the published lengths) and set against the register's own VAT
// summary by rate, printed by a run of the register over the quarter (and
// over the year to the quarter's end for the annual page and for who is
// liable).
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/run.h"
#include "books/vat_return/design_text.h"
#include "books/vat_return/vat_returns_run.h"
#include "format/chars.h"
#include "format/packed.h"
#include "gtest/gtest.h"
#include "platform/native_env.h"
#include "platform/recman/record_managers.h"
#include "platform/testing/fake_env.h"
#include "platform/text_lines.h"
#include "tools/demo/demo.h"

namespace zov::books::vat {
namespace {

using Fields = std::vector<std::string>;

Fields Split(std::string_view line, char separator) {
  Fields fields;
  std::size_t start = 0;
  for (std::size_t at; (at = line.find(separator, start)) != std::string_view::npos; start = at + 1)
    fields.emplace_back(line.substr(start, at - start));
  fields.emplace_back(line.substr(start));
  return fields;
}

// "   1.234,56 " or "  12,00-": hundredths.
int64_t Hundredths(std::string_view text) {
  int64_t v = 0;
  for (char c : text)
    if (c >= '0' && c <= '9') v = v * 10 + (c - '0');
  return text.find('-') == std::string_view::npos ? v : -v;
}

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string out;
  for (char c : latin1) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

// One total line of an owner's VAT summary in the printed register.
struct Slot {
  int64_t rate = 0, exempt = 0, base = 0, vat = 0;
};
using Summaries = std::map<std::string, std::vector<Slot>>;  // by owner code

class DemoInstallation {
 public:
  DemoInstallation() {
    env.record_manager = rm.get();
    tools::DemoRequest request;
    request.dir = root();
    tools::demo::DemoCounts counts;
    const platform::Status built = tools::BuildDemoInstallation(env, request, &counts);
    EXPECT_TRUE(built.ok()) << built.message();
    EXPECT_TRUE(fs->CreateDirectory(dir() + "csv").ok());
    environment.Set("ZOVROOT", root());
    environment.Set("ZOVTMP", root() + "tmp/");
    environment.Set("TEMP", dir() + "csv/");
  }

  std::string root() const { return dir() + "root/"; }
  std::string out(int quarter) const { return dir() + "out" + std::to_string(quarter) + "/"; }

  // zov303's run for the quarter into out<quarter>/; the manifest's lines
  // split into fields, heading first.
  std::vector<Fields> Returns(int quarter) {
    VatRunRequest request;
    request.year = 2026;
    request.quarter = quarter;
    request.out_dir = out(quarter);
    VatRunResult result;
    const platform::Status s = RunVatReturns(env, request, nullptr, &result);
    EXPECT_TRUE(s.ok()) << s.message();
    EXPECT_TRUE(result.all_valid()) << result.summary;
    std::vector<std::string> lines;
    EXPECT_TRUE(platform::ReadTextLines(*fs, out(quarter) + "manifest.csv", &lines).ok());
    std::vector<Fields> manifest;
    for (const std::string& line : lines) manifest.push_back(Split(line, ';'));
    return manifest;
  }

  // Each return of out<quarter>/ as read_303.py reads it: file name -> key -> value.
  std::map<std::string, std::map<std::string, std::string>> ReadBack(int quarter) {
    std::vector<platform::DirEntry> entries;
    EXPECT_TRUE(fs->ListDirectory(out(quarter), &entries).ok());
    std::string command = "PYTHONIOENCODING=utf-8 exec /usr/bin/python3 '" + std::string(VAT_RETURN_TESTDATA) +
                          "read_303.py'";
    for (const auto& e : entries)
      if (e.name.ends_with(".txt")) command += " '" + out(quarter) + e.name + "'";
    const std::string text_path = dir() + "read.txt", err_path = dir() + "read.err";
    command += " >'" + text_path + "' 2>'" + err_path + "'";
    int exit_code = -1;
    EXPECT_TRUE(platform::NewNativeProcessRunner()->RunAndWait("/bin/sh", {"-c", command}, &exit_code).ok());
    std::string text, err;
    EXPECT_TRUE(fs->ReadFile(text_path, &text).ok());
    EXPECT_TRUE(fs->ReadFile(err_path, &err).ok());
    EXPECT_EQ(exit_code, 0) << err;
    std::map<std::string, std::map<std::string, std::string>> files;
    std::string file;
    for (std::string_view line : platform::SplitLines(text)) {
      const Fields f = Split(line, '\t');
      if (f.size() != 2) continue;
      if (f[0] == "file") file = f[1];
      files[file][f[0]] = f[1];
    }
    return files;
  }

  // Every owner's VAT summary printed by a run of the register from `from`
  // to `to` (D/M/YYYY) over every owner, flagged S and N: after "TOTAL " at
  // column 45, one line per rate with the sums at columns 65 (exempt), 80
  // (base), 95 (rate) and 101 (VAT), up to the line of "=". The owner is
  // that of the property code ("3.1.1") printed last at column 1.
  Summaries VatSummaries(const std::string& from, const std::string& to) {
    std::vector<std::string> pent(23, "");
    pent[0] = from;
    pent[1] = to;
    pent[6] = "9999";
    pent[20] = pent[21] = "S";
    pent[22] = "N";
    std::string text;
    for (const std::string& l : pent) text += l + "\r\n";
    EXPECT_TRUE(fs->WriteFile(root() + "tmp/pent.tmp", text).ok());
    EXPECT_EQ(app::Run(env), app::kExitOk);
    std::vector<std::string> print;
    EXPECT_TRUE(platform::ReadTextLines(*fs, root() + "tmp/dozudizi.tmp", &print).ok());
    Summaries summaries;
    std::string owner;
    bool in_totals = false;
    Slot slot;
    for (const std::string& item : print) {
      const std::size_t first = item.find(','), last = item.rfind(',');
      if (first == std::string::npos || first == last) continue;
      const std::string column(format::TrimBlanks(item.substr(0, first)));
      const std::string value = item.substr(first + 1, last - first - 1);
      if (column == "1") {
        const Fields code = Split(value, '.');
        if (code.size() == 3) owner = format::ZeroPad(std::stoi(code[0]), 4);
      } else if (column == "45") {
        in_totals = value == "TOTAL ";
      } else if (in_totals && column == "65") {
        slot = Slot{.exempt = Hundredths(value)};
      } else if (in_totals && column == "80") {
        slot.base = Hundredths(value);
      } else if (in_totals && column == "95") {
        slot.rate = Hundredths(value);
      } else if (in_totals && column == "101") {
        slot.vat = Hundredths(value);
        summaries[owner].push_back(slot);
      }
    }
    return summaries;
  }

  platform::FakeEnv fake{platform::FakeEnv::Files::kReal};
  platform::Env& env = fake.env;
  platform::FakeEnvironment& environment = fake.environment;
  platform::FileSystem* fs = &fake.base_fs();
  std::unique_ptr<platform::RecordManager> rm = platform::NewSqliteRecordManager();

 private:
  const std::string& dir() const { return fake.root(); }
};

// What the return of the quarter must say, from the register's summaries of
// the quarter and of the year to the quarter's end: each rate's sums that
// carry VAT in its row, every result their VAT; in the fourth quarter the
// year's bases with VAT, the exempt rest and their sum. Liable: VAT in the
// year to the quarter's end.
std::map<std::string, int64_t> Expected(const std::vector<Slot>& quarter, const std::vector<Slot>& year_to_date,
                                        bool annual, bool* liable) {
  const std::map<int64_t, std::pair<std::string, std::string>> rows = {
      {400, {"01", "03"}}, {1000, {"04", "06"}}, {2100, {"07", "09"}}};
  std::map<std::string, int64_t> boxes;
  int64_t output = 0;
  for (const Slot& s : quarter) {
    if (s.vat == 0) continue;
    boxes[rows.at(s.rate).first] += s.base;
    boxes[rows.at(s.rate).second] += s.vat;
    output += s.vat;
  }
  for (const char* box : {"27", "46", "64", "66", "69", "71"}) boxes[box] = output;
  boxes["65"] = 10000;
  int64_t year_base = 0, year_exempt = 0;
  *liable = false;
  for (const Slot& s : year_to_date) {
    year_exempt += s.exempt;
    (s.vat != 0 ? year_base : year_exempt) += s.base;
    *liable = *liable || s.vat != 0;
  }
  if (annual) {
    boxes["80"] = year_base;
    boxes["83"] = year_exempt;
    boxes["88"] = year_base + year_exempt;
  }
  return boxes;
}

TEST(DemoReturnsTest, ReadBackTheyEqualTheRegistersVatSummary) {
  DemoInstallation demo;
  const std::map<int, std::pair<std::string, std::string>> dates = {{3, {"1/7/2026", "30/9/2026"}},
                                                                    {4, {"1/10/2026", "31/12/2026"}}};
  for (const auto& [quarter, range] : dates) {
    SCOPED_TRACE("quarter " + std::to_string(quarter));
    const std::vector<Fields> manifest = demo.Returns(quarter);
    const auto files = demo.ReadBack(quarter);
    const Summaries summaries = demo.VatSummaries(range.first, range.second);
    const Summaries year = demo.VatSummaries("1/1/2026", range.second);
    ASSERT_GT(manifest.size(), 1u);
    std::size_t written = 0;
    for (std::size_t i = 1; i < manifest.size(); ++i) {
      const Fields& m = manifest[i];
      SCOPED_TRACE("owner " + m[0]);
      bool liable = false;
      const auto quarter_slots = summaries.count(m[0]) ? summaries.at(m[0]) : std::vector<Slot>();
      const std::map<std::string, int64_t> expected = Expected(quarter_slots, year.at(m[0]), quarter == 4, &liable);
      EXPECT_EQ(m[4], liable ? "valid" : "not liable");
      if (!liable) continue;
      ++written;
      ASSERT_TRUE(files.count(m[3])) << m[3];
      const auto& read = files.at(m[3]);
      int blanked = 0;
      EXPECT_EQ(read.at("nif"), m[2]);
      EXPECT_EQ(read.at("name"), Latin1ToUtf8(format::TrimTrailingBlanks(DesignText(m[1], &blanked))));
      EXPECT_EQ(read.at("year"), "2026");
      EXPECT_EQ(read.at("period"), std::to_string(quarter) + "T");
      const int64_t result = expected.at("71");
      EXPECT_EQ(read.at("type"), result > 0 ? "I" : result == 0 ? "N" : "C");
      EXPECT_EQ(read.count("80"), quarter == 4 ? 1u : 0u);
      for (const auto& [key, value] : read) {
        if (key.empty() || key[0] < '0' || key[0] > '9') continue;
        if (key == "02" || key == "05" || key == "08" || key == "157" || key == "169" || key == "20" || key == "23")
          continue;  // the rows' fixed rates
        auto it = expected.find(key);
        EXPECT_EQ(value, std::to_string(it == expected.end() ? 0 : it->second)) << "box " << key;
      }
    }
    EXPECT_EQ(files.size(), written);
  }
}

}  // namespace
}  // namespace zov::books::vat
