// The registry as the store of the default browser: what the window and the command line have
// always done on Windows XP and over the stand-in registry.
#ifndef TARNWICK_SHELL_REGISTRY_STORE_H_
#define TARNWICK_SHELL_REGISTRY_STORE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "registry/browser_profile.h"
#include "registry/reg_edit.h"
#include "registry/registry_writer.h"
#include "selection/selection_context.h"
#include "shell/browser_store.h"
#include "shell/platform.h"

namespace tarnwick {

class RegistryImporter;
struct BackupResult;

class RegistryStore final : public BrowserStore {
 public:
  /// Works through the pieces of `platform` (all but its Desktop and store); `importer`, into
  /// the same registry, keeps the once record and restores backups (null: neither can be
  /// done). Nothing is owned.
  explicit RegistryStore(const Platform& platform, RegistryImporter* importer = nullptr);
  ~RegistryStore() override;

  /// The Windows XP gate, then the automation objects in their order, each only once the one
  /// before it exists; a failure ends start-up with its message.
  StoreLoad Load(Desktop& desktop) override;
  std::string Where() const override { return {}; }
  std::string MessageTitle() const override;
  std::string PresetCaption(int index) const override;
  int FindPreset(const std::string& name) const override;
  bool PresetInstalled(int index) override;
  std::string WhyNotInstalled(int index) override;
  bool CustomAccepted(const std::string& text) override;
  StoreChange ApplyPreset(const std::array<bool, kPresetCount>& option_values) override;
  StoreChange ApplyCustom(const std::string& text) override;
  StoreChange Reset() override;
  DefaultBrowserDisplay CurrentDefault() override;
  std::string NameOfLine(const std::string& caption) const override;
  std::vector<std::string> NotInPlace(int index, const std::string& path) override;
  bool WasSetOnce(const std::string& label) override;
  bool ChangesNothing(int index, const std::string& path) override;
  bool RecordOnce(const std::string& label, std::string* err) override;
  bool ForgetOnce(std::string* err) override;
  RestoreOutcome Restore(const std::string& file, const std::string& bytes,
                         std::string* detail) override;
  CommonDialog* Dialog() override { return common_dialog_.get(); }

  /// The working values of the last apply.
  const BrowserProfile& Profile() const { return profile_; }
  /// The services for a look that changes nothing: the file-system object (null before a
  /// successful load step), the environment and the registry.
  SelectionContext Services() const;

 private:
  /// The services and working values lent to a preset or custom apply.
  SelectionContext MakeSelectionContext();
  /// True when `result` is a saved backup; otherwise adds to `change` that nothing was changed.
  static bool Saved(const BackupResult& result, StoreChange* change);
  /// The outcome of the writes since the tally was last taken, with the message when some of
  /// the current user's failed.
  void ReportFailedWrites(StoreChange* change);
  /// Sets (to `data`, a text) or deletes the value that records the browser set once.
  bool ImportOnceEdit(RegEdit::Op op, std::vector<uint8_t> data, std::string* err);

  Platform platform_;
  RegistryImporter* importer_;
  BrowserProfile profile_;
  std::unique_ptr<RegistryWriteRoute> scripting_shell_;
  std::unique_ptr<FileSystemObject> file_system_;
  std::unique_ptr<CommonDialog> common_dialog_;
  RegistryWriter writer_{nullptr};  ///< over scripting_shell_
};

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_REGISTRY_STORE_H_
