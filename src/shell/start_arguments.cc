#include "shell/start_arguments.h"

#include "selection/custom_apply.h"
#include "selection/selection_context.h"
#include "shell/form1.h"
#include "text/text.h"

namespace tarnwick {

void TakeStartArguments(Form1& form, std::span<const std::string> args, Spelling spelling) {
  if (args.size() != 1) return;
  const std::string& path = args[0];
  // The picker's own filter on Windows: documents opened "with" the program stay out of the box.
  if (spelling == Spelling::kWindows &&
      (path.size() < 4 || !SameAscii(std::string_view(path).substr(path.size() - 4), ".exe"))) {
    return;
  }
  SelectionContext services = form.Services();
  if (CheckCustomPath(services, path) == CustomApplyResult::kApplied) form.SetText1(path);
}

}  // namespace tarnwick
