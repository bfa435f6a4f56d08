// The two per-user association sets: fixed, ordered tables of writes that make a browser the
// handler of web documents and of the http, https and ftp protocols for the current user.
#ifndef TARNWICK_REGISTRY_ASSOCIATION_SETS_H_
#define TARNWICK_REGISTRY_ASSOCIATION_SETS_H_

#include <cstddef>
#include <span>
#include <string>

#include "registry/browser_profile.h"

namespace tarnwick {

class RegistryWriter;

/// Where a row's value comes from.
enum class RowValue {
  kText,             ///< the row's literal text
  kOpenCommand,      ///< BrowserProfile::OpenCommand
  kShortcutCommand,  ///< BrowserProfile::ShortcutCommand
  kHtmlIcon,
  kMhtmlIcon,
  kHttpIcon,
  kHttpsIcon,
  kFtpIcon,
  kShortcutIcon,
  kProtocolIcon,  ///< ExecutablePath + ",0", the browser's own icon (the same for each row)
};

/// One write of an association set.
struct AssociationRow {
  const char* path;  ///< writer path; a trailing backslash addresses the default value
  RowValue from;     ///< where the value comes from
  const char* text;  ///< the literal value when `from` is kText, else null
  const char* type;  ///< "REG_SZ" or "REG_EXPAND_SZ"
};

/// The generic set (26 rows), used by every preset but Firefox and by the custom apply.
std::span<const AssociationRow> GenericAssociationRows();

/// The Firefox set (21 rows).
std::span<const AssociationRow> FirefoxAssociationRows();

/// The value a row writes for `profile`.
std::string RowValueFor(const AssociationRow& row, const BrowserProfile& profile);

/// Writes the generic set in table order, each row on its own; failures are skipped.
void PresetDefaultWebBrowser(const BrowserProfile& profile, RegistryWriter& writer);

/// Writes the Firefox set in table order, each row on its own; failures are skipped.
void PresetFirefoxDefault(const BrowserProfile& profile, RegistryWriter& writer);

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_ASSOCIATION_SETS_H_
