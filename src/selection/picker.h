// The executable picker: the open-file dialog set up for browser executables.
#ifndef TARNWICK_SELECTION_PICKER_H_
#define TARNWICK_SELECTION_PICKER_H_

#include <cstdint>
#include <string>

namespace tarnwick {

struct BrowserProfile;
class CommonDialog;

/// The three settings made before every showing, in this order. The folder text is passed on
/// unexpanded.
inline constexpr char kPickerInitialDir[] = "%Programfiles%";
inline constexpr char kPickerFilter[] = "EXE Files(*.exe)|*.exe";
inline constexpr int32_t kPickerFlags = 4;  ///< OFN_HIDEREADONLY

/// The note the browse button shows before the dialog, titled kBrowseNoteTitle, style 0.
extern const char kBrowseNote[];
inline constexpr char kBrowseNoteTitle[] = "Note";

/// Makes the three settings and shows `dialog`. Returns true with the chosen path, unchanged,
/// in `*file_name` when the user chose a file; false leaves `*file_name` alone. A null dialog
/// counts as a cancel.
bool PickExecutable(CommonDialog* dialog, std::string* file_name);

/// The preset apply's picker: the chosen path, or the empty text on cancel, becomes
/// `profile->ExecutablePath`.
void ShowCommonDialog(CommonDialog* dialog, BrowserProfile* profile);

}  // namespace tarnwick

#endif  // TARNWICK_SELECTION_PICKER_H_
