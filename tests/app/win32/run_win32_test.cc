// dazorov1.exe under Wine on the installations of the golden files: the
// print file, the CSV file (through "%COMSPEC% /C DEDADO.EXE path", with a
// blank in the CSV directory), VParam.tab and DOZUDIZI.INI byte for byte as
// the Linux program writes them, every path a Windows one.
#include <windows.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gtest/gtest.h"
#include "platform/code_page.h"
#include "platform/native_env.h"
#include "platform/testing/temp_dir.h"
#include "platform/win32/wide.h"
#include "register/descriptions.h"
#include "register/records.h"
#include "tests/register/builders.h"
#include "tools/zovdata/zovdata.h"

namespace zov::app {
namespace {

constexpr std::string_view kTenant = "GARC\xD6" "A L\xE0PEZ, MAR\xD6" "A";

class WindowsInstallation {
 public:
  // Everything under `folder` (code page 850, ending in "\\"), when given.
  explicit WindowsInstallation(std::string folder = "") : base_(dir_.path() + folder) {
    if (!folder.empty()) {
      EXPECT_TRUE(fs_->CreateDirectory(base_).ok()) << base_;
    }
    for (const char* d : {"root", "root/DADES", "tmp", "exe", "csv dir"}) {
      EXPECT_TRUE(fs_->CreateDirectory(base_ + d).ok()) << d;
    }
    EXPECT_TRUE(tools::WriteDescriptions(*fs_, root() + "ddf").ok());
  }
  std::string root() const { return base_ + "root\\"; }
  std::string tmp() const { return base_ + "tmp\\"; }
  std::string exe() const { return base_ + "exe\\"; }
  std::string csv() const { return base_ + "csv dir\\"; }
  platform::FileSystem& fs() { return *fs_; }
  std::string temp() const { return dir_.path(); }

  template <typename Record>
  void Add(int16_t file_number, const Record& record) {
    records_[file_number] += std::string(record.view());
  }
  void Copy(const std::string& from, const std::string& to) {
    std::string bytes;
    ASSERT_TRUE(fs_->ReadFile(from, &bytes).ok()) << from;
    ASSERT_TRUE(fs_->WriteFile(to, bytes).ok()) << to;
  }
  std::string Read(const std::string& path) {
    std::string text;
    EXPECT_TRUE(fs_->ReadFile(path, &text).ok()) << path;
    return text;
  }

  // Makes the data files, writes pent.tmp and runs the program with the
  // installation's variables (inherited: this test process sets them).
  int Run(const std::vector<std::string>& pent) {
    std::unique_ptr<platform::NativeEnv> native;
    const platform::Status created = platform::NativeEnv::Create(&native);
    EXPECT_TRUE(created.ok()) << created.message();
    if (!created.ok()) return -1;
    for (const auto& [number, bytes] : records_) {
      const reg::DataFileSpec* f = reg::FindDataFileSpec(number);
      const std::string file = root() + "DADES\\" + std::string(f->name) + ".dat";
      EXPECT_TRUE(tools::CreateDataFile(native->env(), file, root() + "ddf\\" + std::string(f->name) + ".xdf").ok());
      uint64_t loaded = 0;
      EXPECT_TRUE(tools::InsertRecords(native->env(), file, bytes, f->name, &loaded).ok());
    }
    native.reset();
    std::string text;
    for (const std::string& line : pent) text += line + "\r\n";
    EXPECT_TRUE(fs_->WriteFile(tmp() + "pent.tmp", text).ok());
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"ZOVROOT", root()}, {"ZOVEXE", exe()}, {"ZOVTMP", tmp()}, {"TEMP", csv()},
             {"ZOV_OPENED_DIR", tmp()}}) {
      ::SetEnvironmentVariableW(platform::Cp850ToWide(name).c_str(), platform::Cp850ToWide(value).c_str());
    }
    const char* bin = std::getenv("ZOV_TEST_BIN");
    int exit_code = -1;
    const platform::Status s = platform::NewNativeProcessRunner()->RunAndWait(
        std::string(bin ? bin : ".") + "/bin/dazorov1.exe", {}, &exit_code);
    EXPECT_TRUE(s.ok()) << s.message();
    return exit_code;
  }

 private:
  platform::TempDir dir_;
  const std::string base_;
  std::unique_ptr<platform::FileSystem> fs_ = platform::NewNativeFileSystem();
  std::map<int16_t, std::string> records_;
};

