// Removal of every per-user browser registration, so the machine-wide default applies again.
#ifndef TARNWICK_REGISTRY_PER_USER_RESET_H_
#define TARNWICK_REGISTRY_PER_USER_RESET_H_

#include <span>
#include <string>
#include <vector>

namespace tarnwick {

class Registry;

/// The 22 key paths below HKEY_CURRENT_USER that the reset deletes, in deletion order.
std::span<const char* const> PerUserResetKeys();

/// Deletes each key of PerUserResetKeys() with its whole sub-tree, in order; a missing key or a
/// refused deletion does not stop the others. Returns the keys that remain: those whose
/// deletion did not succeed and that can still be found (or cannot be told apart from
/// present), in table order. Empty when everything is gone.
std::vector<std::string> delperuserkeys(Registry& registry);

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_PER_USER_RESET_H_
