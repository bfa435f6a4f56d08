// A label that reports a click of the left mouse button, for the link labels and the pictures.
// One that takes the focus (the donation picture) shows it with a focus rectangle.
#ifndef TARNWICK_LINUX_QT_CLICK_LABEL_H_
#define TARNWICK_LINUX_QT_CLICK_LABEL_H_

#include <QLabel>
#include <functional>

namespace tarnwick {

class ClickLabel final : public QLabel {
 public:
  using QLabel::QLabel;

  /// Runs on a left-button release inside the label, and on Click; replaces any earlier
  /// handler.
  void OnClick(std::function<void()> clicked) { clicked_ = std::move(clicked); }
  /// Runs the handler as a click does: for the keyboard and for accessibility clients. Nothing
  /// happens while the label is disabled.
  void Click();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<void()> clicked_;
};

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_CLICK_LABEL_H_
