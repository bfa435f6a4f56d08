#include "linux/qt/accessible_widgets.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <string>
#include <vector>

#include "linux/qt/about_dialog.h"
#include "linux/qt/qt_test_util.h"
#include "shell/web_links.h"

namespace tarnwick {
namespace {

using AccessibleWidgetsTest = SessionTest;

QAccessibleInterface* Accessible(QWidget* widget) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
  EXPECT_NE(nullptr, iface);
  return iface;
}

QStringList Actions(QAccessibleInterface* iface) {
  return iface->actionInterface() ? iface->actionInterface()->actionNames() : QStringList();
}

// What a screen reader hears of each control the keyboard reaches.
struct Heard {
  const char* control;
  QAccessible::Role role;
  const char* name;
  const char* description;
  bool pressable;
};

TEST_F(AccessibleWidgetsTest, EveryControlTheKeyboardReachesSaysWhatItIs) {
  ASSERT_TRUE(Start());
  // A disabled button can be pressed by nobody: Qt offers no action then.
  EXPECT_TRUE(Accessible(window().Control("Command7"))->state().disabled);
  EXPECT_TRUE(Actions(Accessible(window().Control("Command7"))).isEmpty());
  QTest::mouseClick(Control<QAbstractButton>("Option3"), Qt::LeftButton);
  QTest::keyClicks(Control<QLineEdit>("Text1"), "/opt/web/browser");
  const Heard heard[] = {
      {"Option1", QAccessible::RadioButton, "GreenBrowser", "", false},
      {"Option8", QAccessible::RadioButton, "Avant Browser", "", false},
      {"Command7", QAccessible::Button, "Apply", "Sets the chosen preset as the default browser",
       true},
      {"Command1", QAccessible::Button, "Browse for the browser's program", "", true},
      {"Command2", QAccessible::Button, "Apply",
       "Sets the browser program in the box as the default browser", true},
      {"Command5", QAccessible::Button, "Reset",
       "Reset the default browser settings for your user profile.", true},
      {"Command3", QAccessible::Button, "Homepage", "Visit Homepage", true},
      {"Command4", QAccessible::Button, "About", "", true},
      {"Text1", QAccessible::EditableText, "Select your web browser:", "", false},
      {"Picture1", QAccessible::Link, "Donate (via PayPal)", "", true},
  };
  for (const Heard& expected : heard) {
    SCOPED_TRACE(expected.control);
    QAccessibleInterface* iface = Accessible(window().Control(expected.control));
    ASSERT_NE(nullptr, iface);
    EXPECT_EQ(expected.role, iface->role());
    EXPECT_EQ(QString(expected.name), iface->text(QAccessible::Name));
    EXPECT_EQ(QString(expected.description), iface->text(QAccessible::Description));
    EXPECT_EQ(expected.pressable,
              Actions(iface).contains(QAccessibleActionInterface::pressAction()));
    EXPECT_TRUE(iface->state().focusable);
  }
  // The visible texts stay as they were.
  EXPECT_EQ(QString("..."), Control<QAbstractButton>("Command1")->text());
  EXPECT_TRUE(Accessible(window().Control("Picture1"))->state().linked);
  // Labels take no focus, and the one that names the text box is its buddy.
  EXPECT_EQ(window().Control("Text1"), Control<QLabel>("Label3")->buddy());
}

TEST_F(AccessibleWidgetsTest, TheMainWindowIsAFrameNamedByItsTitle) {
  ASSERT_TRUE(Start());
  QAccessibleInterface* iface = Accessible(&window());
  ASSERT_NE(nullptr, iface);
  EXPECT_EQ(QAccessible::Window, iface->role());
  EXPECT_EQ(QString::fromUtf8("Tarnwick v1.5 for Windows\u00AE XP"),
            iface->text(QAccessible::Name));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(window().Control("Frame2")),
            iface->child(iface->indexOfChild(Accessible(window().Control("Frame2")))));
}

TEST_F(AccessibleWidgetsTest, TheAboutBoxIconTakesNoFocus) {
  ASSERT_TRUE(Start());
  bool ran = false;
  WhenModal([&](QWidget*) {
    AboutDialog* about = session_->desktop().OpenAboutBox();
    ASSERT_NE(nullptr, about);
    ran = true;
    EXPECT_EQ(Qt::NoFocus, about->Control("picIcon")->focusPolicy());
    QAccessibleInterface* ok = Accessible(about->Control("cmdOK"));
    EXPECT_EQ(QAccessible::Button, ok->role());
    EXPECT_EQ(QString("OK"), ok->text(QAccessible::Name));
    EXPECT_EQ(QAccessible::Dialog, Accessible(about)->role());
    QTest::keyClick(about, Qt::Key_Escape);
  });
  QTest::mouseClick(window().Control("Command4"), Qt::LeftButton);
  EXPECT_TRUE(ran);
}

TEST_F(AccessibleWidgetsTest, PressingTheDonationPictureOpensTheDonationsPage) {
  ASSERT_TRUE(Start());
  QAccessibleInterface* iface = Accessible(window().Control("Picture1"));
  ASSERT_NE(nullptr, iface->actionInterface());
  iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(std::vector<std::string>{kDonationPageUrl}, opened_urls_);
  // Its other actions stay Qt's: focusing it opens nothing.
  iface->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
  EXPECT_EQ(1u, opened_urls_.size());
}

TEST_F(AccessibleWidgetsTest, AScreenReaderSelectsAPresetByItsToggleAction) {
  ASSERT_TRUE(Start());
  QAccessibleInterface* iface = Accessible(window().Control("Option3"));
  ASSERT_NE(nullptr, iface->actionInterface());
  iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_TRUE(form().OptionValue(3));
  EXPECT_TRUE(Control<QAbstractButton>("Command7")->isEnabled());
  EXPECT_TRUE(Control<QAbstractButton>("Option3")->isChecked());
}

TEST_F(AccessibleWidgetsTest, SpaceAndEnterOnTheFocusedPictureOpenTheDonationsPage) {
  ASSERT_TRUE(Start());
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  QWidget* picture = window().Control("Picture1");
  const QImage unfocused = picture->grab().toImage();
  // Reached by the keyboard, as a user tabs to it from the text box.
  window().Control("Text1")->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(picture, QApplication::focusWidget());
  EXPECT_NE(unfocused, picture->grab().toImage()) << "no focus rectangle";

  for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
    QTest::keyClick(picture, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
  }
  EXPECT_EQ(std::vector<std::string>(3, kDonationPageUrl), opened_urls_);
  // Other keys, and Enter with a modifier, are no press.
  QTest::keyClick(picture, Qt::Key_A);
  QTest::keyClick(picture, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(3u, opened_urls_.size());
}

}  // namespace
}  // namespace tarnwick
