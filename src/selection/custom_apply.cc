#include "selection/custom_apply.h"

#include <string_view>

#include "registry/association_sets.h"
#include "registry/browser_profile.h"
#include "registry/per_user_reset.h"
#include "registry/registry_writer.h"
#include "selection/preset_apply.h"
#include "selection/preset_catalogue.h"
#include "selection/selection_context.h"
#include "text/text.h"

namespace tarnwick {

bool HoldsInvalidPathCharacter(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F ||
        std::string_view(R"("<>|*?%)").find(static_cast<char>(c)) != std::string_view::npos) {
      return true;
    }
    // U+0080 ... U+009F, the second block of control characters, are C2 80 ... C2 9F in UTF-8.
    if (c == 0xC2 && i + 1 < text.size()) {
      const auto next = static_cast<unsigned char>(text[i + 1]);
      if (next >= 0x80 && next <= 0x9F) return true;
    }
  }
  return false;
}

CustomApplyResult CheckCustomPath(SelectionContext& ctx, const std::string& text) {
  // A text of blanks names no program; applying it would clear the user's registrations and
  // write commands that run nothing. So would a path to nothing: one typo would cost the user
  // every per-user registration.
  if (IsBlank(text)) return CustomApplyResult::kEmpty;
  if (HoldsInvalidPathCharacter(text)) return CustomApplyResult::kInvalidPath;
  if (ctx.fso == nullptr || !ctx.fso->FileExists(TrimSpaces(text))) {
    return CustomApplyResult::kMissingFile;
  }
  return CustomApplyResult::kApplied;
}

CustomApplyResult CustomApply(SelectionContext& ctx, const std::string& text) {
  BrowserProfile& p = *ctx.profile;
  p.IEPath = InternetExplorerPath(ctx);
  if (const CustomApplyResult checked = CheckCustomPath(ctx, text);
      checked != CustomApplyResult::kApplied) {
    return checked;
  }
  if (!MayChange(ctx)) return CustomApplyResult::kStopped;

  if (ctx.registry != nullptr) delperuserkeys(*ctx.registry);
  // The file that was found, not the blanks around it, which would make the command name
  // another path.
  const std::string path = TrimSpaces(text);
  p.ExecutablePath = path;
  p.OpenCommand = BuildOpenCommand(CommandForm::kQuoted, path);
  // Unlike the presets, every document icon here is index 0, MHTML's included.
  SetBrowserIcons(&p, ",0");
  p.ShortcutCommand = p.OpenCommand;

  if (ctx.writer != nullptr) {
    ctx.writer->write(kCheckAssociationsPath, "No", "REG_SZ");
    PresetDefaultWebBrowser(p, *ctx.writer);
  }
  return CustomApplyResult::kApplied;
}

}  // namespace tarnwick
