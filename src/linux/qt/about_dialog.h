// The About box in Qt: the widgets of its layout table and the etched separator, forwarding its
// three events to the frmAbout model. Modal; OK is both the default and the cancel button.
#ifndef TARNWICK_LINUX_QT_ABOUT_DIALOG_H_
#define TARNWICK_LINUX_QT_ABOUT_DIALOG_H_

#include <QDialog>
#include <map>
#include <string>

namespace tarnwick {

class frmAbout;

class AboutDialog final : public QDialog {
 public:
  /// `about` must outlive the dialog; `owner` is the main window it centres on.
  AboutDialog(frmAbout& about, QWidget* owner);

  /// The widget of the table's control `name`, or null.
  QWidget* Control(const std::string& name) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  /// Esc and the close box press OK, which closes the box through the model.
  void reject() override;

 private:
  frmAbout& about_;
  std::map<std::string, QWidget*> controls_;
};

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_ABOUT_DIALOG_H_
