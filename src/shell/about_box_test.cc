#include "shell/about_box.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/layout.h"

namespace tarnwick {
namespace {

// The box shows these texts to the letter, the registered sign as U+00AE included.
TEST(FrmAboutTest, FixedTexts) {
  const auto rows = AboutControls();
  auto caption = [&](const char* name) {
    const ControlRow* row = FindControl(rows, name);
    return row != nullptr && row->caption != nullptr ? std::string(row->caption) : "<none>";
  };
  EXPECT_EQ("About Tarnwick", std::string(kAboutWindow.title));
  EXPECT_EQ("Tarnwick 1.5 for Windows\u00AE XP", caption("lblTitle"));
  EXPECT_EQ("Set the default browser for your user profile", caption("Label1"));
  EXPECT_EQ(kCopyrightNotice, caption("lblDescription"));
  EXPECT_EQ("Halvard's Windows\u00AE Troubleshooting site", caption("Label2"));
  EXPECT_EQ("To Donate (via PayPal), click this link.", caption("Label3"));
  EXPECT_EQ("OK", caption("cmdOK"));
}

}  // namespace
}  // namespace tarnwick
