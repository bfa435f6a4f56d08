#include "selection/apply_scopes.h"

#include "registry/association_sets.h"
#include "registry/per_user_reset_scope.h"
#include "registry/registry_rules.h"
#include "selection/custom_apply.h"
#include "selection/preset_apply.h"
#include "selection/preset_catalogue.h"

namespace tarnwick {
namespace {

void AddRows(std::span<const AssociationRow> rows, ChangeScope* scope) {
  for (const AssociationRow& row : rows) scope->writes.push_back(row.path);
}

}  // namespace

ChangeScope PresetRowScope(const BrowserPreset& row) {
  ChangeScope scope;
  AddRows(row.AssociationSet == AssociationSet::kFirefox ? FirefoxAssociationRows()
                                                         : GenericAssociationRows(),
          &scope);
  scope.writes.push_back(kStartMenuClientPath);
  if (row.MachineClient) {
    scope.writes.push_back(row.ClientCommandPath);
    scope.writes.push_back(row.ClientNamePath);
  }
  if (row.ExtraWrite != nullptr) scope.writes.push_back(row.ExtraWrite->path);
  return scope;
}

ChangeScope PresetApplyScope(const std::array<bool, kPresetCount>& option_values) {
  ChangeScope scope;
  scope.writes.push_back(kCheckAssociationsPath);
  const auto rows = PresetCatalogue();
  for (size_t i = 0; i < rows.size() && i < option_values.size(); ++i) {
    if (option_values[i]) scope = Combine(std::move(scope), PresetRowScope(rows[i]));
  }
  return scope;
}

ChangeScope CustomApplyScope() {
  ChangeScope scope = PerUserResetScope();
  scope.writes.push_back(kCheckAssociationsPath);
  AddRows(GenericAssociationRows(), &scope);
  return scope;
}

}  // namespace tarnwick
