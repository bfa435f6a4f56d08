#include "linux/qt/session.h"

#include "linux/desktop_store.h"
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
    : version_(std::in_place, registry),
      desktop_(std::move(open_url)),
      automation_(std::in_place, writer, [this] { return MakeDialog(); }),
      platform_{.registry = &registry,
                .automation = &*automation_,
                .version = &*version_,
                .environment = &environment_,
                .desktop = &desktop_,
                .backups = backups},
      form_(platform_),
      window_(form_) {
  desktop_.SetOwner(&window_);
}

Session::Session(DesktopStore& store, QtDesktop::UrlOpener open_url)
    : desktop_(std::move(open_url)),
      desktop_store_(&store),
      platform_{.environment = &environment_, .desktop = &desktop_, .store = &store},
      form_(platform_),
      window_(form_) {
  desktop_.SetOwner(&window_);
}

std::unique_ptr<CommonDialog> Session::MakeDialog() {
  return std::make_unique<QtCommonDialog>([this] { return &window_; });
}

bool Session::Start() {
  if (!form_.Form_Load()) return false;
  if (desktop_store_ != nullptr) {
    std::vector<std::string> icons;
    for (int i = 1; i <= kPresetCount; ++i) icons.push_back(desktop_store_->PresetIcon(i));
    window_.ShowStore(desktop_store_->Where(), icons);
  }
  window_.CentreOnScreen();
  window_.show();
  window_.CentreOnScreen();  // again, now that the window manager has added its frame
  return true;
}

}  // namespace tarnwick
