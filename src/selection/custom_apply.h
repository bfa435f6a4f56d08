// The custom Apply: makes any browser executable, named by its path, the current user's
// default, after clearing every per-user browser registration.
#ifndef TARNWICK_SELECTION_CUSTOM_APPLY_H_
#define TARNWICK_SELECTION_CUSTOM_APPLY_H_

#include <string>

namespace tarnwick {

struct SelectionContext;

/// How a custom apply ended.
enum class CustomApplyResult {
  kApplied,      ///< the per-user keys were cleared and the generic set written for the path
  kEmpty,        ///< the text was empty or blanks only: nothing deleted or written
  kInvalidPath,  ///< the text holds a character no path can hold: nothing deleted or written
  kMissingFile,  ///< no file exists at the trimmed path: nothing deleted or written
  kStopped,      ///< `ctx.before_change` refused: nothing deleted or written
};

/// True when `text` holds a character that no Windows path can hold: '"', '<', '>', '|', '*',
/// '?' or a control character (U+0000 ... U+001F, U+007F ... U+009F); or a '%', which a path
/// may hold but a command written for it may not: Windows would read it as the start of "%1".
bool HoldsInvalidPathCharacter(const std::string& text);

/// Whether `text` passes the checks a custom apply makes before it changes anything: not
/// blank, no character a path cannot hold, and a file at the trimmed path (through
/// `ctx.fso`; none counts as missing). kApplied when it does.
CustomApplyResult CheckCustomPath(SelectionContext& ctx, const std::string& text);

/// Runs a custom apply for the path `text` up to, not including, the window's own last steps
/// (disabling its Apply button after kApplied, showing a message after kInvalidPath and
/// kMissingFile, and refreshing the current-default line). Sets `ctx.profile->IEPath`; when
/// CheckCustomPath passes and `ctx.before_change` agrees, runs the per-user reset, fills the
/// profile with the quoted trimmed
/// path as the open and shortcut commands, writes "Check_Associations" = "No" and the generic
/// association set. Every write is its own step; the writer's tally tells which failed.
CustomApplyResult CustomApply(SelectionContext& ctx, const std::string& text);

}  // namespace tarnwick

#endif  // TARNWICK_SELECTION_CUSTOM_APPLY_H_
