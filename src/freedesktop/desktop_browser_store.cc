#include "freedesktop/desktop_browser_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>

#include "freedesktop/file_io.h"
#include "freedesktop/key_file.h"

namespace tarnwick::freedesktop {
namespace {

// The web's two schemes, "about" and "unknown" (a browser's own pages, and schemes that no
// other program claims), and the two types of web pages.
constexpr const char* kBrowserMimeTypes[] = {
    "x-scheme-handler/http",
    "x-scheme-handler/https",
    "x-scheme-handler/about",
    "x-scheme-handler/unknown",
    "text/html",
    "application/xhtml+xml",
};

constexpr char kDefaults[] = "Default Applications";
constexpr char kAdded[] = "Added Associations";
constexpr char kRemoved[] = "Removed Associations";

// XFCE's helpers.rc names a helper, a file xfce4/helpers/<name>.desktop along the data
// folders, not a desktop entry. The helpers shipped with XFCE know only some browsers by their
// program names, so Tarnwick writes a helper of its own, as XFCE's own settings do for a
// browser they do not know, that starts the chosen entry's program.
constexpr char kXfceHelper[] = "tarnwick-browser";

// A snapshot's first line. In the first version a file's line had no mode ("file SIZE PATH");
// since the second it has one ("file SIZE MODE PATH", the mode in four octal digits).
constexpr char kSnapshotHeader[] = "tarnwick freedesktop backup 2\n";
constexpr char kSnapshotHeaderWithoutModes[] = "tarnwick freedesktop backup 1\n";

std::string Lower(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

std::string Kdeglobals(const XdgPaths& paths) { return paths.config_home + "/kdeglobals"; }
std::string HelpersRc(const XdgPaths& paths) { return paths.config_home + "/xfce4/helpers.rc"; }
std::string XfceHelperFile(const XdgPaths& paths) {
  return paths.data_home + "/xfce4/helpers/" + kXfceHelper + ".desktop";
}
std::string CustomEntryFile(const XdgPaths& paths) {
  return paths.data_home + "/applications/" + kCustomBrowserId;
}

// Adds the change that `edit` makes to the file at `path` (its text, or nullopt when
// absent), unless it changes nothing.
bool PlanFile(const std::string& path,
              const std::function<std::optional<std::string>(std::optional<std::string>)>& edit,
              std::vector<FileChange>* changes, std::string* err) {
  std::string text;
  ReadStatus status = ReadFile(path, &text, err);
  if (status == ReadStatus::kFailed) return false;
  std::optional<std::string> before;
  if (status == ReadStatus::kRead) before = text;
  std::optional<std::string> after = edit(before);
  if (after != before) changes->push_back({path, std::move(before), std::move(after)});
  return true;
}

// What the desktops call an entry: its Name, else its ID.
std::string NameOf(const DesktopEntry& entry) { return entry.name.empty() ? entry.id : entry.name; }

bool IsSymlink(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// As PlanFile for a key file. An absent file that the edit leaves empty stays absent; a file
// that the edit leaves with nothing but blank lines goes, unless it is a symlink, which stays.
bool PlanKeyFile(const std::string& path, const std::function<void(KeyFile&)>& edit,
                 std::vector<FileChange>* changes, std::string* err) {
  return PlanFile(
      path,
      [&](std::optional<std::string> before) -> std::optional<std::string> {
        KeyFile file(before.value_or(""));
        edit(file);
        std::string after = file.Text();
        if (!before && after.empty()) return std::nullopt;
        const bool blank = after.find_first_not_of(" \t\r\n") == std::string::npos;
        if (before && after != *before && blank && !IsSymlink(path)) return std::nullopt;
        return after;
      },
      changes, err);
}

// Rewrites the list of `key`, keeping whether it ends in ';'; an empty list goes. False when
// the list stays as it was.
bool EditList(KeyFile& file, const char* group, const std::string& key,
              const std::function<void(std::vector<std::string>&)>& edit) {
  std::optional<std::string> value = file.Get(group, key);
  std::vector<std::string> entries = SplitList(value.value_or(""));
  std::vector<std::string> edited = entries;
  edit(edited);
  if (edited == entries) return false;
  if (edited.empty()) {
    file.Remove(group, key);
  } else {
    file.Set(group, key, JoinList(edited, !value || value->empty() || value->ends_with(';')));
  }
  return true;
}

void Erase(std::vector<std::string>& list, const std::string& id) { std::erase(list, id); }

// A shell word for XFCE's helper commands, which are split as a shell would.
std::string ShellQuote(const std::string& word) {
  if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                              "0123456789_-./=:,+@%") == std::string::npos) {
    return word;
  }
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// One entry of a list value: escaped, with its ';' escaped too.
std::string ListEntry(const std::string& text) {
  std::string entry;
  for (char c : EscapeString(text)) entry += c == ';' ? std::string("\\;") : std::string(1, c);
  return entry;
}

// XFCE's helper for an entry: its Exec with the URL as "%s" where the entry takes one. Both
// commands are lists of alternatives, of one command here.
std::string XfceHelperText(const DesktopEntry& entry) {
  std::vector<std::string> argv = SplitExec(entry.exec).value_or(std::vector<std::string>{});
  std::string command, with_url;
  bool has_url = false;
  for (const std::string& arg : argv) {
    if (arg.size() == 2 && arg[0] == '%') {
      if (std::string_view("uUfF").find(arg[1]) != std::string_view::npos && !has_url) {
        with_url += (with_url.empty() ? "" : " ") + std::string("\"%s\"");
        has_url = true;
      }
      continue;  // %i, %c and %k, and any second URL
    }
    std::string word = ShellQuote(arg);
    command += (command.empty() ? "" : " ") + word;
    with_url += (with_url.empty() ? "" : " ") + word;
  }
  if (!has_url) with_url += " \"%s\"";
  return "[Desktop Entry]\nNoDisplay=true\nVersion=1.0\nType=X-XFCE-Helper\n"
         "X-XFCE-Category=WebBrowser\nName=" +
         EscapeString(entry.name) + "\nIcon=" + EscapeString(entry.icon) +
         "\nX-XFCE-Commands=" + ListEntry(command) +
         "\nX-XFCE-CommandsWithParameter=" + ListEntry(with_url) + "\n";
}

// Well-formed UTF-8: no stray or missing continuation bytes, no overlong form, no surrogate.
bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    auto c = static_cast<unsigned char>(text[i]);
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xbf;  // the allowed range of the second byte
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xc2 && c <= 0xdf) {
      n = 1;
    } else if (c >= 0xe0 && c <= 0xef) {
      n = 2;
      low = c == 0xe0 ? 0xa0 : 0x80;
      high = c == 0xed ? 0x9f : 0xbf;
    } else if (c >= 0xf0 && c <= 0xf4) {
      n = 3;
      low = c == 0xf0 ? 0x90 : 0x80;
      high = c == 0xf4 ? 0x8f : 0xbf;
    } else {
      return false;
    }
    if (text.size() - i <= n) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      auto d = static_cast<unsigned char>(text[i + k]);
      if (d < (k == 1 ? low : 0x80) || d > (k == 1 ? high : 0xbf)) return false;
    }
    i += n + 1;
  }
  return true;
}

}  // namespace

