#include "linux/qt/main_window.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "freedesktop/xdg_home_for_test.h"
#include "linux/desktop_store.h"
#include "linux/linux_services.h"
#include "linux/qt/qt_look.h"
#include "linux/qt/qt_test_util.h"
#include "linux/qt/session.h"
#include "registry/registry_reader.h"
#include "shell/form1.h"
#include "shell/layout.h"
#include "shell/startup.h"
#include "shell/web_links.h"
#include "standin/full_disk_for_test.h"
#include "standin/temp_dir_for_test.h"

namespace tarnwick {
namespace {

using MainWindowTest = SessionTest;

// "ProgramFiles" set to a folder that holds the Maxthon preset's program, for one test.
class ProgramFilesWithMaxthon {
 public:
  ProgramFilesWithMaxthon()
      : old_(qgetenv("ProgramFiles")), had_(qEnvironmentVariableIsSet("ProgramFiles")) {
    std::filesystem::create_directories(dir_.File("Maxthon"));
    dir_.Put("Maxthon/Maxthon.exe", "");
    qputenv("ProgramFiles", QByteArray::fromStdString(dir_.path()));
  }
  ~ProgramFilesWithMaxthon() {
    if (had_) {
      qputenv("ProgramFiles", old_);
    } else {
      qunsetenv("ProgramFiles");
    }
  }

 private:
  TempDir dir_;
  QByteArray old_;
  bool had_;
};

// Deletions refused, as for keys that a policy or another program holds.
class LockedKeys final : public ForwardingRegistry {
 public:
  LockedKeys(Registry* inner, std::vector<std::string> locked)
      : ForwardingRegistry(inner), locked_(std::move(locked)) {}
  long DeleteKeyTree(Hive hive, const std::string& path) override {
    if (std::find(locked_.begin(), locked_.end(), path) != locked_.end()) return kErrorAccessDenied;
    return ForwardingRegistry::DeleteKeyTree(hive, path);
  }

