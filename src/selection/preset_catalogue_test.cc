#include "selection/preset_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tarnwick {
namespace {

TEST(PresetCatalogueTest, RowsFollowTheirOptionButtons) {
  const auto rows = PresetCatalogue();
  ASSERT_EQ(8u, rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ("Option" + std::to_string(i + 1), rows[i].OptionName);
  }
}

TEST(PresetCatalogueTest, MachineClientPathsNameTheRowsClient) {
  std::set<std::string> clients;
  for (const BrowserPreset& row : PresetCatalogue()) {
    SCOPED_TRACE(row.Caption);
    EXPECT_TRUE(clients.insert(row.ClientName).second);
    EXPECT_EQ('\\', row.RelativePath[0]);
    if (!row.MachineClient) {
      EXPECT_EQ(nullptr, row.ClientCommandPath);
      EXPECT_EQ(nullptr, row.ClientNamePath);
      EXPECT_EQ(nullptr, row.DisplayName);
      continue;
    }
    const std::string key =
        std::string(R"(HKLM\Software\Clients\StartMenuInternet\)") + row.ClientName;
    EXPECT_EQ(key + R"(\shell\open\command\)", row.ClientCommandPath);
    EXPECT_EQ(key + R"(\LocalizedString)", row.ClientNamePath);
    ASSERT_NE(nullptr, row.DisplayName);
  }
}

TEST(PresetCatalogueTest, EveryCommandQuotesTheExecutablePath) {
  // Unquoted, a path with blanks would let Windows run C:\Program.exe first.
  const std::string path = R"(C:\Program Files\Avant Browser\avant.exe)";
  EXPECT_EQ(R"("C:\Program Files\Avant Browser\avant.exe" "%1")",
            BuildOpenCommand(CommandForm::kQuoted, path));
  EXPECT_EQ(R"("C:\Program Files\Avant Browser\avant.exe" "%1")",
            BuildOpenCommand(CommandForm::kBare, path));
  EXPECT_EQ(R"("C:\Program Files\Avant Browser\avant.exe" -url "%1")",
            BuildOpenCommand(CommandForm::kUrlSwitch, path));
  EXPECT_EQ(R"("C:\Program Files\Avant Browser\avant.exe")", ClientCommand(path));
}

}  // namespace
}  // namespace tarnwick