std::span<const char* const> BrowserMimeTypes() { return kBrowserMimeTypes; }

std::vector<std::string> DescribeChanges(const std::vector<FileChange>& changes) {
  std::vector<std::string> lines;
  for (const FileChange& change : changes) {
    if (!change.before || !change.after) {
      lines.push_back(change.path + (change.after ? ": new file" : ": removed"));
      continue;
    }
    KeyFile before(*change.before), after(*change.after);
    auto describe = [&](const KeyFile& file, const std::string& group, bool gone) {
      for (const std::string& key : file.Keys(group)) {
        std::optional<std::string> old_value = before.Get(group, key);
        std::optional<std::string> new_value = after.Get(group, key);
        if (old_value == new_value || gone == new_value.has_value()) continue;
        lines.push_back(change.path + ": " + (group.empty() ? "" : "[" + group + "] ") + key +
                        (new_value ? "=" + *new_value : " removed"));
      }
    };
    std::vector<std::string> groups = after.Groups();
    for (const std::string& group : before.Groups()) {
      if (std::find(groups.begin(), groups.end(), group) == groups.end()) groups.push_back(group);
    }
    groups.insert(groups.begin(), "");
    for (const std::string& group : groups) {
      describe(after, group, false);
      describe(before, group, true);
    }
  }
  return lines;
}