 private:
  std::vector<std::string> locked_;
};

// Twips to pixels as a reader of the table would work them out: 1,440 twips to the inch,
// rounded to the nearest pixel.
int Pixels(int twips, int dpi) { return static_cast<int>(std::floor(twips * dpi / 1440.0 + 0.5)); }

TEST_F(MainWindowTest, EveryControlSitsWhereTheTwipTableSays) {
  ASSERT_TRUE(Start());
  const int dpi = LogicalDpi(window());
  EXPECT_EQ(QSize(Pixels(4560, dpi), Pixels(6705, dpi)), window().size());
  for (const ControlRow& row : Form1Controls()) {
    QWidget* widget = window().Control(row.name);
    ASSERT_NE(nullptr, widget) << row.name;
    EXPECT_EQ(QString(row.container), widget->parentWidget()->objectName()) << row.name;
    // Each edge is converted on its own, so that neighbours touching in twips touch on screen.
    const int left = Pixels(row.left, dpi), top = Pixels(row.top, dpi);
    EXPECT_EQ(QRect(QPoint(left, top), QPoint(Pixels(row.left + row.width, dpi) - 1,
                                              Pixels(row.top + row.height, dpi) - 1)),
              widget->geometry())
        << row.name << " at " << dpi << " dpi";
  }
  // At the standard DPI the numbers are the familiar pixel ones.
  if (dpi == 96) {
    EXPECT_EQ(QRect(8, 32, 289, 161), window().Control("Frame2")->geometry());
    EXPECT_EQ(QRect(16, 64, 65, 57), window().Control("Command2")->geometry());
  }
}

TEST_F(MainWindowTest, OpensInItsStartState) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(window().isVisible());
  EXPECT_EQ(QString::fromUtf8("Tarnwick v1.5 for Windows\u00AE XP"), window().windowTitle());
  EXPECT_FALSE(window().windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(window().windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(window().minimumSize(), window().maximumSize());
  const QPoint off_centre =
      window().frameGeometry().center() - window().screen()->availableGeometry().center();
  EXPECT_LE(off_centre.manhattanLength(), 2);
  for (int i = 1; i <= 8; ++i) {
    EXPECT_FALSE(Control<QRadioButton>("Option" + std::to_string(i))->isChecked()) << i;
  }
  EXPECT_FALSE(Control<QAbstractButton>("Command7")->isEnabled());
  EXPECT_FALSE(Control<QAbstractButton>("Command2")->isEnabled());
  EXPECT_TRUE(Control<QLineEdit>("Text1")->text().isEmpty());
  EXPECT_TRUE(window().Control("Frame4")->isHidden());  // nothing is recorded as the default
}

TEST_F(MainWindowTest, LooksAsTheTableSays) {
  ASSERT_TRUE(Start());
  auto* frame2 = Control<QGroupBox>("Frame2");
  EXPECT_EQ(QColor(0, 0, 192), frame2->palette().color(QPalette::WindowText));
  EXPECT_EQ(QColor(192, 0, 0), Control<QGroupBox>("Frame3")->palette().color(QPalette::WindowText));
  // The frame's caption colour stays on the frame.
  EXPECT_NE(QColor(0, 0, 192),
            Control<QRadioButton>("Option1")->palette().color(QPalette::WindowText));
  EXPECT_EQ(QColor(0, 0, 255), Control<QLineEdit>("Text1")->palette().color(QPalette::Text));
  EXPECT_EQ(QColor(128, 64, 64), Control<QLabel>("Label5")->palette().color(QPalette::WindowText));
  auto* label4 = Control<QLabel>("Label4");
  EXPECT_TRUE(label4->font().underline());
  EXPECT_TRUE(label4->wordWrap());
  EXPECT_EQ(Qt::BitmapCursor, label4->cursor().shape());
  EXPECT_EQ(QPoint(12, 1), label4->cursor().hotSpot());
  EXPECT_EQ(QPoint(12, 1), window().Control("Picture1")->cursor().hotSpot());
  EXPECT_TRUE(Control<QLabel>("Label1")->font().bold());
  EXPECT_EQ(QString("Sets the chosen preset as the default browser"),
            window().Control("Command7")->toolTip());
  EXPECT_TRUE(window().Control("Command4")->toolTip().isEmpty());
  EXPECT_FALSE(Control<QAbstractButton>("Command5")->icon().isNull());
  EXPECT_TRUE(Control<QAbstractButton>("Command1")->icon().isNull());
}

// Frames are drawn as on Windows: an etched groove (a shadow line with a light one below and
// right of it) whose top edge runs through the middle of the caption, in the caption colour.
TEST_F(MainWindowTest, FramesAreEtchedWithTheCaptionInTheirTopEdge) {
  ASSERT_TRUE(Start());
  QGroupBox* frame = Control<QGroupBox>("Frame2");
  const QImage image = frame->grab().toImage();
  const qreal ratio = image.devicePixelRatio();
  auto at = [&](int x, int y) { return image.pixelColor(QPoint(x, y) * ratio).rgb(); };
  const QRgb dark = frame->palette().color(QPalette::Dark).rgb();
  const QRgb light = frame->palette().color(QPalette::Light).rgb();
  const QRgb face = frame->palette().color(QPalette::Window).rgb();
  const int top = frame->fontMetrics().height() / 2;
  const int mid = frame->height() / 2;
  const int right = frame->width() - 1;
  const int bottom = frame->height() - 1;

  EXPECT_EQ(dark, at(0, mid));
  EXPECT_EQ(light, at(1, mid));
  EXPECT_EQ(dark, at(right - 1, mid));
  EXPECT_EQ(light, at(right, mid));
  EXPECT_EQ(dark, at(frame->width() / 2, bottom - 1));
  EXPECT_EQ(light, at(frame->width() / 2, bottom));
  EXPECT_EQ(dark, at(4, top));  // the top edge, before the caption
  EXPECT_EQ(dark, at(right - 4, top));
  EXPECT_EQ(face, at(0, top - 1));  // nothing above it

  // Across the caption the groove gives way to the text, drawn in the caption colour.
  const int caption_end = 8 + frame->fontMetrics().horizontalAdvance(frame->title());  // indent 8
  int groove = 0;
  int caption_coloured = 0;
  for (int x = 10; x < caption_end; ++x) {
    groove += at(x, top) == dark && at(x, top + 1) == light;
    for (int y = 0; y < frame->fontMetrics().height(); ++y) {
      const QColor c = image.pixelColor(QPoint(x, y) * ratio);
      caption_coloured += c.blue() > 150 && c.red() < 60 && c.green() < 60;
    }
  }
  EXPECT_EQ(0, groove);
  EXPECT_GT(caption_coloured, 20);

  // A frame without a caption has its top edge at the very top.
  QGroupBox* plain = Control<QGroupBox>("Frame4");
  plain->show();
  const QImage box = plain->grab().toImage();
  const qreal box_ratio = box.devicePixelRatio();
  EXPECT_EQ(dark, box.pixelColor(QPoint(plain->width() / 2, 0) * box_ratio).rgb());
  EXPECT_EQ(light, box.pixelColor(QPoint(plain->width() / 2, 1) * box_ratio).rgb());
}

TEST_F(MainWindowTest, TabWalksTheControlsInTabIndexOrder) {
  ASSERT_TRUE(Start());
  const std::vector<std::string> expected = {"Command7", "Command1", "Command2", "Command5",
                                             "Command3", "Command4", "Text1",    "Picture1"};
  std::vector<std::string> order;
  QWidget* at = window().Control("Option8");
  for (size_t i = 0; i < expected.size(); ++i) {
    at = at->nextInFocusChain();
    while (at->focusPolicy() == Qt::NoFocus) at = at->nextInFocusChain();
    order.push_back(at->objectName().toStdString());
  }
  EXPECT_EQ(expected, order);
}

TEST_F(MainWindowTest, BrowsePutsTheChosenFileIntoText1) {
  ASSERT_TRUE(Start());
  const std::string chosen = QCoreApplication::applicationFilePath().toStdString();
  QString note_title;
  QMessageBox::Icon note_icon = QMessageBox::Information;
  QStringList filters;
  QString folder;
  WhenModal([&](QWidget* modal) {
    auto* note = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(nullptr, note);
    note_title = note->windowTitle();
    note_icon = note->icon();
    WhenModal([&](QWidget* next) {
      auto* dialog = qobject_cast<QFileDialog*>(next);
      ASSERT_NE(nullptr, dialog);
      filters = dialog->nameFilters();
      folder = dialog->directory().absolutePath();
      // Typed as a full path: selectFile would wait for the folder listing, which comes from
      // a thread and, on a busy machine, late.
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(nullptr, name);
      name->setText(QString::fromStdString(chosen));
      static_cast<QDialog*>(dialog)->accept();  // as the Open button does
    });
    note->button(QMessageBox::Ok)->click();
  });
  QTest::mouseClick(Control<QAbstractButton>("Command1"), Qt::LeftButton);

  EXPECT_EQ(QString("Note"), note_title);
  EXPECT_EQ(QMessageBox::NoIcon, note_icon);
  EXPECT_EQ(QStringList{"EXE Files(*.exe)"}, filters);
  EXPECT_EQ(QDir(QString::fromStdString(DialogStartFolder("%Programfiles%"))).absolutePath(),
            folder);
  EXPECT_EQ(QString::fromStdString(chosen), Control<QLineEdit>("Text1")->text());
  EXPECT_TRUE(Control<QAbstractButton>("Command2")->isEnabled());
}

TEST_F(MainWindowTest, ACancelledBrowseChangesNothing) {
  ASSERT_TRUE(Start());
  bool cancelled = false;
  WhenModal([&](QWidget* note) {
    WhenModal([&](QWidget* dialog) {
      ASSERT_NE(nullptr, qobject_cast<QFileDialog*>(dialog));
      qobject_cast<QFileDialog*>(dialog)->reject();
      cancelled = true;
    });
    qobject_cast<QMessageBox*>(note)->button(QMessageBox::Ok)->click();
  });
  QTest::mouseClick(Control<QAbstractButton>("Command1"), Qt::LeftButton);
  EXPECT_TRUE(cancelled);
  EXPECT_TRUE(Control<QLineEdit>("Text1")->text().isEmpty());
  EXPECT_FALSE(Control<QAbstractButton>("Command2")->isEnabled());
}

TEST_F(MainWindowTest, ClickingAnOptionEnablesThePresetApplyOnly) {
  ASSERT_TRUE(Start());
  QTest::mouseClick(Control<QRadioButton>("Option3"), Qt::LeftButton);
  EXPECT_TRUE(form().OptionValue(3));
  EXPECT_TRUE(Control<QAbstractButton>("Command7")->isEnabled());
  EXPECT_FALSE(Control<QAbstractButton>("Command2")->isEnabled());
  QTest::mouseClick(Control<QRadioButton>("Option6"), Qt::LeftButton);
  EXPECT_FALSE(form().OptionValue(3));
  EXPECT_TRUE(form().OptionValue(6));
  EXPECT_FALSE(Control<QRadioButton>("Option3")->isChecked());
  EXPECT_TRUE(Control<QAbstractButton>("Command7")->isEnabled());
}

TEST_F(MainWindowTest, SelectingAnOptionByKeyboardIsAClickToo) {
  ASSERT_TRUE(Start());
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  auto* option1 = Control<QRadioButton>("Option1");
  QTest::mouseClick(option1, Qt::LeftButton);
  option1->setFocus();
  QTest::keyClick(option1, Qt::Key_Down);
  EXPECT_TRUE(form().OptionValue(2));
  EXPECT_FALSE(form().OptionValue(1));
  EXPECT_TRUE(Control<QRadioButton>("Option2")->isChecked());
}

TEST_F(MainWindowTest, TypingEnablesTheCustomApplyOnly) {
  ASSERT_TRUE(Start());
  auto* text1 = Control<QLineEdit>("Text1");
  QTest::keyClicks(text1, "/opt/web/browser");
  EXPECT_EQ("/opt/web/browser", form().Text1());
  EXPECT_TRUE(Control<QAbstractButton>("Command2")->isEnabled());
  EXPECT_FALSE(Control<QAbstractButton>("Command7")->isEnabled());
  EXPECT_EQ(16, text1->cursorPosition());  // rendering did not reset the text under the caret
}

TEST_F(MainWindowTest, AltAPressesTheCustomApply) {
  ASSERT_TRUE(Start());
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  // A file that exists: the test program itself.
  QTest::keyClicks(Control<QLineEdit>("Text1"), QCoreApplication::applicationFilePath());
  ASSERT_TRUE(Control<QAbstractButton>("Command2")->isEnabled());
  QTest::keyClick(&window(), Qt::Key_A, Qt::AltModifier);
  // The custom apply ran to its end: it disables its own button and wrote the associations.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Control<QAbstractButton>("Command2")->isEnabled(); }));
  EXPECT_EQ(kErrorSuccess,
            registry_->KeyExists(Hive::kCurrentUser, R"(Software\Classes\MyHTMLfile)"));
}

TEST_F(MainWindowTest, EnterAndSpacePressTheFocusedButton) {
  ProgramFilesWithMaxthon programs;
  ASSERT_TRUE(Start());
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  const QString browser = QCoreApplication::applicationFilePath();
  int modals = 0;
  // Answers every box and dialog a press opens, however many follow one another.
  std::function<void(QWidget*)> close_all = [&](QWidget* modal) {
    ++modals;
    WhenModal(close_all);
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      box->button(QMessageBox::Ok)->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
    }
  };
  WhenModal(close_all);

  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    SCOPED_TRACE(key);
    QTest::mouseClick(Control<QRadioButton>("Option3"), Qt::LeftButton);
    QTest::keyClick(Control<QAbstractButton>("Command7"), key);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !Control<QAbstractButton>("Command7")->isEnabled(); }));
    EXPECT_EQ(RegistryValue(std::string("Maxthon.exe")),
              ReadRegistryValue(*registry_, Hive::kCurrentUser,
                                R"(Software\Clients\StartMenuInternet)", ""));
    ASSERT_EQ(kErrorSuccess, registry_->DeleteKeyTree(Hive::kCurrentUser, "Software"));

    Control<QLineEdit>("Text1")->clear();
    QTest::keyClicks(Control<QLineEdit>("Text1"), browser);
    QTest::keyClick(Control<QAbstractButton>("Command2"), key);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !Control<QAbstractButton>("Command2")->isEnabled(); }));

    const size_t urls = opened_urls_.size();
    QTest::keyClick(Control<QAbstractButton>("Command3"), key);
    EXPECT_EQ(urls + 1, opened_urls_.size());

    // Each of these opens a box or dialog first.
    for (const char* name : {"Command5", "Command4", "Command1"}) {
      const int before = modals;
      QTest::keyClick(Control<QAbstractButton>(name), key);
      EXPECT_TRUE(QTest::qWaitFor([&] { return modals > before; })) << name;
    }
  }
}

