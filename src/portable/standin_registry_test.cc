#include "portable/standin_registry.h"

#include <gtest/gtest.h>

#include "registry/registry_reader.h"

namespace tarnwick {
namespace {

TEST(StandInRegistryTest, InMemoryWritesReadBack) {
  auto reg = StandInRegistry::OpenInMemory(false);
  ASSERT_TRUE(reg);
  std::string err;
  ASSERT_TRUE(reg->RegWrite("HKCU\\Software\\Classes\\.htm\\", "MyHTMLfile", "REG_SZ", &err))
      << err;
  ASSERT_TRUE(reg->RegWrite("HKCU\\Software\\Classes\\MyInternetShortcut\\EditFlags", "2",
                            "REG_DWORD", &err))
      << err;
  EXPECT_EQ(RegistryValue(std::string("MyHTMLfile")),
            ReadRegistryValue(*reg, Hive::kCurrentUser, "software\\classes\\.HTM", ""));
  EXPECT_EQ(RegistryValue(int32_t{2}), ReadRegistryValue(*reg, Hive::kCurrentUser,
                                                         "Software\\Classes\\MyInternetShortcut",
                                                         "editflags"));
}

TEST(StandInRegistryTest, InMemoryMachineHiveRefusesWritesWithoutAdministrator) {
  auto reg = StandInRegistry::OpenInMemory(false);
  std::string err;
  EXPECT_FALSE(reg->RegWrite("HKLM\\Software\\X\\", "v", "REG_SZ", &err));
  EXPECT_NE(std::string::npos, err.find("access denied")) << err;
  auto admin = StandInRegistry::OpenInMemory(true);
  EXPECT_TRUE(admin->RegWrite("HKLM\\Software\\X\\", "v", "REG_SZ", &err)) << err;
}

TEST(StandInRegistryTest, PrivateMemoryRegistriesAreSeparate) {
  auto a = StandInRegistry::OpenInMemory(false);
  auto b = StandInRegistry::OpenInMemory(false);
  std::string err;
  ASSERT_TRUE(a->RegWrite("HKCU\\K\\v", "1", "REG_SZ", &err));
  EXPECT_EQ(kErrorFileNotFound, b->KeyExists(Hive::kCurrentUser, "K"));
}

TEST(StandInRegistryTest, NamedMemoryRegistriesShareTheirHives) {
  auto admin = StandInRegistry::OpenInMemory(true, "shared-test");
  std::string err;
  ASSERT_TRUE(admin->RegWrite("HKLM\\Software\\X\\", "v", "REG_SZ", &err)) << err;
  auto user = StandInRegistry::OpenInMemory(false, "shared-test");
  EXPECT_EQ(RegistryValue(std::string("v")),
            ReadRegistryValue(*user, Hive::kLocalMachine, "Software\\X", ""));
}

}  // namespace
}  // namespace tarnwick
