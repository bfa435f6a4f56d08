#include "win32/wscript_shell-win32.h"

#include "registry/registry_rules.h"
#include "win32/dispatch-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {

std::unique_ptr<WScriptShell> WScriptShell::Create(std::string* err) {
  ComPtr<IDispatch> shell = CreateObjectByProgId(L"WScript.Shell", err);
  if (!shell) return nullptr;
  return std::make_unique<WScriptShell>(std::move(shell));
}

bool WScriptShell::RegWrite(const std::string& path, const std::string& value,
                            const std::string& type, std::string* err) {
  WriterTarget target;
  std::string reason;
  if (!ParseWriterPath(path, &target, &reason)) {
    if (err) *err = "RegWrite(" + path + "): " + reason;
    return false;
  }
  const std::optional<RegType> reg_type = ParseRegType(type);
  if (!reg_type) {
    if (err) *err = "RegWrite(" + path + "): unknown value type \"" + type + "\"";
    return false;
  }
  // The object converts the text itself, but it would take "2.5" or "&H10" too, and it refuses
  // numbers above 2147483647: it goes through a signed 32-bit number. Such a number goes in as
  // the signed number of the same bits.
  std::string text = value;
  if (*reg_type == kRegDword) {
    const std::optional<uint32_t> number = ParseDwordText(value);
    if (!number) {
      if (err) *err = "RegWrite(" + path + "): \"" + value + "\" is not a 32-bit number";
      return false;
    }
    text = std::to_string(static_cast<int32_t>(*number));
  }

  // The object knows the hive names only in capitals; the rest of the path goes as given.
  const std::string hive = target.hive == Hive::kCurrentUser ? "HKCU" : "HKLM";
  const std::string object_path = hive + path.substr(path.find('\\'));

  ScopedVariant args[] = {ScopedVariant(Widen(object_path)), ScopedVariant(Widen(text)),
                          ScopedVariant(Widen(type))};
  VARIANT raw[] = {args[0].get(), args[1].get(), args[2].get()};
  return InvokeByName(shell_.get(), L"RegWrite", DispatchKind::kMethod, raw, 3, nullptr, path, err);
}

}  // namespace tarnwick
