#include "linux/qt/session.h"

#include <unistd.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QObject>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "linux/qt/qt_test_util.h"
#include "shell/startup.h"
#include "standin/hive_locations.h"
#include "standin/standin_registry.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

class OpenHivesTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tarnwick-hives-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    files_ = {(dir_ / "user.hive").string(), (dir_ / "machine.hive").string()};
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  HiveLocations files_;
  QtDesktop desktop_{nullptr};
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(OpenHivesTest, ABadHiveIsNamedAndLeftAlone) {
  const std::string junk = "this is no database, just text that happens to sit here\n";
  std::ofstream(files_.user, std::ios::binary) << junk;

  QObject waits;
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  WhenModal(&waits, [&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(nullptr, box);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    box->button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(nullptr, OpenHivesOrExplain(files_, desktop_));
  EXPECT_EQ(QString::fromUtf8(kMessageTitle), title);
  EXPECT_TRUE(text.contains(QString::fromStdString(files_.user))) << text.toStdString();
  EXPECT_EQ(QMessageBox::Critical, icon);
  EXPECT_EQ(junk, ReadAll(files_.user));
}

TEST_F(OpenHivesTest, MissingHivesOpenEmptyAndTheMachineHiveIsOursToWrite) {
  std::unique_ptr<StandInRegistry> registry = OpenHivesOrExplain(files_, desktop_);
  ASSERT_NE(nullptr, registry);
  // The machine hive lies in a folder this process owns, so it counts as an administrator.
  EXPECT_TRUE(registry->administrator());
  EXPECT_EQ(kErrorFileNotFound, registry->KeyExists(Hive::kCurrentUser, "Software"));
}

}  // namespace
}  // namespace tarnwick
