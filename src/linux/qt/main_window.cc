#include "linux/qt/main_window.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>
#include <vector>

#include "linux/qt/accessible_widgets.h"
#include "linux/qt/click_label.h"
#include "linux/qt/control_factory.h"
#include "linux/qt/qt_look.h"
#include "shell/form1.h"
#include "shell/form1_events.h"
#include "shell/layout.h"

namespace tarnwick {
namespace {

// A browser's name may hold an ampersand, which is no access key here.
QString Literal(QString caption) { return caption.replace("&", "&&"); }

// Gives `option` the width its caption needs, as far as its frame's edge and the frame's next
// control to its right allow, but never less than `least`; a caption longer still is cut short
// with an ellipsis, and the whole of it is the option's tooltip and accessible name. The
// desktop's names are longer than the presets' names that the layout was made for.
void FitCaption(QRadioButton* option, int least, const QString& caption) {
  option->setText(Literal(caption));
  option->setToolTip({});
  option->setAccessibleName({});
  const QFontMetrics metrics(option->font());
  const int gap = metrics.averageCharWidth();
  const QRect at = option->geometry();
  int room = option->parentWidget()->width() - gap - at.x();
  for (QObject* child : option->parentWidget()->children()) {
    const auto* other = qobject_cast<QWidget*>(child);
    if (other == nullptr || other == option || other->x() <= at.x()) continue;
    const QRect them = other->geometry();
    if (them.top() <= at.bottom() && them.bottom() >= at.top()) {
      room = std::min(room, them.x() - gap - at.x());
    }
  }
  const int needed = option->sizeHint().width();
  const int width = std::max(least, std::min(needed, room));
  option->resize(width, at.height());
  if (needed <= width) return;
  const int beside_text = needed - metrics.horizontalAdvance(caption);
  option->setText(Literal(metrics.elidedText(caption, Qt::ElideRight, width - beside_text)));
  option->setToolTip(caption);
  option->setAccessibleName(caption);
}

}  // namespace

MainWindow::MainWindow(Form1& form)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      form_(form) {
  InstallAccessibleWidgets();
  setObjectName(kForm1Window.name);
  setWindowTitle(Text(kForm1Window.title));
  setFont(FontFor(FontSpec{}, kForm1Window));
  const int dpi = LogicalDpi(*this);
  setFixedSize(TwipsToPixels(kForm1Window.client_width, dpi),
               TwipsToPixels(kForm1Window.client_height, dpi));
  Build();
  Connect();
  form_.SetObserver([this] { Render(); });
  Render();
}

MainWindow::~MainWindow() { form_.SetObserver(nullptr); }

void MainWindow::Build() {
  const int dpi = LogicalDpi(*this);
  std::vector<const ControlRow*> focus_order;
  for (const ControlRow& row : Form1Controls()) {
    QWidget* parent =
        row.container == std::string(kForm1Window.name) ? this : Control(row.container);
    QWidget* widget = MakeControl(row, kForm1Window, dpi, parent ? parent : this);
    controls_[row.name] = widget;
    if (widget->focusPolicy() != Qt::NoFocus) focus_order.push_back(&row);
  }
  SetBuddies(kForm1Window, controls_);
  std::sort(focus_order.begin(), focus_order.end(),
            [](const ControlRow* a, const ControlRow* b) { return a->tab_index < b->tab_index; });
  for (size_t i = 1; i < focus_order.size(); ++i) {
    setTabOrder(Control(focus_order[i - 1]->name), Control(focus_order[i]->name));
  }
  for (int i = 0; i < kPresetCount; ++i) {
    options_[i] = qobject_cast<QRadioButton*>(Control(PresetCatalogue()[i].OptionName));
    option_widths_[i] = options_[i]->width();
  }
  text1_ = qobject_cast<QLineEdit*>(Control("Text1"));
  command7_ = qobject_cast<QAbstractButton*>(Control("Command7"));
  command2_ = qobject_cast<QAbstractButton*>(Control("Command2"));
  label5_ = qobject_cast<QLabel*>(Control("Label5"));
  frame4_ = Control("Frame4");
}

void MainWindow::Connect() {
  for (const EventRoute& route : Form1Events()) {
    QWidget* widget = Control(route.control);
    const auto handler = route.handler;
    if (route.event == ControlEvent::kChange) {
      // textEdited, not textChanged: only the user's typing is a change of the control; the
      // program's own changes come from the model.
      if (auto* text = qobject_cast<QLineEdit*>(widget)) {
        connect(text, &QLineEdit::textEdited, this,
                [this, handler](const QString& now) { handler(form_, now.toStdString()); });
      }
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      // clicked, not toggled: only the user's selection (mouse or arrow keys) is a click.
      connect(button, &QAbstractButton::clicked, this, [this, handler] { handler(form_, {}); });
      // But a screen reader's Toggle action checks an option without a click. The model's own
      // changes come with signals blocked, and a click that also toggles runs the handler a
      // second time, which changes nothing.
      if (qobject_cast<QRadioButton*>(button)) {
        connect(button, &QAbstractButton::toggled, this, [this, handler](bool checked) {
          if (checked) handler(form_, {});
        });
      }
    } else if (auto* label = dynamic_cast<ClickLabel*>(widget)) {
      label->OnClick([this, handler] { handler(form_, {}); });
    }
  }
}

void MainWindow::Render() {
  for (int i = 0; i < kPresetCount; ++i) {
    // An exclusive option refuses to turn itself off; the model may turn all of them off.
    QSignalBlocker block(options_[i]);
    options_[i]->setAutoExclusive(false);
    options_[i]->setChecked(form_.OptionValue(i + 1));
    options_[i]->setAutoExclusive(true);
  }
  const QString text = QString::fromStdString(form_.Text1());
  if (text1_->text() != text) {
    QSignalBlocker block(text1_);
    text1_->setText(text);
  }
  command7_->setEnabled(form_.Command7Enabled());
  command2_->setEnabled(form_.Command2Enabled());
  label5_->setText(QString::fromStdString(form_.Label5Caption()));
  frame4_->setVisible(form_.Frame4Visible());
}

void MainWindow::ShowStore(const std::string& where, const std::vector<std::string>& icons) {
  setWindowTitle(QString::fromUtf8("Tarnwick v1.5 for ") + QString::fromStdString(where));
  for (int i = 0; i < kPresetCount; ++i) {
    const QString icon = i < static_cast<int>(icons.size()) ? QString::fromStdString(icons[i]) : "";
    options_[i]->setIcon(icon.isEmpty()         ? QIcon()
                         : icon.startsWith('/') ? QIcon(icon)
                                                : QIcon::fromTheme(icon));
    FitCaption(options_[i], option_widths_[i], QString::fromStdString(form_.OptionCaption(i + 1)));
  }
}

QWidget* MainWindow::Control(const std::string& name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

void MainWindow::CentreOnScreen() {
  const QScreen* screen = this->screen();
  if (!screen) return;
  QRect area = screen->availableGeometry();
  QRect frame = frameGeometry();
  frame.moveCenter(area.center());
  move(frame.topLeft());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  form_.Form_Unload();
  event->accept();
}

}  // namespace tarnwick
