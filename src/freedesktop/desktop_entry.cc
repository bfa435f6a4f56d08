#include "freedesktop/desktop_entry.h"

#include <sys/stat.h>
#include <unistd.h>

#include "freedesktop/file_io.h"
#include "freedesktop/key_file.h"

namespace tarnwick::freedesktop {
namespace {

constexpr char kGroup[] = "Desktop Entry";

bool IsTrue(const std::optional<std::string>& value) { return value == "true"; }

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The file with ID `id` below the folder `dir`, where each '-' of the ID may also stand for a
// subfolder; the plain name is tried before the subfolders.
std::optional<std::string> FileOfId(const std::string& dir, std::string_view id) {
  std::string plain = dir + "/" + std::string(id);
  struct stat st;
  if (stat(plain.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return plain;
  for (std::size_t dash = id.find('-'); dash != std::string_view::npos;
       dash = id.find('-', dash + 1)) {
    std::string sub = dir + "/" + std::string(id.substr(0, dash));
    if (!IsDirectory(sub)) continue;
    if (std::optional<std::string> found = FileOfId(sub, id.substr(dash + 1))) return found;
  }
  return std::nullopt;
}

// Quoting is needed for these, besides every control character.
bool IsReserved(char c) {
  return std::string_view(" \t\n\"'\\><~|&;$*?#`()").find(c) != std::string_view::npos;
}

}  // namespace

std::optional<DesktopEntry> ParseDesktopEntry(std::string_view text,
                                              const std::vector<std::string>& locales) {
  KeyFile file(text);
  if (file.Get(kGroup, "Type") != "Application") return std::nullopt;
  auto string = [&](const char* key) { return UnescapeString(file.Get(kGroup, key).value_or("")); };
  DesktopEntry entry;
  entry.name = string("Name");
  for (const std::string& locale : locales) {
    if (std::optional<std::string> name = file.Get(kGroup, "Name[" + locale + "]")) {
      entry.name = UnescapeString(*name);
      break;
    }
  }
  entry.icon = string("Icon");
  entry.exec = string("Exec");
  entry.try_exec = string("TryExec");
  entry.mime_types = SplitList(file.Get(kGroup, "MimeType").value_or(""));
  entry.hidden = IsTrue(file.Get(kGroup, "Hidden"));
  entry.no_display = IsTrue(file.Get(kGroup, "NoDisplay"));
  return entry;
}

std::optional<DesktopEntry> FindDesktopEntry(const XdgPaths& paths, std::string_view id) {
  if (!IsDesktopFileId(id)) return std::nullopt;
  std::vector<std::string> dirs{paths.data_home};
  dirs.insert(dirs.end(), paths.data_dirs.begin(), paths.data_dirs.end());
  for (const std::string& dir : dirs) {
    std::optional<std::string> path = FileOfId(dir + "/applications", id);
    if (!path) continue;
    std::string text;
    if (ReadFile(*path, &text, nullptr) != ReadStatus::kRead) return std::nullopt;
    std::optional<DesktopEntry> entry = ParseDesktopEntry(text, paths.locales);
    if (!entry || entry->hidden) return std::nullopt;
    entry->id = std::string(id);
    entry->path = *path;
    return entry;
  }
  return std::nullopt;
}

bool CanStart(const XdgPaths& paths, const DesktopEntry& entry) {
  auto found = [&](const std::string& program) {
    if (program.find('/') != std::string::npos) return IsExecutableFile(program);
    for (const std::string& dir : paths.program_dirs) {
      if (IsExecutableFile(dir + "/" + program)) return true;
    }
    return false;
  };
  if (!entry.try_exec.empty() && !found(entry.try_exec)) return false;
  std::optional<std::vector<std::string>> argv = SplitExec(entry.exec);
  return argv && !argv->empty() && found(argv->front());
}

bool IsDesktopFileId(std::string_view id) {
  if (!id.ends_with(".desktop") || id.size() == 8 || id[0] == '.' || id[0] == '-') return false;
  for (char c : id) {
    auto u = static_cast<unsigned char>(c);
    if (u <= ' ' || u == 0x7f || std::string_view("/;=[]\\").find(c) != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

std::string QuoteExecArgument(std::string_view argument) {
  std::string doubled;
  bool quote = argument.empty();
  for (char c : argument) {
    quote = quote || IsReserved(c) || static_cast<unsigned char>(c) < ' ';
    if (c == '%') doubled += '%';
    doubled += c;
  }
  if (!quote) return doubled;
  std::string quoted = "\"";
  for (char c : doubled) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

std::optional<std::vector<std::string>> SplitExec(std::string_view exec) {
  std::vector<std::string> argv;
  std::optional<std::string> current;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    char c = exec[i];
    if (c == ' ' || c == '\t' || c == '\n') {
      if (current) argv.push_back(std::move(*current));
      current.reset();
    } else if (c == '"') {
      if (!current) current.emplace();
      for (++i;; ++i) {
        if (i >= exec.size()) return std::nullopt;
        if (exec[i] == '"') break;
        if (exec[i] == '\\' && i + 1 < exec.size() &&
            std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos) {
          ++i;
        }
        if (exec[i] == '%' && i + 1 < exec.size() && exec[i + 1] == '%') ++i;
        *current += exec[i];
      }
    } else {
      if (!current) current.emplace();
      if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') ++i;
      *current += c;
    }
  }
  if (current) argv.push_back(std::move(*current));
  return argv;
}

}  // namespace tarnwick::freedesktop
