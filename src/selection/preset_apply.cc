#include "selection/preset_apply.h"

#include "registry/association_sets.h"
#include "registry/browser_profile.h"
#include "registry/registry_writer.h"
#include "selection/picker.h"
#include "selection/preset_catalogue.h"
#include "selection/selection_context.h"
#include "text/text.h"

namespace tarnwick {
namespace {

void Write(SelectionContext& ctx, const char* path, const std::string& value) {
  if (ctx.writer != nullptr) ctx.writer->write(path, value, "REG_SZ");
}

}  // namespace

PresetApplyResult PresetApply(SelectionContext& ctx,
                              const std::array<bool, kPresetCount>& option_values) {
  BrowserProfile& p = *ctx.profile;
  // ExecutablePath is left alone: every row sets it before reading it.
  p.OpenCommand.clear();
  p.HtmlIcon.clear();
  p.MhtmlIcon.clear();
  p.HttpIcon.clear();
  p.HttpsIcon.clear();
  p.FtpIcon.clear();
  p.ShortcutIcon.clear();
  p.ShortcutCommand.clear();
  p.IEPath = InternetExplorerPath(ctx);
  if (!MayChange(ctx)) return PresetApplyResult::kStopped;
  Write(ctx, kCheckAssociationsPath, "No");

  PresetApplyResult result = PresetApplyResult::kNoSelection;
  const auto rows = PresetCatalogue();
  for (size_t i = 0; i < rows.size() && i < option_values.size(); ++i) {
    if (!option_values[i]) continue;
    if (!ApplyPresetRow(ctx, rows[i])) return PresetApplyResult::kCancelled;
    result = PresetApplyResult::kApplied;
  }
  return result;
}

std::string PresetExecutablePath(const SelectionContext& ctx, const BrowserPreset& row) {
  return ProgramFiles(ctx) + row.RelativePath;
}

bool PresetInstalled(const SelectionContext& ctx, const BrowserPreset& row) {
  return ctx.fso != nullptr && ctx.fso->FileExists(PresetExecutablePath(ctx, row));
}

bool ApplyPresetRow(SelectionContext& ctx, const BrowserPreset& row) {
  BrowserProfile& p = *ctx.profile;
  p.ExecutablePath = PresetExecutablePath(ctx, row);
  if (row.ShortcutCommandForm == ShortcutCommandForm::kLiteral) {
    p.ShortcutCommand = kLiteralShortcutCommand;
  }

  if (!PresetInstalled(ctx, row)) {
    // The chosen path is taken as it is, unchecked; a cancel leaves the empty text, which
    // stops the apply.
    p.ExecutablePath = ShowCommonDialog(ctx.dialog).value_or("");
    if (IsBlank(p.ExecutablePath)) return false;
  }

  p.OpenCommand = BuildOpenCommand(row.CommandForm, p.ExecutablePath);
  if (row.ShortcutCommandForm == ShortcutCommandForm::kCopy) p.ShortcutCommand = p.OpenCommand;
  if (row.IconSet == IconSet::kBrowserIcons) SetBrowserIcons(&p, ",22");

  if (ctx.writer != nullptr) {
    if (row.AssociationSet == AssociationSet::kFirefox) {
      PresetFirefoxDefault(p, *ctx.writer);
    } else {
      PresetDefaultWebBrowser(p, *ctx.writer);
    }
  }

  Write(ctx, kStartMenuClientPath, row.ClientName);
  if (row.MachineClient) {
    p.ClientCommandPath = row.ClientCommandPath;
    p.ClientNamePath = row.ClientNamePath;
    // The machine-wide client runs the executable without arguments.
    Write(ctx, row.ClientCommandPath, ClientCommand(p.ExecutablePath));
    Write(ctx, row.ClientNamePath, row.DisplayName);
  }
  if (row.ExtraWrite != nullptr) Write(ctx, row.ExtraWrite->path, row.ExtraWrite->value);
  return true;
}

}  // namespace tarnwick
