#include "portable/qt/session.h"

#include "portable/standin_registry.h"

namespace tarnwick {

Session::Session(StandInRegistry& registry, QtDesktop::UrlOpener open_url)
    : version_(registry),
      desktop_(std::move(open_url)),
      automation_(registry,
                  [this] { return std::make_unique<QtCommonDialog>([this] { return &window_; }); }),
      platform_{&registry, &automation_, &version_, &environment_, &desktop_},
      form_(platform_),
      window_(form_) {
  desktop_.SetOwner(&window_);
}

bool Session::Start() {
  if (!form_.Form_Load()) return false;
  window_.show();
  window_.CentreOnScreen();
  return true;
}

}  // namespace tarnwick
