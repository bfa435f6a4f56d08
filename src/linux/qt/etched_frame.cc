#include "linux/qt/etched_frame.h"

#include <QPainter>

namespace tarnwick {
namespace {

constexpr int kCaptionIndent = 8;   // from the frame's left edge to the caption's gap
constexpr int kCaptionPadding = 2;  // gap in the line on each side of the caption

}  // namespace

void EtchedFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QString caption = title();
  const QFontMetrics metrics = fontMetrics();
  const int top = caption.isEmpty() ? 0 : metrics.height() / 2;

  // A shadow line, and a light one a pixel below and to the right of it.
  const QRect groove(0, top, width() - 2, height() - top - 2);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(groove);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawRect(groove.translated(1, 1));

  if (caption.isEmpty()) return;
  const QRect gap(kCaptionIndent, 0, metrics.horizontalAdvance(caption) + 2 * kCaptionPadding,
                  metrics.height());
  painter.fillRect(gap, palette().color(backgroundRole()));
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(gap, Qt::AlignCenter | Qt::TextSingleLine, caption);
}

}  // namespace tarnwick
