#include "standin/standin_registry.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <latch>
#include <thread>

#include "registry/registry_reader.h"
#include "registry/registry_rules.h"
#include "standin/full_disk_for_test.h"
#include "standin/temp_dir_for_test.h"

namespace tarnwick {
namespace {

// What the stand-in adds: files, sharing, enumeration and raw edits.

class StandInFilesTest : public testing::Test {
 protected:
  std::unique_ptr<StandInRegistry> Open(bool administrator) {
    std::string err;
    auto reg = StandInRegistry::OpenFiles(files_, administrator, &err);
    EXPECT_TRUE(reg) << err;
    return reg;
  }

  TempDir dir_;
  HiveLocations files_{dir_.File("home/tarnwick/user.hive"), dir_.File("lib/machine.hive")};
};

// Runs one query on a hive file with SQLite directly, as a user with sqlite3 would.
std::string Sql(const std::string& file, const char* query) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  std::string out;
  sqlite3_exec(
      db, query,
      [](void* sink, int n, char** values, char**) {
        auto* s = static_cast<std::string*>(sink);
        for (int i = 0; i < n; ++i)
          *s += std::string(i ? "|" : "") + (values[i] ? values[i] : "NULL");
        *s += "\n";
        return 0;
      },
      &out, nullptr);
  sqlite3_close(db);
  return out;
}

TEST_F(StandInFilesTest, HiveFilesAppearOnlyWithTheFirstWrite) {
  auto reg = Open(false);
  KeyHandle key = nullptr;
  EXPECT_EQ(kErrorSuccess, reg->OpenKey(Hive::kLocalMachine, "", kKeyRead, &key));
  reg->CloseKey(key);
  EXPECT_EQ(kErrorFileNotFound, reg->OpenKey(Hive::kCurrentUser, "Software", kKeyRead, &key));
  EXPECT_EQ(kErrorFileNotFound, reg->DeleteKeyTree(Hive::kCurrentUser, "Software\\Classes"));
  EXPECT_FALSE(std::filesystem::exists(files_.user));
  EXPECT_FALSE(std::filesystem::exists(files_.machine));

  std::string err;
  ASSERT_TRUE(reg->RegWrite("HKCU\\Software\\Classes\\.htm\\", "MyHTMLfile", "REG_SZ", &err))
      << err;
  EXPECT_TRUE(std::filesystem::exists(files_.user));
  EXPECT_FALSE(std::filesystem::exists(files_.machine));
}

TEST_F(StandInFilesTest, AFullDiskRefusesChangesAndLeavesTheHivesAsTheyWere) {
  FullDisk disk;
  auto reg = Open(true);
  std::string err;
  ASSERT_TRUE(reg->RegWrite(R"(HKCU\Software\Classes\.htm\)", "MyHTMLfile", "REG_SZ", &err)) << err;
  ASSERT_TRUE(reg->RegWrite(R"(HKLM\Software\Clients\StartMenuInternet\)", "B.EXE", "REG_SZ", &err))
      << err;

  disk.Fill(true);
  EXPECT_FALSE(reg->RegWrite(R"(HKCU\Software\Classes\.htm\)", "Other", "REG_SZ", &err));
  EXPECT_NE(std::string::npos, err.find("full")) << err;
  EXPECT_FALSE(reg->RegWrite(R"(HKCU\Software\Classes\http\Shell\)", "x", "REG_SZ", &err));
  EXPECT_FALSE(reg->RegWrite(R"(HKLM\Software\Clients\StartMenuInternet\)", "C", "REG_SZ", &err));
  EXPECT_NE(kErrorSuccess, reg->DeleteKeyTree(Hive::kCurrentUser, R"(Software\Classes\.htm)"));
  // What was there is still read.
  EXPECT_EQ(RegistryValue(std::string("MyHTMLfile")),
            ReadRegistryValue(*reg, Hive::kCurrentUser, R"(Software\Classes\.htm)", ""));

  disk.Fill(false);
  reg.reset();
  for (const std::string& file : {files_.user, files_.machine}) {
    EXPECT_EQ("ok\n", Sql(file, "PRAGMA integrity_check")) << file;
  }
  auto again = Open(true);
  EXPECT_EQ(RegistryValue(std::string("MyHTMLfile")),
            ReadRegistryValue(*again, Hive::kCurrentUser, R"(Software\Classes\.htm)", ""));
  EXPECT_EQ(kErrorFileNotFound, again->KeyExists(Hive::kCurrentUser, R"(Software\Classes\http)"));
  EXPECT_EQ(
      RegistryValue(std::string("B.EXE")),
      ReadRegistryValue(*again, Hive::kLocalMachine, R"(Software\Clients\StartMenuInternet)", ""));
  // With room again, writes go through.
  EXPECT_TRUE(again->RegWrite(R"(HKCU\Software\Classes\http\Shell\)", "x", "REG_SZ", &err)) << err;
}

TEST_F(StandInFilesTest, ASecondInstanceSeesAHiveCreatedAfterItOpened) {
  auto reader = Open(false);
  auto writer = Open(true);
  std::string err;
  ASSERT_TRUE(
      writer->RegWrite("HKLM\\Software\\Clients\\StartMenuInternet\\", "B.EXE", "REG_SZ", &err))
      << err;
  EXPECT_EQ(
      RegistryValue(std::string("B.EXE")),
      ReadRegistryValue(*reader, Hive::kLocalMachine, "Software\\Clients\\StartMenuInternet", ""));
}

TEST_F(StandInFilesTest, AFileThatIsNotAHiveIsRefusedByNameAndLeftAlone) {
  std::filesystem::create_directories(dir_.File("home/tarnwick"));
  const std::string junk =
      "these are not the bytes of a database, but they are long enough "
      "that SQLite reads a whole header from them......................";
  dir_.Put("home/tarnwick/user.hive", junk);
  std::string err;
  EXPECT_EQ(nullptr, StandInRegistry::OpenFiles(files_, true, &err));
  EXPECT_EQ("open " + files_.user + ": file is not a database", err);
  EXPECT_EQ(junk, dir_.Read("home/tarnwick/user.hive"));

  // A real database that some other program made is not taken over either.
  std::filesystem::create_directories(dir_.File("lib"));
  sqlite3* db = nullptr;
  sqlite3_open(files_.machine.c_str(), &db);
  sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(1)", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  const std::string before = dir_.Read("lib/machine.hive");
  std::filesystem::remove(files_.user);
  EXPECT_EQ(nullptr, StandInRegistry::OpenFiles(files_, false, &err));
  EXPECT_EQ("open " + files_.machine + ": not a tarnwick hive", err);
  EXPECT_EQ(nullptr, StandInRegistry::OpenFiles(files_, true, &err));
  EXPECT_EQ(before, dir_.Read("lib/machine.hive"));
}

TEST_F(StandInFilesTest, AnEmptyFileBecomesAHive) {
  std::filesystem::create_directories(dir_.File("home/tarnwick"));
  dir_.Put("home/tarnwick/user.hive", "");
  auto reg = Open(false);
  ASSERT_TRUE(reg);
  std::string err;
  EXPECT_TRUE(reg->RegWrite("HKCU\\K\\", "v", "REG_SZ", &err)) << err;
  EXPECT_EQ("1\n", Sql(files_.user, "SELECT count(*) FROM \"values\""));
}

TEST_F(StandInFilesTest, TheFileIsReadableWithSqlite) {
  auto reg = Open(true);
  std::string err;
  ASSERT_TRUE(reg->RegWrite("HKCU\\Software\\Classes\\.htm\\", "MyHTMLfile", "REG_SZ", &err));
  ASSERT_TRUE(reg->RegWrite("HKCU\\Software\\CLASSES\\MyInternetShortcut\\EditFlags", "2",
                            "REG_DWORD", &err));
  ASSERT_TRUE(
      reg->RegWrite("HKCU\\Software\\Classes\\x\\e", "%SystemRoot%", "REG_EXPAND_SZ", &err));
  EXPECT_EQ("wal\n", Sql(files_.user, "PRAGMA journal_mode"));
  EXPECT_EQ("1416785527|1\n", Sql(files_.user,
                                  "SELECT * FROM pragma_application_id, "
                                  "pragma_user_version"));
  EXPECT_EQ("|.htm|Classes|MyInternetShortcut|Software|x\n",
            Sql(files_.user,
                "SELECT group_concat(name, '|') FROM (SELECT name FROM keys "
                "ORDER BY fold)"));
  EXPECT_EQ(
      "|1|MyHTMLfile|text\ne|2|%SystemRoot%|text\nEditFlags|4|2|integer\n",
      Sql(files_.user, "SELECT name, type, data, typeof(data) FROM \"values\" ORDER BY fold"));
}

TEST_F(StandInFilesTest, OddValuesKeepTheirExactBytes) {
  auto reg = Open(true);
  const std::vector<RegEdit> edits = {
      {RegEdit::Op::kSetValue, Hive::kCurrentUser, "K", "nobytes", kRegSz, {}},
      {RegEdit::Op::kSetValue,
       Hive::kCurrentUser,
       "K",
       "inner",
       kRegSz,
       {'a', 0, 0, 0, 'b', 0, 0, 0}},
      {RegEdit::Op::kSetValue, Hive::kCurrentUser, "K", "nonul", kRegSz, {'a', 0}},
      {RegEdit::Op::kSetValue, Hive::kCurrentUser, "K", "lone", kRegSz, {0x00, 0xD8, 0, 0}},
      {RegEdit::Op::kSetValue, Hive::kCurrentUser, "K", "short", kRegDword, {1, 2}},
      {RegEdit::Op::kSetValue, Hive::kCurrentUser, "K", "bin", kRegBinary, {0xDE, 0xAD}},
      {RegEdit::Op::kSetValue, Hive::kCurrentUser, "K", "multi", kRegMultiSz, {'a', 0, 0, 0, 0, 0}},
  };
  std::string err;
  ASSERT_TRUE(reg->Apply(edits, &err)) << err;
  for (const RegEdit& edit : edits) {
    ValueEntry value;
    ASSERT_EQ(kErrorSuccess, reg->GetValue(Hive::kCurrentUser, "k", edit.name, &value));
    EXPECT_EQ(edit.type, value.type) << edit.name;
    EXPECT_EQ(edit.data, value.data) << edit.name;
  }
  // The reader sees a text stored with no bytes as nothing, and keeps an inner NUL.
  EXPECT_EQ(RegistryValue(), ReadRegistryValue(*reg, Hive::kCurrentUser, "K", "nobytes"));
  EXPECT_EQ(RegistryValue(std::string("a\0b", 3)),
            ReadRegistryValue(*reg, Hive::kCurrentUser, "K", "inner"));
}

TEST_F(StandInFilesTest, ListsKeepSpellingAndOrder) {
  auto reg = Open(false);
  std::string err;
  for (const char* path :
       {"HKCU\\R\\zeta\\", "HKCU\\R\\Alpha\\", "HKCU\\r\\ALPHA\\Sub\\", "HKCU\\R\\beta\\",
        "HKCU\\R\\second", "HKCU\\R\\First", "HKCU\\R\\SECOND"}) {
    ASSERT_TRUE(reg->RegWrite(path, "v", "REG_SZ", &err)) << err;
  }
  std::vector<std::string> keys;
  ASSERT_EQ(kErrorSuccess, reg->ListSubKeys(Hive::kCurrentUser, "r", &keys));
  EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "zeta"}), keys);
  std::vector<ValueEntry> values;
  ASSERT_EQ(kErrorSuccess, reg->ListValues(Hive::kCurrentUser, "R", &values));
  std::vector<std::string> names;
  for (const ValueEntry& v : values) names.push_back(v.name);
  // Replacing "second" kept its first spelling and its place.
  EXPECT_EQ((std::vector<std::string>{"second", "First"}), names);
  EXPECT_EQ(kErrorFileNotFound, reg->ListSubKeys(Hive::kCurrentUser, "R\\none", &keys));
}

