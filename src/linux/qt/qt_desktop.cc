#include "linux/qt/qt_desktop.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>

#include "linux/linux_services.h"
#include "linux/qt/about_dialog.h"
#include "linux/qt/qt_look.h"

namespace tarnwick {
namespace {

QMessageBox::Icon IconFor(int style) {
  switch (style & 0x70) {
    case 16:
      return QMessageBox::Critical;
    case 32:
      return QMessageBox::Question;
    case 48:
      return QMessageBox::Warning;
    case 64:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

void OpenWithDesktopHandler(const std::string& url) {
  QProcess::startDetached("xdg-open", {QString::fromStdString(url)});
}

QtDesktop::QtDesktop(UrlOpener open_url) : open_url_(std::move(open_url)) {}

void QtDesktop::MsgBox(const std::string& text, const std::string& title, int style) {
  QMessageBox box(IconFor(style), QString::fromStdString(title), QString::fromStdString(text),
                  QMessageBox::Ok, owner_);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void QtDesktop::ShowAboutBox(frmAbout& about) {
  AboutDialog dialog(about, owner_);
  about_ = &dialog;
  dialog.exec();
  about_ = nullptr;
}

void QtDesktop::CloseAboutBox() {
  if (about_) about_->done(QDialog::Accepted);
}

void QtDesktop::ShellExecute(ShellOwner, const std::string&, const std::string& file, int) {
  if (open_url_) open_url_(file);
}

QStringList NameFiltersFromWindows(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString patterns = QString(parts[i + 1]).replace(';', ' ');
    if (description.endsWith('(' + patterns + ')')) {
      filters << description;
    } else {
      filters << description + " (" + patterns + ')';
    }
  }
  return filters;
}

bool QtCommonDialog::ShowOpen() {
  QFileDialog dialog(owner_ ? owner_() : nullptr, QString(),
                     QString::fromStdString(DialogStartFolder(initial_dir_)));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(NameFiltersFromWindows(filter_));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  file_name_ = dialog.selectedFiles().first().toStdString();
  return true;
}

}  // namespace tarnwick
