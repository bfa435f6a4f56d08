#include "win32/controls-win32.h"

#include <gtest/gtest.h>

#include <string_view>

#include "shell/layout.h"

namespace tarnwick {
namespace {

const ControlRow& Row(std::string_view name) {
  const ControlRow* row = FindControl(Form1Controls(), name);
  EXPECT_NE(nullptr, row) << name;
  return *row;
}

TEST(ControlsWin32Test, RectanglesAddTheContainersAndScaleWithTheDpi) {
  // Option3 lies in Frame2 at (120, 480): its window position is (600, 1320) twips.
  const RECT at96 = ControlRect(Form1Controls(), Row("Option3"), 96);
  EXPECT_EQ(40, at96.left);
  EXPECT_EQ(88, at96.top);
  EXPECT_EQ(121, at96.right);   // 600 + 1215 twips
  EXPECT_EQ(105, at96.bottom);  // 1320 + 255 twips
  // Label5 sits two containers deep: Frame4 inside Frame2.
  const RECT label5 = ControlRect(Form1Controls(), Row("Label5"), 120);
  EXPECT_EQ(TwipsToPixels(120 + 2280 + 120, 120), label5.left);
  EXPECT_EQ(TwipsToPixels(480 + 240 + 240, 120), label5.top);
  // Edges are converted one by one, not the width: Frame1 (120, 3000) holds Command5.
  const RECT reset = ControlRect(Form1Controls(), Row("Command5"), 144);
  EXPECT_EQ(TwipsToPixels(120 + 1200, 144), reset.left);
  EXPECT_EQ(TwipsToPixels(120 + 1200 + 975, 144), reset.right);
  EXPECT_EQ(TwipsToPixels(3000 + 960 + 855, 144), reset.bottom);
}

TEST(ControlsWin32Test, FontsTakeTheirOwnFaceOrTheWindowsAtThePointSize) {
  const LOGFONTW window = MakeLogFont(Row("Option1").font, kForm1Window, 96);
  EXPECT_STREQ(L"MS Sans Serif", window.lfFaceName);
  EXPECT_EQ(-11, window.lfHeight);  // 8.25 pt at 96 DPI
  EXPECT_EQ(FW_NORMAL, window.lfWeight);

  const LOGFONTW banner = MakeLogFont(Row("Label1").font, kForm1Window, 120);
  EXPECT_STREQ(L"Arial", banner.lfFaceName);
  EXPECT_EQ(-15, banner.lfHeight);  // 9 pt at 120 DPI
  EXPECT_EQ(FW_BOLD, banner.lfWeight);
  EXPECT_FALSE(banner.lfUnderline);

  const LOGFONTW link = MakeLogFont(Row("Label4").font, kForm1Window, 96);
  EXPECT_TRUE(link.lfUnderline);
  EXPECT_FALSE(link.lfItalic);
}

TEST(ControlsWin32Test, APictureTakesTheFocusOnlyWhenPressingItDoesSomething) {
  EXPECT_TRUE(ClassFor(Row("Picture1")).style & WS_TABSTOP);
  const ControlRow* icon = FindControl(AboutControls(), "picIcon");
  ASSERT_NE(nullptr, icon);
  EXPECT_FALSE(ClassFor(*icon).style & WS_TABSTOP);
}

TEST(ControlsWin32Test, ColoursComeFromTheRowOrTheSystem) {
  EXPECT_EQ(RGB(0, 0, 192), ResolveColour(Row("Frame2").fore, 7));
  EXPECT_EQ(RGB(128, 64, 64), ResolveColour(Row("Label5").fore, 7));
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), ResolveColour(Row("Label1").fore, 7));
  EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), ResolveColour(Row("Label2").fore, 7));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), ResolveColour(Row("Text1").back, 7));
  EXPECT_EQ(COLORREF{7}, ResolveColour(Row("Option1").fore, 7));
}

TEST(ControlsWin32Test, EachKindGetsItsClassAndStyles) {
  const ControlClass option = ClassFor(Row("Option1"));
  EXPECT_STREQ(L"BUTTON", option.class_name);
  // Only automatic option buttons are selected by the arrow keys.
  EXPECT_EQ(static_cast<DWORD>(BS_AUTORADIOBUTTON), option.style & BS_TYPEMASK);

  EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), ClassFor(Row("Command7")).style & BS_TYPEMASK);
  EXPECT_EQ(static_cast<DWORD>(BS_PUSHBUTTON), ClassFor(Row("Command1")).style & BS_TYPEMASK);
  const ControlRow* ok = FindControl(AboutControls(), "cmdOK");
  ASSERT_NE(nullptr, ok);
  EXPECT_EQ(static_cast<DWORD>(BS_DEFPUSHBUTTON), ClassFor(*ok).style & BS_TYPEMASK);

  const ControlClass text = ClassFor(Row("Text1"));
  EXPECT_STREQ(L"EDIT", text.class_name);
  EXPECT_TRUE(text.style & WS_TABSTOP);

  const ControlClass label = ClassFor(Row("Label4"));
  EXPECT_STREQ(L"STATIC", label.class_name);
  EXPECT_TRUE(label.style & SS_NOTIFY);  // clicks reach the window
  EXPECT_FALSE(label.style & WS_TABSTOP);
  EXPECT_EQ(static_cast<DWORD>(SS_CENTER), ClassFor(Row("Label1")).style & SS_TYPEMASK);

  EXPECT_EQ(static_cast<DWORD>(SS_BITMAP), ClassFor(Row("Picture1")).style & SS_TYPEMASK);
  EXPECT_FALSE(ClassFor(Row("Picture1")).style & WS_BORDER);
  EXPECT_EQ(nullptr, ClassFor(Row("Frame1")).class_name);
}

TEST(ControlsWin32Test, CreationFollowsTheTabIndexWithLabelsBelowAndLeavesFramesOut) {
  const std::vector<const ControlRow*> order = CreationOrder(Form1Controls());
  ASSERT_EQ(Form1Controls().size() - 4, order.size());  // four frames
  // Labels last, so that none covers a control it overlaps (Label3 reaches into Text1).
  size_t labels = 0;
  while (labels < order.size() && order[labels]->kind != ControlKind::kLabel) ++labels;
  for (size_t i = labels; i < order.size(); ++i) {
    EXPECT_EQ(ControlKind::kLabel, order[i]->kind) << order[i]->name;
  }
  for (size_t i = 1; i < labels; ++i) {
    EXPECT_LT(order[i - 1]->tab_index, order[i]->tab_index) << order[i]->name;
  }
  // Of two overlapping labels the later one is on top: the About box's lblTitle reaches into
  // Label1 below it.
  const std::vector<const ControlRow*> about = CreationOrder(AboutControls());
  auto position = [&](std::string_view name) {
    for (size_t i = 0; i < about.size(); ++i) {
      if (name == about[i]->name) return i;
    }
    return about.size();
  };
  EXPECT_LT(position("Label1"), position("lblTitle"));
  // The focus order of the window: the options, the presets' Apply, the custom frame, then the
  // donation picture.
  std::vector<std::string_view> focusable;
  for (const ControlRow* row : order) {
    if (ClassFor(*row).style & WS_TABSTOP) focusable.push_back(row->name);
  }
  const std::vector<std::string_view> expected = {"Option1",  "Option2",  "Option3",  "Option4",
                                                  "Option5",  "Option6",  "Option7",  "Option8",
                                                  "Command7", "Command1", "Command2", "Command5",
                                                  "Command3", "Command4", "Text1",    "Picture1"};
  EXPECT_EQ(expected, focusable);
}

}  // namespace
}  // namespace tarnwick
