#include "linux/qt/session.h"

#include "shell/startup.h"
#include "standin/hive_locations.h"
#include "standin/standin_registry.h"

namespace tarnwick {

std::unique_ptr<StandInRegistry> OpenHivesOrExplain(const HiveLocations& files, Desktop& desktop) {
  std::string err;
  std::unique_ptr<StandInRegistry> registry =
      StandInRegistry::OpenFiles(files, MayWriteMachineHive(files.machine), &err);
  if (!registry) desktop.MsgBox(err, kMessageTitle, 16);
  return registry;
}

Session::Session(StandInRegistry& registry, QtDesktop::UrlOpener open_url, BackupFolder* backups)
    : Session(registry, registry, std::move(open_url), backups) {}

Session::Session(Registry& registry, RegistryWriteRoute& writer, QtDesktop::UrlOpener open_url,
                 BackupFolder* backups)
    : version_(registry),
      desktop_(std::move(open_url)),
      automation_(writer,
                  [this] { return std::make_unique<QtCommonDialog>([this] { return &window_; }); }),
      platform_{.registry = &registry,
                .automation = &automation_,
                .version = &version_,
                .environment = &environment_,
                .desktop = &desktop_,
                .backups = backups},
      form_(platform_),
      window_(form_) {
  desktop_.SetOwner(&window_);
}

bool Session::Start() {
  if (!form_.Form_Load()) return false;
  window_.CentreOnScreen();
  window_.show();
  window_.CentreOnScreen();  // again, now that the window manager has added its frame
  return true;
}

}  // namespace tarnwick
