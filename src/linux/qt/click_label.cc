#include "linux/qt/click_label.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace tarnwick {

void ClickLabel::Click() {
  if (clicked_ && isEnabled()) clicked_();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  // A press that wanders off the label before release is no click, as with buttons.
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      clicked_) {
    Click();
    return;
  }
  QLabel::mouseReleaseEvent(event);
}

void ClickLabel::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  // Over the picture's edge, as Windows draws it on a focused control of the picture's size.
  QPainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.backgroundColor = palette().color(backgroundRole());
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

}  // namespace tarnwick
