#include "tools/demo/demo.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/native_env.h"
#include "platform/recman/status.h"
#include "platform/testing/temp_dir.h"
#include "format/packed.h"
#include "format/tax_ids.h"
#include "register/records.h"
#include "tools/demo/demo_files.h"
#include "tools/zovdata/zovdata.h"

namespace zov::tools {
namespace {

using platform::Status;

class AllRecords : public demo::RecordSink {
 public:
  Status Add(int16_t file_number, std::string_view record) override {
    files[file_number].emplace_back(record);
    return Status::Ok();
  }
  std::map<int16_t, std::vector<std::string>> files;
};

// The real record manager, refusing the Nth insert with a full disk.
class FailingInserts : public platform::RecordManager {
 public:
  FailingInserts(platform::RecordManager& real, int fail_at) : real_(real), fail_at_(fail_at) {}
  int16_t Call(uint16_t operation, uint8_t* position_block, void* data, uint32_t* data_length, void* key,
               uint8_t key_length, int8_t key_number) override {
    if (operation == platform::kOpInsert && ++inserts_ == fail_at_) return platform::kRmDiskFull;
    return real_.Call(operation, position_block, data, data_length, key, key_length, key_number);
  }

 private:
  platform::RecordManager& real_;
  int fail_at_;
  int inserts_ = 0;
};

class DemoBuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const Status s = platform::NativeEnv::Create(&posix_);
    ASSERT_TRUE(s.ok()) << s.message();
    ASSERT_FALSE(tmp_.path().empty());
  }
  platform::Env& env() { return posix_->env(); }
  std::string Dir(std::string_view name) { return tmp_.path() + std::string(name) + "/"; }

  std::vector<std::string> Read(const std::string& dir, std::string_view name) {
    std::vector<std::string> records;
    const Status s = ForEachRecord(env(), dir + "DADES/" + std::string(name) + ".dat", 0,
                                   [&](std::string_view r) { records.emplace_back(r); });
    EXPECT_TRUE(s.ok()) << s.message();
    return records;
  }

  std::string ReadText(const std::string& path) {
    std::string contents;
    EXPECT_TRUE(env().fs->ReadFile(path, &contents).ok()) << path;
    return contents;
  }

  int Command(const std::vector<std::string>& args, std::string* out = nullptr, std::string* err = nullptr) {
    std::ostringstream o, e;
    const int code = RunDemoCommand(env(), args, o, e);
    if (out) *out = o.str();
    if (err) *err = e.str();
    return code;
  }

  platform::TempDir tmp_;
  std::unique_ptr<platform::NativeEnv> posix_;
};

TEST_F(DemoBuildTest, DataFilesHoldExactlyTheGeneratedRecordsAndTheSettingsAreWritten) {
  DemoRequest request;
  request.dir = Dir("agency");
  request.options.owners = 9;
  demo::DemoCounts counts;
  const Status s = BuildDemoInstallation(env(), request, &counts);
  ASSERT_TRUE(s.ok()) << s.message();

  AllRecords expected;
  demo::DemoCounts expected_counts;
  ASSERT_TRUE(demo::GenerateInstallation(request.options, expected, &expected_counts).ok());
  EXPECT_EQ(counts.receipts, expected_counts.receipts);
  for (const reg::DataFileSpec& spec : reg::kDataFiles) {
    EXPECT_EQ(Read(request.dir, spec.name), expected.files[spec.number]) << spec.name;
  }

  EXPECT_EQ(ReadText(request.dir + "Orva.ini"), demo::UserSettingsText());
  EXPECT_EQ(ReadText(request.dir + "LOCALE/DAZOROV1.LNG"), demo::LanguageFileText());
  EXPECT_EQ(ReadText(request.dir + "tmp/pent.tmp"), demo::RunParametersText(true));
  EXPECT_EQ(ReadText(request.dir + "tmp/OrvaTerm.ini"), demo::TerminalSettingsText());
  EXPECT_EQ(ReadText(request.dir + "tmp/Sessio.ini"), demo::SessionSettingsText(request.dir + "tmp/"));
  // Every owner, in code order, with a NIF whose check character holds.
  std::istringstream nifs(ReadText(request.dir + "owners-nif.csv"));
  std::vector<std::string> owners;
  for (std::string line; std::getline(nifs, line);) {
    ASSERT_EQ(line.back(), '\r');
    const std::string nif = line.substr(5, line.size() - 6);
    EXPECT_NE(format::ClassifyNif(nif), format::NifKind::kInvalid) << line;
    owners.push_back(line.substr(0, 4));
  }
  std::vector<std::string> codes;
  for (const std::string& owner : expected.files[reg::kFileVPropiet])
    codes.push_back(format::UnpackDigits(owner.substr(0, 2)));
  EXPECT_EQ(owners, codes);
  std::string xdf;
  EXPECT_TRUE(env().fs->ReadFile(request.dir + "ddf/VCobros.xdf", &xdf).ok());
  // The program makes its parameter file itself.
  platform::DirEntry entry;
  EXPECT_FALSE(env().fs->FindFirst(request.dir + "DADES/VParam.tab", &entry).ok());
}

