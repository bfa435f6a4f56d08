#include "linux/qt/about_dialog.h"

#include <QPainter>
#include <QPushButton>

#include "linux/qt/click_label.h"
#include "linux/qt/control_factory.h"
#include "linux/qt/qt_look.h"
#include "shell/about_box.h"
#include "shell/layout.h"

namespace tarnwick {

AboutDialog::AboutDialog(frmAbout& about, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      about_(about) {
  setObjectName(kAboutWindow.name);
  setWindowTitle(Text(kAboutWindow.title));
  setModal(true);
  setFont(FontFor(FontSpec{}, kAboutWindow));
  const int dpi = LogicalDpi(*this);
  setFixedSize(TwipsToPixels(kAboutWindow.client_width, dpi),
               TwipsToPixels(kAboutWindow.client_height, dpi));
  for (const ControlRow& row : AboutControls()) {
    controls_[row.name] = MakeControl(row, kAboutWindow, dpi, this);
  }
  SetBuddies(kAboutWindow, controls_);
  connect(qobject_cast<QPushButton*>(Control("cmdOK")), &QPushButton::clicked, this,
          [this] { about_.cmdOK_Click(); });
  dynamic_cast<ClickLabel*>(Control("Label2"))->OnClick([this] { about_.Label2_Click(); });
  dynamic_cast<ClickLabel*>(Control("Label3"))->OnClick([this] { about_.Label3_Click(); });
  // Focus starts on the lowest tab index, OK.
  Control("cmdOK")->setFocus();
}

QWidget* AboutDialog::Control(const std::string& name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

void AboutDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  const int dpi = LogicalDpi(*this);
  // Each line is drawn below its coordinate, as thick as it is wide, so the grey and the white
  // line lie one under the other: an etched groove.
  for (const LineRow& line : AboutLines()) {
    const int x1 = TwipsToPixels(line.x1, dpi);
    const int x2 = TwipsToPixels(line.x2, dpi);
    const int y = TwipsToPixels(line.y1, dpi);
    const int thickness = std::max(1, line.pixels * dpi / 96);
    painter.fillRect(QRect(x1, y, x2 - x1, thickness), ColourFor(line.colour, palette()));
  }
}

void AboutDialog::reject() { about_.cmdOK_Click(); }

}  // namespace tarnwick
