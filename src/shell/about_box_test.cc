#include "shell/about_box.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/layout.h"

namespace tarnwick {
namespace {

// The box's texts by name must not drift from the table the front ends draw.
TEST(FrmAboutTest, TextsAreTheLayoutTablesCaptions) {
  const auto rows = AboutControls();
  auto caption = [&](const char* name) {
    const ControlRow* row = FindControl(rows, name);
    return row != nullptr && row->caption != nullptr ? std::string(row->caption) : "<none>";
  };
  EXPECT_EQ(kAboutWindow.title, std::string(frmAbout::kCaption));
  EXPECT_EQ(caption("lblTitle"), frmAbout::kTitle);
  EXPECT_EQ(caption("Label1"), frmAbout::kLabel1);
  EXPECT_EQ(caption("lblDescription"), frmAbout::kDescription);
  EXPECT_EQ(caption("Label2"), frmAbout::kLabel2);
  EXPECT_EQ(caption("Label3"), frmAbout::kLabel3);
  EXPECT_EQ(caption("cmdOK"), frmAbout::kOk);
}

}  // namespace
}  // namespace tarnwick
