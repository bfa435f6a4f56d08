#include "shell/form1.h"

#include <utility>

#include "registry/current_default.h"
#include "selection/picker.h"
#include "shell/about_box.h"
#include "shell/registry_store.h"
#include "shell/startup.h"
#include "shell/web_links.h"

namespace tarnwick {

Form1::Form1(const Platform& platform) : platform_(platform), store_(platform.store) {
  if (store_ == nullptr) {
    registry_store_ = std::make_unique<RegistryStore>(platform);
    store_ = registry_store_.get();
  }
}

Form1::~Form1() = default;

void Form1::SetObserver(std::function<void()> changed) { observer_ = std::move(changed); }

bool Form1::OptionValue(int index) const {
  return index >= 1 && index <= kPresetCount && option_values_[index - 1];
}
const std::string& Form1::Text1() const { return text1_; }
bool Form1::Command7Enabled() const { return command7_enabled_; }
bool Form1::Command2Enabled() const { return command2_enabled_; }
const std::string& Form1::Label5Caption() const { return label5_caption_; }
bool Form1::Frame4Visible() const { return frame4_visible_; }
bool Form1::AboutOpen() const { return about_open_; }
const BrowserProfile& Form1::Profile() const {
  static const BrowserProfile kNone;
  return registry_store_ != nullptr ? registry_store_->Profile() : kNone;
}

std::string Form1::OptionCaption(int index) const { return store_->PresetCaption(index); }

bool Form1::Form_Load() {
  switch (store_->Load(*platform_.desktop)) {
    case StoreLoad::kReady:
      break;
    case StoreLoad::kRefused:
      Form_Unload();
      return false;
    case StoreLoad::kFailed:
      return false;
  }
  DeselectOptionBoxes();
  GetCurrentDefaultWebBrowser();
  return true;
}

void Form1::Form_Unload() { platform_.desktop->CloseAboutBox(); }

void Form1::Option_Click(int index) {
  if (Blocked() || index < 1 || index > kPresetCount) return;
  // The options share one container, so selecting one turns the others off; off first, so
  // that no redraw ever sees two selected.
  for (int i = 1; i <= kPresetCount; ++i) {
    if (i != index) SetOptionValue(i, false);
  }
  SetOptionValue(index, true);
  SetCommand7Enabled(true);
}

void Form1::SetText1(const std::string& text) {
  if (Blocked() || text == text1_) return;
  text1_ = text;
  Changed();
  SetCommand2Enabled(true);
}

Form1Outcome Form1::Command7_Click() {
  if (Blocked()) return Form1Outcome::kDone;
  const Form1Outcome outcome = Show(store_->ApplyPreset(option_values_));
  if (outcome == Form1Outcome::kBackupFailed || outcome == Form1Outcome::kCancelled) {
    return outcome;
  }
  // An incomplete apply leaves its button to be pressed again.
  if (outcome == Form1Outcome::kDone) SetCommand7Enabled(false);
  GetCurrentDefaultWebBrowser();
  return outcome;
}

void Form1::Command1_Click() {
  if (Blocked()) return;
  platform_.desktop->MsgBox(kBrowseNote, kBrowseNoteTitle, kVbOkOnly);
  if (std::optional<std::string> chosen = ShowCommonDialog(store_->Dialog())) SetText1(*chosen);
}

Form1Outcome Form1::Command2_Click() {
  if (Blocked()) return Form1Outcome::kDone;
  const Form1Outcome outcome = Show(store_->ApplyCustom(text1_));
  if (outcome == Form1Outcome::kBackupFailed) return outcome;
  if (outcome == Form1Outcome::kDone) SetCommand2Enabled(false);
  GetCurrentDefaultWebBrowser();
  return outcome;
}

Form1Outcome Form1::Command5_Click() {
  if (Blocked()) return Form1Outcome::kDone;
  const StoreChange change = store_->Reset();
  if (change.outcome == Form1Outcome::kBackupFailed) return Show(change);
  // Clearing the text runs its change reaction, which enables Command2; disable it after.
  SetText1("");
  SetCommand2Enabled(false);
  SetCommand7Enabled(false);
  DeselectOptionBoxes();
  const Form1Outcome outcome = Show(change);
  GetCurrentDefaultWebBrowser();
  return outcome;
}

void Form1::Command3_Click() {
  if (Blocked()) return;
  platform_.desktop->ShellExecute(ShellOwner::kNone, "Open", kProgramPageUrl, kSwShowMaximized);
}

void Form1::Command4_Click() {
  if (Blocked()) return;
  if (about_ == nullptr) about_ = std::make_unique<frmAbout>(*platform_.desktop);
  SetAboutOpen(true);
  platform_.desktop->ShowAboutBox(*about_);
  // Closing unloads the box; the next click makes a new one.
  SetAboutOpen(false);
  about_.reset();
}

void Form1::Picture1_Click() {
  if (Blocked()) return;
  OpenURL(*platform_.desktop, "open", kDonationPageUrl, kSwShowNormal);
}

void Form1::Label4_Click() {
  if (Blocked()) return;
  OpenURL(*platform_.desktop, "open", kDonationPageUrl, kSwShowNormal);
}

void Form1::Label2_Click() {
  if (Blocked()) return;
  platform_.desktop->ShellExecute(ShellOwner::kNone, "Open", kSiteRootUrl, kSwShowMaximized);
}

void Form1::DeselectOptionBoxes() {
  for (int i = 1; i <= kPresetCount; ++i) SetOptionValue(i, false);
}

void Form1::GetCurrentDefaultWebBrowser() {
  // The line is cleared and set in one step, after the query: a screen reader hears one change
  // of it, or none when it stays the same, never the empty line in between.
  const DefaultBrowserDisplay display = store_->CurrentDefault();
  SetLabel5Caption(display.visible ? display.caption : "");
  SetFrame4Visible(display.visible);
}

bool Form1::Blocked() const { return about_open_; }

Form1Outcome Form1::Show(const StoreChange& change) {
  for (const StoreMessage& message : change.messages) {
    platform_.desktop->MsgBox(message.text, store_->MessageTitle(), message.style);
  }
  return change.outcome;
}

void Form1::SetOptionValue(int index, bool value) {
  if (option_values_[index - 1] == value) return;
  option_values_[index - 1] = value;
  Changed();
}

void Form1::SetCommand7Enabled(bool enabled) {
  if (command7_enabled_ == enabled) return;
  command7_enabled_ = enabled;
  Changed();
}

void Form1::SetCommand2Enabled(bool enabled) {
  if (command2_enabled_ == enabled) return;
  command2_enabled_ = enabled;
  Changed();
}

void Form1::SetLabel5Caption(const std::string& caption) {
  if (label5_caption_ == caption) return;
  label5_caption_ = caption;
  Changed();
}

void Form1::SetFrame4Visible(bool visible) {
  if (frame4_visible_ == visible) return;
  frame4_visible_ = visible;
  Changed();
}

void Form1::SetAboutOpen(bool open) {
  if (about_open_ == open) return;
  about_open_ = open;
  Changed();
}

void Form1::Changed() {
  if (observer_) observer_();
}

}  // namespace tarnwick
