#include "linux/qt/qt_desktop.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

#include "linux/qt/qt_test_util.h"

namespace tarnwick {
namespace {

TEST(NameFiltersTest, ADescriptionNamingItsPatternIsShownAsItIs) {
  EXPECT_EQ(QStringList{"EXE Files(*.exe)"}, NameFiltersFromWindows("EXE Files(*.exe)|*.exe"));
}

TEST(NameFiltersTest, OtherDescriptionsGetTheirPatterns) {
  EXPECT_EQ((QStringList{"Programs (*.exe *.com)", "All (*.*)"}),
            NameFiltersFromWindows("Programs|*.exe;*.com|All|*.*"));
  EXPECT_EQ(QStringList{}, NameFiltersFromWindows(""));
  EXPECT_EQ(QStringList{}, NameFiltersFromWindows("No pattern"));
}

struct ShownBox {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
};

ShownBox ShowAndRead(const std::string& text, int style) {
  ShownBox shown;
  QObject waits;
  WhenModal(&waits, [&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(nullptr, box);
    shown = {box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size())};
    QTest::keyClick(box, Qt::Key_Escape);  // Esc dismisses a box whose only button is OK
  });
  QtDesktop desktop(nullptr);
  desktop.MsgBox(text, "Note", style);
  return shown;
}

TEST(QtDesktopTest, MessageBoxStyles) {
  ShownBox plain = ShowAndRead("first\n\nsecond <b>", 0);
  EXPECT_EQ(QString("Note"), plain.title);
  EXPECT_EQ(QString("first\n\nsecond <b>"), plain.text);
  EXPECT_EQ(QMessageBox::NoIcon, plain.icon);
  EXPECT_EQ(1, plain.buttons);
  ShownBox info = ShowAndRead("x", 64);
  EXPECT_EQ(QMessageBox::Information, info.icon);
  EXPECT_EQ(1, info.buttons);
}

}  // namespace
}  // namespace tarnwick
