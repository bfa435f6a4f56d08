// The main window in Qt: the widgets of the layout table, rendering the Form1 model and
// forwarding every event to it. It holds no state of its own.
#ifndef TARNWICK_LINUX_QT_MAIN_WINDOW_H_
#define TARNWICK_LINUX_QT_MAIN_WINDOW_H_

#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "selection/preset_catalogue.h"

class QAbstractButton;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace tarnwick {

class Form1;

class MainWindow final : public QWidget {
 public:
  /// Builds every control from the table and observes `form`, which must outlive the window.
  explicit MainWindow(Form1& form);
  ~MainWindow() override;

  /// Re-reads every control state from the model. Text1 is set without reporting a change.
  void Render();

  /// The widget of the table's control `name` (its objectName), or null.
  QWidget* Control(const std::string& name) const;

  /// Places the window centred on its screen.
  void CentreOnScreen();

  /// Names the store the window works on in its title ("Tarnwick v1.5 for the desktop
  /// (KDE)"), gives the option buttons the model's captions and the icons `icons` (a theme's
  /// icon name or a file each; empty: none).
  void ShowStore(const std::string& where, const std::vector<std::string>& icons);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Build();
  void Connect();

  Form1& form_;
  std::map<std::string, QWidget*> controls_;
  QRadioButton* options_[kPresetCount] = {};
  int option_widths_[kPresetCount] = {};  ///< as the layout has them
  QLineEdit* text1_ = nullptr;
  QAbstractButton* command7_ = nullptr;
  QAbstractButton* command2_ = nullptr;
  QLabel* label5_ = nullptr;
  QWidget* frame4_ = nullptr;
};

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_MAIN_WINDOW_H_