TEST_F(MainWindowTest, TheFocusedButtonShowsItsFocusRectangle) {
  ASSERT_TRUE(Start());
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  auto* reset = Control<QAbstractButton>("Command5");
  const QImage plain = reset->grab().toImage();
  // Reached by the keyboard, as a user tabs to it.
  Control<QAbstractButton>("Command1")->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(reset, QApplication::focusWidget());
  EXPECT_NE(plain, reset->grab().toImage());
}

TEST_F(MainWindowTest, ACustomPathToNothingIsRefusedWithItsName) {
  ASSERT_TRUE(Start());
  Seed(R"(HKCU\Software\Classes\http\Shell\)", "Other");
  QTest::keyClicks(Control<QLineEdit>("Text1"), "/opt/web/browser ");
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(nullptr, box);
    text = box->text();
    icon = box->icon();
    box->button(QMessageBox::Ok)->click();
  });
  QTest::mouseClick(Control<QAbstractButton>("Command2"), Qt::LeftButton);
  EXPECT_EQ(QString("The file \"/opt/web/browser\" does not exist. Choose the browser's program "
                    "file with the ... button."),
            text);
  EXPECT_EQ(QMessageBox::Critical, icon);
  EXPECT_TRUE(Control<QAbstractButton>("Command2")->isEnabled());
  // Nothing was cleared.
  EXPECT_EQ(
      RegistryValue(std::string("Other")),
      ReadRegistryValue(*registry_, Hive::kCurrentUser, R"(Software\Classes\http\Shell)", ""));
}

