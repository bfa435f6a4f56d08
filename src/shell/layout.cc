#include "shell/layout.h"

#include <cctype>
#include <iterator>

namespace tarnwick {
namespace {

using enum ControlKind;
using enum Align;
using enum Picture;
using enum Cursor;

constexpr Colour kHighlightText = SystemColour(ColourSource::kHighlight);
constexpr Colour kButtonFace = SystemColour(ColourSource::kButtonFace);
constexpr Colour kDarkShadow = SystemColour(ColourSource::k3dDarkShadow);
constexpr Colour kDarkBlue = Rgb(0, 0, 192);
constexpr Colour kDarkRed = Rgb(192, 0, 0);
constexpr Colour kBlue = Rgb(0, 0, 255);
constexpr Colour kBlack = Rgb(0, 0, 0);
constexpr Colour kBrown = Rgb(128, 64, 64);
constexpr Colour kNo = kDefaultColour;

constexpr FontSpec kWindowFont{};
constexpr FontSpec kArialBold{"Arial", 9, kBold};
constexpr FontSpec kArialItalic{"Arial", 9, kItalic};
constexpr FontSpec kTahoma{"Tahoma", 8.25, kRegular};
constexpr FontSpec kLinkFont{"MS Sans Serif", 8.25, kUnderline};
constexpr FontSpec kVerdanaBold{"Verdana", 9, kBold};

// Each control in four lines: name, kind, container and caption; left, top, width, height (in
// twips) and tab index; font, text colour, background and alignment; tooltip, picture, cursor
// and flags.
// clang-format off
constexpr ControlRow kForm1Rows[] = {
  {"Label1", kLabel, "Form1", "Set the default browser for your user profile",
   0, 120, 4575, 255, 0,
   kArialBold, kHighlightText, kNo, kCenter,
   nullptr, kNone, kArrow, 0},
  {"Frame2", kFrame, "Form1", "Choose your web browser (Presets)",
   120, 480, 4335, 2415, 16,
   kWindowFont, kDarkBlue, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Option1", kOptionButton, "Frame2", "GreenBrowser",
   480, 360, 1815, 255, 1,
   kWindowFont, kNo, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Option2", kOptionButton, "Frame2", "Internet Explorer 6",
   480, 600, 1695, 255, 2,
   kWindowFont, kNo, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Option3", kOptionButton, "Frame2", "Maxthon",
   480, 840, 1215, 255, 3,
   kWindowFont, kNo, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Option4", kOptionButton, "Frame2", "SlimBrowser",
   480, 1080, 1455, 255, 4,
   kWindowFont, kNo, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Option5", kOptionButton, "Frame2", "Crazy Browser",
   480, 1320, 1695, 255, 5,
   kWindowFont, kNo, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Option6", kOptionButton, "Frame2", "Mozilla Firefox",
   480, 1560, 2055, 255, 6,
   kWindowFont, kNo, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Option7", kOptionButton, "Frame2", "Deepnet Explorer",
   480, 1800, 1815, 255, 7,
   kWindowFont, kNo, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Option8", kOptionButton, "Frame2", "Avant Browser",
   480, 2040, 1695, 255, 8,
   kWindowFont, kNo, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Command7", kCommandButton, "Frame2", "Apply",
   3480, 1680, 735, 615, 9,
   kWindowFont, kNo, kNo, kCenter,
   "Sets the chosen preset as the default browser", kTick, kArrow, kDisabledAtStart},
  {"Frame4", kFrame, "Frame2", nullptr,
   2280, 240, 1935, 1095, 23,
   kWindowFont, kNo, kNo, kLeft,
   nullptr, kNone, kArrow, kHiddenAtStart},
  {"Label5", kLabel, "Frame4", "",
   120, 240, 1695, 735, 24,
   kWindowFont, kBrown, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Frame1", kFrame, "Form1", "For other browsers, use this section",
   120, 3000, 4335, 1935, 15,
   kWindowFont, kDarkBlue, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Label3", kLabel, "Frame1", "Select your web browser:",
   240, 240, 3015, 375, 18,
   kWindowFont, kNo, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Text1", kTextBox, "Frame1", "",
   240, 480, 3615, 375, 17,
   kWindowFont, kBlue, kButtonFace, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Command1", kCommandButton, "Frame1", "...",
   3840, 480, 255, 375, 10,
   kWindowFont, kNo, kNo, kCenter,
   nullptr, kNone, kArrow, 0},
  {"Command2", kCommandButton, "Frame1", "&Apply",
   240, 960, 975, 855, 11,
   kWindowFont, kNo, kNo, kCenter,
   "Sets the browser program in the box as the default browser", kTick, kArrow,
   kDisabledAtStart},
  {"Command5", kCommandButton, "Frame1", "&Reset",
   1200, 960, 975, 855, 12,
   kWindowFont, kNo, kNo, kCenter,
   "Reset the default browser settings for your user profile.", kCross, kArrow, 0},
  {"Command3", kCommandButton, "Frame1", "&Homepage",
   2160, 960, 975, 855, 13,
   kWindowFont, kNo, kNo, kCenter,
   "Visit Homepage", kHome, kArrow, 0},
  {"Command4", kCommandButton, "Frame1", "About",
   3120, 960, 975, 855, 14,
   kWindowFont, kNo, kNo, kCenter,
   nullptr, kInfo, kArrow, 0},
  {"Frame3", kFrame, "Form1", "Support Contributions",
   120, 5040, 4335, 1335, 20,
   kWindowFont, kDarkRed, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Picture1", kPictureBox, "Frame3", nullptr,
   120, 480, 930, 465, 21,
   kWindowFont, kNo, kNo, kLeft,
   nullptr, kDonate, kHand, kNoBorder},
  {"Label4", kLabel, "Frame3", kDonationAppeal,
   1200, 360, 3015, 855, 22,
   kLinkFont, kBlue, kNo, kLeft,
   nullptr, kNone, kHand, 0},
  {"Label2", kLabel, "Form1", kCopyrightNotice,
   0, 6480, 4575, 255, 19,
   kTahoma, kDarkShadow, kNo, kCenter,
   nullptr, kNone, kArrow, 0},
};

constexpr ControlRow kAboutRows[] = {
  {"picIcon", kPictureBox, "frmAbout", nullptr,
   240, 240, 480, 480, 1,
   kWindowFont, kNo, kNo, kLeft,
   nullptr, kProgramIcon, kArrow, kNoBorder | kNoTabStop},
  {"lblTitle", kLabel, "frmAbout", "Tarnwick 1.5 for Windows\u00AE XP",
   1050, 240, 3885, 360, 3,
   kVerdanaBold, kBlack, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Label1", kLabel, "frmAbout", "Set the default browser for your user profile",
   1050, 480, 4095, 255, 4,
   kArialItalic, kNo, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"lblDescription", kLabel, "frmAbout", kCopyrightNotice,
   1080, 1125, 3435, 210, 2,
   kWindowFont, kBlack, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Label2", kLabel, "frmAbout", "Halvard's Windows\u00AE Troubleshooting site",
   1080, 1320, 3255, 255, 5,
   kLinkFont, kBlue, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"Label3", kLabel, "frmAbout", "To Donate (via PayPal), click this link.",
   1080, 1680, 3375, 255, 6,
   kLinkFont, kBlue, kNo, kLeft,
   nullptr, kNone, kArrow, 0},
  {"cmdOK", kCommandButton, "frmAbout", "OK",
   2010, 2160, 1260, 345, 0,
   kWindowFont, kNo, kNo, kCenter,
   nullptr, kNone, kArrow, kDefaultButton | kCancelButton},
};

constexpr LineRow kAboutLines[] = {
  {"Line1", 1, 90, 1005, 5160, 1005, Rgb(128, 128, 128), 1},
  {"Line1", 0, 105, 1020, 5160, 1020, Rgb(255, 255, 255), 2},
};
// clang-format on

}  // namespace

const WindowFacts kForm1Window = {"Form1",
                                  "Tarnwick v1.5 for Windows\u00AE XP",
                                  4560,
                                  6705,
                                  Border::kFixedSingle,
                                  kProgramIcon,
                                  "MS Sans Serif",
                                  8.25};
const WindowFacts kAboutWindow = {"frmAbout",   "About Tarnwick", 5280, 2805, Border::kFixedDialog,
                                  kProgramIcon, "MS Sans Serif",  8.25};

std::span<const ControlRow> Form1Controls() { return kForm1Rows; }
std::span<const ControlRow> AboutControls() { return kAboutRows; }
std::span<const LineRow> AboutLines() { return kAboutLines; }

const ControlRow* FindControl(std::span<const ControlRow> rows, std::string_view name) {
  for (const ControlRow& row : rows) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

char AccessKey(const char* caption) {
  if (!caption) return 0;
  for (const char* p = caption; *p; ++p) {
    if (*p != '&') continue;
    if (p[1] == '&') {
      ++p;  // a literal ampersand
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(p[1])));
  }
  return 0;
}

std::string DisplayCaption(const char* caption) {
  std::string shown;
  if (!caption) return shown;
  for (const char* p = caption; *p; ++p) {
    if (*p == '&') {
      if (p[1] != '&') continue;
      ++p;
    }
    shown += *p;
  }
  return shown;
}

PixelRect ToPixels(const ControlRow& row, int dpi) {
  const int left = TwipsToPixels(row.left, dpi);
  const int top = TwipsToPixels(row.top, dpi);
  return {left, top, TwipsToPixels(row.left + row.width, dpi) - left,
          TwipsToPixels(row.top + row.height, dpi) - top};
}

TwipPoint WindowOrigin(std::span<const ControlRow> rows, const ControlRow& row) {
  TwipPoint at{row.left, row.top};
  // Containers come before their contents, and nesting is shallow; a bounded walk also
  // guards against a table that names itself as its own container.
  const ControlRow* inner = &row;
  for (size_t depth = 0; depth < rows.size(); ++depth) {
    const ControlRow* outer = FindControl(rows, inner->container);
    if (!outer) return at;
    at.x += outer->left;
    at.y += outer->top;
    inner = outer;
  }
  return at;
}

}  // namespace tarnwick
