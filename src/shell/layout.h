// The look of the two windows as data: every control with its container, caption, position and
// size in twips, tab index and appearance, plus the window facts. Front ends build their widgets
// from these tables and nothing else; the window model never reads them.
#ifndef TARNWICK_SHELL_LAYOUT_H_
#define TARNWICK_SHELL_LAYOUT_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarnwick {

/// Twips per inch; 15 twips make one pixel at 96 dots per inch.
inline constexpr int kTwipsPerInch = 1440;

/// `twips` at `dpi` dots per inch, rounded to the nearest pixel (halves away from zero).
constexpr int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + kTwipsPerInch / 2) / kTwipsPerInch
                                      : -((-scaled + kTwipsPerInch / 2) / kTwipsPerInch));
}

enum class ControlKind {
  kLabel,
  kFrame,          ///< a group box; a null caption draws a plain border
  kOptionButton,   ///< option buttons sharing a container form one group
  kCommandButton,  ///< graphical (picture above the caption) when it has a picture
  kTextBox,        ///< one line
  kPictureBox,
};

/// Where a colour comes from.
enum class ColourSource {
  kDefault,       ///< the toolkit's usual colour for this kind of control
  kRgb,           ///< the row's r, g, b
  kHighlight,     ///< the system highlight colour (COLOR_HIGHLIGHT)
  kButtonFace,    ///< the system button-face colour (COLOR_BTNFACE)
  k3dDarkShadow,  ///< the system 3D dark-shadow colour (COLOR_3DDKSHADOW)
};

struct Colour {
  ColourSource source = ColourSource::kDefault;
  uint8_t r = 0, g = 0, b = 0;  ///< meaningful for kRgb only
};

constexpr Colour Rgb(uint8_t r, uint8_t g, uint8_t b) { return {ColourSource::kRgb, r, g, b}; }
constexpr Colour SystemColour(ColourSource source) { return {source, 0, 0, 0}; }
inline constexpr Colour kDefaultColour{};

/// Font style bits.
enum FontStyle : uint8_t {
  kRegular = 0,
  kBold = 1,
  kItalic = 2,
  kUnderline = 4,
};

struct FontSpec {
  const char* family = nullptr;  ///< null: the window's font (WindowFacts::font_family)
  double points = 0;             ///< 0 together with a null family
  uint8_t style = kRegular;      ///< FontStyle bits
};

enum class Align { kLeft, kCenter };

/// The program's pictures, one file each under assets/.
enum class Picture {
  kNone,
  kProgramIcon,  ///< tarnwick.ico: 32 x 32, 16 colours, a globe
  kTick,         ///< tick.ico: the Apply buttons
  kCross,        ///< cross.ico: Reset
  kHome,         ///< home.ico: a page with a small house
  kInfo,         ///< info.ico: a speech bubble holding an i
  kDonate,       ///< donate: 62 x 31, shown at its natural size
};

enum class Cursor {
  kArrow,
  kHand,  ///< hand.cur: 32 x 32, hot spot at column 12, row 1
};

/// Control flags.
enum ControlFlag : uint8_t {
  kHiddenAtStart = 1,
  kDisabledAtStart = 2,
  kDefaultButton = 4,  ///< pressed by Enter
  kCancelButton = 8,   ///< pressed by Esc
  kNoBorder = 16,      ///< a picture box drawn without its border
  kNoTabStop = 32,     ///< a picture box that does nothing when pressed: it takes no focus
};

/// One control. Positions are from the top-left corner of the container's client area, which
/// for a frame is the frame's own top-left corner (its border and caption included).
struct ControlRow {
  const char* name;  ///< the control's name, e.g. "Command7"
  ControlKind kind;
  const char* container;  ///< the window's name or a frame's; rows of containers come first
  const char* caption;    ///< caption or text at start, "&" before the access key; null: none
  int left, top, width, height;  ///< twips
  int tab_index;  ///< unique within the window; labels, frames and kNoTabStop never take focus
  FontSpec font;
  Colour fore;  ///< text colour; for a frame, its caption colour
  Colour back;
  Align align;          ///< of the text; labels wrap within their box
  const char* tooltip;  ///< null: none
  Picture picture;
  Cursor cursor;
  uint8_t flags;  ///< ControlFlag bits
};

/// One element of a line control array, from (x1, y1) to (x2, y2) in twips.
struct LineRow {
  const char* name;
  int index;  ///< the element's index in its array
  int x1, y1, x2, y2;
  Colour colour;
  int pixels;  ///< pen width in pixels at 96 DPI
};

enum class Border {
  kFixedSingle,  ///< fixed size, title bar with system menu and close box only
  kFixedDialog,  ///< the same as a dialog: no taskbar button
};

struct WindowFacts {
  const char* name;
  const char* title;
  int client_width, client_height;  ///< twips
  Border border;
  Picture icon;
  const char* font_family;  ///< the default font of controls that name none
  double font_points;
};

/// The one-line copyright notice of the main window's Label2 and the About box.
inline constexpr const char kCopyrightNotice[] = "\u00A9 2005-2006 Halvard Tarnwick";

/// The donation appeal, Label4 of the main window.
inline constexpr const char kDonationAppeal[] =
    "If you've found this utility useful, and if you wish to donate to support such utilities, "
    "please click the PayPal image on the left. This takes you to the donations page.";

/// The main window; opens centred on the screen.
extern const WindowFacts kForm1Window;
/// The About box; opens centred on its owner, the main window.
extern const WindowFacts kAboutWindow;

/// The main window's controls (25 rows), in their documented order.
std::span<const ControlRow> Form1Controls();
/// The About box's controls (7 rows).
std::span<const ControlRow> AboutControls();
/// The About box's etched separator: Line1(1), grey, then Line1(0), white.
std::span<const LineRow> AboutLines();

/// The row named `name` (exact case), or null.
const ControlRow* FindControl(std::span<const ControlRow> rows, std::string_view name);

/// The access key of a caption, upper-cased: the character after a single "&"; 0 for none.
/// "&&" is a literal ampersand.
char AccessKey(const char* caption);

/// The caption as displayed: access markers removed, "&&" shown as "&". Null gives "".
std::string DisplayCaption(const char* caption);

/// A rectangle in pixels.
struct PixelRect {
  int left, top, width, height;
};

/// The row's rectangle in pixels at `dpi`, relative to its container. Edges are converted, not
/// lengths, so neighbours that touch in twips touch in pixels at every DPI.
PixelRect ToPixels(const ControlRow& row, int dpi);

/// The row's top-left corner in twips relative to the window's client area: its own position
/// plus those of all its containers. `rows` is the window's table; a container that is no row
/// of it (the window itself) adds nothing.
struct TwipPoint {
  int x, y;
};
TwipPoint WindowOrigin(std::span<const ControlRow> rows, const ControlRow& row);

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_LAYOUT_H_