void SetBrowserInMimeapps(KeyFile& file, const std::string& id) {
  for (const char* type : kBrowserMimeTypes) {
    std::optional<std::string> old = file.Get(kDefaults, type);
    file.Set(kDefaults, type, JoinList({id}, old && old->ends_with(';')));
    EditList(file, kAdded, type, [&](std::vector<std::string>& list) {
      Erase(list, id);
      list.insert(list.begin(), id);
    });
    EditList(file, kRemoved, type, [&](std::vector<std::string>& list) { Erase(list, id); });
  }
}

void ResetBrowserInMimeapps(KeyFile& file) {
  // The added associations go too: with no default anywhere, the first of them still opens
  // the links, and it is the browser that an apply put there.
  bool defaults = false, added = false, removed = false;
  for (const char* type : kBrowserMimeTypes) {
    defaults = file.Remove(kDefaults, type) || defaults;
    added = file.Remove(kAdded, type) || added;
    removed = EditList(file, kRemoved, type,
                       [](std::vector<std::string>& list) { Erase(list, kCustomBrowserId); }) ||
              removed;
  }
  // A group left with nothing goes; one that held nothing before stays the user's.
  if (defaults) file.RemoveEmptyGroup(kDefaults);
  if (added) file.RemoveEmptyGroup(kAdded);
  if (removed) file.RemoveEmptyGroup(kRemoved);
}

DesktopBrowserStore::DesktopBrowserStore(XdgPaths paths) : paths_(std::move(paths)) {}

std::string DesktopBrowserStore::UserMimeapps() const {
  return paths_.config_home + "/mimeapps.list";
}

bool DesktopBrowserStore::PlanApply(std::string_view desktop_id, std::vector<FileChange>* changes,
                                    std::string* err) const {
  changes->clear();
  std::string id(desktop_id);
  if (!IsDesktopFileId(id)) {
    *err = "\"" + id + "\" is not a desktop file ID";
    return false;
  }
  std::optional<DesktopEntry> entry = FindDesktopEntry(paths_, id);
  if (!entry || !CanStart(paths_, *entry)) {
    *err = "no desktop entry \"" + id + "\" is installed that can start";
    return false;
  }
  return PlanEntry(*entry, changes, err);
}

bool DesktopBrowserStore::PlanEntry(const DesktopEntry& entry, std::vector<FileChange>* changes,
                                    std::string* err) const {
  const std::string& id = entry.id;
  auto mimeapps = [&](KeyFile& file) { SetBrowserInMimeapps(file, id); };
  if (!PlanKeyFile(UserMimeapps(), mimeapps, changes, err)) return false;
  if (paths_.OnDesktop("KDE") &&
      !PlanKeyFile(
          Kdeglobals(paths_), [&](KeyFile& file) { file.Set("General", "BrowserApplication", id); },
          changes, err)) {
    return false;
  }
  if (paths_.OnDesktop("XFCE")) {
    auto helper = [&](std::optional<std::string>) { return XfceHelperText(entry); };
    auto rc = [&](KeyFile& file) { file.Set("", "WebBrowser", kXfceHelper); };
    if (!PlanFile(XfceHelperFile(paths_), helper, changes, err) ||
        !PlanKeyFile(HelpersRc(paths_), rc, changes, err)) {
      return false;
    }
  }
  return true;
}

bool DesktopBrowserStore::PlanCustom(std::string_view program_path,
                                     std::vector<FileChange>* changes, std::string* err) const {
  changes->clear();
  std::string path(program_path);
  auto refuse = [&](const std::string& why) {
    *err = "\"" + path + "\" " + why;
    return false;
  };
  if (path.empty() || path[0] != '/') return refuse("is not an absolute path");
  if (std::any_of(path.begin(), path.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; })) {
    return refuse("holds a control character");
  }
  if (!IsValidUtf8(path)) return refuse("is not UTF-8 text");
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return refuse("does not exist");
  if (!S_ISREG(st.st_mode) || access(path.c_str(), X_OK) != 0) {
    return refuse("is not an executable file");
  }

  DesktopEntry entry;
  entry.id = kCustomBrowserId;
  entry.name = path.substr(path.rfind('/') + 1);
  entry.exec = QuoteExecArgument(path) + " %u";
  std::string mime_types;
  for (const char* type : kBrowserMimeTypes) mime_types += std::string(type) + ";";
  std::string text =
      "[Desktop Entry]\nType=Application\nVersion=1.0\nName=" + EscapeString(entry.name) +
      "\nExec=" + EscapeString(entry.exec) +
      "\nTerminal=false\nNoDisplay=true\nMimeType=" + mime_types +
      "\nCategories=Network;WebBrowser;\n";
  if (!PlanFile(
          CustomEntryFile(paths_), [&](std::optional<std::string>) { return text; }, changes,
          err)) {
    return false;
  }
  return PlanEntry(entry, changes, err);
}

