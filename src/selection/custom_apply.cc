#include "selection/custom_apply.h"

#include <string_view>

#include "registry/association_sets.h"
#include "registry/browser_profile.h"
#include "registry/per_user_reset.h"
#include "registry/registry_writer.h"
#include "selection/preset_apply.h"
#include "selection/preset_catalogue.h"
#include "selection/selection_context.h"

namespace tarnwick {

bool HoldsInvalidPathCharacter(const std::string& text) {
  for (unsigned char c : text) {
    if (c < 0x20 ||
        std::string_view(R"("<>|*?)").find(static_cast<char>(c)) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

CustomApplyResult CustomApply(SelectionContext& ctx, const std::string& text) {
  BrowserProfile& p = *ctx.profile;
  p.IEPath = InternetExplorerPath(ctx);
  // A text of blanks names no program; applying it would clear the user's registrations and
  // write commands that run nothing.
  if (text.find_first_not_of(' ') == std::string::npos) return CustomApplyResult::kEmpty;
  if (HoldsInvalidPathCharacter(text)) return CustomApplyResult::kInvalidPath;

  if (ctx.registry != nullptr) delperuserkeys(*ctx.registry);
  p.ExecutablePath = text;
  p.OpenCommand = BuildOpenCommand(CommandForm::kQuoted, text);
  // Unlike the presets, every document icon here is index 0, MHTML's included.
  p.HtmlIcon = p.IEPath + ",0";
  p.MhtmlIcon = p.IEPath + ",0";
  p.HttpIcon = p.IEPath + ",0";
  p.HttpsIcon = p.IEPath + ",0";
  p.FtpIcon = p.IEPath + ",0";
  p.ShortcutIcon = kShortcutIconReference;
  p.ShortcutCommand = p.OpenCommand;

  if (ctx.writer != nullptr) {
    ctx.writer->write(kCheckAssociationsPath, "No", "REG_SZ");
    PresetDefaultWebBrowser(p, *ctx.writer);
  }
  return CustomApplyResult::kApplied;
}

}  // namespace tarnwick
