#include "shell/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "selection/preset_catalogue.h"

namespace tarnwick {
namespace {

TEST(LayoutTest, TwipsToPixelsRoundsToNearest) {
  EXPECT_EQ(1, TwipsToPixels(15, 96));
  EXPECT_EQ(304, TwipsToPixels(4560, 96));
  EXPECT_EQ(447, TwipsToPixels(6705, 96));
  EXPECT_EQ(20, TwipsToPixels(15 * 16, 120));
  EXPECT_EQ(1, TwipsToPixels(8, 96));  // 0.53 px
  EXPECT_EQ(0, TwipsToPixels(7, 96));  // 0.47 px
  EXPECT_EQ(-1, TwipsToPixels(-8, 96));
  EXPECT_EQ(559, TwipsToPixels(6705, 120));  // 558.75
}

TEST(LayoutTest, TheOptionButtonsAreTheCataloguesPresetsInItsOrder) {
  std::vector<std::string> options;
  for (const ControlRow& row : Form1Controls()) {
    if (row.kind == ControlKind::kOptionButton) options.push_back(row.name);
  }
  ASSERT_EQ(static_cast<size_t>(kPresetCount), options.size());
  for (int i = 0; i < kPresetCount; ++i) {
    const BrowserPreset& preset = PresetCatalogue()[i];
    EXPECT_EQ(preset.OptionName, options[i]);
    const ControlRow* row = FindControl(Form1Controls(), preset.OptionName);
    ASSERT_NE(nullptr, row);
    EXPECT_STREQ(preset.Caption, row->caption);
    EXPECT_EQ(i + 1, row->tab_index);
  }
}

TEST(LayoutTest, MainWindowIs304By447PixelsAt96Dpi) {
  EXPECT_EQ(304, TwipsToPixels(kForm1Window.client_width, 96));
  EXPECT_EQ(447, TwipsToPixels(kForm1Window.client_height, 96));
  EXPECT_EQ(352, TwipsToPixels(kAboutWindow.client_width, 96));
  EXPECT_EQ(187, TwipsToPixels(kAboutWindow.client_height, 96));
}

// Every container is the window or a frame that is listed before its contents.
void ExpectContainersComeFirst(std::span<const ControlRow> rows, const char* window) {
  std::set<std::string> seen{window};
  for (const ControlRow& row : rows) {
    EXPECT_TRUE(seen.count(row.container)) << row.name << " in " << row.container;
    if (row.kind == ControlKind::kFrame) seen.insert(row.name);
  }
}

TEST(LayoutTest, ContainersPrecedeTheirControls) {
  ExpectContainersComeFirst(Form1Controls(), kForm1Window.name);
  ExpectContainersComeFirst(AboutControls(), kAboutWindow.name);
}

TEST(LayoutTest, NamesAndTabIndicesAreUniquePerWindow) {
  for (auto rows : {Form1Controls(), AboutControls()}) {
    std::set<std::string> names;
    std::set<int> tabs;
    for (const ControlRow& row : rows) {
      EXPECT_TRUE(names.insert(row.name).second) << row.name;
      EXPECT_TRUE(tabs.insert(row.tab_index).second) << row.name;
    }
    EXPECT_EQ(0, *tabs.begin());
    EXPECT_EQ(static_cast<int>(rows.size()) - 1, *tabs.rbegin());
  }
}

TEST(LayoutTest, ControlsInsideFramesFitTheirFrame) {
  const auto rows = Form1Controls();
  for (const ControlRow& row : rows) {
    const ControlRow* frame = FindControl(rows, row.container);
    if (!frame) continue;
    EXPECT_LE(row.left + row.width, frame->width) << row.name;
    EXPECT_LE(row.top + row.height, frame->height) << row.name;
  }
  for (const ControlRow& row : AboutControls()) {
    EXPECT_LE(row.left + row.width, kAboutWindow.client_width) << row.name;
    EXPECT_LE(row.top + row.height, kAboutWindow.client_height) << row.name;
  }
}

TEST(LayoutTest, FocusOrderFollowsTabIndex) {
  std::vector<const ControlRow*> focusable;
  for (const ControlRow& row : Form1Controls()) {
    if (row.kind != ControlKind::kLabel && row.kind != ControlKind::kFrame) {
      focusable.push_back(&row);
    }
  }
  std::sort(focusable.begin(), focusable.end(),
            [](auto* a, auto* b) { return a->tab_index < b->tab_index; });
  std::vector<std::string> order;
  for (const ControlRow* row : focusable) order.push_back(row->name);
  const std::vector<std::string> expected = {"Option1",  "Option2",  "Option3",  "Option4",
                                             "Option5",  "Option6",  "Option7",  "Option8",
                                             "Command7", "Command1", "Command2", "Command5",
                                             "Command3", "Command4", "Text1",    "Picture1"};
  EXPECT_EQ(expected, order);
}

TEST(LayoutTest, AccessKeysBelongToTheCustomFrameButtons) {
  std::vector<std::string> keyed;
  for (const ControlRow& row : Form1Controls()) {
    if (char key = AccessKey(row.caption)) keyed.push_back(row.name + std::string(1, key));
  }
  EXPECT_EQ((std::vector<std::string>{"Command2A", "Command5R", "Command3H"}), keyed);
}

TEST(LayoutTest, AccessMarkersAndLiteralAmpersands) {
  EXPECT_EQ('A', AccessKey("&Apply"));
  EXPECT_EQ('H', AccessKey("&homepage"));
  EXPECT_EQ(0, AccessKey("Tom && Jerry"));
  EXPECT_EQ('J', AccessKey("Tom && &Jerry"));
  EXPECT_EQ(0, AccessKey(nullptr));
  EXPECT_EQ("Apply", DisplayCaption("&Apply"));
  EXPECT_EQ("Tom & Jerry", DisplayCaption("Tom && &Jerry"));
  EXPECT_EQ("", DisplayCaption(nullptr));
}

TEST(LayoutTest, WindowOriginAddsEveryContainer) {
  const auto rows = Form1Controls();
  TwipPoint label5 = WindowOrigin(rows, *FindControl(rows, "Label5"));
  EXPECT_EQ(120 + 2280 + 120, label5.x);  // Frame2, Frame4, Label5
  EXPECT_EQ(480 + 240 + 240, label5.y);
  TwipPoint label1 = WindowOrigin(rows, *FindControl(rows, "Label1"));
  EXPECT_EQ(0, label1.x);
  EXPECT_EQ(120, label1.y);
}

TEST(LayoutTest, DonationPictureBoxIsTheImageSize) {
  PixelRect box = ToPixels(*FindControl(Form1Controls(), "Picture1"), 96);
  EXPECT_EQ(62, box.width);
  EXPECT_EQ(31, box.height);
  PixelRect icon = ToPixels(*FindControl(AboutControls(), "picIcon"), 96);
  EXPECT_EQ(32, icon.width);
  EXPECT_EQ(32, icon.height);
}

}  // namespace
}  // namespace tarnwick
