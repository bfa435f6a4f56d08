#include "portable/qt/main_window.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <algorithm>
#include <vector>

#include "portable/qt/click_label.h"
#include "portable/qt/control_factory.h"
#include "portable/qt/qt_look.h"
#include "shell/form1.h"
#include "shell/layout.h"

namespace tarnwick {
namespace {

// The click handlers of the window's buttons, picture and labels.
struct ClickRoute {
  const char* control;
  void (*handler)(Form1&);
};

constexpr ClickRoute kClickRoutes[] = {
    {"Command7", [](Form1& f) { f.Command7_Click(); }},
    {"Command1", [](Form1& f) { f.Command1_Click(); }},
    {"Command2", [](Form1& f) { f.Command2_Click(); }},
    {"Command5", [](Form1& f) { f.Command5_Click(); }},
    {"Command3", [](Form1& f) { f.Command3_Click(); }},
    {"Command4", [](Form1& f) { f.Command4_Click(); }},
    {"Picture1", [](Form1& f) { f.Picture1_Click(); }},
    {"Label4", [](Form1& f) { f.Label4_Click(); }},
    {"Label2", [](Form1& f) { f.Label2_Click(); }},
};

}  // namespace

MainWindow::MainWindow(Form1& form)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      form_(form) {
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
  std::sort(focus_order.begin(), focus_order.end(),
            [](const ControlRow* a, const ControlRow* b) { return a->tab_index < b->tab_index; });
  for (size_t i = 1; i < focus_order.size(); ++i) {
    setTabOrder(Control(focus_order[i - 1]->name), Control(focus_order[i]->name));
  }
  for (int i = 0; i < 8; ++i) {
    options_[i] = qobject_cast<QRadioButton*>(Control("Option" + std::to_string(i + 1)));
  }
  text1_ = qobject_cast<QLineEdit*>(Control("Text1"));
  command7_ = qobject_cast<QAbstractButton*>(Control("Command7"));
  command2_ = qobject_cast<QAbstractButton*>(Control("Command2"));
  label5_ = qobject_cast<QLabel*>(Control("Label5"));
  frame4_ = Control("Frame4");
}

void MainWindow::Connect() {
  for (int i = 0; i < 8; ++i) {
    // clicked, not toggled: only the user's selection (mouse or arrow keys) is a click.
    connect(options_[i], &QAbstractButton::clicked, this, [this, i] { form_.Option_Click(i + 1); });
  }
  connect(text1_, &QLineEdit::textEdited, this,
          [this](const QString& text) { form_.SetText1(text.toStdString()); });
  for (const ClickRoute& route : kClickRoutes) {
    QWidget* widget = Control(route.control);
    auto handler = [this, h = route.handler] { h(form_); };
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      connect(button, &QAbstractButton::clicked, this, handler);
    } else if (auto* label = dynamic_cast<ClickLabel*>(widget)) {
      label->OnClick(handler);
    }
  }
}

void MainWindow::Render() {
  for (int i = 0; i < 8; ++i) {
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
