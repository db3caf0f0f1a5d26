#include <memory>
#include <string>

#include "app/run.h"
#include "gtest/gtest.h"
#include "platform/testing/fake_env.h"

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
  platform::FakeEnv fake;
  platform::FileSystem* base = &fake.base_fs();
  std::unique_ptr<RunContext> ctx = std::make_unique<RunContext>(fake.env);
  ParamFile() {
    ctx->session.data_root = fake.root();
    EXPECT_TRUE(base->CreateDirectory(fake.root() + "DADES").ok());
    ctx->records.param.SetDefaults();
  }
  std::string Path() const { return fake.root() + "DADES/VParam.tab"; }
};

// The rewrite never deletes the old file before the new one is in place: a
// failed rename leaves the old bytes.
TEST(ParamFileTest, FailedRewriteKeepsTheOldFile) {
  ParamFile t;
  ASSERT_TRUE(t.base->WriteFile(t.Path(), "OLD").ok());
  t.fake.faults.FailAt(platform::FaultFileSystem::Op::kRename, 1, true);
  const platform::Status s = UpdateParamFile(*t.ctx);
  EXPECT_FALSE(s.ok());
  EXPECT_FALSE(s.message().empty());
  std::string text;
  ASSERT_TRUE(t.base->ReadFile(t.Path(), &text).ok());
  EXPECT_EQ(text, "OLD");
  std::vector<platform::DirEntry> entries;
  ASSERT_TRUE(t.base->ListDirectory(t.fake.root() + "DADES", &entries).ok());
  EXPECT_EQ(entries.size(), 1u);  // no temporary file left behind
}

TEST(ParamFileTest, UnreadableFileIsLeftAlone) {
  ParamFile t;
  ASSERT_TRUE(t.base->CreateDirectory(t.Path()).ok());  // a directory where the file should be
  EXPECT_FALSE(UpdateParamFile(*t.ctx).ok());
  std::vector<platform::DirEntry> entries;
  ASSERT_TRUE(t.base->ListDirectory(t.Path(), &entries).ok());
}

// A read-only VParam.tab is not replaced behind its owner's back: the run
// reports it and the file keeps its bytes.
TEST(ParamFileTest, ReadOnlyFileIsLeftAloneAndReported) {
  ParamFile t;
  ASSERT_TRUE(t.base->WriteFile(t.Path(), "OLD").ok());
  ASSERT_TRUE(t.fake.SetReadOnly(t.Path()).ok());
  const platform::Status s = UpdateParamFile(*t.ctx);
  EXPECT_TRUE(s.IsPermissionDenied()) << s.message();
  EXPECT_NE(s.message().find("VParam.tab"), std::string::npos) << s.message();
  std::string text;
  ASSERT_TRUE(t.base->ReadFile(t.Path(), &text).ok());
  EXPECT_EQ(text, "OLD");
}

TEST(ParamFileTest, WritesTheRecord) {
  ParamFile t;
  ASSERT_TRUE(t.base->WriteFile(t.Path(), std::string(100, 'q')).ok());
  const platform::Status s = UpdateParamFile(*t.ctx);
  ASSERT_TRUE(s.ok()) << s.message();
  std::string text;
  ASSERT_TRUE(t.base->ReadFile(t.Path(), &text).ok());
  ASSERT_EQ(text.size(), 318u);
  EXPECT_EQ(text.substr(0, 100), std::string(100, 'q'));
  EXPECT_EQ(text.substr(100, 15), std::string(t.ctx->records.param.view().substr(100, 15)));
}

}  // namespace
}  // namespace zov::app
