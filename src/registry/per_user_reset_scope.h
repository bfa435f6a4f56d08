// What the per-user reset may change, for a backup taken before it runs.
#ifndef TARNWICK_REGISTRY_PER_USER_RESET_SCOPE_H_
#define TARNWICK_REGISTRY_PER_USER_RESET_SCOPE_H_

#include "registry/change_scope.h"

namespace tarnwick {

/// The scope of delperuserkeys: the tree of every key of PerUserResetKeys() below
/// HKEY_CURRENT_USER; it writes nothing.
ChangeScope PerUserResetScope();

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_PER_USER_RESET_SCOPE_H_
