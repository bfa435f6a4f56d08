#include "linux/qt/qt_look.h"

#include <QApplication>
#include <QFontDatabase>
#include <QImageReader>
#include <QSet>
#include <QWidget>

namespace tarnwick {
namespace {

// Widths of the stand-ins relative to the Windows fonts they replace, in percent. The bitmap
// "MS Sans Serif" is narrower than Liberation Sans; drawn at full width, the donation appeal
// would need a fifth line that its box does not have.
struct FontWidth {
  const char* family;
  int stretch;
};
// The font Windows XP draws message boxes, common dialogs and tooltips in.
constexpr FontSpec kSystemFont{"Tahoma", 8, kRegular};

constexpr FontWidth kFontWidths[] = {
    {"MS Sans Serif", 95},
};

// Every picture is a PNG. Naming the format keeps Qt from loading each of its image format
// plugins to ask whether it wants the file, which costs the start-up a few milliseconds.
QPixmap LoadPng(const char* path) {
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return QPixmap::fromImage(reader.read());
}

// The Windows fonts and the metric-compatible faces that stand in for them, best first.
struct StandIns {
  const char* family;
  QStringList faces;
};
const StandIns kStandIns[] = {
    {"Arial", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
    {"MS Sans Serif", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
    {"Tahoma", {"DejaVu Sans Condensed", "Liberation Sans", "DejaVu Sans"}},
    {"Verdana", {"DejaVu Sans", "Liberation Sans"}},
};

// The installed face for `family`: itself, else its first installed stand-in. Naming that face
// directly spares Qt, for every font, a failed lookup that asks fontconfig for aliases, and a
// search through the substitutes.
QString InstalledFamily(const QString& family) {
  static const QSet<QString> installed = [] {
    const QStringList families = QFontDatabase::families();
    return QSet<QString>(families.begin(), families.end());
  }();
  if (installed.contains(family)) return family;
  for (const StandIns& s : kStandIns) {
    if (family != QLatin1String(s.family)) continue;
    for (const QString& face : s.faces) {
      if (installed.contains(face)) return face;
    }
  }
  return family;
}

}  // namespace

void InstallFonts() {
  for (const StandIns& s : kStandIns) QFont::insertSubstitutions(s.family, s.faces);
  QApplication::setFont(FontFor(kSystemFont, WindowFacts{}));
}

QFont FontFor(const FontSpec& font_spec, const WindowFacts& window) {
  const QString family = Text(font_spec.family ? font_spec.family : window.font_family);
  QFont font(InstalledFamily(family));
  font.setPointSizeF(font_spec.family ? font_spec.points : window.font_points);
  font.setBold(font_spec.style & kBold);
  font.setItalic(font_spec.style & kItalic);
  font.setUnderline(font_spec.style & kUnderline);
  for (const FontWidth& width : kFontWidths) {
    if (family == QLatin1String(width.family)) font.setStretch(width.stretch);
  }
  // Keep the named family (through its substitutes) rather than a "similar" system font.
  font.setStyleHint(QFont::SansSerif, QFont::PreferMatch);
  return font;
}

QColor ColourFor(const Colour& colour, const QPalette& palette) {
  switch (colour.source) {
    case ColourSource::kDefault:
      return {};
    case ColourSource::kRgb:
      return QColor(colour.r, colour.g, colour.b);
    case ColourSource::kHighlight:
      return palette.color(QPalette::Active, QPalette::Highlight);
    case ColourSource::kButtonFace:
      return palette.color(QPalette::Active, QPalette::Button);
    case ColourSource::k3dDarkShadow:
      return palette.color(QPalette::Active, QPalette::Shadow);
  }
  return {};
}

QPixmap PixmapFor(Picture picture) {
  switch (picture) {
    case Picture::kNone:
      return {};
    case Picture::kProgramIcon:
      return LoadPng(":/tarnwick/tarnwick-32.png");
    case Picture::kTick:
      return LoadPng(":/tarnwick/tick.png");
    case Picture::kCross:
      return LoadPng(":/tarnwick/cross.png");
    case Picture::kHome:
      return LoadPng(":/tarnwick/home.png");
    case Picture::kInfo:
      return LoadPng(":/tarnwick/info.png");
    case Picture::kDonate:
      return LoadPng(":/tarnwick/donate.png");
  }
  return {};
}

QIcon ProgramIcon() {
  // Title bars and task bars draw 16 to 48 pixels. The large picture is for launchers, which
  // take it from the icon theme; in the window icon it would only be decoded and sent along.
  QIcon icon;
  for (const char* file : {":/tarnwick/tarnwick-32.png", ":/tarnwick/tarnwick-48.png"}) {
    icon.addPixmap(LoadPng(file));
  }
  return icon;
}

QCursor HandCursor() { return QCursor(LoadPng(":/tarnwick/hand.png"), 12, 1); }

int LogicalDpi(const QWidget& widget) { return widget.logicalDpiX(); }

QRect GeometryFor(const ControlRow& row, int dpi) {
  const PixelRect r = ToPixels(row, dpi);
  return QRect(r.left, r.top, r.width, r.height);
}

}  // namespace tarnwick
