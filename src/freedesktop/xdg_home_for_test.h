// An isolated home for tests: its own XDG folders, desktop entries and programs.
#ifndef TARNWICK_FREEDESKTOP_XDG_HOME_FOR_TEST_H_
#define TARNWICK_FREEDESKTOP_XDG_HOME_FOR_TEST_H_

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "freedesktop/xdg_paths.h"

namespace tarnwick::freedesktop {

/// A new folder below $TMPDIR holding home/.config, home/.local/share, etc/xdg and usr/share,
/// removed on destruction. `paths` points at them, with bin/ as the only program folder.
class XdgHome {
 public:
  XdgHome() {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarnwick-xdg-XXXXXX";
    root_ = mkdtemp(pattern.data()) ? pattern : "";
    paths.config_home = root_ + "/home/.config";
    paths.data_home = root_ + "/home/.local/share";
    paths.config_dirs = {root_ + "/etc/xdg"};
    paths.data_dirs = {root_ + "/usr/share"};
    paths.program_dirs = {root_ + "/bin"};
  }
  ~XdgHome() {
    std::error_code ec;
    if (!root_.empty()) std::filesystem::remove_all(root_, ec);
  }
  XdgHome(const XdgHome&) = delete;
  XdgHome& operator=(const XdgHome&) = delete;

  const std::string& root() const { return root_; }

  /// Writes `content` to `path` (absolute, or relative to the root), making its folders.
  std::string Put(const std::string& path, const std::string& content, mode_t mode = 0644) const {
    std::string full = path[0] == '/' ? path : root_ + "/" + path;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream(full, std::ios::binary | std::ios::trunc) << content;
    chmod(full.c_str(), mode);
    return full;
  }

  /// The file's bytes; "<absent>" when there is none.
  std::string Read(const std::string& path) const {
    std::string full = path[0] == '/' ? path : root_ + "/" + path;
    std::ifstream in(full, std::ios::binary);
    if (!in) return "<absent>";
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  /// An executable bin/<name> that appends its arguments to <name>.log beside it, and an
  /// application entry `id` below `dir` ("home/.local/share" or "usr/share") that starts it.
  /// The entry declares no MimeType unless `extra` adds one: readers differ in whether they
  /// see such a declaration without the folder's mimeinfo.cache.
  std::string AddBrowser(const std::string& id, const std::string& name,
                         const std::string& dir = "usr/share",
                         const std::string& extra = "") const {
    std::string program = id.substr(0, id.size() - 8);
    std::string bin = Put("bin/" + program, "#!/bin/sh\necho \"$@\" >> \"$0.log\"\n", 0755);
    return Put(dir + "/applications/" + id, "[Desktop Entry]\nType=Application\nName=" + name +
                                                "\nExec=" + bin + " %u\n" + extra);
  }

  XdgPaths paths;

 private:
  std::string root_;
};

}  // namespace tarnwick::freedesktop

#endif  // TARNWICK_FREEDESKTOP_XDG_HOME_FOR_TEST_H_
