// Damaged hive files: whatever has happened to a hive file, opening it fails with an error that
// names the file, and the file (and its folder) stays exactly as it was.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <ostream>
#include <random>

#include "standin/standin_registry.h"
#include "standin/temp_dir_for_test.h"

namespace tarnwick {
namespace {

enum class Damage {
  kTruncatedToHalf,
  kTruncatedInHeader,
  kZeroFilled,
  kRandomBytes,
  kDirectory,
  kUnreadable
};

struct DamageCase {
  const char* name;
  Damage damage;
  const char* reason;  ///< the end of the error, after "open FILE: "; null for any
};

void PrintTo(const DamageCase& damage, std::ostream* out) { *out << damage.name; }

const DamageCase kDamageCases[] = {
    {"TruncatedToHalf", Damage::kTruncatedToHalf, nullptr},
    {"TruncatedInHeader", Damage::kTruncatedInHeader, nullptr},
    {"ZeroFilled", Damage::kZeroFilled, nullptr},
    {"RandomBytes", Damage::kRandomBytes, nullptr},
    {"Directory", Damage::kDirectory, "is a directory"},
    {"Unreadable", Damage::kUnreadable, "permission denied"},
};

// Every file below `dir` with its size and a digest of its bytes; a folder maps to "<dir>".
// The "-shm" files are SQLite's shared index of a hive's log, which every reader may rewrite,
// so only their presence counts.
std::map<std::string, std::string> Contents(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    std::string summary = "<dir>";
    if (entry.path().string().ends_with("-shm")) {
      summary = "<index>";
    } else if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string bytes(std::istreambuf_iterator<char>(in), {});
      summary = std::to_string(bytes.size()) + " bytes, digest " +
                std::to_string(std::hash<std::string>()(bytes));
    }
    files[entry.path().filename().string()] = summary;
  }
  return files;
}

class DamagedHiveTest : public testing::TestWithParam<std::tuple<DamageCase, bool>> {
 protected:
  void SetUp() override {
    // A real hive with something in it, closed cleanly, as damage would find it.
    auto reg = StandInRegistry::OpenFiles(files_, true, &err_);
    ASSERT_TRUE(reg) << err_;
    for (int i = 0; i < 40; ++i) {
      ASSERT_TRUE(reg->RegWrite("HKCU\\Software\\Classes\\K" + std::to_string(i) + "\\",
                                std::string(200, 'a' + i % 26), "REG_SZ", &err_));
      ASSERT_TRUE(reg->RegWrite("HKLM\\Software\\Clients\\C" + std::to_string(i) + "\\",
                                std::string(200, 'a' + i % 26), "REG_SZ", &err_));
    }
  }

  void Damage(const std::string& file, tarnwick::Damage damage) {
    const auto size = std::filesystem::file_size(file);
    for (const char* suffix : {"-wal", "-shm"}) std::filesystem::remove(file + suffix);
    std::string bytes = dir_.Read(std::filesystem::path(file).filename());
    switch (damage) {
      case Damage::kTruncatedToHalf:
        std::filesystem::resize_file(file, size / 2);
        return;
      case Damage::kTruncatedInHeader:
        std::filesystem::resize_file(file, 60);
        return;
      case Damage::kZeroFilled:
        dir_.Put(std::filesystem::path(file).filename(), std::string(size, '\0'));
        return;
      case Damage::kRandomBytes: {
        std::mt19937 random(7);
        for (char& c : bytes) c = static_cast<char>(random());
        dir_.Put(std::filesystem::path(file).filename(), bytes);
        return;
      }
      case Damage::kDirectory:
        std::filesystem::remove(file);
        std::filesystem::create_directory(file);
        return;
      case Damage::kUnreadable:
        chmod(file.c_str(), 0);
        return;
    }
  }

  TempDir dir_;
  HiveLocations files_{dir_.File("user.hive"), dir_.File("machine.hive")};
  std::string err_;
};

TEST_P(DamagedHiveTest, OpeningFailsByNameAndLeavesTheFilesAlone) {
  const auto& [damage, machine] = GetParam();
  if (damage.damage == Damage::kUnreadable && geteuid() == 0) {
    GTEST_SKIP() << "the superuser reads every file";
  }
  const std::string& file = machine ? files_.machine : files_.user;
  Damage(file, damage.damage);
  const auto before = Contents(dir_.path());

  for (bool administrator : {false, true}) {
    std::string err;
    EXPECT_EQ(nullptr, StandInRegistry::OpenFiles(files_, administrator, &err));
    const std::string prefix = "open " + file + ": ";
    ASSERT_EQ(prefix, err.substr(0, prefix.size())) << err;
    EXPECT_GT(err.size(), prefix.size());
    if (damage.reason != nullptr) {
      EXPECT_EQ(prefix + damage.reason, err);
    }
  }
  EXPECT_EQ(before, Contents(dir_.path()));
  chmod(file.c_str(), 0644);
}

INSTANTIATE_TEST_SUITE_P(, DamagedHiveTest,
                         testing::Combine(testing::ValuesIn(kDamageCases), testing::Bool()),
                         [](const testing::TestParamInfo<DamagedHiveTest::ParamType>& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "Machine" : "User");
                         });

}  // namespace
}  // namespace tarnwick
