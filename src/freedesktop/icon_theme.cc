#include "freedesktop/icon_theme.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tarnwick::freedesktop {
namespace {

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The fixed sizes that themes ship, nearest to `size` first (the larger one of two as near).
std::vector<int> SizesNearest(int size) {
  std::vector<int> sizes{16, 22, 24, 32, 48, 64, 96, 128, 256, 512};
  std::stable_sort(sizes.begin(), sizes.end(), [size](int a, int b) {
    int da = std::abs(a - size), db = std::abs(b - size);
    return da != db ? da < db : a > b;
  });
  return sizes;
}

}  // namespace

std::string FindIconFile(const XdgPaths& paths, std::string_view icon, int size) {
  std::string name(icon);
  if (name.empty()) return "";
  if (name[0] == '/') return IsFile(name) ? name : "";
  // An Icon is a name, not a path: a name holding '/' would reach outside the theme.
  if (name.find('/') != std::string::npos || name == "." || name == "..") return "";

  std::vector<std::string> bases{paths.data_home};
  bases.insert(bases.end(), paths.data_dirs.begin(), paths.data_dirs.end());
  for (int each : SizesNearest(size)) {
    std::string folder = "/icons/hicolor/" + std::to_string(each) + "x" + std::to_string(each);
    for (const std::string& base : bases) {
      if (std::string file = base + folder + "/apps/" + name + ".png"; IsFile(file)) return file;
    }
  }
  for (const std::string& base : bases) {
    std::string file = base + "/icons/hicolor/scalable/apps/" + name + ".svg";
    if (IsFile(file)) return file;
  }
  for (const std::string& base : bases) {
    for (const char* extension : {".png", ".svg", ".xpm"}) {
      if (std::string file = base + "/pixmaps/" + name + extension; IsFile(file)) return file;
    }
  }
  return "";
}

}  // namespace tarnwick::freedesktop
