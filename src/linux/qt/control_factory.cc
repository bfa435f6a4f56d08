#include "linux/qt/control_factory.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>
#include <string_view>

#include "linux/qt/click_label.h"
#include "linux/qt/etched_frame.h"
#include "linux/qt/qt_look.h"
#include "shell/accessibility.h"

namespace tarnwick {
namespace {

// Every control gets its text colours set explicitly, so a frame's caption colour does not
// spread to the controls inside it.
QPalette PaletteFor(const ControlRow& row) {
  QPalette palette = QApplication::palette();
  const QColor fore = ColourFor(row.fore, palette);
  const QColor back = ColourFor(row.back, palette);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
      const bool keep_disabled_grey = group == QPalette::Disabled && role != QPalette::WindowText;
      const QColor colour =
          fore.isValid() && !keep_disabled_grey ? fore : palette.color(group, role);
      palette.setColor(group, role, colour);
    }
    if (back.isValid()) palette.setColor(group, QPalette::Base, back);
  }
  return palette;
}

// The keyboard presses what the classic toolkit's does: Enter a focused command button, as
// Space does (Qt's own buttons take only Space outside a dialog); Space and Enter a picture
// that is a link, as a click does.
class KeyboardPresses final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter && key->key() != Qt::Key_Space) return false;
    if (key->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier)) return false;
    if (auto* button = qobject_cast<QAbstractButton*>(watched)) {
      if (!enter || !button->isEnabled()) return false;
      if (!key->isAutoRepeat()) button->click();
      return true;
    }
    auto* link = dynamic_cast<ClickLabel*>(watched);
    if (link == nullptr) return false;
    if (!key->isAutoRepeat()) link->Click();
    return true;
  }
};

QWidget* MakeWidget(const ControlRow& row, QWidget* parent) {
  switch (row.kind) {
    case ControlKind::kLabel: {
      auto* label = new ClickLabel(Text(row.caption), parent);
      label->setWordWrap(true);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment((row.align == Align::kCenter ? Qt::AlignHCenter : Qt::AlignLeft) |
                          Qt::AlignTop);
      return label;
    }
    case ControlKind::kPictureBox: {
      auto* picture = new ClickLabel(parent);
      picture->setPixmap(PixmapFor(row.picture));
      picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      if (!(row.flags & kNoBorder)) picture->setFrameStyle(QFrame::Box | QFrame::Sunken);
      return picture;
    }
    case ControlKind::kFrame:
      return new EtchedFrame(Text(row.caption), parent);
    case ControlKind::kOptionButton:
      return new QRadioButton(Text(row.caption), parent);
    case ControlKind::kTextBox:
      return new QLineEdit(Text(row.caption), parent);
    case ControlKind::kCommandButton:
      if (row.picture == Picture::kNone) return new QPushButton(Text(row.caption), parent);
      auto* button = new QToolButton(parent);
      button->setText(Text(row.caption));
      button->setIcon(QIcon(PixmapFor(row.picture)));
      button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
      return button;
  }
  return new QWidget(parent);
}

}  // namespace

QWidget* MakeControl(const ControlRow& row, const WindowFacts& window, int dpi, QWidget* parent) {
  QWidget* widget = MakeWidget(row, parent);
  // The name first: the accessible objects are chosen by it (InstallAccessibleWidgets).
  widget->setObjectName(row.name);
  widget->setFont(FontFor(row.font, window));
  widget->setPalette(PaletteFor(row));
  widget->setGeometry(GeometryFor(row, dpi));
  if (row.tooltip) {
    widget->setToolTip(Text(row.tooltip));
    widget->setAccessibleDescription(Text(row.tooltip));
  }
  const AccessibleRow* facts = FindAccessible(window.name, row.name);
  if (facts && facts->name) widget->setAccessibleName(Text(facts->name));
  if (row.cursor == Cursor::kHand) widget->setCursor(HandCursor());
  if (row.flags & kHiddenAtStart) widget->hide();
  if (row.flags & kDisabledAtStart) widget->setEnabled(false);
  switch (row.kind) {
    case ControlKind::kLabel:
    case ControlKind::kFrame:
      widget->setFocusPolicy(Qt::NoFocus);
      break;
    case ControlKind::kPictureBox:
      widget->setFocusPolicy((row.flags & kNoTabStop) ? Qt::NoFocus : Qt::TabFocus);
      break;
    default:
      widget->setFocusPolicy(Qt::StrongFocus);
      break;
  }
  if (auto* button = qobject_cast<QToolButton*>(widget)) {
    // The picture shrinks, never grows, to leave the caption its line below it.
    const int room = widget->height() - QFontMetrics(widget->font()).height() - 10;
    const int side = std::clamp(room, 16, 32);
    button->setIconSize(QSize(side, side));
  }
  if (auto* button = qobject_cast<QPushButton*>(widget)) {
    button->setDefault(row.flags & kDefaultButton);
    button->setAutoDefault(row.flags & kDefaultButton);
  }
  if (row.kind == ControlKind::kCommandButton || (facts && facts->role == AccessibleRole::kLink)) {
    widget->installEventFilter(new KeyboardPresses(widget));
  }
  return widget;
}

void SetBuddies(const WindowFacts& window, const std::map<std::string, QWidget*>& controls) {
  for (const AccessibleRow& row : AccessibleControls()) {
    if (row.window != std::string_view(window.name) || !row.labelled_by) continue;
    const auto label = controls.find(row.labelled_by);
    const auto control = controls.find(row.control);
    if (label == controls.end() || control == controls.end()) continue;
    if (auto* buddy_label = qobject_cast<QLabel*>(label->second)) {
      buddy_label->setBuddy(control->second);
    }
  }
}

}  // namespace tarnwick
