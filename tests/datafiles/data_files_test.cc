#include "datafiles/data_files.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "datafiles/description_file.h"
#include "platform/recman/status.h"
#include "tests/datafiles/harness.h"

namespace zov::datafiles {
namespace {

platform::FileSpec ReceiptShape() {
  return Shape(68, {{{1, 6, 0, 0}, {29, 4, platform::kSegDuplicates, 0}},
                    {{1, 6, platform::kSegDuplicates, 0}, {9, 4, platform::kSegDuplicates, 0}},
                    {{1, 6, platform::kSegDuplicates, 0}, {25, 4, platform::kSegDuplicates, 0}}});
}

std::string PathBufferOf(const std::string& path) {
  std::string b = path + '\0';
  b.resize(kPathBufferSize, ' ');
  return b;
}

TEST(SplitDataFileName, DirectoryBaseAndExtension) {
  struct Case {
    std::string name, directory, base, extension;
  };
  const Case cases[] = {
      {"C:\\ZOV\\DADES\\VCobros", "C:\\ZOV\\DADES\\", "VCobros", ".dat"},
      {"DADES\\VCobros.btr", "DADES\\", "VCobros", ".btr"},
      {"a.b.c", "", "a", ".b.c"},
      {"DIR.OLD\\VGrups", "DIR.OLD\\", "VGrups", ".dat"},
      {"/srv/zov.d/DADES/USeccio", "/srv/zov.d/DADES/", "USeccio", ".dat"},
      {"A:VPropiet", "A:", "VPropiet", ".dat"},
      {"VPropiet", "", "VPropiet", ".dat"},
      {"x/y.", "x/", "y", "."},
      {"DADES\\", "DADES\\", "", ".dat"},
  };
  for (const Case& c : cases) {
    DataFileName got = SplitDataFileName(c.name);
    EXPECT_EQ(got.directory, c.directory) << c.name;
    EXPECT_EQ(got.base, c.base) << c.name;
    EXPECT_EQ(got.extension, c.extension) << c.name;
  }
}

TEST(OpenDataFile, HandsTheRecordManagerExactBuffersAndReadsTheShape) {
  Harness h;
  h.AddFile("VCobros.dat", ReceiptShape());
  std::array<char, 68> record{};
  ASSERT_EQ(OpenDataFile(h.env, h.session, h.table, 17, h.Path("VCobros"), record), 0);

  ASSERT_GE(h.rm.calls.size(), 2u);
  const platform::LoggedCall& open = h.rm.calls[0];
  EXPECT_EQ(open.operation, platform::kOpOpen);
  EXPECT_EQ(open.key, PathBufferOf(h.Path("VCobros.dat")));
  EXPECT_EQ(open.data, std::string("ZOVR\0", 5));
  EXPECT_EQ(open.key_number, 0);
  EXPECT_EQ(h.rm.calls[1].operation, platform::kOpStat);

  const DataFileEntry* e = OpenEntry(h.table, 17);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->record_length, 68);
  EXPECT_EQ(e->key_number, 0);
  EXPECT_EQ(e->key_value, std::string(10, '\0'));
  EXPECT_EQ(e->record.data(), record.data());
  EXPECT_TRUE(h.table.fatal_message.empty());
}

TEST(OpenDataFile, TableConditionsComeBackAsStatuses) {
  Harness h;
  for (int i = 1; i <= 41; ++i) h.AddFile("F" + std::to_string(i) + ".dat", Shape(10, {{{1, 2, 0, 0}}}));
  std::array<char, 10> record{};

  // File number 0 names a free entry, so it reads as already open.
  EXPECT_EQ(OpenDataFile(h.env, h.session, h.table, 0, h.Path("F1"), record), kStatusAlreadyOpen);

  ASSERT_EQ(OpenDataFile(h.env, h.session, h.table, 100, h.Path("F1"), record), 0);
  const auto before = *OpenEntry(h.table, 100);
  std::array<char, 10> other{};
  EXPECT_EQ(OpenDataFile(h.env, h.session, h.table, 100, h.Path("F2"), other), kStatusAlreadyOpen);
  const DataFileEntry* after = OpenEntry(h.table, 100);
  EXPECT_EQ(after->record.data(), before.record.data());
  EXPECT_EQ(after->position_block, before.position_block);

  for (int i = 2; i <= 40; ++i) {
    ASSERT_EQ(OpenDataFile(h.env, h.session, h.table, static_cast<int16_t>(100 + i),
                           h.Path("F" + std::to_string(i)), record),
              0)
        << i;
  }
  const std::size_t calls = h.rm.calls.size();
  EXPECT_EQ(OpenDataFile(h.env, h.session, h.table, 500, h.Path("F41"), record), kStatusTableFull);
  EXPECT_EQ(h.rm.calls.size(), calls) << "a full table must not reach the record manager";
  EXPECT_EQ(FindFileEntry(h.table, 0), 0);
}

TEST(FindFileEntry, FoundOrHighestFreeEntry) {
  DataFileTable table;
  EXPECT_EQ(FindFileEntry(table, 6), -40);
  table.entries[40].file_number = 6;
  table.entries[3].file_number = 7;
  EXPECT_EQ(FindFileEntry(table, 6), 40);
  EXPECT_EQ(FindFileEntry(table, 7), 3);
  EXPECT_EQ(FindFileEntry(table, 8), -39);
  EXPECT_EQ(FindFileEntry(table, 0), 1);
  EXPECT_EQ(OpenEntry(table, 0), nullptr);
}

TEST(OpenDataFile, CreatesAMissingFileFromItsDescription) {
  Harness h;
  platform::FileSpec shape = ReceiptShape();
  const std::string spec = platform::EncodeFileSpec(shape);
  ASSERT_TRUE(h.fs->CreateDirectory(h.fake.root() + "ddf").ok());
  ASSERT_TRUE(h.fs->WriteFile(h.fake.root() + "ddf/VCobros.xdf", EncodeDescription(shape)).ok());
  std::array<char, 68> record{};

  ASSERT_EQ(OpenDataFile(h.env, h.session, h.table, 17, h.Path("VCobros"), record), 0)
      << h.table.fatal_message;

  std::vector<uint16_t> ops;
  for (const platform::LoggedCall& c : h.rm.calls) ops.push_back(c.operation);
  EXPECT_EQ(ops, (std::vector<uint16_t>{platform::kOpOpen, platform::kOpCreate, platform::kOpOpen,
                                        platform::kOpStat}));
  const platform::LoggedCall& create = h.rm.calls[1];
  std::string expected = spec;
  expected.resize(kDataBufferSize, ' ');
  EXPECT_EQ(create.data, expected);
  EXPECT_EQ(create.key, PathBufferOf(h.Path("VCobros.dat")));
  EXPECT_EQ(create.key_number, -1);
  EXPECT_EQ(OpenEntry(h.table, 17)->record_length, 68);
  // An empty register from a missing file is visible.
  ASSERT_EQ(h.fake.errors.lines.size(), 1u);
  EXPECT_TRUE(h.fake.errors.Mentions("VCobros.dat was missing: created empty")) << h.fake.errors.lines[0];
}

// A name that is there but cannot be opened (a link to a share that is not
// mounted) is never replaced by a fresh empty file.
TEST(OpenDataFile, ANameThatExistsButCannotBeOpenedIsNotReplaced) {
  Harness h;
  ASSERT_TRUE(h.fs->CreateDirectory(h.fake.root() + "ddf").ok());
  ASSERT_TRUE(h.fs->WriteFile(h.fake.root() + "ddf/VCobros.xdf", EncodeDescription(ReceiptShape())).ok());
  ASSERT_TRUE(h.fs->CreateDirectory(h.fake.root() + "DADES").ok());
  // The directory lists the name; the record manager cannot open it.
  ASSERT_TRUE(h.fs->WriteFile(h.fake.root() + "DADES/vcobros.DAT", "").ok());
  std::array<char, 68> record{};
  EXPECT_EQ(OpenDataFile(h.env, h.session, h.table, 17, h.Path("VCobros"), record), kStatusFatal);
  EXPECT_EQ(h.rm.CountOf(platform::kOpCreate), 0);
  EXPECT_NE(h.table.fatal_detail.find("not replaced"), std::string::npos) << h.table.fatal_detail;
}

// Each way a file can be neither opened nor created: the open's status or
// the create's is reported, everything is released, and no description file
// is left behind where there was none.
TEST(OpenDataFile, FailureIsReportedReleasedAndReturned) {
  struct Case {
    const char* what;
    std::string description;  // .xdf bytes; empty: no description file
    std::map<uint16_t, int16_t> forced;
    bool file_exists;
    bool create_makes_file;
    int16_t reported;
  };
  const std::string good = EncodeDescription(ReceiptShape());
  const Case cases[] = {
      {"no description", "", {}, false, true, 12},
      {"description shorter than its count", good.substr(0, 20), {}, false, true, 12},
      {"description with a zero count", std::string(2, '\0'), {}, false, true, 12},
      {"create refused", good, {{platform::kOpCreate, 18}}, false, true, 18},
      {"still missing after create", good, {}, false, false, 12},
      {"open refused", "", {{platform::kOpOpen, 46}}, true, true, 46},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Harness h;
    h.AddFile("VPropiet.dat", Shape(828, {{{1, 2, 0, 0}}}));
    if (c.file_exists) h.AddFile("VCobros.dat", ReceiptShape());
    if (!c.description.empty()) {
      ASSERT_TRUE(h.fs->CreateDirectory(h.fake.root() + "ddf").ok());
      ASSERT_TRUE(h.fs->WriteFile(h.fake.root() + "ddf/VCobros.xdf", c.description).ok());
    }
    std::vector<std::string> shown;
    h.table.show_fatal_message = [&](std::string_view m, std::string_view) { shown.emplace_back(m); };
    std::array<char, 828> owner{};
    std::array<char, 68> record{};
    ASSERT_EQ(OpenDataFile(h.env, h.session, h.table, 6, h.Path("VPropiet"), owner), 0);
    h.rm.forced = c.forced;
    h.rm.create_makes_file = c.create_makes_file;

    EXPECT_EQ(OpenDataFile(h.env, h.session, h.table, 17, h.Path("VCobros"), record), kStatusFatal);
    // The name as the file system writes it ("/" between directories here).
    const std::string message =
        "NO ES POT ACCEDIR AL FITXER " + h.fs->Resolve(h.Path("VCobros")) + " (" + std::to_string(c.reported) + ")";
    EXPECT_EQ(message.find('\\'), std::string::npos) << message;
    EXPECT_EQ(h.table.fatal_message, message);
    EXPECT_EQ(shown, std::vector<std::string>{message});
    // Standard error also gets the status's meaning and the path with its
    // extension ("(12)" alone reads the same for "not found" and "denied").
    EXPECT_NE(h.table.fatal_detail.find("VCobros.dat: " + std::string(platform::RecordStatusMeaning(c.reported))),
              std::string::npos)
        << h.table.fatal_detail;
    EXPECT_EQ(h.rm.CountOf(platform::kOpReset), 1);
    EXPECT_LE(h.rm.CountOf(platform::kOpCreate), 1);
    EXPECT_EQ(FindFileEntry(h.table, 6), -40) << "every entry is released";
    EXPECT_EQ(FindFileEntry(h.table, 17), -40);
    if (c.description.empty()) {
      std::string ignored;
      EXPECT_FALSE(h.fs->ReadFile(h.fake.root() + "ddf/VCobros.xdf", &ignored).ok())
          << "a missing description must not be created";
    }
  }
}

TEST(OpenDataFile, FatalMessageIsInTheSessionLanguage) {
  struct Case {
    std::string language, text;
  };
  const Case cases[] = {
      {"SPA", "NO SE PUEDE ACCEDER AL FICHERO "},
      {"GLG", "NOM SE PODE ACEDER AO FICHEIRO "},
      {"OCI", "NON SE P\xE3T ACCEDIR ATH FICH\xD4R "},  // "NON SE PÒT ACCEDIR ATH FICHÈR "
      {"CAT", "NO ES POT ACCEDIR AL FITXER "},
      {"spa", "NO ES POT ACCEDIR AL FITXER "},
      {"ENG", "NO ES POT ACCEDIR AL FITXER "},
  };
  for (const Case& c : cases) {
    Harness h;
    h.session.language = c.language;
    h.rm.forced[platform::kOpOpen] = 94;
    std::array<char, 56> record{};
    EXPECT_EQ(OpenDataFile(h.env, h.session, h.table, 78, "DADES\\USeccio", record), kStatusFatal);
    EXPECT_EQ(h.table.fatal_message, c.text + h.fs->Resolve("DADES\\USeccio") + " (94)") << c.language;
  }
}

TEST(OpenDataFile, FatalPathFreesTheClaimedEntryEvenWhenReleaseIsRefused) {
  Harness h;
  h.AddFile("VGrups.dat", Shape(192, {{{1, 4, 0, 0}}}));
  std::array<char, 192> group{};
  ASSERT_EQ(OpenDataFile(h.env, h.session, h.table, 7, h.Path("VGrups"), group), 0);
  h.rm.forced[platform::kOpReset] = 1;
  EXPECT_EQ(OpenDataFile(h.env, h.session, h.table, 9, h.Path("VDepBase"), group), kStatusFatal);
  EXPECT_EQ(FindFileEntry(h.table, 9), -39) << "entry 40 still holds file 7";
  EXPECT_GT(FindFileEntry(h.table, 7), 0) << "the record manager kept it open";
}

TEST(OpenDataFile, RefusesANameTooLongForThePathBuffer) {
  Harness h;
  std::array<char, 10> record{};
  const std::string name(251, 'x');  // + ".dat" + zero byte is 256
  EXPECT_EQ(OpenDataFile(h.env, h.session, h.table, 1, name, record), kStatusFatal);
  EXPECT_EQ(h.rm.CountOf(platform::kOpOpen), 0);
  const std::string fits(250, 'x');
  h.rm.files[fits + ".dat"].spec = Shape(10, {{{1, 2, 0, 0}}});
  EXPECT_EQ(OpenDataFile(h.env, h.session, h.table, 1, fits, record), 0);
}

TEST(OpenDataFile, WaitsInThreeSecondStepsWhileTheFileIsLocked) {
  for (int locked : {0, 1, 4, 20, 21, 41}) {
    Harness h;
    h.AddFile("VDepCont.dat", Shape(44, {{{1, 6, 0, 0}}}));
    h.rm.locked_opens = locked;
    bool shown = false;
    h.table.show_fatal_message = [&](std::string_view, std::string_view) { shown = true; };
    std::array<char, 44> record{};
    EXPECT_EQ(OpenDataFile(h.env, h.session, h.table, 173, h.Path("VDepCont"), record), 0) << locked;
    EXPECT_EQ(h.clock.sleeps, std::vector<int32_t>(static_cast<std::size_t>(locked), 3000)) << locked;
    EXPECT_EQ(h.rm.CountOf(platform::kOpOpen), locked + 1);
    EXPECT_FALSE(shown);
    // Said at the first wait, then once a minute.
    EXPECT_EQ(h.fake.errors.lines.size(), static_cast<std::size_t>((locked + 19) / 20)) << locked;
    if (locked != 0) {
      EXPECT_TRUE(h.fake.errors.Mentions("VDepCont.dat: locked")) << h.fake.errors.lines[0];
    }
  }
}

TEST(GetKeyLength, SumsTheSegmentsOfTheKey) {
  Harness h;
  h.AddFile("VCobros.dat", ReceiptShape());
  std::array<char, 68> record{};
  ASSERT_EQ(OpenDataFile(h.env, h.session, h.table, 17, h.Path("VCobros"), record), 0);
  struct Case {
    int16_t file, key;
    int32_t key_length, record_length;
  };
  const Case cases[] = {
      {17, 0, 10, 68}, {17, 2, 10, 68}, {17, 3, 0, 68}, {17, 99, 0, 68},
      {17, -1, 0, 68}, {18, 0, 0, 0},   {0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    KeyLength got = GetKeyLength(h.env, h.table, c.file, c.key);
    EXPECT_EQ(got.key_length, c.key_length) << "file " << c.file << " key " << c.key;
    EXPECT_EQ(got.record_length, c.record_length) << "file " << c.file << " key " << c.key;
  }
  // Nothing is asked of the record manager for a file that is not open, and a
  // failed statistics call is not read as a shape.
  const std::size_t calls = h.rm.calls.size();
  (void)GetKeyLength(h.env, h.table, 18, 0);
  EXPECT_EQ(h.rm.calls.size(), calls);
  // The statistics are read once per open: later lengths cost no call.
  (void)GetKeyLength(h.env, h.table, 17, 1);
  EXPECT_EQ(h.rm.calls.size(), calls);
  h.rm.forced[platform::kOpStat] = 3;
  std::array<char, 68> other{};
  ASSERT_EQ(OpenDataFile(h.env, h.session, h.table, 18, h.Path("VCobros"), other), 0);
  KeyLength failed = GetKeyLength(h.env, h.table, 18, 0);
  EXPECT_EQ(failed.key_length, 0);
  EXPECT_EQ(failed.record_length, 0);
}

TEST(ResetDataFiles, EmptiesTheTableOnlyWhenTheRecordManagerAgrees) {
  for (int16_t answer : {int16_t{0}, int16_t{1}}) {
    Harness h;
    h.AddFile("VGrups.dat", Shape(192, {{{1, 4, 0, 0}}}));
    std::array<char, 192> record{};
    ASSERT_EQ(OpenDataFile(h.env, h.session, h.table, 7, h.Path("VGrups"), record), 0);
    if (answer != 0) h.rm.forced[platform::kOpReset] = answer;
    EXPECT_EQ(ResetDataFiles(h.env, h.table), answer);
    const platform::LoggedCall& reset = h.rm.calls.back();
    EXPECT_EQ(reset.operation, platform::kOpReset);
    EXPECT_EQ(reset.data_length, 0u);
    EXPECT_EQ(reset.key_length, 0);
    EXPECT_EQ(FindFileEntry(h.table, 7) > 0, answer != 0) << answer;
  }
}

}  // namespace
}  // namespace zov::datafiles