bool DesktopBrowserStore::PlanReset(std::vector<FileChange>* changes, std::string* err) const {
  changes->clear();
  auto absent = [](std::optional<std::string>) { return std::optional<std::string>(); };
  return PlanKeyFile(UserMimeapps(), ResetBrowserInMimeapps, changes, err) &&
         PlanKeyFile(
             Kdeglobals(paths_),
             [](KeyFile& file) {
               if (file.Remove("General", "BrowserApplication")) file.RemoveEmptyGroup("General");
             },
             changes, err) &&
         PlanKeyFile(
             HelpersRc(paths_), [](KeyFile& file) { file.Remove("", "WebBrowser"); }, changes,
             err) &&
         PlanFile(XfceHelperFile(paths_), absent, changes, err) &&
         PlanFile(CustomEntryFile(paths_), absent, changes, err);
}

bool DesktopBrowserStore::Write(const std::vector<FileChange>& changes, std::string* err) const {
  std::vector<std::string> owned = OwnedPaths();
  for (const FileChange& change : changes) {
    if (std::find(owned.begin(), owned.end(), change.path) == owned.end()) {
      *err = "\"" + change.path + "\" is not a file that Tarnwick writes";
      return false;
    }
  }
  std::string failures;
  for (const FileChange& change : changes) {
    std::string now, why;
    ReadStatus status = ReadFile(change.path, &now, &why);
    bool same = status == ReadStatus::kAbsent ? !change.before
                                              : status == ReadStatus::kRead && change.before == now;
    if (status != ReadStatus::kFailed && !same) {
      why = change.path + ": changed by another program since it was read";
    }
    bool done = status != ReadStatus::kFailed && same &&
                (change.after ? ReplaceFile(change.path, *change.after, &why, change.mode)
                              : RemoveFile(change.path, &why));
    if (!done) failures += (failures.empty() ? "" : "\n") + why;
  }
  if (failures.empty()) return true;
  *err = failures;
  return false;
}

std::vector<std::string> DesktopBrowserStore::MimeappsFiles() const {
  std::vector<std::string> dirs{paths_.config_home};
  dirs.insert(dirs.end(), paths_.config_dirs.begin(), paths_.config_dirs.end());
  dirs.push_back(paths_.data_home + "/applications");
  for (const std::string& dir : paths_.data_dirs) dirs.push_back(dir + "/applications");
  std::vector<std::string> files;
  for (const std::string& dir : dirs) {
    for (const std::string& desktop : paths_.current_desktops) {
      files.push_back(dir + "/" + Lower(desktop) + "-mimeapps.list");
    }
    files.push_back(dir + "/mimeapps.list");
  }
  return files;
}

