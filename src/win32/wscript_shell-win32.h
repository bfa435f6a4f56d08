// The registry write route on Windows: the scripting shell object ("WScript.Shell") and its
// RegWrite method, called late-bound by name with the path, the value and the type, as texts.
#ifndef TARNWICK_WIN32_WSCRIPT_SHELL_WIN32_H_
#define TARNWICK_WIN32_WSCRIPT_SHELL_WIN32_H_

#include <memory>
#include <string>

#include "registry/registry.h"
#include "win32/scoped-win32.h"

namespace tarnwick {

class WScriptShell : public RegistryWriteRoute {
 public:
  /// Creates "WScript.Shell". COM must be initialised on the calling thread. Null with the
  /// reason in `err` when the object cannot be created.
  static std::unique_ptr<WScriptShell> Create(std::string* err);

  /// Takes over a created scripting shell object.
  explicit WScriptShell(ComPtr<IDispatch> shell) : shell_(std::move(shell)) {}

  /// Checks the path and type by the registry rules first, so that every platform refuses the
  /// same malformed writes without touching the registry, then calls RegWrite(path, value,
  /// type), the hive spelled "HKCU" or "HKLM" whichever form it came in. A refused write gives
  /// "RegWrite(path): text" in `err`.
  bool RegWrite(const std::string& path, const std::string& value, const std::string& type,
                std::string* err) override;

 private:
  ComPtr<IDispatch> shell_;
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_WSCRIPT_SHELL_WIN32_H_
