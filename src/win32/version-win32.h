// The Windows version as GetVersionExA reports it.
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

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_VERSION_WIN32_H_
