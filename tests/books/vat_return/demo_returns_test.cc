// The demo installation's returns, read back by an independent reader
// (read_303.py cuts the files by the published lengths) and set against the
// register's own lines: each owner's CSV rows of the year from a run of the
// register, with the exempt amount of each line from its printed register.
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/run.h"
#include "books/vat_return/design_text.h"
#include "books/vat_return/owner_returns.h"
#include "books/vat_return/vat_consumer.h"
#include "datafiles/data_files.h"
#include "format/chars.h"
#include "format/format_state.h"
#include "format/packed.h"
#include "gtest/gtest.h"
#include "platform/native_env.h"
#include "platform/recman/record_managers.h"
#include "platform/testing/fake_env.h"
#include "platform/text_lines.h"
#include "register/walk_events.h"
#include "session/session.h"
#include "session/session_setup.h"
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

// A register line as the register's outputs show it.
struct RegisterLine {
  int quarter = 0;
  std::string key;  // operation key
  int64_t base = 0, rate = 0, vat = 0, exempt = 0;
};

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
    std::vector<std::string> lines;
    EXPECT_TRUE(platform::ReadTextLines(*fs, root() + "owners-nif.csv", &lines).ok());
    for (const std::string& line : lines) {
      const Fields f = Split(line, ';');
      if (f.size() == 2) nifs[f[0]] = f[1];
    }
  }

  std::string root() const { return dir() + "root/"; }
  std::string out(int quarter) const { return dir() + "out" + std::to_string(quarter) + "/"; }

  // The returns of the quarter in out<quarter>/, walked in this process.
  std::vector<OwnerOutcome> Returns(int quarter) {
    std::vector<OwnerOutcome> outcomes;
    EXPECT_TRUE(fs->CreateDirectory(out(quarter)).ok());
    session::Session session;
    format::FormatState format_state;
    session::SetUpSession(env, session, format_state);
    datafiles::DataFileTable table;
    auto records = std::make_unique<reg::RecordVariables>();
    for (int16_t number : reg::kWalkFiles) {
      const std::string path = session.data_root + "DADES\\" + std::string(reg::FindDataFileSpec(number)->name);
      EXPECT_EQ(datafiles::OpenDataFile(env, session, table, number, path, records->ForFile(number)), 0) << path;
    }
    const ReturnSettings settings{{2026, quarter}};
    OwnerReturns returns(
        *fs, *FindDesign(2026), settings, out(quarter),
        [this](std::string_view code) {
          auto it = nifs.find(std::string(code));
          return it == nifs.end() ? nullptr : &it->second;
        },
        [&outcomes](const OwnerOutcome& o) { outcomes.push_back(o); });
    VatConsumer consumer(settings.period, [&returns](const OwnerFigures& f) { returns.Owner(f); });
    reg::RunParameters params;
    params.date_from = format::PackDigits("20260101");
    params.date_to = format::PackDigits(format::ZeroPad(settings.period.last_day(), 8));
    params.receipt_key = reg::kReceiptKeyByIssueDate;
    params.property_from = format::PackDigits("000100010001");
    params.property_to = format::PackDigits("999999999999");
    params.class_to = "\xFF\xFF";
    params.include_flag_s = params.include_flag_n = true;
    reg::WalkConsumer* consumers[] = {&consumer};
    EXPECT_TRUE(reg::WalkRegister(env, table, *records, params, consumers).ok());
    EXPECT_EQ(datafiles::ResetDataFiles(env, table), 0);
    return outcomes;
  }

  // Each file of out<quarter>/ as read_303.py reads it: file name -> key -> value.
  std::map<std::string, std::map<std::string, std::string>> ReadBack(int quarter) {
    std::vector<platform::DirEntry> entries;
    EXPECT_TRUE(fs->ListDirectory(out(quarter), &entries).ok());
    std::string command = "PYTHONIOENCODING=utf-8 exec /usr/bin/python3 '" + std::string(VAT_RETURN_TESTDATA) +
                          "read_303.py'";
    for (const auto& e : entries) command += " '" + out(quarter) + e.name + "'";
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

  // The owner's register lines of 2026: a run of the register over the year
  // for that owner alone, CSV rows paired in order with its printed lines.
  std::vector<RegisterLine> RegisterLines(const std::string& owner) {
    std::vector<std::string> pent(23, "");
    pent[0] = "1/1/2026";
    pent[1] = "31/12/2026";
    pent[3] = pent[4] = owner;
    pent[6] = "9999";
    pent[20] = pent[21] = pent[22] = "S";
    std::string text;
    for (const std::string& l : pent) text += l + "\r\n";
    EXPECT_TRUE(fs->WriteFile(root() + "tmp/pent.tmp", text).ok());
    EXPECT_EQ(app::Run(env), app::kExitOk);
    std::vector<RegisterLine> lines;
    std::vector<platform::DirEntry> entries;
    EXPECT_TRUE(fs->ListDirectory(dir() + "csv/", &entries).ok());
    EXPECT_LE(entries.size(), 1u);
    for (const auto& e : entries) {
      const std::string path = dir() + "csv/" + e.name;
      std::vector<std::string> rows;
      EXPECT_TRUE(platform::ReadTextLines(*fs, path, &rows).ok());
      for (std::size_t i = 1; i < rows.size(); ++i) {
        const Fields f = Split(rows[i], ';');
        RegisterLine l;
        l.quarter = f[1][0] - '0';
        l.key = f[17];
        l.base = Hundredths(f[21]);
        l.rate = Hundredths(f[22]);
        l.vat = Hundredths(f[23]);
        lines.push_back(l);
      }
      EXPECT_TRUE(fs->DeleteFile(path).ok());
    }
    // The exempt amount at column 65 of each printed line (after its
    // invoice number at column 45).
    std::vector<std::string> print;
    EXPECT_TRUE(platform::ReadTextLines(*fs, root() + "tmp/dozudizi.tmp", &print).ok());
    std::size_t next = 0;
    bool in_line = false;
    for (const std::string& item : print) {
      const Fields f = Split(item, ',');
      if (f.size() < 3) continue;
      const std::string column(format::TrimBlanks(f[0]));
      if (column == "45") in_line = f[1].size() == 8 && f[1].find_first_not_of("0123456789") == std::string::npos;
      if (column == "65" && in_line && next < lines.size()) {
        lines[next++].exempt = Hundredths(f[1] + "," + f[2]);
        in_line = false;
      }
    }
    EXPECT_EQ(next, lines.size());
    return lines;
  }

  platform::FakeEnv fake{platform::FakeEnv::Files::kReal};
  platform::Env& env = fake.env;
  platform::FakeEnvironment& environment = fake.environment;
  platform::FileSystem* fs = &fake.base_fs();
  std::unique_ptr<platform::RecordManager> rm = platform::NewSqliteRecordManager();
  std::map<std::string, std::string> nifs;

 private:
  const std::string& dir() const { return fake.root(); }
};

