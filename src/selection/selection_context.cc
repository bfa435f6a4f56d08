#include "selection/selection_context.h"

namespace tarnwick {

std::string ProgramFiles(const SelectionContext& ctx) {
  return ctx.environment != nullptr ? ctx.environment->Get("ProgramFiles") : std::string();
}

bool MayChange(const SelectionContext& ctx) { return !ctx.before_change || ctx.before_change(); }

std::string InternetExplorerPath(const SelectionContext& ctx) {
  return ProgramFiles(ctx) + R"(\Internet Explorer\IExplore.exe)";
}

}  // namespace tarnwick
