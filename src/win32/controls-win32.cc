#include "win32/controls-win32.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <utility>

#include "shell/accessibility.h"
#include "win32/resource-win32.h"
#include "win32/text-win32.h"
#include "win32/theme-win32.h"

namespace tarnwick {
namespace {

// The themed button parts and states (vssym32.h), spelled out: the header differs between SDKs.
constexpr int kPushButtonPart = 1;
constexpr int kPushButtonNormal = 1;
constexpr int kPushButtonPressed = 3;
constexpr int kPushButtonDisabled = 4;
constexpr int kGroupBoxPart = 4;
constexpr int kGroupBoxNormal = 1;

// Pictures inside graphical buttons keep the icons' own 32 x 32 pixels: a 16-colour icon
// stretched to another size only gets blurred.
constexpr int kIconSize = 32;

COLORREF SystemColourOf(ColourSource source) {
  switch (source) {
    case ColourSource::kHighlight:
      return GetSysColor(COLOR_HIGHLIGHT);
    case ColourSource::kButtonFace:
      return GetSysColor(COLOR_BTNFACE);
    case ColourSource::k3dDarkShadow:
      return GetSysColor(COLOR_3DDKSHADOW);
    case ColourSource::kDefault:
    case ColourSource::kRgb:
      break;
  }
  return 0;
}

bool IsGraphical(const ControlRow& row) {
  return row.kind == ControlKind::kCommandButton && row.picture != Picture::kNone;
}

bool SameFont(const LOGFONTW& a, const LOGFONTW& b) {
  return a.lfHeight == b.lfHeight && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
         a.lfUnderline == b.lfUnderline && std::wcscmp(a.lfFaceName, b.lfFaceName) == 0;
}

}  // namespace

int ScreenDpi() {
  ScreenDC screen;
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : 96;
}

RECT ControlRect(std::span<const ControlRow> rows, const ControlRow& row, int dpi) {
  const TwipPoint origin = WindowOrigin(rows, row);
  return {TwipsToPixels(origin.x, dpi), TwipsToPixels(origin.y, dpi),
          TwipsToPixels(origin.x + row.width, dpi), TwipsToPixels(origin.y + row.height, dpi)};
}

LOGFONTW MakeLogFont(const FontSpec& font, const WindowFacts& window, int dpi) {
  const char* family = font.family ? font.family : window.font_family;
  const double points = font.family ? font.points : window.font_points;
  LOGFONTW log = {};
  log.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
  log.lfWeight = (font.style & kBold) ? FW_BOLD : FW_NORMAL;
  log.lfItalic = (font.style & kItalic) ? TRUE : FALSE;
  log.lfUnderline = (font.style & kUnderline) ? TRUE : FALSE;
  log.lfCharSet = DEFAULT_CHARSET;
  log.lfOutPrecision = OUT_DEFAULT_PRECIS;
  log.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  log.lfQuality = DEFAULT_QUALITY;
  log.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  const std::wstring face = Widen(family);
  wcsncpy(log.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return log;
}

COLORREF ResolveColour(Colour colour, COLORREF fallback) {
  switch (colour.source) {
    case ColourSource::kDefault:
      return fallback;
    case ColourSource::kRgb:
      return RGB(colour.r, colour.g, colour.b);
    default:
      return SystemColourOf(colour.source);
  }
}

ControlClass ClassFor(const ControlRow& row) {
  const DWORD common = WS_CHILD | WS_CLIPSIBLINGS;
  switch (row.kind) {
    case ControlKind::kLabel:
      // Labels wrap within their box and show ampersands as they are; the clickable ones
      // (every label with a hand or a link font) need SS_NOTIFY to hear the mouse at all.
      return {
          L"STATIC",
          common | SS_NOPREFIX | SS_NOTIFY | (row.align == Align::kCenter ? SS_CENTER : SS_LEFT),
          0};
    case ControlKind::kFrame:
      return {nullptr, 0, 0};
    case ControlKind::kOptionButton:
      // Automatic, so that the arrow keys select as they move through the group (the dialog
      // manager clicks only automatic option buttons); the model's state, rendered after each
      // click, is the same as the one the button sets.
      return {L"BUTTON", common | WS_TABSTOP | BS_AUTORADIOBUTTON, 0};
    case ControlKind::kCommandButton: {
      DWORD style = common | WS_TABSTOP | WS_GROUP;
      if (IsGraphical(row)) {
        style |= BS_OWNERDRAW;
      } else if (row.flags & kDefaultButton) {
        style |= BS_DEFPUSHBUTTON;
      } else {
        style |= BS_PUSHBUTTON;
      }
      return {L"BUTTON", style, 0};
    }
    case ControlKind::kTextBox:
      return {L"EDIT", common | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE};
    case ControlKind::kPictureBox: {
      // A picture box takes the focus in its turn, as the layout's tab order has it, unless
      // pressing it does nothing.
      const DWORD kind = row.picture == Picture::kDonate ? SS_BITMAP : SS_ICON;
      const DWORD tab_stop = (row.flags & kNoTabStop) ? 0 : WS_TABSTOP;
      return {L"STATIC",
              common | tab_stop | SS_NOTIFY | kind | ((row.flags & kNoBorder) ? 0 : WS_BORDER), 0};
    }
  }
  return {nullptr, 0, 0};
}

int PictureResource(Picture picture) {
  switch (picture) {
    case Picture::kNone:
      return 0;
    case Picture::kProgramIcon:
      return IDI_TARNWICK;
    case Picture::kTick:
      return IDI_TICK;
    case Picture::kCross:
      return IDI_CROSS;
    case Picture::kHome:
      return IDI_HOME;
    case Picture::kInfo:
      return IDI_INFO;
    case Picture::kDonate:
      return IDB_DONATE;
  }
  return 0;
}

std::vector<const ControlRow*> CreationOrder(std::span<const ControlRow> rows) {
  std::vector<const ControlRow*> order;
  for (const ControlRow& row : rows) {
    if (row.kind != ControlKind::kFrame) order.push_back(&row);
  }
  std::stable_sort(order.begin(), order.end(), [](const ControlRow* a, const ControlRow* b) {
    const bool a_label = a->kind == ControlKind::kLabel;
    const bool b_label = b->kind == ControlKind::kLabel;
    if (a_label != b_label) return b_label;
    return a_label ? a->tab_index > b->tab_index : a->tab_index < b->tab_index;
  });
  return order;
}

bool ControlSet::Create(HWND parent, HINSTANCE instance, std::span<const ControlRow> rows,
                        const WindowFacts& window, int dpi, std::string* err) {
  parent_ = parent;
  rows_ = rows;
  window_ = &window;
  dpi_ = dpi;
  items_.clear();
  accessible_.clear();
  items_.reserve(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const ControlRow& row = rows[i];
    int id = kFirstId + static_cast<int>(i);
    if (row.flags & kDefaultButton) {
      id = IDOK;
    } else if (row.flags & kCancelButton) {
      id = IDCANCEL;
    }
    items_.push_back({&row, id});
    items_.back().visible = !(row.flags & kHiddenAtStart);
  }
  window_font_ = FontFor(FontSpec{});
  hand_ = LoadCursorW(instance, MAKEINTRESOURCEW(IDC_HAND_POINTER));
  if (!hand_) hand_ = LoadCursorW(nullptr, IDC_HAND);

  bool first_option = true;
  for (const ControlRow* row : CreationOrder(rows)) {
    Item& item = items_[row - rows.data()];
    ControlClass cls = ClassFor(*row);
    // The option buttons form one group: the first starts it, every later control after them
    // starts a group of its own.
    if (row->kind == ControlKind::kOptionButton) {
      if (first_option) cls.style |= WS_GROUP;
      first_option = false;
    } else {
      cls.style |= WS_GROUP;
    }
    if (row->flags & kDisabledAtStart) cls.style |= WS_DISABLED;
    if (Shown(item)) cls.style |= WS_VISIBLE;
    const RECT rect = ControlRect(rows, *row, dpi);
    const std::wstring text = Widen(row->caption ? row->caption : "");
    item.hwnd =
        CreateWindowExW(cls.ex_style, cls.class_name, text.c_str(), cls.style, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance, nullptr);
    if (!item.hwnd) {
      if (err) *err = ApiErrorText("CreateWindowExW", row->name, GetLastError());
      return false;
    }
    item.font = FontFor(row->font);
    SendMessageW(item.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(item.font), FALSE);
    if (FindAccessible(window.name, row->name)) {
      accessible_.push_back(
          std::make_unique<AccessibleControl>(item.hwnd, FactsFor(window, rows, *row)));
    }

    const int resource = PictureResource(row->picture);
    if (resource == 0) continue;
    if (row->picture == Picture::kDonate) {
      // Shown at its natural size: a static bitmap sizes itself to the picture.
      // The control does not own the bitmap it shows; the set does.
      bitmaps_.emplace_back(static_cast<HBITMAP>(
          LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
      SendMessageW(item.hwnd, STM_SETIMAGE, IMAGE_BITMAP,
                   reinterpret_cast<LPARAM>(bitmaps_.back().get()));
      continue;
    }
    icons_.emplace_back(static_cast<HICON>(LoadImageW(
        instance, MAKEINTRESOURCEW(resource), IMAGE_ICON, kIconSize, kIconSize, LR_DEFAULTCOLOR)));
    item.icon = icons_.back().get();
    if (row->kind == ControlKind::kPictureBox && item.icon) {
      SendMessageW(item.hwnd, STM_SETICON, reinterpret_cast<WPARAM>(item.icon), 0);
    }
  }
  for (const Item& item : items_) {
    if (item.row->tooltip && !AddTooltip(parent, instance, item, err)) return false;
  }
  return true;
}

bool ControlSet::AddTooltip(HWND parent, HINSTANCE instance, const Item& item, std::string* err) {
  if (!tooltip_) {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent,
                               nullptr, instance, nullptr);
    if (!tooltip_) {
      if (err) *err = ApiErrorText("CreateWindowExW", "tooltips", GetLastError());
      return false;
    }
  }
  std::wstring text = Widen(item.row->tooltip);
  TOOLINFOW tool = {};
  // The size without lpReserved: common controls 5.8 refuse the longer record.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = parent;
  tool.uId = reinterpret_cast<UINT_PTR>(item.hwnd);
  tool.lpszText = text.data();
  if (!SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
    if (err) *err = std::string("TTM_ADDTOOLW(") + item.row->name + "): refused";
    return false;
  }
  return true;
}

HWND ControlSet::Get(std::string_view name) const {
  const Item* item = Find(name);
  return item ? item->hwnd : nullptr;
}

const ControlRow* ControlSet::RowById(int id) const {
  for (const Item& item : items_) {
    if (item.id == id) return item.row;
  }
  return nullptr;
}

bool ControlSet::Visible(std::string_view name) const {
  const Item* item = Find(name);
  return item && item->visible;
}

void ControlSet::SetVisible(std::string_view name, bool visible) {
  Item* target = Find(name);
  if (!target || target->visible == visible) return;
  target->visible = visible;
  for (const Item& item : items_) {
    if (item.hwnd) ShowWindow(item.hwnd, Shown(item) ? SW_SHOWNA : SW_HIDE);
  }
  if (target->row->kind == ControlKind::kFrame) {
    const RECT rect = ControlRect(rows_, *target->row, dpi_);
    InvalidateRect(parent_, &rect, TRUE);
  }
}

HBRUSH ControlSet::CtlColor(HWND control, HDC dc) const {
  const Item* item = FindByWindow(control);
  if (!item) return nullptr;
  const bool text_box = item->row->kind == ControlKind::kTextBox;
  const COLORREF fore = ResolveColour(item->row->fore, GetSysColor(COLOR_WINDOWTEXT));
  const COLORREF back =
      ResolveColour(item->row->back, GetSysColor(text_box ? COLOR_WINDOW : COLOR_BTNFACE));
  SetTextColor(dc, fore);
  SetBkColor(dc, back);
  // Every background in use is a system colour, whose brushes the system owns.
  if (back == GetSysColor(COLOR_WINDOW)) return GetSysColorBrush(COLOR_WINDOW);
  return GetSysColorBrush(COLOR_BTNFACE);
}

bool ControlSet::SetCursorFor(HWND control) const {
  const Item* item = FindByWindow(control);
  if (!item || item->row->cursor != Cursor::kHand || !hand_) return false;
  SetCursor(hand_);
  return true;
}

bool ControlSet::DrawItem(const DRAWITEMSTRUCT& draw) const {
  const Item* item = FindByWindow(draw.hwndItem);
  if (!item || !IsGraphical(*item->row)) return false;
  const HDC dc = draw.hDC;
  const bool pushed = draw.itemState & ODS_SELECTED;
  const bool disabled = draw.itemState & ODS_DISABLED;
  RECT content = draw.rcItem;

  const ScopedTheme theme(draw.hwndItem, L"BUTTON");
  const int state = disabled ? kPushButtonDisabled
                    : pushed ? kPushButtonPressed
                             : kPushButtonNormal;
  if (theme.DrawBackground(dc, kPushButtonPart, state, draw.rcItem)) {
    content = theme.ContentRect(dc, kPushButtonPart, state, draw.rcItem);
  } else {
    RECT frame = draw.rcItem;
    DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    InflateRect(&content, -2, -2);
    if (pushed) OffsetRect(&content, 1, 1);
  }

  // The picture above the caption, the two centred together.
  const std::wstring caption = Widen(item->row->caption ? item->row->caption : "");
  const ScopedSelect font(dc, item->font);
  RECT text_rect = {0, 0, 0, 0};
  DrawTextW(dc, caption.c_str(), -1, &text_rect, DT_CALCRECT | DT_SINGLELINE);
  const int text_height = static_cast<int>(text_rect.bottom - text_rect.top);
  const int gap = DpiScale(2, dpi_);
  const int total = kIconSize + gap + text_height;
  const int room = content.bottom - content.top;
  // Centred together when both fit; in a smaller button the caption keeps the bottom line and
  // the picture the top, the caption drawn over the picture where they meet.
  const int icon_top = content.top + std::max(0, (room - total) / 2);
  const int caption_top =
      total <= room ? icon_top + kIconSize + gap : static_cast<int>(content.bottom) - text_height;
  const int icon_left = (content.left + content.right - kIconSize) / 2;
  if (item->icon) {
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(item->icon), 0, icon_left, icon_top,
               kIconSize, kIconSize, DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
  }
  RECT caption_rect = {content.left, caption_top, content.right, caption_top + text_height};
  UINT format = DT_CENTER | DT_SINGLELINE | DT_TOP;
  if (draw.itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
  SetBkMode(dc, TRANSPARENT);
  if (disabled && !theme) {
    // The classic engraved look: a highlight copy one pixel down and right under the grey.
    OffsetRect(&caption_rect, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(dc, caption.c_str(), -1, &caption_rect, format);
    OffsetRect(&caption_rect, -1, -1);
  }
  SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  DrawTextW(dc, caption.c_str(), -1, &caption_rect, format);

  if ((draw.itemState & ODS_FOCUS) && !(draw.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = content;
    InflateRect(&focus, -1, -1);
    DrawFocusRect(dc, &focus);
  }
  return true;
}

void ControlSet::PaintFrames(HDC dc) const {
  const ScopedTheme theme(parent_, L"BUTTON");
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  for (const Item& item : items_) {
    if (item.row->kind != ControlKind::kFrame || !Shown(item)) continue;
    RECT box = ControlRect(rows_, *item.row, dpi_);
    const ScopedSelect font(dc, window_font_);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    const std::wstring caption = Widen(DisplayCaption(item.row->caption));
    // The border runs through the middle of the caption's line, as on a group box.
    RECT border = box;
    if (!caption.empty()) border.top += metrics.tmHeight / 2;
    if (!theme.DrawBackground(dc, kGroupBoxPart, kGroupBoxNormal, border)) {
      DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
    }
    if (caption.empty()) continue;
    const int inset = DpiScale(8, dpi_);
    const std::wstring padded = L" " + caption + L" ";
    RECT text = {box.left + inset, box.top, box.right - inset, box.top + metrics.tmHeight};
    RECT measured = text;
    DrawTextW(dc, padded.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    text.right = std::min(text.right, measured.right);
    // Opaque: the caption's own background breaks the border line behind it.
    SetTextColor(dc, ResolveColour(item.row->fore, GetSysColor(COLOR_WINDOWTEXT)));
    DrawTextW(dc, padded.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT);
  }
}

HFONT ControlSet::FontFor(const FontSpec& font_spec) {
  const LOGFONTW wanted = MakeLogFont(font_spec, *window_, dpi_);
  for (const CachedFont& cached : fonts_) {
    if (SameFont(cached.logfont, wanted)) return cached.font.get();
  }
  fonts_.push_back({wanted, ScopedFont(CreateFontIndirectW(&wanted))});
  return fonts_.back().font.get();
}

const ControlSet::Item* ControlSet::Find(std::string_view name) const {
  for (const Item& item : items_) {
    if (name == item.row->name) return &item;
  }
  return nullptr;
}

ControlSet::Item* ControlSet::Find(std::string_view name) {
  return const_cast<Item*>(std::as_const(*this).Find(name));
}

const ControlSet::Item* ControlSet::FindByWindow(HWND control) const {
  if (!control) return nullptr;
  for (const Item& item : items_) {
    if (item.hwnd == control) return &item;
  }
  return nullptr;
}

bool ControlSet::Shown(const Item& item) const {
  const ControlRow* row = item.row;
  for (size_t depth = 0; row && depth <= rows_.size(); ++depth) {
    const Item* current = Find(row->name);
    if (!current || !current->visible) return false;
    row = FindControl(rows_, row->container);
  }
  return true;
}

}  // namespace tarnwick
