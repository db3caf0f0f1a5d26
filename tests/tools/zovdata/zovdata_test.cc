#include "tools/zovdata/zovdata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "datafiles/data_files.h"
#include "datafiles/description_file.h"
#include "datafiles/record_ops.h"
#include "platform/code_page.h"
#include "platform/coding.h"
#include "platform/native_env.h"
#include "platform/recman/record_managers.h"
#include "platform/testing/fake_env.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_environment.h"
#include "platform/testing/temp_dir.h"
#include "session/session.h"
#include "tools/zovdata/command_line.h"
#include "tools/zovdata/suite_files.h"
#include "tests/platform/recman/damaged_index.h"

namespace zov::tools {
namespace {

// Real files and the engine; the rest fake.
struct Installation {
  platform::TempDir dir;
  std::unique_ptr<platform::FileSystem> fs = platform::NewNativeFileSystem();
  std::unique_ptr<platform::RecordManager> rm = platform::NewSqliteRecordManager();
  platform::FakeEnv fake;
  platform::Env env = fake.env;

  Installation() {
    env.fs = fs.get();
    env.record_manager = rm.get();
    EXPECT_TRUE(fs->CreateDirectory(dir.path() + "DADES").ok());
  }
  std::string Data(const std::string& name) const { return dir.path() + "DADES/" + name + ".dat"; }
  std::string Xdf(const std::string& name) const { return dir.path() + "ddf/" + name + ".xdf"; }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir.path() + name;
    EXPECT_TRUE(fs->WriteFile(path, bytes).ok());
    return path;
  }
  // Describes everything and creates one data file.
  void Create(const std::string& name) {
    ASSERT_TRUE(WriteDescriptions(*fs, dir.path() + "ddf").ok());
    platform::Status s = CreateDataFile(env, Data(name), Xdf(name));
    ASSERT_TRUE(s.ok()) << s.message();
  }
  std::vector<std::string> Dump(const std::string& name, int key = 0) {
    std::vector<std::string> lines;
    platform::Status s =
        ForEachRecord(env, Data(name), key, [&](std::string_view r) { lines.push_back(std::string(r)); });
    EXPECT_TRUE(s.ok()) << s.message();
    return lines;
  }
  int Run(const std::vector<std::string>& args, std::string* out, std::string* err) {
    std::ostringstream o, e;
    const int code = RunZovdata(env, args, o, e);
    *out = o.str();
    *err = e.str();
    return code;
  }
};

// A 68-byte receipt: property code, issue date, collection date, invoice number.
std::string Receipt(std::string_view property, std::string_view issued, std::string_view collected,
                    std::string_view invoice) {
  std::string r(68, ' ');
  r.replace(0, 6, property);
  r.replace(8, 4, issued);
  r.replace(24, 4, collected);
  r.replace(28, 4, invoice);
  return r;
}

TEST(Zovdata, EveryDescriptionCreatesAFileOfItsShape) {
  Installation inst;
  ASSERT_TRUE(WriteDescriptions(*inst.fs, inst.dir.path() + "ddf").ok());
  for (const SuiteFile& f : SuiteDataFiles()) {
    const std::string name(f.name);
    SCOPED_TRACE(name);
    platform::Status s = CreateDataFile(inst.env, inst.Data(name), inst.Xdf(name));
    ASSERT_TRUE(s.ok()) << s.message();
    platform::FileSpec stats;
    s = ReadFileStats(inst.env, inst.Data(name), &stats);
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(stats.record_length, f.spec.record_length);
    EXPECT_EQ(stats.record_count, 0u);
    ASSERT_EQ(stats.keys.size(), f.spec.keys.size());
    for (std::size_t k = 0; k < stats.keys.size(); ++k) {
      ASSERT_EQ(stats.keys[k].size(), f.spec.keys[k].size()) << "key " << k;
      for (std::size_t i = 0; i < stats.keys[k].size(); ++i) {
        EXPECT_EQ(stats.keys[k][i].position, f.spec.keys[k][i].position) << "key " << k;
        EXPECT_EQ(stats.keys[k][i].length, f.spec.keys[k][i].length) << "key " << k;
        EXPECT_EQ(stats.keys[k][i].flags & ~platform::kSegContinues, f.spec.keys[k][i].flags) << "key " << k;
      }
    }
  }
}

// The register run's own open creates its twelve files from the descriptions
// that describe wrote, and reads them by the keys it uses.
TEST(Zovdata, RegisterOpenCreatesEveryFileFromTheDescriptions) {
  Installation inst;
  ASSERT_TRUE(WriteDescriptions(*inst.fs, inst.dir.path() + "ddf").ok());
  session::Session session;
  session.data_root = inst.dir.path();
  datafiles::DataFileTable table;
  std::vector<std::string> records(SuiteDataFiles().size());
  int16_t number = 1;
  for (std::size_t i = 0; i < SuiteDataFiles().size(); ++i) {
    const SuiteFile& f = SuiteDataFiles()[i];
    records[i].assign(f.spec.record_length, '\0');
    const int16_t st = datafiles::OpenDataFile(inst.env, session, table, number++,
                                               session.data_root + "DADES\\" + std::string(f.name), records[i]);
    ASSERT_EQ(st, 0) << f.name << ": " << table.fatal_message;
    EXPECT_EQ(datafiles::OpenEntry(table, static_cast<int16_t>(number - 1))->record_length, f.spec.record_length);
  }
  EXPECT_EQ(datafiles::ResetDataFiles(inst.env, table), 0);

  // Receipts read back through keys 1 and 2 as the register reads them.
  const std::string a1 = Receipt("\x81\x81\x81\x81\x81\x81", "\x94\x9A\x81\x8A", "\x80\x80\x80\x80", "\x80\x80\x80\x81");
  const std::string a2 = Receipt("\x81\x81\x81\x81\x81\x81", "\x94\x9A\x81\x81", "\x94\x9A\x81\x8F", "\x80\x80\x80\x82");
  uint64_t loaded = 0;
  platform::Status s = InsertRecords(inst.env, inst.Data("VCobros"), a1 + a2, "receipts", &loaded);
  ASSERT_TRUE(s.ok()) << s.message();
  std::array<char, 68> receipt{};
  ASSERT_EQ(datafiles::OpenDataFile(inst.env, session, table, 17, session.data_root + "DADES\\VCobros", receipt), 0);
  EXPECT_EQ(datafiles::ReadByKey(inst.env, table, 17, 1, "\x81\x81\x81\x81\x81\x81", 1), 0);
  EXPECT_EQ(std::string(receipt.data(), 68), a2) << "key 1 orders by issue date";
  EXPECT_EQ(datafiles::ReadByKey(inst.env, table, 17, 2, "\x81\x81\x81\x81\x81\x81", 1), 0);
  EXPECT_EQ(std::string(receipt.data(), 68), a1) << "key 2 puts the unpaid receipt (zero date) first";
  EXPECT_EQ(datafiles::ReadStep(inst.env, table, 17, 1), 0);
  EXPECT_EQ(std::string(receipt.data(), 68), a2);
  EXPECT_EQ(datafiles::ReadStep(inst.env, table, 17, 1), 9);
  EXPECT_EQ(datafiles::ResetDataFiles(inst.env, table), 0);
}

TEST(Zovdata, LoadThenDumpInTheOrderOfEachKey) {
  Installation inst;
  inst.Create("VCobros");
  const std::string p1 = "\x81\x81\x81\x81\x81\x81", p2 = "\x81\x81\x81\x81\x81\x82";
  const std::string r1 = Receipt(p2, "\x94\x9A\x81\x81", "\x80\x80\x80\x80", "\x80\x80\x80\x83");
  const std::string r2 = Receipt(p1, "\x94\x9A\x81\x8A", "\x94\x9A\x81\x8B", "\x80\x80\x80\x82");
  const std::string r3 = Receipt(p1, "\x94\x9A\x81\x82", "\x94\x9A\x82\x81", "\x80\x80\x80\x81");
  const std::string r4 = Receipt(p1, "\x94\x9A\x81\x82", "\x80\x80\x80\x80", "\x80\x80\x80\x81");  // same key 0 as r3
  uint64_t loaded = 0;
  platform::Status s = LoadRecords(inst.env, inst.Data("VCobros"), inst.Write("r.bin", r1 + r2 + r3 + r4), &loaded);
  ASSERT_TRUE(s.ok()) << s.message();
  EXPECT_EQ(loaded, 4u);
  struct Case {
    int key;
    std::vector<std::string> order;
  };
  const Case cases[] = {
      {0, {r3, r4, r2, r1}},
      {1, {r3, r4, r2, r1}},
      {2, {r4, r2, r3, r1}},
  };
  for (const Case& c : cases) EXPECT_EQ(inst.Dump("VCobros", c.key), c.order) << "key " << c.key;

  std::string out, err;
  ASSERT_EQ(inst.Run({"dump", inst.Data("VCobros"), "--key", "2"}, &out, &err), 0) << err;
  EXPECT_EQ(out, HexLine(r4) + "\n" + HexLine(r2) + "\n" + HexLine(r3) + "\n" + HexLine(r1) + "\n");
  EXPECT_EQ(out.find_first_not_of("0123456789abcdef\n"), std::string::npos);
  ASSERT_EQ(inst.Run({"stat", inst.Data("VCobros")}, &out, &err), 0) << err;
  EXPECT_NE(out.find("record length: 68\n"), std::string::npos) << out;
  EXPECT_NE(out.find("records: 4\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  position 25, length 4, flags 0x0001 (duplicates), type 0 (string)\n"), std::string::npos)
      << out;
}

// `zovdata check`: a file whose index entry disagrees with its record is
// damaged (what SQLite and the engine found listed under it), sound files
// are sound, a file that is not there or not a data file is not checked;
// without FILE every data file of ZOVROOT's DADES folder is checked.
TEST(Zovdata, CheckSaysWhichFilesAreDamaged) {
  Installation inst;
  inst.Create("VCobros");
  inst.Create("VGrups");
  const std::string p1 = "\x81\x81\x81\x81\x81\x81", p2 = "\x81\x81\x81\x81\x81\x82";
  const std::string r1 = Receipt(p1, "\x94\x9A\x89\x8F", "\x80\x80\x80\x80", "\x80\x80\x80\x81");
  const std::string r2 = Receipt(p2, "\x94\x9A\x8A\x85", "\x80\x80\x80\x80", "\x80\x80\x80\x82");
  uint64_t loaded = 0;
  ASSERT_TRUE(LoadRecords(inst.env, inst.Data("VCobros"), inst.Write("r.bin", r1 + r2), &loaded).ok());
  inst.rm.reset();  // every file closed
  platform::FakeEnvironment environment;
  inst.env.environment = &environment;
  std::string out, err;
  ASSERT_EQ(inst.Run({"check", inst.Data("VCobros")}, &out, &err), 0) << out << err;
  EXPECT_EQ(out, inst.Data("VCobros") + ": sound\n1 file checked: 0 damaged, 0 not checked\n");

  // The index entry of r1 says October (0x8A), its record September (0x89).
  std::string error;
  ASSERT_TRUE(platform::test::DamageIndexEntry(inst.Data("VCobros"), "zov_key0", p1 + "\x94\x9A\x89\x8F",
                                               p1 + "\x94\x9A\x8A\x8F", &error))
      << error;
  struct Case {
    std::vector<std::string> args;
    std::string zovroot;
    int code;
    std::vector<std::string> lines;  // the first lines of the output, each as it starts
  } cases[] = {
      {{"check", inst.Data("VCobros")}, "", 1,
       {inst.Data("VCobros") + ": damaged", "  ", "1 file checked: 1 damaged, 0 not checked"}},
      {{"check", inst.Data("VGrups"), inst.Data("VDepBase"), inst.Xdf("VGrups")}, "", 1,
       {inst.Data("VGrups") + ": sound", inst.Data("VDepBase") + ": not checked: file not found (status 12)",
        inst.Xdf("VGrups") + ": not checked: not a data file (status 30)",
        "3 files checked: 0 damaged, 2 not checked"}},
      {{"check"}, inst.dir.path(), 1,
       {inst.Data("VCobros") + ": damaged", "  ", inst.Data("VGrups") + ": sound",
        "2 files checked: 1 damaged, 0 not checked"}},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    SCOPED_TRACE(joined + " ZOVROOT=" + c.zovroot);
    environment.Set("ZOVROOT", c.zovroot);
    EXPECT_EQ(inst.Run(c.args, &out, &err), c.code) << err;
    EXPECT_EQ(err, "");
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
      // Findings after the first are folded into the first.
      if (line.rfind("  ", 0) == 0 && !lines.empty() && lines.back().rfind("  ", 0) == 0) continue;
      lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), c.lines.size()) << out;
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].rfind(c.lines[i], 0), 0u) << out;
  }
  EXPECT_NE(out.find("zov_key0"), std::string::npos) << "the damaged index is named\n" << out;
  environment.Unset("ZOVROOT");
  EXPECT_EQ(inst.Run({"check"}, &out, &err), 2);
  EXPECT_EQ(err, "zovdata check: no FILE named and ZOVROOT is not set; see \"zovdata check --help\"\n");
}

