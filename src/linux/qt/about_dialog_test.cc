#include "linux/qt/about_dialog.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "linux/qt/qt_look.h"
#include "linux/qt/qt_test_util.h"
#include "shell/form1.h"
#include "shell/layout.h"
#include "shell/web_links.h"

namespace tarnwick {
namespace {

class AboutDialogTest : public SessionTest {
 protected:
  /// Clicks About, runs `inside` on the open box, and returns when the box has closed.
  void WithAboutBox(std::function<void(AboutDialog&)> inside) {
    bool ran = false;
    WhenModal([&](QWidget*) {
      AboutDialog* about = session_->desktop().OpenAboutBox();
      ASSERT_NE(nullptr, about);
      ran = true;
      inside(*about);
    });
    QTest::mouseClick(window().Control("Command4"), Qt::LeftButton);
    EXPECT_TRUE(ran);
    EXPECT_EQ(nullptr, session_->desktop().OpenAboutBox());
    EXPECT_FALSE(form().AboutOpen());
  }
};

TEST_F(AboutDialogTest, EveryControlSitsWhereTheTwipTableSays) {
  ASSERT_TRUE(Start());
  WithAboutBox([&](AboutDialog& about) {
    const int dpi = LogicalDpi(about);
    EXPECT_EQ(QSize(TwipsToPixels(5280, dpi), TwipsToPixels(2805, dpi)), about.size());
    EXPECT_EQ(QString("About Tarnwick"), about.windowTitle());
    EXPECT_TRUE(about.isModal());
    EXPECT_EQ(&window(), about.parentWidget());
    const QPoint off_centre = about.frameGeometry().center() - window().frameGeometry().center();
    EXPECT_LE(off_centre.manhattanLength(), 2);
    for (const ControlRow& row : AboutControls()) {
      QWidget* widget = about.Control(row.name);
      ASSERT_NE(nullptr, widget) << row.name;
      EXPECT_EQ(GeometryFor(row, dpi), widget->geometry()) << row.name;
    }
    auto* ok = qobject_cast<QPushButton*>(about.Control("cmdOK"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(Qt::ArrowCursor, about.Control("Label2")->cursor().shape());
    EXPECT_EQ(QColor(0, 0, 255), about.Control("Label3")->palette().color(QPalette::WindowText));
    QTest::mouseClick(ok, Qt::LeftButton);
  });
}

TEST_F(AboutDialogTest, EnterAndEscBothClose) {
  ASSERT_TRUE(Start());
  WithAboutBox([](AboutDialog& about) { QTest::keyClick(&about, Qt::Key_Return); });
  WithAboutBox([](AboutDialog& about) { QTest::keyClick(&about, Qt::Key_Escape); });
}

TEST_F(AboutDialogTest, LinksWorkWhileTheBoxIsOpen) {
  ASSERT_TRUE(Start());
  WithAboutBox([&](AboutDialog& about) {
    QTest::mouseClick(about.Control("Label2"), Qt::LeftButton);
    QTest::mouseClick(about.Control("Label3"), Qt::LeftButton);
    EXPECT_EQ(&about, session_->desktop().OpenAboutBox());  // still open
    QTest::keyClick(&about, Qt::Key_Escape);
  });
  EXPECT_EQ((std::vector<std::string>{kIndexPageUrl, kDonationPageUrl}), opened_urls_);
}

TEST_F(AboutDialogTest, ClosingTheMainWindowClosesTheBoxToo) {
  ASSERT_TRUE(Start());
  WithAboutBox([&](AboutDialog&) { window().close(); });
  EXPECT_FALSE(window().isVisible());
}

}  // namespace
}  // namespace tarnwick