TEST_F(StandInFilesTest, ApplyIsAllOrNothing) {
  auto admin = Open(true);
  std::string err;
  ASSERT_TRUE(admin->RegWrite("HKLM\\M\\v", "1", "REG_SZ", &err));
  ASSERT_TRUE(admin->RegWrite("HKCU\\U\\Del\\v", "1", "REG_SZ", &err));
  auto user = Open(false);
  const std::vector<RegEdit> edits = {
      {RegEdit::Op::kSetValue, Hive::kCurrentUser, "U", "new", kRegSz, TextToRegBytes("n")},
      {RegEdit::Op::kDeleteKey, Hive::kLocalMachine, "M", "", 0, {}},
  };
  EXPECT_FALSE(user->Apply(edits, &err));
  EXPECT_EQ("write " + files_.machine + ": access denied", err);
  ValueEntry value;
  EXPECT_EQ(kErrorFileNotFound, user->GetValue(Hive::kCurrentUser, "U", "new", &value));
  EXPECT_EQ(kErrorSuccess, user->KeyExists(Hive::kLocalMachine, "M"));

  const std::vector<RegEdit> both = {
      edits[0],
      edits[1],
      {RegEdit::Op::kDeleteKey, Hive::kCurrentUser, "U\\Del", "", 0, {}},
      {RegEdit::Op::kDeleteValue, Hive::kCurrentUser, "U\\Missing", "x", 0, {}},
      {RegEdit::Op::kCreateKey, Hive::kCurrentUser, "U\\Empty", "", 0, {}},
  };
  ASSERT_TRUE(admin->Apply(both, &err)) << err;
  EXPECT_EQ(kErrorSuccess, admin->GetValue(Hive::kCurrentUser, "U", "new", &value));
  EXPECT_EQ(kErrorFileNotFound, admin->KeyExists(Hive::kLocalMachine, "M"));
  EXPECT_EQ(kErrorFileNotFound, admin->KeyExists(Hive::kCurrentUser, "U\\Del"));
  EXPECT_EQ(kErrorSuccess, admin->KeyExists(Hive::kCurrentUser, "U\\Empty"));
}