// What the return must say for the register's lines up to the quarter.
std::map<std::string, int64_t> Expected(const std::vector<RegisterLine>& lines, int quarter, bool* liable) {
  std::map<std::string, int64_t> boxes;
  const std::map<int64_t, std::pair<std::string, std::string>> rows = {
      {400, {"01", "03"}}, {1000, {"04", "06"}}, {2100, {"07", "09"}}};
  int64_t output = 0, year_base = 0, year_exempt = 0, year_outside = 0;
  *liable = false;
  for (const RegisterLine& l : lines) {
    if (l.quarter > quarter) continue;
    const bool now = l.quarter == quarter;
    if (l.key == "08") {  // IGIC/IPSI area
      year_outside += l.base + l.exempt;
      if (now) boxes["120"] += l.base + l.exempt;
      continue;
    }
    year_exempt += l.exempt;
    if (l.key == "01" && l.vat == 0) {
      year_exempt += l.base;
      continue;
    }
    *liable = true;
    year_base += l.base;
    if (!now) continue;
    if (l.base < 0 || l.vat < 0) {
      boxes["14"] += l.base;
      boxes["15"] += l.vat;
    } else {
      boxes[rows.at(l.rate).first] += l.base;
      boxes[rows.at(l.rate).second] += l.vat;
    }
    output += l.vat;
  }
  for (const char* box : {"27", "46", "64", "66", "69", "71"}) boxes[box] = output;
  boxes["65"] = 10000;
  if (quarter == 4) {
    boxes["80"] = year_base;
    boxes["83"] = year_exempt;
    boxes["84"] = year_outside;
    boxes["88"] = year_base + year_exempt + year_outside;
  }
  return boxes;
}

TEST(DemoReturnsTest, ReadBackTheyAgreeWithTheRegister) {
  DemoInstallation demo;
  std::map<std::string, std::vector<RegisterLine>> register_lines;
  for (int quarter : {3, 4}) {
    SCOPED_TRACE("quarter " + std::to_string(quarter));
    const std::vector<OwnerOutcome> outcomes = demo.Returns(quarter);
    ASSERT_FALSE(outcomes.empty());
    const auto files = demo.ReadBack(quarter);
    std::size_t written = 0;
    for (const OwnerOutcome& o : outcomes) {
      SCOPED_TRACE("owner " + o.code);
      if (!register_lines.count(o.code)) register_lines[o.code] = demo.RegisterLines(o.code);
      bool liable = false;
      const std::map<std::string, int64_t> expected = Expected(register_lines[o.code], quarter, &liable);
      EXPECT_EQ(o.status, liable ? ReturnStatus::kValid : ReturnStatus::kNotLiable);
      if (!liable) continue;
      ++written;
      ASSERT_TRUE(files.count(o.file)) << o.file;
      const auto& read = files.at(o.file);
      int blanked = 0;
      EXPECT_EQ(read.at("nif"), o.nif);
      EXPECT_EQ(read.at("name"), Latin1ToUtf8(format::TrimTrailingBlanks(DesignText(o.name, &blanked))));
      EXPECT_EQ(read.at("year"), "2026");
      EXPECT_EQ(read.at("period"), std::to_string(quarter) + "T");
      const int64_t result = expected.at("71");
      EXPECT_EQ(read.at("type"), result > 0 ? "I" : result == 0 ? "N" : "C");
      EXPECT_EQ(read.count("80"), quarter == 4 ? 1u : 0u);
      for (const auto& [key, value] : read) {
        if (key.empty() || key[0] < '0' || key[0] > '9') continue;
        auto it = expected.find(key);
        const int64_t want = it == expected.end() ? 0 : it->second;
        if (key == "02" || key == "05" || key == "08" || key == "157" || key == "169" || key == "20" ||
            key == "23")
          continue;  // the rows' fixed rates
        EXPECT_EQ(value, std::to_string(want)) << "box " << key;
      }
    }
    EXPECT_EQ(files.size(), written);
  }
}

}  // namespace
}  // namespace zov::books::vat
