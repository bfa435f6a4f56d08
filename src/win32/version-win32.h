// The Windows version as GetVersionExA reports it, and what program files say of themselves in
// their version resources.
#ifndef TARNWICK_WIN32_VERSION_WIN32_H_
#define TARNWICK_WIN32_VERSION_WIN32_H_

#include "shell/platform.h"

namespace tarnwick {

class Win32VersionProvider : public VersionProvider {
 public:
  /// Asks GetVersionExA afresh on every call, with the 148-byte ANSI record. Its result is not
  /// examined: a failed call leaves the platform id 0.
  OsVersionInfo GetVersionEx() override;
};

class Win32ProgramInfo : public ProgramInfo {
 public:
  /// The FileDescription of the file's version resource, in the language its translation
  /// table names first (US English, Unicode, when it has none); environment references in
  /// `path` are expanded first. Empty when the file or its description cannot be read.
  std::string Description(const std::string& path) override;
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_VERSION_WIN32_H_