TEST_F(MainWindowTest, ResetNamesTheKeysThatRemain) {
  Seed(R"(HKCU\Software\Classes\http\Shell\)", "MyHTMLFile");
  Seed(R"(HKCU\Software\Classes\.htm\)", "MyHTMLfile");
  LockedKeys locked(registry_.get(), {R"(Software\Classes\http)"});
  ASSERT_TRUE(Start(locked, *registry_));
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(nullptr, box);
    text = box->text();
    icon = box->icon();
    box->button(QMessageBox::Ok)->click();
  });
  QTest::mouseClick(Control<QAbstractButton>("Command5"), Qt::LeftButton);
  EXPECT_EQ(QString("Not all per-user settings could be cleared. These keys remain:\n"
                    "HKEY_CURRENT_USER\\Software\\Classes\\http"),
            text);
  EXPECT_EQ(QMessageBox::Critical, icon);
  EXPECT_EQ(kErrorFileNotFound,
            registry_->KeyExists(Hive::kCurrentUser, R"(Software\Classes\.htm)"));
  EXPECT_FALSE(Control<QAbstractButton>("Command2")->isEnabled());
}

TEST_F(MainWindowTest, AnApplyOnAFullDiskSaysSoAndLeavesTheHiveIntact) {
  ProgramFilesWithMaxthon programs;
  FullDisk disk;
  TempDir dir;
  std::string err;
  auto hives =
      StandInRegistry::OpenFiles({dir.File("user.hive"), dir.File("machine.hive")}, true, &err);
  ASSERT_NE(nullptr, hives) << err;
  ASSERT_TRUE(hives->RegWrite(R"(HKCU\Software\Classes\.htm\)", "htmlfile", "REG_SZ", &err));
  ASSERT_TRUE(Start(*hives, *hives));

  disk.Fill(true);
  QString text;
  WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(nullptr, box);
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  QTest::mouseClick(Control<QRadioButton>("Option3"), Qt::LeftButton);
  QTest::mouseClick(Control<QAbstractButton>("Command7"), Qt::LeftButton);
  // Check_Associations, the 26 rows and the client; the machine-wide pair is not counted.
  EXPECT_EQ(QString("28 of 28 settings could not be written, so the browser is not fully set as "
                    "your default. Press Apply to try again."),
            text);
  EXPECT_TRUE(Control<QAbstractButton>("Command7")->isEnabled());

  // With room again, the hive holds what it held, and the same press completes.
  disk.Fill(false);
  EXPECT_EQ(RegistryValue(std::string("htmlfile")),
            ReadRegistryValue(*hives, Hive::kCurrentUser, R"(Software\Classes\.htm)", ""));
  QTest::mouseClick(Control<QAbstractButton>("Command7"), Qt::LeftButton);
  EXPECT_FALSE(Control<QAbstractButton>("Command7")->isEnabled());
  EXPECT_EQ(RegistryValue(std::string("MyHTMLfile")),
            ReadRegistryValue(*hives, Hive::kCurrentUser, R"(Software\Classes\.htm)", ""));
  session_.reset();
}

