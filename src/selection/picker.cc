#include "selection/picker.h"

#include "selection/selection_context.h"

namespace tarnwick {

const char kBrowseNote[] =
    "This method may not be successful with all the web browsers. Some browsers support "
    "command-line arguments to open an URL or a file. There is no guarantee that this method "
    "will work in all cases, the results vary from browser to browser.\n\n"
    "If using this method does not give satisfactory results, you can undo the configuration "
    "anytime using the - Reset - button available in this utility.";

std::optional<std::string> ShowCommonDialog(CommonDialog* dialog) {
  if (dialog == nullptr) return std::nullopt;
  dialog->SetInitialDir(kPickerInitialDir);
  dialog->SetFilter(kPickerFilter);
  dialog->SetFlags(kPickerFlags);
  if (!dialog->ShowOpen()) return std::nullopt;
  return dialog->FileName();
}

}  // namespace tarnwick
