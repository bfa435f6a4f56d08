// A label that reports a click of the left mouse button, for the link labels and the picture.
#ifndef TARNWICK_LINUX_QT_CLICK_LABEL_H_
#define TARNWICK_LINUX_QT_CLICK_LABEL_H_

#include <QLabel>
#include <QMouseEvent>
#include <functional>

namespace tarnwick {

class ClickLabel final : public QLabel {
 public:
  using QLabel::QLabel;

  /// Runs on a left-button release inside the label; replaces any earlier handler.
  void OnClick(std::function<void()> clicked) { clicked_ = std::move(clicked); }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    // A press that wanders off the label before release is no click, as with buttons.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        clicked_) {
      clicked_();
      return;
    }
    QLabel::mouseReleaseEvent(event);
  }

 private:
  std::function<void()> clicked_;
};

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_CLICK_LABEL_H_