// Records a file refuses: the load is refused whole and the file keeps what
// it had.
TEST(Zovdata, RefusedLoadLeavesTheFileAsItWas) {
  const std::string o1 = std::string("\x80\x81") + std::string(826, 'a');
  const std::string o2 = std::string("\x80\x82") + std::string(826, 'b');
  const std::string o3 = std::string("\x80\x83") + std::string(826, 'c');
  struct Case {
    const char* what;
    std::string records;
    std::string message_part;
  };
  const Case cases[] = {
      {"one byte short", o2 + o3.substr(1), "1655 bytes is not a whole number of 828-byte records"},
      {"one byte over", o2 + o3 + "x", "1657 bytes is not a whole number"},
      {"duplicate within the load", o2 + o3 + o2, "record 3 of 3 (bytes 1656 to 2483)"},
      {"duplicate of a stored record", o2 + o1, "record 2 of 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Installation inst;
    inst.Create("VPropiet");
    uint64_t loaded = 0;
    ASSERT_TRUE(InsertRecords(inst.env, inst.Data("VPropiet"), o1, "first", &loaded).ok());
    const std::string path = inst.Write("owners.bin", c.records);
    platform::Status s = LoadRecords(inst.env, inst.Data("VPropiet"), path, &loaded);
    EXPECT_FALSE(s.ok());
    EXPECT_EQ(loaded, 0u);
    EXPECT_NE(s.message().find(c.message_part), std::string::npos) << s.message();
    EXPECT_NE(s.message().find("nothing loaded"), std::string::npos) << s.message();
    EXPECT_EQ(s.message().find('\n'), std::string::npos);
    EXPECT_EQ(inst.Dump("VPropiet"), std::vector<std::string>{o1});

    std::string out, err;
    EXPECT_EQ(inst.Run({"load", inst.Data("VPropiet"), path}, &out, &err), 1);
    EXPECT_EQ(err, "zovdata: " + s.message() + "\n");
  }
}

TEST(Zovdata, FailuresNameTheFileAndTheStatus) {
  Installation inst;
  inst.Create("VGrups");
  const std::string missing = inst.Data("VNoHiEs");
  std::string truncated = datafiles::EncodeDescription(FindSuiteFile("VGrups")->spec);
  truncated.pop_back();
  const std::string bad_xdf = inst.Write("bad.xdf", truncated);
  struct Case {
    std::vector<std::string> args;
    std::string message;  // the whole line on standard error
  };
  const Case cases[] = {
      {{"stat", missing}, "zovdata: " + missing + ": cannot open: file not found (status 12)\n"},
      {{"dump", missing}, "zovdata: " + missing + ": cannot open: file not found (status 12)\n"},
      {{"load", missing, bad_xdf}, "zovdata: " + missing + ": cannot open: file not found (status 12)\n"},
      {{"load", inst.Data("VGrups"), inst.dir.path() + "none.bin"}, ""},
      {{"create", inst.Data("VGrups"), inst.Xdf("VGrups")},
       "zovdata: " + inst.Data("VGrups") + ": cannot create: file already exists (status 59)\n"},
      {{"create", inst.Data("VNou"), inst.dir.path() + "none.xdf"}, ""},
      {{"create", inst.Data("VNou"), bad_xdf}, "zovdata: " + bad_xdf +
                                                   ": not a description file (33 bytes; a 2-byte count and that "
                                                   "many bytes expected)\n"},
      {{"dump", inst.Data("VGrups"), "--key", "1"},
       "zovdata: " + inst.Data("VGrups") + ": no key 1 (the file has 1 key, numbered from 0)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    std::string out, err;
    EXPECT_EQ(inst.Run(c.args, &out, &err), 1);
    EXPECT_EQ(out, "");
    if (!c.message.empty()) {
      EXPECT_EQ(err, c.message);
    } else {
      EXPECT_EQ(err.rfind("zovdata: " + c.args[2] + ": cannot read", 0), 0u) << err;
    }
    EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line";
  }
  std::string ignored;
  EXPECT_FALSE(inst.fs->ReadFile(inst.Data("VNou"), &ignored).ok()) << "no file from a bad description";
}

TEST(Zovdata, CommandLineUsage) {
  Installation inst;
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string out_start;  // "" : nothing on standard output
    std::string err_start;  // "" : nothing on standard error
  };
  const Case cases[] = {
      {{"--help"}, 0, "zovdata: look after", ""},
      {{"help", "load"}, 0, "Usage: zovdata load FILE RECORDS", ""},
      {{"dump", "--help"}, 0, "Usage: zovdata dump FILE [--key N]", ""},
      {{"stat", "x", "-h"}, 0, "Usage: zovdata stat FILE", ""},
      {{"describe", "--help"}, 0, "Usage: zovdata describe DIR", ""},
      {{"create", "--help"}, 0, "Usage: zovdata create FILE XDF", ""},
      {{"demo", "--help"}, 0, "Usage: zovdata demo DIR", ""},
      {{}, 2, "", "zovdata: look after"},
      {{"copy"}, 2, "", "zovdata: unknown command \"copy\""},
      {{"help", "copy"}, 2, "", "zovdata: unknown command \"copy\""},
      {{"load", "a"}, 2, "", "zovdata load: RECORDS is missing; see \"zovdata load --help\"\n"},
      {{"stat", "a", "b"}, 2, "", "zovdata stat: too many arguments: b;"},
      {{"stat", "--all", "a"}, 2, "", "zovdata stat: unknown option --all;"},
      {{"dump", "a", "--key"}, 2, "", "zovdata dump: --key needs a value;"},
      {{"dump", "a", "--key", "x1"}, 2, "", "zovdata dump: --key takes 0 to 127, not x1;"},
      {{"dump", "a", "--key=-1"}, 2, "", "zovdata dump: --key takes 0 to 127, not -1;"},
      {{"dump", "a", "--key", "128"}, 2, "", "zovdata dump: --key takes 0 to 127, not 128;"},
      {{"dump", "a", "--key", "1", "--key", "2"}, 2, "", "zovdata dump: --key is given twice;"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    std::string out, err;
    EXPECT_EQ(inst.Run(c.args, &out, &err), c.code) << joined;
    EXPECT_EQ(out.rfind(c.out_start, 0), 0u) << joined << "\n" << out;
    EXPECT_EQ(err.rfind(c.err_start, 0), 0u) << joined << "\n" << err;
    if (c.out_start.empty()) {
      EXPECT_EQ(out, "") << joined;
    }
    if (c.err_start.empty()) {
      EXPECT_EQ(err, "") << joined;
    }
  }
}

TEST(Zovdata, DescribeWritesTheTwelveFilesAndNothingElse) {
  Installation inst;
  std::string out, err;
  ASSERT_EQ(inst.Run({"describe", inst.dir.path() + "new"}, &out, &err), 0) << err;
  std::vector<platform::DirEntry> entries;
  ASSERT_TRUE(inst.fs->ListDirectory(inst.dir.path() + "new", &entries).ok());
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Remeses.xdf", "USeccio.xdf", "VCobros.xdf", "VConcept.xdf",
                                             "VDepBanc.xdf", "VDepBase.xdf", "VDepCada.xdf", "VDepCont.xdf",
                                             "VDepPart.xdf", "VDesCob.xdf", "VGrups.xdf", "VPropiet.xdf"}));
  // Every description's count covers exactly the rest of its file.
  for (const auto& e : entries) {
    std::string bytes;
    ASSERT_TRUE(inst.fs->ReadFile(inst.dir.path() + "new/" + e.name, &bytes).ok());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(platform::DecodeFixed16(bytes.data()), bytes.size() - 2) << e.name;
  }
  EXPECT_EQ(inst.Run({"describe", inst.dir.path() + "no/such/parent"}, &out, &err), 1);
}

