// tarnwick: the Linux program. With a command ("--set ...") it runs it without a window or a
// display. Without, it runs the main window's load step over the user's desktop (or, with
// --standin, over the stand-in hives) and, when it lets the program run, shows the window until
// it is closed, with a browser's program file given as the only argument in its custom box.
#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "freedesktop/xdg_paths.h"
#include "linux/backup_disk.h"
#include "linux/desktop_store.h"
#include "linux/qt/first_paint_probe.h"
#include "linux/qt/font_config_warm_up.h"
#include "linux/qt/qt_look.h"
#include "linux/qt/session.h"
#include "linux/store_choice.h"
#include "linux/unattended_services.h"
#include "shell/start_arguments.h"
#include "standin/hive_locations.h"
#include "standin/standin_registry.h"

int main(int argc, char** argv) {
  const bool standin = tarnwick::TakeStandInChoice(&argc, argv, tarnwick::GetEnv);
  if (tarnwick::IsCommandLine(argc, argv)) return tarnwick::RunCommandLine(argc, argv, standin);
  tarnwick::FontConfigWarmUp fonts;
  QApplication app(argc, argv);
  app.setWindowIcon(tarnwick::ProgramIcon());
  tarnwick::InstallFirstPaintProbe(app);
  fonts.Wait();  // every window from here on draws text
  tarnwick::InstallFonts();

  if (!standin) {
    const auto paths = tarnwick::freedesktop::XdgPaths::FromEnvironment(tarnwick::GetEnv);
    std::unique_ptr<tarnwick::BackupFolder> backups = tarnwick::OpenDesktopBackupFolder(paths);
    std::unique_ptr<tarnwick::Session> session;
    // The picker's dialog is made by the load step, once the window exists.
    tarnwick::DesktopStore store(paths, backups.get(), tarnwick::DesktopOnceFile(paths),
                                 [&session] { return session->MakeDialog(); });
    session = std::make_unique<tarnwick::Session>(store);
    if (!session->Start()) return 0;
    const std::vector<std::string> args(argv + 1, argv + argc);
    tarnwick::TakeStartArguments(session->form(), args, tarnwick::Spelling::kLinux);
    return app.exec();
  }

  // A damaged hive is reported and left untouched; nothing else starts.
  tarnwick::QtDesktop desktop;
  const tarnwick::HiveLocations hives = tarnwick::DefaultHiveLocations();
  std::unique_ptr<tarnwick::StandInRegistry> registry =
      tarnwick::OpenHivesOrExplain(hives, desktop);
  if (!registry) return 1;

  // Backups of the registry go beside the user's hive.
  std::unique_ptr<tarnwick::BackupFolder> backups = tarnwick::OpenBackupFolder(hives.user);
  tarnwick::Session session(*registry, tarnwick::OpenWithDesktopHandler, backups.get());
  if (!session.Start()) return 0;
  // What Qt left of the arguments: a browser's program file goes into the custom box.
  const std::vector<std::string> args(argv + 1, argv + argc);
  tarnwick::TakeStartArguments(session.form(), args, tarnwick::Spelling::kLinux);
  return app.exec();
}
