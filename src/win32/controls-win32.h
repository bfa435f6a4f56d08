// The child controls of a window, built from its layout table: the Win32 class and styles of
// each kind of control, its rectangle at the screen's DPI, its font, colours, picture, cursor and
// tooltip, what a screen reader is told of it, and the drawing that the system controls do not
// do themselves (frames with coloured captions, buttons with the picture above the caption).
#ifndef TARNWICK_WIN32_CONTROLS_WIN32_H_
#define TARNWICK_WIN32_CONTROLS_WIN32_H_

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shell/layout.h"
#include "win32/accessible-win32.h"
#include "win32/scoped_gdi-win32.h"
#include "win32/windows-win32.h"

namespace tarnwick {

/// The screen's dots per inch (GetDeviceCaps LOGPIXELSX); 96 when it cannot be told.
int ScreenDpi();

/// `pixels` at 96 dots per inch scaled to `dpi`.
inline int DpiScale(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

/// The row's rectangle in pixels relative to the window's client area: its position plus its
/// containers', each edge converted from twips on its own.
RECT ControlRect(std::span<const ControlRow> rows, const ControlRow& row, int dpi);

/// The font of a row: its own, or the window's when it names none. The height is the point size
/// at `dpi`, rounded to whole pixels.
LOGFONTW MakeLogFont(const FontSpec& font, const WindowFacts& window, int dpi);

/// The colour as a COLORREF; `fallback` for ColourSource::kDefault.
COLORREF ResolveColour(Colour colour, COLORREF fallback);

/// The Win32 window class and styles that render a kind of control. Frames are no window: the
/// parent draws them (see ControlSet::PaintFrames).
struct ControlClass {
  const wchar_t* class_name;  ///< null for a frame
  DWORD style;
  DWORD ex_style;
};
ControlClass ClassFor(const ControlRow& row);

/// The resource identifier of a picture; 0 for Picture::kNone.
int PictureResource(Picture picture);

/// The rows in the order their windows are created, top of the z-order first; frames left
/// out. The controls that are windows of their own come first by tab index, which makes it
/// the keyboard's tab order; the labels follow, a later label above an earlier one where they
/// overlap, and no label above a control.
std::vector<const ControlRow*> CreationOrder(std::span<const ControlRow> rows);

/// The child controls of one window, created from its table. The parent's window procedure
/// hands WM_CTLCOLOR*, WM_DRAWITEM, WM_SETCURSOR and WM_PAINT here. Every font, icon and
/// tooltip belongs to the set; the child windows go with their parent.
class ControlSet {
 public:
  /// Control identifiers are kFirstId plus the row's index, except that the default button
  /// gets IDOK and a cancel button that is not also the default IDCANCEL.
  static constexpr int kFirstId = 100;

  ControlSet() = default;
  ControlSet(const ControlSet&) = delete;
  ControlSet& operator=(const ControlSet&) = delete;

  /// Creates every row's control as a child of `parent` at `dpi`, hidden and disabled rows as
  /// the table says; adds the tooltips; makes the controls of the accessibility table answer
  /// for themselves. Returns false with the failing API in `err`.
  bool Create(HWND parent, HINSTANCE instance, std::span<const ControlRow> rows,
              const WindowFacts& window, int dpi, std::string* err);

  /// The control's window; null for a frame or an unknown name.
  HWND Get(std::string_view name) const;
  /// The row of a control identifier, or null.
  const ControlRow* RowById(int id) const;

  /// Whether the row is shown: its own flag, not its containers'.
  bool Visible(std::string_view name) const;
  /// Shows or hides a row; the rows it contains follow it (a hidden frame hides its contents).
  void SetVisible(std::string_view name, bool visible);

  /// The answer to WM_CTLCOLORSTATIC / WM_CTLCOLOREDIT / WM_CTLCOLORBTN for `control`: sets
  /// the text and background colours in `dc` and returns the background brush.
  HBRUSH CtlColor(HWND control, HDC dc) const;
  /// WM_SETCURSOR over `control`: sets the row's cursor; false when the row wants the arrow.
  bool SetCursorFor(HWND control) const;
  /// WM_DRAWITEM of a graphical button: the picture above the caption. False when not ours.
  bool DrawItem(const DRAWITEMSTRUCT& item) const;
  /// Draws the visible frames, etched, with their captions in their colours.
  void PaintFrames(HDC dc) const;

  int dpi() const { return dpi_; }

 private:
  struct Item {
    const ControlRow* row;
    int id;
    HWND hwnd = nullptr;
    HFONT font = nullptr;
    HICON icon = nullptr;  ///< a graphical button's picture
    bool visible = true;
  };
  struct CachedFont {
    LOGFONTW logfont;
    ScopedFont font;
  };

  HFONT FontFor(const FontSpec& font_spec);
  const Item* Find(std::string_view name) const;
  Item* Find(std::string_view name);
  const Item* FindByWindow(HWND control) const;
  /// Visible unless it or one of its containers is hidden.
  bool Shown(const Item& item) const;
  bool AddTooltip(HWND parent, HINSTANCE instance, const Item& item, std::string* err);

  HWND parent_ = nullptr;
  std::span<const ControlRow> rows_;
  const WindowFacts* window_ = nullptr;
  int dpi_ = 96;
  std::vector<Item> items_;
  std::vector<CachedFont> fonts_;
  HFONT window_font_ = nullptr;
  std::vector<ScopedIcon> icons_;
  std::vector<ScopedGdiObject<HBITMAP>> bitmaps_;
  HCURSOR hand_ = nullptr;
  HWND tooltip_ = nullptr;
  std::vector<std::unique_ptr<AccessibleControl>> accessible_;
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_CONTROLS_WIN32_H_
