// Removal of every per-user browser registration, so the machine-wide default applies again.
#ifndef TARNWICK_REGISTRY_PER_USER_RESET_H_
#define TARNWICK_REGISTRY_PER_USER_RESET_H_

#include <span>

namespace tarnwick {

class Registry;

/// The 22 key paths below HKEY_CURRENT_USER that the reset deletes, in deletion order.
std::span<const char* const> PerUserResetKeys();

/// Deletes each key of PerUserResetKeys() with its whole sub-tree, in order. Every result is
/// discarded: a missing key or a refused deletion does not stop the others. Reads nothing.
void delperuserkeys(Registry& registry);

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_PER_USER_RESET_H_