TEST_F(DemoBuildTest, AnExistingInstallationIsNeverOverwritten) {
  const std::string dir = Dir("agency");
  std::string out, err;
  ASSERT_EQ(Command({dir, "--owners", "3", "--seed", "4"}, &out, &err), 0) << err;
  EXPECT_NE(out.find("3 owners"), std::string::npos) << out;
  const std::vector<std::string> before = Read(dir, "VCobros");

  EXPECT_EQ(Command({dir, "--owners", "5", "--seed", "9"}, &out, &err), 1);
  EXPECT_NE(err.find("VPropiet.dat: exists"), std::string::npos) << err;
  EXPECT_EQ(Read(dir, "VCobros"), before);
  EXPECT_EQ(Read(dir, "VPropiet").size(), 3u);
}

TEST_F(DemoBuildTest, AFailedLoadLeavesNoDataFiles) {
  for (int fail_at : {1, 100}) {
    SCOPED_TRACE("insert " + std::to_string(fail_at));
    FailingInserts failing(*env().record_manager, fail_at);
    platform::Env with_failure = env();
    with_failure.record_manager = &failing;
    DemoRequest request;
    request.dir = Dir("failed" + std::to_string(fail_at));
    demo::DemoCounts counts;
    const Status s = BuildDemoInstallation(with_failure, request, &counts);
    EXPECT_FALSE(s.ok());
    EXPECT_NE(s.message().find("full"), std::string::npos) << s.message();
    EXPECT_EQ(counts.receipts, 0);
    for (const reg::DataFileSpec& spec : reg::kDataFiles) {
      platform::DirEntry entry;
      EXPECT_FALSE(env().fs->FindFirst(request.dir + "DADES/" + std::string(spec.name) + ".dat", &entry).ok())
          << spec.name;
    }
    // Nothing stands in the way of building it again.
    EXPECT_TRUE(BuildDemoInstallation(env(), request, &counts).ok());
  }
}

TEST_F(DemoBuildTest, CommandLineMistakesAreUsageErrorsThatBuildNothing) {
  const std::string dir = Dir("x");
  struct Case {
    std::vector<std::string> args;
    std::string says;
  };
  const Case cases[] = {
      {{}, "DIR is missing"},
      {{dir, dir + "2"}, "too many arguments: " + dir + "2"},
      {{dir, "--owners"}, "--owners needs a value"},
      {{dir, "--owners", "twelve"}, "--owners takes 0 to 1000000, not twelve"},
      {{dir, "--owners=-3"}, "--owners takes 0 to 1000000, not -3"},
      {{dir, "--owners", "0"}, "--owners must lie between 1 and 9999"},
      {{dir, "--owners", "10000", "--properties-per-owner", "1", "--receipts-per-property", "1"}, "9999"},
      {{dir, "--seed", "1x"}, "--seed takes a whole number, not 1x"},
      {{dir, "--csv", "maybe"}, "--csv takes keep or delete, not maybe"},
      {{dir, "--properties-per-owner", "10"}, "go together"},
      {{dir, "--colour", "red"}, "unknown option --colour"},
  };
  for (const Case& c : cases) {
    std::string out, err;
    EXPECT_EQ(Command(c.args, &out, &err), 2) << c.says;
    EXPECT_NE(err.find(c.says), std::string::npos) << err;
    EXPECT_EQ(err.rfind("zovdata demo: ", 0), 0u) << err;
    EXPECT_NE(err.find("; see \"zovdata demo --help\"\n"), std::string::npos) << err;
    EXPECT_TRUE(out.empty());
  }
  platform::DirEntry entry;
  EXPECT_FALSE(env().fs->FindFirst(dir, &entry).ok()) << "a refused command made its directory";
}

TEST_F(DemoBuildTest, MeasurementShapeAndDeletedCsvFiles) {
  const std::string dir = Dir("bench");
  std::string out, err;
  ASSERT_EQ(Command({dir, "--owners=4", "--properties-per-owner=6", "--receipts-per-property=20", "--csv=delete"}, &out,
                    &err),
            0)
      << err;
  EXPECT_NE(out.find("24 properties, 480 receipts (72 issued"), std::string::npos) << out;
  EXPECT_EQ(Read(dir, "VCobros").size(), 480u);
  EXPECT_EQ(ReadText(dir + "tmp/pent.tmp"), demo::RunParametersText(false));
}

}  // namespace
}  // namespace zov::tools
