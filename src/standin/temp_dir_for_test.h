// A scratch folder for tests that need real files.
#ifndef TARNWICK_STANDIN_TEMP_DIR_FOR_TEST_H_
#define TARNWICK_STANDIN_TEMP_DIR_FOR_TEST_H_

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace tarnwick {

/// A new empty folder below $TMPDIR (or /tmp), removed with its contents on destruction.
class TempDir {
 public:
  TempDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarnwick-test-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  /// Writes `content` to `name` in the folder; returns the file's path.
  std::string Put(const std::string& name, const std::string& content) const {
    std::ofstream(File(name), std::ios::binary) << content;
    return File(name);
  }

  /// The whole content of `name` in the folder.
  std::string Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::string path_;
};

}  // namespace tarnwick

#endif  // TARNWICK_STANDIN_TEMP_DIR_FOR_TEST_H_
