// The outside services of an apply, fixed for tests: the environment's "ProgramFiles" and the
// files that exist. Test-only.
#ifndef TARNWICK_SELECTION_SELECTION_FAKES_FOR_TEST_H_
#define TARNWICK_SELECTION_SELECTION_FAKES_FOR_TEST_H_

#include <set>
#include <string>
#include <utility>

#include "selection/selection_context.h"

namespace tarnwick {

/// An environment that holds "ProgramFiles" and nothing else.
class ProgramFilesEnvironment final : public Environment {
 public:
  explicit ProgramFilesEnvironment(std::string program_files = R"(C:\Program Files)")
      : program_files_(std::move(program_files)) {}
  std::string Get(const std::string& name) override {
    return name == "ProgramFiles" ? program_files_ : "";
  }

 private:
  std::string program_files_;
};

/// Files that exist: every path, or those in `paths`.
class FakeFiles final : public FileSystemObject {
 public:
  /// With `every`, every path names a file.
  explicit FakeFiles(bool every = false) : every_(every) {}
  bool FileExists(const std::string& path) override { return every_ || paths.count(path) != 0; }
  std::set<std::string> paths;

 private:
  bool every_;
};

}  // namespace tarnwick

#endif  // TARNWICK_SELECTION_SELECTION_FAKES_FOR_TEST_H_