// The built program, as the people who look after the files run it.
TEST(Zovdata, TheProgramRoundTripsAndExitsNonZeroOnFailure) {
  const char* bin = std::getenv("ZOV_TEST_BIN");
  if (bin == nullptr) GTEST_SKIP() << "ZOV_TEST_BIN not set";
  const std::string zovdata = std::string(bin) + "/bin/zovdata";
  Installation inst;
  const std::string d = inst.dir.path();
  const std::string section = "S" + std::string(55, ' ');
  inst.Write("sections.bin", section + "A" + std::string(55, '.'));
  const std::string script = "cd '" + d + "' && '" + zovdata + "' describe ddf > /dev/null && '" + zovdata +
                             "' create DADES/USeccio.dat ddf/USeccio.xdf > /dev/null && '" + zovdata +
                             "' load DADES/USeccio.dat sections.bin > /dev/null && '" + zovdata +
                             "' dump DADES/USeccio.dat > dump.txt 2> err.txt";
  ASSERT_EQ(std::system(script.c_str()), 0);
  std::string dump;
  ASSERT_TRUE(inst.fs->ReadFile(d + "dump.txt", &dump).ok());
  EXPECT_EQ(dump, HexLine("A" + std::string(55, '.')) + "\n" + HexLine(section) + "\n");

  const std::string failing = "cd '" + d + "' && '" + zovdata + "' stat DADES/VCobros.dat 2> err.txt";
  EXPECT_NE(std::system(failing.c_str()), 0);
  std::string err;
  ASSERT_TRUE(inst.fs->ReadFile(d + "err.txt", &err).ok());
  EXPECT_EQ(err, "zovdata: DADES/VCobros.dat: cannot open: file not found (status 12)\n");
}