TEST_F(MainWindowTest, ResetIsBackedUpAndStopsWhenTheBackupCannotBeSaved) {
  Seed(R"(HKCU\Software\Classes\http\Shell\)", "Other");
  ASSERT_TRUE(Start());
  std::vector<QString> texts;
  auto answer = [&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(nullptr, box);
    texts.push_back(box->text());
    box->button(QMessageBox::Ok)->click();
  };

  // A folder that cannot be made: its parent is a file.
  const std::string blocked = backup_dir_.Put("blocked", "a file") + "/backups";
  backups_ = std::make_unique<DiskBackupFolder>(std::make_unique<PosixBackupDisk>(blocked));
  ASSERT_TRUE(Start());
  WhenModal(answer);
  QTest::mouseClick(Control<QAbstractButton>("Command5"), Qt::LeftButton);
  ASSERT_EQ(1u, texts.size());
  EXPECT_TRUE(texts[0].startsWith(
      QString::fromStdString("Your current settings could not be saved to \"" + blocked + "\" (")))
      << texts[0].toStdString();
  EXPECT_TRUE(texts[0].endsWith("), so nothing was changed."));
  EXPECT_EQ(
      RegistryValue(std::string("Other")),
      ReadRegistryValue(*registry_, Hive::kCurrentUser, R"(Software\Classes\http\Shell)", ""));

  // With a folder that takes it, the Reset runs and leaves its backup there.
  backups_ = OpenBackupFolder(backup_dir_.File("user.hive"));
  ASSERT_TRUE(Start());
  WhenModal(answer);
  QTest::mouseClick(Control<QAbstractButton>("Command5"), Qt::LeftButton);
  ASSERT_EQ(2u, texts.size());
  EXPECT_EQ(kErrorFileNotFound,
            registry_->KeyExists(Hive::kCurrentUser, R"(Software\Classes\http)"));
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(backup_dir_.File("backups"))) {
    files.push_back(entry.path().filename().string());
  }
  ASSERT_EQ(1u, files.size());
  EXPECT_TRUE(files[0].ends_with(" Reset.reg")) << files[0];
  // The first backup of the folder: its date, its number and what it was taken before.
  EXPECT_EQ(std::string("YYYY-MM-DD HH-MM-SS #1 Reset.reg").size(), files[0].size()) << files[0];
  EXPECT_NE(std::string::npos, files[0].find(" #1 ")) << files[0];
}

