// A frame drawn as Windows draws it: an etched rectangle whose top edge runs through the middle
// of the caption.
#ifndef TARNWICK_LINUX_QT_ETCHED_FRAME_H_
#define TARNWICK_LINUX_QT_ETCHED_FRAME_H_

#include <QGroupBox>

namespace tarnwick {

/// A group box that draws itself rather than through the style. Besides looking like the
/// Windows frame, this spares the first paint the style's frame picture, whose loading asks
/// every image format plugin about it and whose scaling starts a thread pool.
class EtchedFrame final : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_ETCHED_FRAME_H_
