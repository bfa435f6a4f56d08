#include "freedesktop/xdg_paths.h"

#include <algorithm>
#include <string_view>

#include "text/text.h"

namespace tarnwick::freedesktop {
namespace {

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  while (true) {
    std::size_t end = text.find(separator);
    if (end != 0 && !text.empty()) parts.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return parts;
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// A single folder: relative ones are invalid and the default applies instead.
std::string Folder(const std::string& value, const std::string& fallback) {
  return !value.empty() && value[0] == '/' ? WithoutTrailingSlashes(value) : fallback;
}

std::vector<std::string> Folders(const std::string& value,
                                 const std::vector<std::string>& fallback) {
  std::vector<std::string> folders;
  for (std::string& part : Split(value, ':')) {
    if (part[0] == '/') folders.push_back(WithoutTrailingSlashes(std::move(part)));
  }
  return folders.empty() ? fallback : folders;
}

}  // namespace

std::vector<std::string> LocaleVariants(const std::string& locale) {
  if (locale.empty() || locale == "C" || locale == "POSIX" || locale.starts_with("C.")) return {};
  std::string_view rest = locale;
  std::string modifier;
  if (std::size_t at = rest.find('@'); at != std::string_view::npos) {
    modifier = std::string(rest.substr(at));
    rest = rest.substr(0, at);
  }
  rest = rest.substr(0, rest.find('.'));  // the encoding plays no part in "Name[...]"
  std::string lang(rest.substr(0, rest.find('_')));
  std::string country = rest.size() > lang.size() ? std::string(rest.substr(lang.size())) : "";
  std::vector<std::string> variants;
  if (!country.empty() && !modifier.empty()) variants.push_back(lang + country + modifier);
  if (!country.empty()) variants.push_back(lang + country);
  if (!modifier.empty()) variants.push_back(lang + modifier);
  variants.push_back(lang);
  return variants;
}

XdgPaths XdgPaths::FromEnvironment(const std::function<std::string(const char*)>& getenv) {
  XdgPaths paths;
  std::string home = WithoutTrailingSlashes(getenv("HOME"));
  paths.config_home = Folder(getenv("XDG_CONFIG_HOME"), home + "/.config");
  paths.data_home = Folder(getenv("XDG_DATA_HOME"), home + "/.local/share");
  paths.config_dirs = Folders(getenv("XDG_CONFIG_DIRS"), {"/etc/xdg"});
  paths.data_dirs = Folders(getenv("XDG_DATA_DIRS"), {"/usr/local/share", "/usr/share"});
  paths.current_desktops = Split(getenv("XDG_CURRENT_DESKTOP"), ':');
  paths.program_dirs = Split(getenv("PATH"), ':');
  paths.browser_variable = getenv("BROWSER");

  // The first of these that is set is the locale of messages; $LANGUAGE lists the
  // translations wanted before it, unless the locale is "C".
  std::string locale;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    locale = getenv(name);
    if (!locale.empty()) break;
  }
  std::vector<std::string> wanted;
  if (!LocaleVariants(locale).empty()) wanted = Split(getenv("LANGUAGE"), ':');
  wanted.push_back(locale);
  for (const std::string& one : wanted) {
    for (std::string& variant : LocaleVariants(one)) {
      if (std::find(paths.locales.begin(), paths.locales.end(), variant) == paths.locales.end()) {
        paths.locales.push_back(std::move(variant));
      }
    }
  }
  return paths;
}

bool XdgPaths::OnDesktop(const std::string& desktop) const {
  return std::any_of(current_desktops.begin(), current_desktops.end(),
                     [&](const std::string& d) { return SameAscii(d, desktop); });
}

}  // namespace tarnwick::freedesktop
