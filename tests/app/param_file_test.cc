#include <memory>
#include <string>

#include "app/run.h"
#include "gtest/gtest.h"
#include "platform/posix_file_system.h"
#include "platform/testing/fault_file_system.h"
#include "platform/testing/temp_dir.h"

namespace zov::app {
namespace {

TEST(ParamFileTest, ConformsToTheDefaults) {
  reg::ParamRecord defaults;
  defaults.SetDefaults();
  const std::string d(defaults.view());
  struct Case {
    std::string stored, expected;
  } cases[] = {
      {"", d},
      {"A", "A" + d.substr(1)},
      {std::string(317, 'z'), std::string(317, 'z') + d.substr(317)},
      {std::string(318, 'z'), std::string(318, 'z')},
      {std::string(319, 'z'), std::string(318, 'z')},
      {std::string(400, '\xFF'), std::string(318, '\xFF')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored.size());
    reg::ParamRecord p;
    p.SetDefaults();
    ConformParamRecord(c.stored, p);
    EXPECT_EQ(p.view(), c.expected);
  }
}

struct ParamFile {
  platform::TempDir dir;
  std::unique_ptr<platform::FileSystem> base = platform::NewPosixFileSystem();
  platform::FaultFileSystem fs{base.get()};
  platform::Env env;
  std::unique_ptr<RunContext> ctx;
  ParamFile() {
    env.fs = &fs;
    ctx = std::make_unique<RunContext>(env);
    ctx->session.data_root = dir.path();
    EXPECT_TRUE(base->CreateDirectory(dir.path() + "DADES").ok());
    ctx->records.param.SetDefaults();
  }
  std::string Path() const { return dir.path() + "DADES/VParam.tab"; }
};

// The rewrite never deletes the old file before the new one is in place: a
// failed rename leaves the old bytes.
TEST(ParamFileTest, FailedRewriteKeepsTheOldFile) {
  ParamFile t;
  ASSERT_TRUE(t.base->WriteFile(t.Path(), "OLD").ok());
  t.fs.FailAt(platform::FaultFileSystem::Op::kRename, 1, true);
  std::string error;
  EXPECT_FALSE(UpdateParamFile(*t.ctx, &error));
  EXPECT_FALSE(error.empty());
  std::string text;
  ASSERT_TRUE(t.base->ReadFile(t.Path(), &text).ok());
  EXPECT_EQ(text, "OLD");
  std::vector<platform::DirEntry> entries;
  ASSERT_TRUE(t.base->ListDirectory(t.dir.path() + "DADES", &entries).ok());
  EXPECT_EQ(entries.size(), 1u);  // no temporary file left behind
}

TEST(ParamFileTest, UnreadableFileIsLeftAlone) {
  ParamFile t;
  ASSERT_TRUE(t.base->CreateDirectory(t.Path()).ok());  // a directory where the file should be
  std::string error;
  EXPECT_FALSE(UpdateParamFile(*t.ctx, &error));
  std::vector<platform::DirEntry> entries;
  ASSERT_TRUE(t.base->ListDirectory(t.Path(), &entries).ok());
}

TEST(ParamFileTest, WritesTheRecord) {
  ParamFile t;
  ASSERT_TRUE(t.base->WriteFile(t.Path(), std::string(100, 'q')).ok());
  std::string error;
  ASSERT_TRUE(UpdateParamFile(*t.ctx, &error)) << error;
  std::string text;
  ASSERT_TRUE(t.base->ReadFile(t.Path(), &text).ok());
  ASSERT_EQ(text.size(), 318u);
  EXPECT_EQ(text.substr(0, 100), std::string(100, 'q'));
  EXPECT_EQ(text.substr(100, 15), std::string(t.ctx->records.param.view().substr(100, 15)));
}

}  // namespace
}  // namespace zov::app
