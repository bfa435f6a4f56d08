// Where the user's default browser is kept, behind what the window and the command line mean
// by it: apply this browser, reset, which is the default now, what would change, restore this
// backup. The registry of Windows (and its stand-in) is one store; a freedesktop.org desktop's
// settings files are another. The window's model, the command table, the backups and the run
// log never learn which one they drive.
#ifndef TARNWICK_SHELL_BROWSER_STORE_H_
#define TARNWICK_SHELL_BROWSER_STORE_H_

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "registry/current_default.h"
#include "selection/preset_catalogue.h"

namespace tarnwick {

class CommonDialog;
class Desktop;

/// How a handler that may change the store ended. The window tells the user by its messages
/// and control states; the command line turns the outcome into its exit code.
enum class Form1Outcome {
  kDone,             ///< done, or nothing to do
  kCancelled,        ///< the user cancelled the picker: no browser was written
  kNotApplied,       ///< the custom path was empty, invalid or named no file: nothing changed
  kBackupFailed,     ///< the backup could not be saved: nothing changed
  kWritesFailed,     ///< writes into the current user's settings failed; the rest was written
  kResetIncomplete,  ///< the Reset left per-user settings it could not remove
};

/// A message box that a change asks the window to show.
struct StoreMessage {
  std::string text;
  int style = 0;  ///< kVbInformation, kVbCritical, ...
};

/// What a change did, and what the user is to be told, in order.
struct StoreChange {
  Form1Outcome outcome = Form1Outcome::kDone;
  std::vector<StoreMessage> messages;
};

/// How the load step of a store ended.
enum class StoreLoad {
  kReady,    ///< the program may run
  kRefused,  ///< the program does not run here: the window unloads
  kFailed,   ///< something the program needs could not be had
};

/// How a restore of a backup ended.
enum class RestoreOutcome {
  kRestored,      ///< every setting of the backup is back
  kRefused,       ///< the backup cannot be read or is not one of this store's; nothing changed
  kBackupFailed,  ///< the present state could not be saved first; nothing changed
  kFailed,        ///< not every setting could be restored
};

class BrowserStore {
 public:
  virtual ~BrowserStore() = default;

  /// The load step. Unless the program may run, the user has been told why through `desktop`,
  /// and the window is never shown.
  virtual StoreLoad Load(Desktop& desktop) = 0;

  /// A short name of what the store works on, for the window's title; empty for the program's
  /// own first store, the registry.
  virtual std::string Where() const = 0;
  /// The title of the window's message boxes.
  virtual std::string MessageTitle() const = 0;

  /// The caption of option button `index` (1 ... kPresetCount).
  virtual std::string PresetCaption(int index) const = 0;
  /// The preset that `name` names, in any case (1 ... kPresetCount); 0 for none.
  virtual int FindPreset(const std::string& name) const = 0;
  /// Whether the browser of preset `index` is installed here.
  virtual bool PresetInstalled(int index) = 0;
  /// Why preset `index` counts as not installed: "there is no file "<path>"".
  virtual std::string WhyNotInstalled(int index) = 0;
  /// Whether `text` names a program that a custom apply would take (after trimming).
  virtual bool CustomAccepted(const std::string& text) = 0;

  /// The presets' Apply for the selected option (none selected writes what every apply writes
  /// first). Backs up first; asks for a missing program with the picker.
  virtual StoreChange ApplyPreset(const std::array<bool, kPresetCount>& option_values) = 0;
  /// The custom Apply of the program in the box (`text`, untrimmed). Backs up first.
  virtual StoreChange ApplyCustom(const std::string& text) = 0;
  /// Removes what the applies write for the user. Backs up first.
  virtual StoreChange Reset() = 0;

  /// The current-default line.
  virtual DefaultBrowserDisplay CurrentDefault() = 0;
  /// The browser's name in a caption of the current-default line.
  virtual std::string NameOfLine(const std::string& caption) const = 0;

  /// What would change: the settings of preset `index` (or, with 0, of the custom program
  /// `path`) that are not in place now, one line each; empty when all are.
  virtual std::vector<std::string> NotInPlace(int index, const std::string& path) = 0;

  /// Whether the apply of preset `index` (or, with 0, of the custom program `path`) would change
  /// nothing at all: every setting NotInPlace compares is in place, and so is everything else it
  /// would write or remove where the user may change it.
  virtual bool ChangesNothing(int index, const std::string& path) = 0;

  /// Whether `label` (a preset's caption, a program's path) is the browser recorded by the
  /// last successful set with the once option.
  virtual bool WasSetOnce(const std::string& label) = 0;
  /// Records `label` as the browser set once; false with the reason when it cannot be kept.
  virtual bool RecordOnce(const std::string& label, std::string* err) = 0;
  /// Forgets the browser set once, so that the next set with the once option applies again;
  /// false with the reason when it cannot be forgotten. Nothing recorded is no error.
  virtual bool ForgetOnce(std::string* err) = 0;

  /// Brings back the settings that the backup `bytes` (of the file `file`) holds, after saving
  /// the present state as a backup of its own. A backup that would change anything the store
  /// itself never changes is refused whole. When not every setting could be restored, the
  /// state before is put back where it can be and the backup of it is dropped, so that a
  /// second try restores the same backup. `detail` gets the reason of a refusal or a failure,
  /// or the message of a failed backup.
  virtual RestoreOutcome Restore(const std::string& file, const std::string& bytes,
                                 std::string* detail) = 0;

  /// The open-file dialog of the browse button; null when there is none.
  virtual CommonDialog* Dialog() = 0;
};

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_BROWSER_STORE_H_
