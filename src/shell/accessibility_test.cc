#include "shell/accessibility.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

bool TakesFocus(const ControlRow& row) {
  return row.kind != ControlKind::kLabel && row.kind != ControlKind::kFrame &&
         !(row.flags & kNoTabStop);
}

// What a screen reader says for each control a keyboard reaches, in the order it reaches them.
std::vector<std::pair<std::string, std::string>> Spoken(const WindowFacts& window,
                                                        std::span<const ControlRow> rows) {
  std::vector<const ControlRow*> focusable;
  for (const ControlRow& row : rows) {
    if (TakesFocus(row)) focusable.push_back(&row);
  }
  std::sort(focusable.begin(), focusable.end(),
            [](auto* a, auto* b) { return a->tab_index < b->tab_index; });
  std::vector<std::pair<std::string, std::string>> spoken;
  for (const ControlRow* row : focusable) {
    spoken.emplace_back(row->name, AccessibleName(window, rows, *row));
  }
  return spoken;
}

TEST(AccessibilityTest, EveryControlTheKeyboardReachesHasANameThatSaysWhatItDoes) {
  const std::vector<std::pair<std::string, std::string>> main_window = {
      {"Option1", "GreenBrowser"},
      {"Option2", "Internet Explorer 6"},
      {"Option3", "Maxthon"},
      {"Option4", "SlimBrowser"},
      {"Option5", "Crazy Browser"},
      {"Option6", "Mozilla Firefox"},
      {"Option7", "Deepnet Explorer"},
      {"Option8", "Avant Browser"},
      {"Command7", "Apply"},
      {"Command1", "Browse for the browser's program"},
      {"Command2", "Apply"},
      {"Command5", "Reset"},
      {"Command3", "Homepage"},
      {"Command4", "About"},
      {"Text1", "Select your web browser:"},
      {"Picture1", "Donate (via PayPal)"},
  };
  EXPECT_EQ(main_window, Spoken(kForm1Window, Form1Controls()));
  // The About box's icon does nothing; only OK takes the focus there.
  const std::vector<std::pair<std::string, std::string>> about = {{"cmdOK", "OK"}};
  EXPECT_EQ(about, Spoken(kAboutWindow, AboutControls()));
}

TEST(AccessibilityTest, TheTwoApplyButtonsAreToldApartByTheirDescriptions) {
  const ControlRow* presets = FindControl(Form1Controls(), "Command7");
  const ControlRow* custom = FindControl(Form1Controls(), "Command2");
  ASSERT_NE(nullptr, presets);
  ASSERT_NE(nullptr, custom);
  EXPECT_STREQ("Sets the chosen preset as the default browser", presets->tooltip);
  EXPECT_STREQ("Sets the browser program in the box as the default browser", custom->tooltip);
}

TEST(AccessibilityTest, EveryRowNamesAControlOfItsWindowAndALabelThatExists) {
  for (const AccessibleRow& row : AccessibleControls()) {
    const auto rows =
        std::string_view(row.window) == kForm1Window.name ? Form1Controls() : AboutControls();
    const ControlRow* control = FindControl(rows, row.control);
    ASSERT_NE(nullptr, control) << row.control;
    EXPECT_TRUE(TakesFocus(*control)) << row.control << " is never reached";
    EXPECT_EQ(&row, FindAccessible(row.window, row.control));
    if (row.labelled_by) {
      const ControlRow* label = FindControl(rows, row.labelled_by);
      ASSERT_NE(nullptr, label) << row.labelled_by;
      EXPECT_EQ(ControlKind::kLabel, label->kind);
      // A buddy label shares its control's container.
      EXPECT_STREQ(control->container, label->container);
    }
    // What the program draws itself, it must say what it is.
    if (control->kind == ControlKind::kPictureBox) {
      EXPECT_NE(AccessibleRole::kSystem, row.role) << row.control;
    }
  }
  EXPECT_EQ(nullptr, FindAccessible("frmAbout", "Command7"));
  EXPECT_EQ(nullptr, FindAccessible("Form1", "Option1"));
}

TEST(AccessibilityTest, EveryCommandButtonOfTheMainWindowIsAPushButton) {
  int buttons = 0;
  for (const ControlRow& row : Form1Controls()) {
    if (row.kind != ControlKind::kCommandButton) continue;
    ++buttons;
    const AccessibleRow* facts = FindAccessible(kForm1Window.name, row.name);
    ASSERT_NE(nullptr, facts) << row.name;
    EXPECT_EQ(AccessibleRole::kPushButton, facts->role) << row.name;
  }
  EXPECT_EQ(6, buttons);
  EXPECT_EQ(AccessibleRole::kLink, FindAccessible("Form1", "Picture1")->role);
}

TEST(AccessibilityTest, DefaultActionsAreTheSystemsWords) {
  EXPECT_STREQ("Press", DefaultAction(AccessibleRole::kPushButton));
  EXPECT_STREQ("Jump", DefaultAction(AccessibleRole::kLink));
  EXPECT_EQ(nullptr, DefaultAction(AccessibleRole::kSystem));
}

}  // namespace
}  // namespace tarnwick