TEST_F(StandInFilesTest, AWriterWaitsForAnotherInstancesTransaction) {
  auto reg = Open(false);
  std::string err;
  ASSERT_TRUE(reg->RegWrite("HKCU\\K\\v", "0", "REG_SZ", &err)) << err;

  sqlite3* other = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(files_.user.c_str(), &other));
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr));
  std::thread holder([other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  });
  // The other instance holds the write lock; this write must wait for it, not fail.
  EXPECT_TRUE(reg->RegWrite("HKCU\\K\\v", "1", "REG_SZ", &err)) << err;
  holder.join();
  sqlite3_close(other);
  EXPECT_EQ(RegistryValue(std::string("1")), ReadRegistryValue(*reg, Hive::kCurrentUser, "K", "v"));
}

TEST_F(StandInFilesTest, InstancesThatCreateTheSameHiveAtOnceAllWrite) {
  // Each instance turns the new file into a hive; two doing it at the same moment must not
  // make either write fail with "database is locked". Several rounds, as the race is narrow.
  constexpr int kInstances = 4;
  for (int round = 0; round < 25; ++round) {
    const HiveLocations files{dir_.File("race" + std::to_string(round) + "/user.hive"),
                              dir_.File("race" + std::to_string(round) + "/machine.hive")};
    std::latch start(kInstances);
    std::string errors[kInstances];
    std::vector<std::thread> instances;
    for (int i = 0; i < kInstances; ++i) {
      instances.emplace_back([&, i] {
        std::string err;
        auto reg = StandInRegistry::OpenFiles(files, true, &err);
        start.arrive_and_wait();
        if (!reg || !reg->RegWrite("HKCU\\K\\v" + std::to_string(i), "x", "REG_SZ", &err)) {
          errors[i] = err.empty() ? "open failed" : err;
        }
      });
    }
    for (std::thread& t : instances) t.join();
    for (const std::string& e : errors) ASSERT_EQ("", e) << "round " << round;
  }
}