// Arguments come in as UTF-8 and go to the file system and the engine as
// code page 850; what the tool prints goes out as UTF-8 again, once. An
// argument code page 850 cannot hold is a usage error naming it.
TEST(Zovdata, ArgumentsWithAccentsCrossEveryEdgeOnce) {
  const char* bin = std::getenv("ZOV_TEST_BIN");
  if (bin == nullptr) GTEST_SKIP() << "ZOV_TEST_BIN not set";
  const std::string zovdata = std::string(bin) + "/bin/zovdata";
  Installation inst;
  const std::string folder = "Administraci\xA2 Garc\xA1" "a";
  const std::string shell = "Administraci\u00F3 Garc\u00EDa";
  const std::string cd = "cd '" + platform::Cp850ToUtf8Exact(inst.dir.path()) + "' && '" + zovdata + "' ";
  struct Case {
    std::string args;  // for the shell, UTF-8
    int code;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      {"describe '" + shell + "'", 0, "wrote 12 descriptions to " + shell + "\n", ""},
      {"create '" + shell + "/VGrups.dat' '" + shell + "/VGrups.xdf'", 0, "created " + shell + "/VGrups.dat\n", ""},
      {"stat '" + shell + "/VNo.dat'", 1, "", "zovdata: " + shell + "/VNo.dat: cannot open: file not found (status 12)\n"},
      {"stat \"$(printf 'x\\346\\227\\245')\"", 2, "",
       "zovdata: argument 2 holds characters code page 850 lacks (shown as ?): x?\n"},
  };
  for (const Case& c : cases) {
    std::system((cd + c.args + " > out.txt 2> err.txt; echo $? > code.txt").c_str());
    std::string out, err, code;
    ASSERT_TRUE(inst.fs->ReadFile(inst.dir.path() + "out.txt", &out).ok());
    ASSERT_TRUE(inst.fs->ReadFile(inst.dir.path() + "err.txt", &err).ok());
    ASSERT_TRUE(inst.fs->ReadFile(inst.dir.path() + "code.txt", &code).ok());
    EXPECT_EQ(code, std::to_string(c.code) + "\n") << c.args;
    EXPECT_EQ(out, c.out) << c.args;
    EXPECT_EQ(err, c.err) << c.args;
  }
  // The engine made the data file under the name the file system finds.
  platform::DirEntry entry;
  EXPECT_TRUE(inst.fs->FindFirst(inst.dir.path() + folder + "/VGRUPS.DAT", &entry).ok());
  EXPECT_EQ(entry.name, "VGrups.dat");
}

}  // namespace
}  // namespace zov::tools
