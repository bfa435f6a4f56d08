#include "linux/linux_services.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "registry/registry.h"
#include "registry/registry_reader.h"
#include "registry/registry_rules.h"
#include "text/text.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

bool IsRegularFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// The entry of `dir` whose name equals `name` without regard to case. Windows keeps one
// spelling per folder; here several may exist, and the first in directory order wins.
bool FindFolded(const fs::path& dir, const std::string& name, fs::path* found) {
  std::error_code ec;
  const std::string folded = FoldName(name);
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path entry = it->path();
    if (FoldName(entry.filename().string()) == folded) {
      *found = entry;
      return true;
    }
  }
  return false;
}

// The text recorded as `value` of the machine key `path`, cut at its first NUL as the
// registry's own functions read it; nothing when nothing is recorded there.
std::optional<std::string> MachineText(Registry& registry, const char* path, const char* value) {
  const RegistryValue recorded = ReadRegistryValue(registry, Hive::kLocalMachine, path, value);
  if (std::holds_alternative<std::monostate>(recorded)) return std::nullopt;
  return UpToNul(AsText(recorded));
}

// The scripting shell object: the stand-in registry's own write route, not owned.
class ForwardingWriteRoute final : public RegistryWriteRoute {
 public:
  explicit ForwardingWriteRoute(RegistryWriteRoute& target) : target_(target) {}
  bool RegWrite(const std::string& path, const std::string& value, const std::string& type,
                std::string* err) override {
    return target_.RegWrite(path, value, type, err);
  }

 private:
  RegistryWriteRoute& target_;
};

}  // namespace

std::string ErrnoText(int error) {
  std::string text = std::strerror(error);
  if (text.size() > 1 && text[0] >= 'A' && text[0] <= 'Z' && text[1] >= 'a' && text[1] <= 'z') {
    text[0] = static_cast<char>(text[0] - 'A' + 'a');
  }
  return text;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

bool CloseAfterWrites(int fd, bool ok, std::string* err) {
  int error = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (!ok) *err = ErrnoText(error);
  return ok;
}

std::string ProcessEnvironment::Get(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

std::string LinuxPathFromWindows(const std::string& path) {
  std::string out = path;
  const bool drive = out.size() >= 2 && out[1] == ':' &&
                     ((out[0] >= 'A' && out[0] <= 'Z') || (out[0] >= 'a' && out[0] <= 'z'));
  if (drive) out.erase(0, 2);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  // "C:Program Files" names a folder relative to the drive's current one; read it from the root.
  if (drive && (out.empty() || out[0] != '/')) out.insert(0, "/");
  return out;
}

std::string ExpandWindowsVariables(const std::string& text, const char* const* env) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const size_t open = text.find('%', i);
    const size_t close = open == std::string::npos ? open : text.find('%', open + 1);
    if (close == std::string::npos) break;
    out.append(text, i, open - i);
    const std::string folded = FoldName(std::string_view(text).substr(open + 1, close - open - 1));
    const char* value = nullptr;
    for (const char* const* e = env; e && *e && close > open + 1; ++e) {
      const char* eq = std::strchr(*e, '=');
      if (eq && FoldName(std::string_view(*e, eq - *e)) == folded) {
        value = eq + 1;
        break;
      }
    }
    if (value) {
      out += value;
      i = close + 1;
    } else {
      // Not a variable: keep the first "%" and look for a name from the second one on.
      out.append(text, open, close - open);
      i = close;
    }
  }
  out.append(text, i, std::string::npos);
  return out;
}

std::string DialogStartFolder(const std::string& initial_dir) {
  std::error_code ec;
  const std::string folder = LinuxPathFromWindows(ExpandWindowsVariables(initial_dir, environ));
  if (!folder.empty() && fs::is_directory(folder, ec)) return folder;
  const char* home = std::getenv("HOME");
  if (home && *home && fs::is_directory(home, ec)) return home;
  return "/";
}

bool PosixFileSystemObject::FileExists(const std::string& path) {
  if (path.empty()) return false;
  const fs::path exact(LinuxPathFromWindows(path));
  if (IsRegularFile(exact)) return true;

  fs::path at = exact.is_absolute() ? exact.root_path() : fs::path(".");
  for (const fs::path& part : exact.relative_path()) {
    const std::string name = part.string();
    if (name.empty() || name == ".") continue;
    std::error_code ec;
    fs::path next = at / part;
    if (name != ".." && !fs::exists(next, ec) && !FindFolded(at, name, &next)) return false;
    at = std::move(next);
  }
  return IsRegularFile(at);
}

bool ParseVersionText(const std::string& text, OsVersionInfo* info) {
  uint32_t numbers[2] = {0, 0};
  size_t i = 0;
  for (int n = 0; n < 2; ++n) {
    if (n == 1) {
      if (i >= text.size() || text[i] != '.') return false;
      ++i;
    }
    const size_t start = i;
    uint64_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 9) {
      value = value * 10 + static_cast<uint32_t>(text[i] - '0');
      ++i;
    }
    if (i == start) return false;
    numbers[n] = static_cast<uint32_t>(value);
  }
  if (i < text.size() && text[i] != '.') return false;
  info->dwMajorVersion = numbers[0];
  info->dwMinorVersion = numbers[1];
  return true;
}

OsVersionInfo StandInVersionProvider::GetVersionEx() {
  OsVersionInfo info;
  if (const auto text = MachineText(registry_, kNtVersionKey, "CurrentVersion")) {
    if (ParseVersionText(*text, &info)) info.dwPlatformId = kPlatformWin32Nt;
    return info;
  }
  if (const auto text = MachineText(registry_, kWindowsVersionKey, "VersionNumber")) {
    if (ParseVersionText(*text, &info)) info.dwPlatformId = kPlatformWin32Windows;
    return info;
  }
  info.dwPlatformId = kPlatformWin32Nt;
  info.dwMajorVersion = 5;
  info.dwMinorVersion = 1;
  return info;
}

StandInAutomation::StandInAutomation(RegistryWriteRoute& writer, CommonDialogMaker make_dialog)
    : writer_(writer), make_dialog_(std::move(make_dialog)) {}

std::unique_ptr<RegistryWriteRoute> StandInAutomation::CreateScriptingShell(std::string*) {
  return std::make_unique<ForwardingWriteRoute>(writer_);
}

std::unique_ptr<FileSystemObject> StandInAutomation::CreateFileSystemObject(std::string*) {
  return std::make_unique<PosixFileSystemObject>();
}

std::unique_ptr<CommonDialog> StandInAutomation::CreateCommonDialog(std::string* err) {
  std::unique_ptr<CommonDialog> dialog = make_dialog_ ? make_dialog_() : nullptr;
  if (!dialog && err) *err = "UserAccounts.CommonDialog: no open-file dialog on this desktop";
  return dialog;
}

}  // namespace tarnwick