TEST_F(MainWindowTest, ResetConfirmsAndClearsEverything) {
  ASSERT_TRUE(Start());
  QTest::mouseClick(Control<QRadioButton>("Option2"), Qt::LeftButton);
  QTest::keyClicks(Control<QLineEdit>("Text1"), "/opt/web/browser");
  Seed(R"(HKCU\Software\Classes\http\Shell\)", "MyHTMLFile");

  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(nullptr, box);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
  });
  QTest::mouseClick(Control<QAbstractButton>("Command5"), Qt::LeftButton);

  EXPECT_EQ(QString::fromUtf8(kMessageTitle), title);
  EXPECT_FALSE(text.isEmpty());
  EXPECT_EQ(QMessageBox::Information, icon);
  for (int i = 1; i <= 8; ++i)
    EXPECT_FALSE(Control<QRadioButton>("Option" + std::to_string(i))->isChecked());
  EXPECT_TRUE(Control<QLineEdit>("Text1")->text().isEmpty());
  EXPECT_FALSE(Control<QAbstractButton>("Command7")->isEnabled());
  EXPECT_FALSE(Control<QAbstractButton>("Command2")->isEnabled());
  EXPECT_EQ(kErrorFileNotFound,
            registry_->KeyExists(Hive::kCurrentUser, R"(Software\Classes\http\Shell)"));
}

