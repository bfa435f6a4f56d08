#include "shell/start_arguments.h"

#include "shell/browser_store.h"
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
  if (form.Store().CustomAccepted(path)) form.SetText1(path);
}

}  // namespace tarnwick
