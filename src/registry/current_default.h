// Which browser is the default now, as the main window shows it.
#ifndef TARNWICK_REGISTRY_CURRENT_DEFAULT_H_
#define TARNWICK_REGISTRY_CURRENT_DEFAULT_H_

#include <string>

namespace tarnwick {

class Registry;

/// The current-default line: the caption of Label5 and whether its frame Frame4 is visible.
/// When hidden, the caption is empty.
struct DefaultBrowserDisplay {
  std::string caption;
  bool visible = false;
  bool operator==(const DefaultBrowserDisplay&) const = default;
};

/// Looks up the Start-menu Internet client, per user first and then machine-wide, finds its
/// display name under the machine-wide client list and turns it into the line "<name> is
/// currently the default browser.", or a hidden line when no usable name is found.
DefaultBrowserDisplay QueryCurrentDefaultBrowser(Registry& registry);

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_CURRENT_DEFAULT_H_