std::optional<DesktopEntry> DesktopBrowserStore::Resolve(std::string_view mime_type) const {
  std::string type(mime_type);
  std::map<std::string, std::optional<DesktopEntry>> seen;
  auto installed = [&](const std::string& id) -> const std::optional<DesktopEntry>& {
    auto [it, added] = seen.try_emplace(id);
    if (added) {
      it->second = FindDesktopEntry(paths_, id);
      if (it->second && !CanStart(paths_, *it->second)) it->second.reset();
    }
    return it->second;
  };
  std::vector<std::pair<std::string, KeyFile>> files;
  for (const std::string& path : MimeappsFiles()) {
    std::string text;
    if (ReadFile(path, &text, nullptr) == ReadStatus::kRead) files.emplace_back(path, text);
  }
  // The first installed default of the first file that names one wins.
  for (const auto& [path, file] : files) {
    for (const std::string& id : SplitList(file.Get(kDefaults, type).value_or(""))) {
      if (const std::optional<DesktopEntry>& entry = installed(id)) return entry;
    }
  }
  // Else the most preferred association: added ones file by file, each file's removals
  // hiding what later files add, then what the installed entries themselves declare.
  std::vector<std::string> removed;
  auto candidate = [&](const std::string& id) -> std::optional<DesktopEntry> {
    if (std::find(removed.begin(), removed.end(), id) != removed.end()) return std::nullopt;
    return installed(id);
  };
  for (const auto& [path, file] : files) {
    if (!path.ends_with("/mimeapps.list")) continue;  // a desktop's own file sets defaults only
    for (const std::string& id : SplitList(file.Get(kAdded, type).value_or(""))) {
      if (std::optional<DesktopEntry> entry = candidate(id)) return entry;
    }
    for (std::string& id : SplitList(file.Get(kRemoved, type).value_or(""))) {
      removed.push_back(std::move(id));
    }
  }
  std::vector<std::string> data_dirs{paths_.data_home};
  data_dirs.insert(data_dirs.end(), paths_.data_dirs.begin(), paths_.data_dirs.end());
  for (const std::string& dir : data_dirs) {
    std::string text;
    if (ReadFile(dir + "/applications/mimeinfo.cache", &text, nullptr) != ReadStatus::kRead) {
      continue;
    }
    for (const std::string& id : SplitList(KeyFile(text).Get("MIME Cache", type).value_or(""))) {
      if (std::optional<DesktopEntry> entry = candidate(id)) return entry;
    }
  }
  return std::nullopt;
}

CurrentDefault DesktopBrowserStore::Query() const {
  CurrentDefault now;
  std::optional<DesktopEntry> http = Resolve("x-scheme-handler/http");
  if (!http) return now;
  now.state = CurrentDefault::State::kOne;
  now.id = http->id;
  now.name = NameOf(*http);
  for (const char* type : {"x-scheme-handler/https", "text/html"}) {
    std::optional<DesktopEntry> other = Resolve(type);
    if (other && other->id == http->id) continue;
    now.others.push_back({type, other ? other->id : "", other ? NameOf(*other) : ""});
    now.state = CurrentDefault::State::kSplit;
  }
  // KDE's own programs open links with the browser that kdeglobals names (a desktop file ID,
  // with or without ".desktop", or "!" and a command), which its settings may set alone.
  if (paths_.OnDesktop("KDE")) {
    std::string text;
    std::optional<std::string> browser;
    if (ReadFile(Kdeglobals(paths_), &text, nullptr) == ReadStatus::kRead) {
      browser = KeyFile(text).Get("General", "BrowserApplication");
    }
    if (browser && !browser->empty()) {
      CurrentDefault::Other kde{kKdeLinks, {}, {}};
      if (browser->starts_with('!')) {
        kde.name = browser->substr(1);
      } else {
        kde.id = browser->ends_with(".desktop") ? *browser : *browser + ".desktop";
        std::optional<DesktopEntry> entry = FindDesktopEntry(paths_, kde.id);
        kde.name = entry ? NameOf(*entry) : kde.id;
      }
      if (kde.id != http->id) {
        now.others.push_back(kde);
        now.state = CurrentDefault::State::kSplit;
      }
    }
  }
  return now;
}

std::vector<std::string> DesktopBrowserStore::Warnings() const {
  std::vector<std::string> warnings;
  for (const std::string& desktop : paths_.current_desktops) {
    std::string path = paths_.config_home + "/" + Lower(desktop) + "-mimeapps.list";
    std::string text;
    if (ReadFile(path, &text, nullptr) != ReadStatus::kRead) continue;
    KeyFile file(text);
    for (const char* type : kBrowserMimeTypes) {
      if (file.Get(kDefaults, type)) {
        warnings.push_back("\"" + path + "\" sets a default for " + type +
                           " that this desktop reads before \"" + UserMimeapps() + "\".");
        break;
      }
    }
  }
  if (!paths_.browser_variable.empty()) {
    warnings.push_back("The BROWSER environment variable is set to \"" + paths_.browser_variable +
                       "\"; programs that read it open web links with that browser.");
  }
  return warnings;
}

