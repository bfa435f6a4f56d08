// Helpers of the widget tests: a session over an in-memory stand-in registry with recorded
// links, and answering modal boxes that a click opens.
#ifndef TARNWICK_LINUX_QT_QT_TEST_UTIL_H_
#define TARNWICK_LINUX_QT_QT_TEST_UTIL_H_

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "linux/backup_disk.h"
#include "linux/qt/session.h"
#include "standin/standin_registry.h"
#include "standin/temp_dir_for_test.h"

namespace tarnwick {

/// Runs `answer` on the next modal widget as soon as the event loop shows it, however long
/// that takes on a busy machine. The wait is a child of `owner` and ends with it, so an
/// unanswered wait never reaches into a later test.
inline void WhenModal(QObject* owner, std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer(owner);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    timer->stop();
    timer->deleteLater();
    answer(modal);
  });
  timer->start();
}

class SessionTest : public testing::Test {
 protected:
  void SetUp() override {
    registry_ = StandInRegistry::OpenInMemory(/*administrator=*/true);
    ASSERT_NE(nullptr, registry_);
  }
  void TearDown() override {
    waits_.reset();
    session_.reset();
    registry_.reset();
  }

  /// Writes one value before the session starts; fails the test when the write fails.
  void Seed(const std::string& path, const std::string& value) {
    std::string err;
    ASSERT_TRUE(registry_->RegWrite(path, value, "REG_SZ", &err)) << err;
  }

  /// Makes the session and runs its load step.
  bool Start() { return Start(*registry_, *registry_); }
  /// The same over other routes, such as wrappers of the registry that refuse some changes.
  bool Start(Registry& registry, RegistryWriteRoute& writer) {
    session_.reset();
    session_ = std::make_unique<Session>(
        registry, writer, [this](const std::string& url) { opened_urls_.push_back(url); },
        backups_.get());
    return session_->Start();
  }

  MainWindow& window() { return session_->window(); }
  Form1& form() { return session_->form(); }
  template <typename T>
  T* Control(const std::string& name) {
    T* widget = qobject_cast<T*>(window().Control(name));
    EXPECT_NE(nullptr, widget) << name;
    return widget;
  }

  /// Answers the next modal widget; see WhenModal.
  void WhenModal(std::function<void(QWidget*)> answer) {
    tarnwick::WhenModal(waits_.get(), std::move(answer));
  }

  std::unique_ptr<QObject> waits_ = std::make_unique<QObject>();
  TempDir backup_dir_;
  std::unique_ptr<BackupFolder> backups_ = OpenBackupFolder(backup_dir_.File("user.hive"));
  std::unique_ptr<StandInRegistry> registry_;
  std::unique_ptr<Session> session_;
  std::vector<std::string> opened_urls_;
};

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_QT_TEST_UTIL_H_
