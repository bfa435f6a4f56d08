// The executable picker: the open-file dialog set up for browser executables.
#ifndef TARNWICK_SELECTION_PICKER_H_
#define TARNWICK_SELECTION_PICKER_H_

#include <cstdint>
#include <optional>
#include <string>

#include "selection/selection_context.h"

namespace tarnwick {

/// The three settings made before every showing, in this order. The folder text is passed on
/// unexpanded.
inline constexpr char kPickerInitialDir[] = "%Programfiles%";
inline constexpr char kPickerFilter[] = "EXE Files(*.exe)|*.exe";
inline constexpr int32_t kPickerFlags = 4;  ///< OFN_HIDEREADONLY

/// The note the browse button shows before the dialog, titled kBrowseNoteTitle, style 0.
extern const char kBrowseNote[];
inline constexpr char kBrowseNoteTitle[] = "Note";

/// The open-file dialog where no one can answer it, in a run without a window: every showing
/// is a cancel.
class UnansweredDialog final : public CommonDialog {
 public:
  void SetInitialDir(const std::string&) override {}
  void SetFilter(const std::string&) override {}
  void SetFlags(int32_t) override {}
  bool ShowOpen() override { return false; }
  std::string FileName() override { return {}; }
};

/// Makes the three settings and shows `dialog`: the chosen path, unchanged, when the user chose
/// a file; nothing when the dialog was cancelled. A null dialog counts as a cancel. The preset
/// apply and the browse button both ask through it.
std::optional<std::string> ShowCommonDialog(CommonDialog* dialog);

}  // namespace tarnwick

#endif  // TARNWICK_SELECTION_PICKER_H_
