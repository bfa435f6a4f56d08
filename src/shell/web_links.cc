#include "shell/web_links.h"

#include <string_view>

#include "shell/platform.h"

namespace tarnwick {
namespace {

// Every page lies on the one site; the root has no path at all.
constexpr bool OnSite(std::string_view url, std::string_view path) {
  constexpr std::string_view kScheme = "http://";
  return url.starts_with(kScheme) && url.substr(kScheme.size()).starts_with(kHostName) &&
         url.substr(kScheme.size() + std::string_view(kHostName).size()) == path;
}
static_assert(OnSite(kSiteRootUrl, ""));
static_assert(OnSite(kProgramPageUrl, "/tarnwick.htm"));
static_assert(OnSite(kIndexPageUrl, "/index.html"));
static_assert(OnSite(kDonationPageUrl, "/donate.htm"));

}  // namespace

void OpenURL(Desktop& desktop, const std::string& verb, const std::string& target,
             int show_command) {
  desktop.ShellExecute(ShellOwner::kDesktop, verb, target, show_command);
}

}  // namespace tarnwick