TEST_F(StandInFilesTest, ConcurrentInstancesLoseNoWrite) {
  constexpr int kWrites = 60;
  auto writer = [this](const std::string& key, int* failures) {
    std::string err;
    auto reg = StandInRegistry::OpenFiles(files_, false, &err);
    for (int i = 0; i < kWrites; ++i) {
      if (!reg || !reg->RegWrite("HKCU\\Shared\\" + key + "\\v" + std::to_string(i),
                                 std::to_string(i), "REG_DWORD", &err)) {
        ++*failures;
      }
    }
  };
  int failures_a = 0, failures_b = 0;
  std::thread a(writer, "A", &failures_a);
  std::thread b(writer, "b", &failures_b);
  a.join();
  b.join();
  EXPECT_EQ(0, failures_a);
  EXPECT_EQ(0, failures_b);
  auto reg = Open(false);
  std::vector<ValueEntry> values;
  ASSERT_EQ(kErrorSuccess, reg->ListValues(Hive::kCurrentUser, "Shared\\a", &values));
  EXPECT_EQ(size_t{kWrites}, values.size());
  ASSERT_EQ(kErrorSuccess, reg->ListValues(Hive::kCurrentUser, "Shared\\B", &values));
  EXPECT_EQ(size_t{kWrites}, values.size());
}