std::vector<std::string> DesktopBrowserStore::OwnedPaths() const {
  return {UserMimeapps(), Kdeglobals(paths_), HelpersRc(paths_), XfceHelperFile(paths_),
          CustomEntryFile(paths_)};
}

bool DesktopBrowserStore::Snapshot(const std::vector<std::string>& paths, std::string* snapshot,
                                   std::string* err) const {
  std::string out = kSnapshotHeader;
  for (const std::string& path : paths) {
    if (path.find('\n') != std::string::npos) {
      *err = "\"" + path + "\" holds a line break";
      return false;
    }
    std::string text;
    switch (ReadFile(path, &text, err)) {
      case ReadStatus::kFailed:
        return false;
      case ReadStatus::kAbsent:
        out += "absent " + path + "\n";
        break;
      case ReadStatus::kRead: {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", FileMode(path).value_or(0644));
        out += "file " + std::to_string(text.size()) + " " + mode + " " + path + "\n" + text + "\n";
        break;
      }
    }
  }
  *snapshot = std::move(out);
  return true;
}

bool DesktopBrowserStore::Restore(std::string_view snapshot, std::string* err,
                                  bool* refused) const {
  bool ignored;
  if (refused == nullptr) refused = &ignored;
  *refused = true;
  auto damaged = [&](const std::string& why) {
    *err = "the backup is damaged: " + why;
    return false;
  };
  const bool with_modes = snapshot.starts_with(kSnapshotHeader);
  const std::string_view header = with_modes ? kSnapshotHeader : kSnapshotHeaderWithoutModes;
  if (!snapshot.starts_with(header)) return damaged("it has no header");
  snapshot.remove_prefix(header.size());
  std::vector<std::string> owned = OwnedPaths();
  std::vector<FileChange> changes;
  while (!snapshot.empty()) {
    std::size_t newline = snapshot.find('\n');
    if (newline == std::string_view::npos) return damaged("a line is cut off");
    std::string_view line = snapshot.substr(0, newline);
    snapshot.remove_prefix(newline + 1);
    FileChange change;
    if (line.starts_with("absent ")) {
      change.path = line.substr(7);
    } else if (line.starts_with("file ")) {
      line.remove_prefix(5);
      std::size_t blank = line.find(' ');
      std::string_view digits = line.substr(0, blank);
      if (blank == std::string_view::npos || digits.empty() || digits.size() > 9 ||
          digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return damaged("a file's size is not a number");
      }
      std::size_t size = std::stoul(std::string(digits));
      if (size > kMaxSettingsFileSize) return damaged("a file is larger than a settings file");
      line.remove_prefix(blank + 1);
      if (with_modes) {
        std::string_view octal = line.substr(0, 5);
        if (octal.size() < 5 || octal[4] != ' ' ||
            octal.substr(0, 4).find_first_not_of("01234567") != std::string_view::npos) {
          return damaged("a file's mode is not four octal digits");
        }
        change.mode = std::stoul(std::string(octal.substr(0, 4)), nullptr, 8);
        line.remove_prefix(5);
      }
      change.path = line;
      if (snapshot.size() < size + 1 || snapshot[size] != '\n') return damaged("a file is cut off");
      change.after = std::string(snapshot.substr(0, size));
      snapshot.remove_prefix(size + 1);
    } else {
      return damaged("a line is neither \"file\" nor \"absent\"");
    }
    if (std::find(owned.begin(), owned.end(), change.path) == owned.end()) {
      *err = "the backup names \"" + change.path + "\", which is not a file that Tarnwick writes";
      return false;
    }
    for (const FileChange& earlier : changes) {
      if (earlier.path == change.path) return damaged("it names a file twice");
    }
    std::string text;
    ReadStatus status = ReadFile(change.path, &text, err);
    if (status == ReadStatus::kFailed) return false;
    if (status == ReadStatus::kRead) change.before = std::move(text);
    changes.push_back(std::move(change));
  }
  std::erase_if(changes, [](const FileChange& change) {
    return change.before == change.after &&
           (!change.after || !change.mode || FileMode(change.path) == change.mode);
  });
  *refused = false;  // every path is one of OwnedPaths(), so Write refuses none
  return Write(changes, err);
}

}  // namespace tarnwick::freedesktop