TEST_F(MainWindowTest, TheCurrentDefaultLineShowsWhatTheRegistryRecords) {
  Seed(R"(HKCU\SOFTWARE\Clients\StartMenuInternet\)", "FIREFOX.EXE");
  Seed(R"(HKLM\SOFTWARE\Clients\StartMenuInternet\FIREFOX.EXE\)", "Mozilla Firefox");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(window().Control("Frame4")->isVisible());
  EXPECT_EQ(QString("Mozilla Firefox is currently the default browser."),
            Control<QLabel>("Label5")->text());
}

TEST_F(MainWindowTest, LinksGoToTheDesktopHandler) {
  ASSERT_TRUE(Start());
  QTest::mouseClick(Control<QAbstractButton>("Command3"), Qt::LeftButton);
  QTest::mouseClick(window().Control("Picture1"), Qt::LeftButton);
  QTest::mouseClick(window().Control("Label4"), Qt::LeftButton);
  QTest::mouseClick(window().Control("Label2"), Qt::LeftButton);
  EXPECT_EQ(
      (std::vector<std::string>{kProgramPageUrl, kDonationPageUrl, kDonationPageUrl, kSiteRootUrl}),
      opened_urls_);
}

TEST_F(MainWindowTest, ARecordedOtherReleaseRefusesToStart) {
  Seed(R"(HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\CurrentVersion)", "6.0");
  QString text;
  WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(nullptr, box);
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  EXPECT_FALSE(Start());
  EXPECT_EQ(QString::fromUtf8(kRefusalMessage), text);
  EXPECT_FALSE(window().isVisible());
}

// The desktop's names are longer than the presets' names that the layout was made for: an
// option takes the room to its right that no other control of its frame covers, and a name
// longer still is cut short, whole in its tooltip and accessible name.
TEST(DesktopWindowTest, LongNamesTakeTheRoomBesideThemAndAreCutShortBeyondIt) {
  freedesktop::XdgHome home;
  const QString longest = "Chromium Web Browser of the Long Name";
  home.AddBrowser("chromium.desktop", longest.toStdString());
  home.AddBrowser("google-chrome.desktop", "Google Chrome");
  home.AddBrowser("org.kde.falkon.desktop", "Falkon");
  DesktopStore store(home.paths, nullptr, home.root() + "/once");
  Session session(store, [](const std::string&) {});
  ASSERT_TRUE(session.Start());
  MainWindow& window = session.window();
  const auto option = [&](const char* name) {
    return qobject_cast<QRadioButton*>(window.Control(name));
  };
  // Whole where the room beside it suffices, though the layout's width does not.
  EXPECT_EQ("Google Chrome", option("Option3")->text());
  EXPECT_GE(option("Option3")->width(), option("Option3")->sizeHint().width());
  EXPECT_EQ("", option("Option3")->toolTip());
  // Cut short before the control beside it.
  QRadioButton* chromium = option("Option2");
  EXPECT_TRUE(chromium->text().endsWith(QChar(0x2026))) << chromium->text().toStdString();
  EXPECT_EQ(longest, chromium->toolTip());
  EXPECT_EQ(longest, chromium->accessibleName());
  EXPECT_LT(chromium->geometry().right(), window.Control("Frame4")->x());
  // Never narrower than the layout's width.
  EXPECT_EQ(Pixels(1695, LogicalDpi(window)), option("Option8")->width());
  EXPECT_EQ("Falkon", option("Option8")->text());
}

}  // namespace
}  // namespace tarnwick