TEST_F(StandInFilesTest, AMachineHiveFolderThatCannotBeMadeFailsTheWriteByName) {
  files_.machine = dir_.Put("plainfile", "x") + "/machine.hive";
  auto reg = Open(true);
  std::string err;
  EXPECT_FALSE(reg->RegWrite("HKLM\\Software\\K\\", "v", "REG_SZ", &err));
  EXPECT_NE(std::string::npos, err.find(dir_.File("plainfile"))) << err;
  EXPECT_TRUE(reg->RegWrite("HKCU\\Software\\K\\", "v", "REG_SZ", &err)) << err;
}

TEST_F(StandInFilesTest, AnAccountThatCannotWriteTheFolderReadsTheMachineHive) {
  {
    auto reg = Open(true);
    std::string err;
    ASSERT_TRUE(reg->RegWrite("HKLM\\Software\\K\\", "v", "REG_SZ", &err)) << err;
  }
  // Read in a child that cannot write the folder or the file: as root the child becomes
  // "nobody", otherwise the permissions are taken away.
  if (geteuid() == 0) {
    for (auto folder = std::filesystem::path(dir_.path()).parent_path();
         folder != folder.root_path(); folder = folder.parent_path()) {
      struct stat st;
      if (stat(folder.c_str(), &st) != 0 || (st.st_mode & S_IXOTH) == 0) {
        GTEST_SKIP() << "\"nobody\" cannot reach " << folder << "; set TMPDIR elsewhere";
      }
    }
  }
  chmod(dir_.path().c_str(), 0755);
  chmod(dir_.File("lib").c_str(), 0555);
  chmod(files_.machine.c_str(), 0444);
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && setuid(65534) != 0) _exit(3);
    std::string err;
    auto reg = StandInRegistry::OpenFiles(files_, false, &err);
    if (!reg) _exit(2);
    _exit(ReadRegistryValue(*reg, Hive::kLocalMachine, "Software\\K", "") ==
                  RegistryValue(std::string("v"))
              ? 0
              : 1);
  }
  int status = -1;
  waitpid(child, &status, 0);
  chmod(dir_.File("lib").c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status));
}

// Memory variant.

TEST(StandInMemoryTest, PrivateRegistriesAreSeparateAndNamedOnesShare) {
  auto a = StandInRegistry::OpenInMemory(true);
  auto b = StandInRegistry::OpenInMemory(true);
  std::string err;
  ASSERT_TRUE(a->RegWrite("HKCU\\K\\v", "1", "REG_SZ", &err)) << err;
  EXPECT_EQ(kErrorFileNotFound, b->KeyExists(Hive::kCurrentUser, "K"));

  auto admin = StandInRegistry::OpenInMemory(true, "share-test");
  ASSERT_TRUE(admin->RegWrite("HKLM\\Software\\X\\", "v", "REG_SZ", &err)) << err;
  auto user = StandInRegistry::OpenInMemory(false, "share-test");
  EXPECT_EQ(RegistryValue(std::string("v")),
            ReadRegistryValue(*user, Hive::kLocalMachine, "Software\\X", ""));
  EXPECT_FALSE(user->RegWrite("HKLM\\Software\\X\\", "w", "REG_SZ", &err));
  EXPECT_EQ("RegWrite(HKLM\\Software\\X\\): access denied", err);
}

TEST(StandInMemoryTest, HandlesBelongToTheirRegistry) {
  auto a = StandInRegistry::OpenInMemory(false);
  auto b = StandInRegistry::OpenInMemory(false);
  KeyHandle key = nullptr;
  ASSERT_EQ(kErrorSuccess, a->OpenKey(Hive::kCurrentUser, "", kKeyRead, &key));
  uint32_t size = 0;
  EXPECT_EQ(kErrorInvalidHandle, b->QueryValue(key, "", nullptr, nullptr, &size));
  EXPECT_EQ(kErrorSuccess, a->CloseKey(key));
  EXPECT_EQ(kErrorInvalidHandle, a->CloseKey(key));
  EXPECT_EQ(kErrorInvalidHandle, a->QueryValue(key, "", nullptr, nullptr, &size));
}

