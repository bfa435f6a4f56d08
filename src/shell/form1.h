// The main window as a toolkit-independent model. It owns every control state and every event
// handler; a front end renders the state, forwards the events, and implements the Platform.
#ifndef TARNWICK_SHELL_FORM1_H_
#define TARNWICK_SHELL_FORM1_H_

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "registry/browser_profile.h"
#include "registry/registry_writer.h"
#include "selection/preset_catalogue.h"
#include "shell/platform.h"

namespace tarnwick {

struct BackupResult;

/// How a handler that may change the registry ended. The window tells the user by its messages
/// and control states; the command line turns the outcome into its exit code.
enum class Form1Outcome {
  kDone,             ///< done, or nothing to do
  kCancelled,        ///< the user cancelled the picker: no browser was written
  kNotApplied,       ///< the custom path was empty, invalid or named no file: nothing changed
  kBackupFailed,     ///< the backup could not be saved: nothing changed
  kWritesFailed,     ///< writes into the current user's hive failed; the rest was written
  kResetIncomplete,  ///< the Reset left per-user keys it could not delete
};

class Form1 {
 public:
  /// Nothing in `platform` is owned; all of it must outlive the window. Every member must be
  /// set; a null registry only leaves the current-default line hidden and deletes nothing.
  explicit Form1(const Platform& platform);
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  /// `changed` runs after every change of a control state below, also in the middle of a
  /// handler (before a modal box appears), so the front end can redraw.
  void SetObserver(std::function<void()> changed);

  // Control state.
  bool OptionValue(int index) const;  ///< Option1 ... Option8 by index 1 ... kPresetCount
  const std::string& Text1() const;
  bool Command7Enabled() const;  ///< the presets' Apply
  bool Command2Enabled() const;  ///< the custom Apply
  const std::string& Label5Caption() const;
  bool Frame4Visible() const;
  bool AboutOpen() const;
  const BrowserProfile& Profile() const;

  /// The window's services for a look that changes nothing: the file-system object of the load
  /// step, the environment and the registry; no profile, writer or picker. The file-system
  /// object is null before a successful load step.
  SelectionContext Services() const;

  // Events. The front end forwards only what the user can do: a disabled button raises no
  // click. While the About box is open the main window's handlers ignore their events.
  /// The load step. Returns false when start-up stopped (a refused Windows release, or an
  /// automation object that could not be created, after its message); the window is then
  /// never shown and the program ends.
  bool Form_Load();
  /// The unload step: closes the About box; never cancels the close.
  void Form_Unload();
  /// Option button `index` (1 ... kPresetCount) was selected by mouse or keyboard: its value turns
  /// on, the others' off, then its click reaction runs.
  void Option_Click(int index);
  /// The text of Text1 becomes `text`, by typing or by the program. Setting the text it
  /// already holds is no change; any other text runs the change reaction.
  void SetText1(const std::string& text);
  Form1Outcome Command7_Click();  ///< presets' Apply
  void Command1_Click();          ///< browse ("...")
  Form1Outcome Command2_Click();  ///< custom Apply
  Form1Outcome Command5_Click();  ///< Reset
  void Command3_Click();          ///< Homepage
  void Command4_Click();          ///< About
  void Picture1_Click();          ///< donation image
  void Label4_Click();            ///< donation appeal
  void Label2_Click();            ///< copyright line

 private:
  // The window's own routines. The reset (delperuserkeys) and the picker (ShowCommonDialog)
  // are the engine's, called on the window's registry and dialog object.
  void DeselectOptionBoxes();
  void GetCurrentDefaultWebBrowser();

  /// The services and working values lent to a preset or custom apply.
  SelectionContext MakeSelectionContext();
  /// True while the About box is open: the main window takes no input then.
  bool Blocked() const;
  /// True when `result` is a saved backup; otherwise tells the user that nothing was changed.
  /// Keeps `result` in `*kept` when that is given.
  bool Saved(const BackupResult& result, BackupResult* kept = nullptr);
  /// Tells the user when writes into the current user's hive failed since the tally was last
  /// taken: kWritesFailed then, kDone when all of them succeeded.
  Form1Outcome ReportFailedWrites();

  // Control-state setters: each runs the observer when the state changes.
  void SetOptionValue(int index, bool value);
  void SetCommand7Enabled(bool enabled);
  void SetCommand2Enabled(bool enabled);
  void SetLabel5Caption(const std::string& caption);
  void SetFrame4Visible(bool visible);
  void SetAboutOpen(bool open);
  void Changed();

  Platform platform_;  // a copy of the pointers
  std::function<void()> observer_;

  std::array<bool, kPresetCount> option_values_ = {};
  std::string text1_;
  bool command7_enabled_ = false;
  bool command2_enabled_ = false;
  std::string label5_caption_;
  bool frame4_visible_ = false;
  std::unique_ptr<frmAbout> about_;
  bool about_open_ = false;

  BrowserProfile profile_;
  // The automation objects, created by the load step in this order and kept for the window's
  // lifetime.
  std::unique_ptr<RegistryWriteRoute> scripting_shell_;
  std::unique_ptr<FileSystemObject> file_system_;
  std::unique_ptr<CommonDialog> common_dialog_;
  RegistryWriter writer_{nullptr};  ///< over scripting_shell_
};

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_FORM1_H_
