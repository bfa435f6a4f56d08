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
#include "selection/preset_catalogue.h"
#include "shell/browser_store.h"
#include "shell/platform.h"

namespace tarnwick {

class RegistryStore;

class Form1 {
 public:
  /// Nothing in `platform` is owned; all of it must outlive the window. Every member must be
  /// set but the store; a null registry only leaves the current-default line hidden and
  /// deletes nothing. Without a store the window works on the registry of `platform`.
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
  /// The working values of the registry's last apply; empty ones with another store.
  const BrowserProfile& Profile() const;
  /// The caption of option button `index` (1 ... kPresetCount), as the store names it.
  std::string OptionCaption(int index) const;
  /// The store the window works on.
  BrowserStore& Store() const { return *store_; }

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
  // The window's own routines. What an apply, the reset (delperuserkeys) and the current
  // default mean is the store's business; the picker (ShowCommonDialog) is the engine's.
  void DeselectOptionBoxes();
  void GetCurrentDefaultWebBrowser();

  /// True while the About box is open: the main window takes no input then.
  bool Blocked() const;
  /// Shows the messages of `change` in order; returns its outcome.
  Form1Outcome Show(const StoreChange& change);

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

  std::unique_ptr<RegistryStore> registry_store_;  ///< when the platform names no store
  BrowserStore* store_;
};

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_FORM1_H_