TEST(StandInMemoryTest, NamesAreStoredAsValidUtf8WhateverTheyCameAs) {
  // A registry name is UTF-16: bytes that are not UTF-8 (an ANSI ".reg" file, a stray byte in
  // a path) become U+FFFD in the stored spelling as they already do in the comparison form.
  auto reg = StandInRegistry::OpenInMemory(true);
  std::string err;
  ASSERT_TRUE(reg->RegWrite("HKCU\\\xC4nderung\\Val\xFF", "x", "REG_SZ", &err)) << err;
  const RegEdit edit{RegEdit::Op::kSetValue, Hive::kLocalMachine, "K\xE9y", "N\xC0\x80", kRegSz,
                     TextToRegBytes("y")};
  ASSERT_TRUE(reg->Apply({&edit, 1}, &err)) << err;

  std::vector<std::string> keys;
  std::vector<ValueEntry> values;
  ASSERT_EQ(kErrorSuccess, reg->ListSubKeys(Hive::kCurrentUser, "", &keys));
  EXPECT_EQ(std::vector<std::string>{"\uFFFDnderung"}, keys);
  ASSERT_EQ(kErrorSuccess, reg->ListValues(Hive::kCurrentUser, "\uFFFDnderung", &values));
  ASSERT_EQ(1u, values.size());
  EXPECT_EQ("Val\uFFFD", values[0].name);
  ASSERT_EQ(kErrorSuccess, reg->ListSubKeys(Hive::kLocalMachine, "", &keys));
  EXPECT_EQ(std::vector<std::string>{"K\uFFFDy"}, keys);
  ASSERT_EQ(kErrorSuccess, reg->ListValues(Hive::kLocalMachine, "K\uFFFDy", &values));
  ASSERT_EQ(1u, values.size());
  EXPECT_EQ("N\uFFFD\uFFFD", values[0].name);
}

TEST(StandInMemoryTest, KeysGoNoDeeperThanWindowsAllows) {
  // Windows stops a key path at 512 levels; a deeper tree here could not be deleted again.
  auto reg = StandInRegistry::OpenInMemory(true);
  std::string path = "HKCU\\Deep";
  for (int i = 1; i < 512; ++i) path += "\\k";
  std::string err;
  ASSERT_TRUE(reg->RegWrite(path + "\\v", "x", "REG_SZ", &err)) << err;
  EXPECT_FALSE(reg->RegWrite(path + "\\k\\v", "x", "REG_SZ", &err));
  EXPECT_EQ("RegWrite(" + path + "\\k\\v): write <memory>: a key path has at most 512 levels", err);
  const RegEdit edit{
      RegEdit::Op::kCreateKey, Hive::kCurrentUser, path.substr(5) + "\\k\\k", "", kRegSz, {}};
  EXPECT_FALSE(reg->Apply({&edit, 1}, &err));
  EXPECT_EQ(kErrorFileNotFound, reg->KeyExists(Hive::kCurrentUser, path.substr(5) + "\\k"));
  EXPECT_EQ(kErrorSuccess, reg->DeleteKeyTree(Hive::kCurrentUser, "Deep"));
  EXPECT_EQ(kErrorFileNotFound, reg->KeyExists(Hive::kCurrentUser, "Deep"));
}

TEST(StandInMemoryTest, DeepTreesDeleteCompletely) {
  auto reg = StandInRegistry::OpenInMemory(false);
  std::string path = "Deep";
  for (int i = 0; i < 200; ++i) path += "\\k" + std::to_string(i);
  std::string err;
  ASSERT_TRUE(reg->RegWrite("HKCU\\" + path + "\\v", "x", "REG_SZ", &err)) << err;
  EXPECT_EQ(kErrorSuccess, reg->DeleteKeyTree(Hive::kCurrentUser, "deep"));
  EXPECT_EQ(kErrorFileNotFound, reg->KeyExists(Hive::kCurrentUser, path));
  EXPECT_EQ(kErrorInvalidParameter, reg->DeleteKeyTree(Hive::kCurrentUser, ""));
}

}  // namespace
}  // namespace tarnwick