// The same in a folder with accents, as the suite's users name theirs: code
// page 850 inside, UTF-16 to the system, the names right on disk.
TEST(Win32RunTest, OneOwnerOneLineByteForByteAsOnLinux) {
  for (const std::string folder : {"", "Administraci\xA2 Garc\xA1" "a\\"}) {
    SCOPED_TRACE(folder);
    WindowsInstallation inst(folder);
    inst.Add(reg::kFileVPropiet, reg::Owner("0001", "PUIG*JOAN", "S", "joan@example.com"));
    inst.Add(reg::kFileVGrups, reg::Group("00010001", "CARRER MAJOR"));
    inst.Add(reg::kFileVDepBase, reg::Property("000100010001", kTenant, "ES12345678Z"));
    inst.Add(reg::kFileVDepCont, reg::Contract("000100010001", "L", "S"));
    inst.Add(reg::kFileVDepCada, reg::Cadastre("000100010001", "1234567AB1234C0001XY", "48001"));
    inst.Add(reg::kFileVCobros, reg::Receipt("000100010001", "20260315", "00001234"));
    // The opener is found by the command interpreter in the current directory
    // (DataRoot); the spooler in ExeDir, as DOZUDIZI.EXE.
    inst.Copy(WIN32_DEDADO, inst.root() + "DEDADO.EXE");
    inst.Copy(WIN32_DEDADO, inst.exe() + "DOZUDIZI.EXE");
    std::vector<std::string> pent(23, "");
    pent[0] = "1/1/2026";
    pent[1] = "31/12/2026";
    pent[6] = "99";
    pent[20] = "S";
    pent[21] = "S";
    pent[22] = "S";
    ASSERT_EQ(inst.Run(pent), 0);
    EXPECT_EQ(inst.Read(inst.tmp() + "dozudizi.tmp"), inst.Read(std::string(ZOV_APP_TESTDATA) + "one_owner.prn"));
    EXPECT_EQ(inst.Read(inst.tmp() + "opened.csv"), inst.Read(std::string(ZOV_APP_TESTDATA) + "one_owner.csv"));
    EXPECT_EQ(inst.Read(inst.tmp() + "DOZUDIZI.INI"), "[Opcions]\r\nCorreu=S\r\n");
    EXPECT_EQ(inst.Read(inst.tmp() + "spooler.ran"), "ran\n");
    reg::ParamRecord defaults;
    defaults.SetDefaults();
    EXPECT_EQ(inst.Read(inst.root() + "DADES\\VParam.tab"), defaults.view());
    // The opener got the one CSV file, whole path and all, and it stays.
    std::vector<platform::DirEntry> csv;
    ASSERT_TRUE(inst.fs().ListDirectory(inst.csv(), &csv).ok());
    ASSERT_EQ(csv.size(), 1u);
    EXPECT_EQ(inst.Read(inst.tmp() + "opened.list"), platform::Cp850ToUtf8Exact(inst.csv() + csv[0].name) + "\n");
    if (!folder.empty()) {
      const std::wstring on_disk = platform::Utf8ToWide(platform::Cp850ToUtf8Exact(inst.temp())) +
                                   L"Administraci\u00F3 Garc\u00EDa\\root\\DADES\\VParam.tab";
      EXPECT_NE(::GetFileAttributesW(on_disk.c_str()), INVALID_FILE_ATTRIBUTES);
    }
  }
}

}  // namespace
}  // namespace zov::app
