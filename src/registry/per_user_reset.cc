#include "registry/per_user_reset.h"

#include "registry/registry.h"

namespace tarnwick {
namespace {

// Explorer's per-user extension settings, the per-user extensions, protocols and file types,
// and the per-user Start-menu client. The type keys are spelt "file" here while the writers
// spell them "File": names match without regard to case, so both spellings go.
constexpr const char* kPerUserKeys[] = {
    R"(Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.url)",
    R"(Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.htm)",
    R"(Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.html)",
    R"(Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.shtml)",
    R"(Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.mht)",
    R"(Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.mhtml)",
    R"(Software\Classes\.url)",
    R"(Software\Classes\.htm)",
    R"(Software\Classes\.html)",
    R"(Software\Classes\.mhtml)",
    R"(Software\Classes\.mht)",
    R"(Software\Classes\.shtml)",
    R"(Software\Classes\.xml)",
    R"(Software\Classes\.xht)",
    R"(Software\Classes\.xhtml)",
    R"(Software\Classes\http)",
    R"(Software\Classes\https)",
    R"(Software\Classes\ftp)",
    R"(Software\Classes\MyHTMLfile)",
    R"(Software\Classes\MyMHTMLfile)",
    R"(Software\Classes\MyInternetShortcut)",
    R"(Software\Clients\StartMenuInternet)",
};

}  // namespace

std::span<const char* const> PerUserResetKeys() { return kPerUserKeys; }

namespace {

// A deletion that failed may still have found nothing to delete: the delete function could
// not be loaded, say. And one that answers "not found" may have failed below the key: a
// sub-key whose name holds a NUL is found by no deletion by name, and the key stays. Only a
// key that can still be found, or whose absence cannot be shown, is reported as remaining.
bool StillThere(Registry& registry, const char* path) {
  KeyHandle key = nullptr;
  const long status = registry.OpenKey(Hive::kCurrentUser, path, kKeyRead, &key);
  if (status == kErrorSuccess) registry.CloseKey(key);
  return status != kErrorFileNotFound && status != kErrorPathNotFound;
}

}  // namespace

std::vector<std::string> delperuserkeys(Registry& registry) {
  std::vector<const char*> unconfirmed;
  for (const char* path : kPerUserKeys) {
    if (registry.DeleteKeyTree(Hive::kCurrentUser, path) != kErrorSuccess) {
      unconfirmed.push_back(path);
    }
  }
  std::vector<std::string> remaining;
  for (const char* path : unconfirmed) {
    if (StillThere(registry, path)) remaining.push_back(path);
  }
  return remaining;
}

}  // namespace tarnwick
