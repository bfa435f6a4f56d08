// How the layout tables look in Qt: fonts with their Linux stand-ins, colours, pictures, the
// hand cursor, and twip geometry at the screen's logical DPI.
#ifndef TARNWICK_LINUX_QT_QT_LOOK_H_
#define TARNWICK_LINUX_QT_QT_LOOK_H_

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QRect>
#include <QString>

#include "shell/layout.h"

class QWidget;

namespace tarnwick {

/// Registers metric-compatible stand-ins for the Windows fonts the tables name: Liberation Sans
/// for "Arial" and "MS Sans Serif", DejaVu Sans Condensed for "Tahoma", DejaVu Sans for
/// "Verdana", each with the other families as further fallbacks. Makes Windows XP's "Tahoma"
/// 8 pt the application's font, for message boxes, dialogs and tooltips as on Windows, and for
/// what a widget lays out before it is given its own font. Call once after the QApplication
/// exists; it loads the font database.
void InstallFonts();

/// The font of a row; a null family takes the window's font from `window`. "MS Sans Serif" is
/// drawn at 95% width, as its stand-in is wider than it.
QFont FontFor(const FontSpec& font_spec, const WindowFacts& window);

/// A table colour against `palette`; an invalid QColor for ColourSource::kDefault.
QColor ColourFor(const Colour& colour, const QPalette& palette);

/// The picture from the program's resources; a null pixmap for Picture::kNone.
QPixmap PixmapFor(Picture picture);

/// The program icon in the sizes title bars and task bars draw.
QIcon ProgramIcon();

/// The pointing hand, hot spot at (12, 1).
QCursor HandCursor();

/// The logical DPI that twips are converted at for `widget` (96 on a standard screen).
int LogicalDpi(const QWidget& widget);

/// The row's geometry in pixels at `dpi`, relative to its container.
QRect GeometryFor(const ControlRow& row, int dpi);

/// Table text as a QString.
inline QString Text(const char* utf8) { return QString::fromUtf8(utf8 ? utf8 : ""); }

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_QT_LOOK_H_
