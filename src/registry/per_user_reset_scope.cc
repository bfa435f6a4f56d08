#include "registry/per_user_reset_scope.h"

#include "registry/per_user_reset.h"

namespace tarnwick {

ChangeScope PerUserResetScope() {
  ChangeScope scope;
  for (const char* path : PerUserResetKeys()) {
    scope.deleted_trees.push_back({Hive::kCurrentUser, path});
  }
  return scope;
}

}  // namespace tarnwick
