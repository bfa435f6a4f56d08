#include "win32/automation-win32.h"

#include "win32/dispatch-win32.h"
#include "win32/open_file_dialog-win32.h"
#include "win32/text-win32.h"
#include "win32/wscript_shell-win32.h"

namespace tarnwick {

namespace {

void PutProperty(IDispatch* object, const wchar_t* name, ScopedVariant value) {
  VARIANT raw = value.get();
  InvokeByName(object, name, DispatchKind::kPropertyPut, &raw, 1, nullptr, "", nullptr);
}

}  // namespace

bool AutomationFileSystemObject::FileExists(const std::string& path) {
  ScopedVariant arg(Widen(path));
  VARIANT raw = arg.get();
  ScopedVariant result;
  if (!InvokeByName(object_.get(), L"FileExists", DispatchKind::kMethod, &raw, 1, result.Receive(),
                    path, nullptr)) {
    return false;
  }
  ScopedVariant flag;
  return SUCCEEDED(VariantChangeType(flag.Receive(), result.ptr(), 0, VT_BOOL)) &&
         V_BOOL(flag.ptr()) == VARIANT_TRUE;
}

void AutomationCommonDialog::SetInitialDir(const std::string& dir) {
  PutProperty(object_.get(), L"InitialDir", ScopedVariant(Widen(dir)));
}

void AutomationCommonDialog::SetFilter(const std::string& filter) {
  PutProperty(object_.get(), L"Filter", ScopedVariant(Widen(filter)));
}

void AutomationCommonDialog::SetFlags(int32_t flags) {
  PutProperty(object_.get(), L"Flags", ScopedVariant(static_cast<LONG>(flags)));
}

bool AutomationCommonDialog::ShowOpen() {
  ScopedVariant result;
  if (!InvokeByName(object_.get(), L"ShowOpen", DispatchKind::kMethod, nullptr, 0, result.Receive(),
                    "", nullptr)) {
    return false;
  }
  // Only true itself is a choice: a number such as 1 is not.
  ScopedVariant number;
  return SUCCEEDED(VariantChangeType(number.Receive(), result.ptr(), 0, VT_I4)) &&
         V_I4(number.ptr()) == VARIANT_TRUE;
}

std::string AutomationCommonDialog::FileName() {
  ScopedVariant result;
  if (!InvokeByName(object_.get(), L"FileName", DispatchKind::kPropertyGet, nullptr, 0,
                    result.Receive(), "", nullptr)) {
    return {};
  }
  ScopedVariant text;
  if (FAILED(VariantChangeType(text.Receive(), result.ptr(), 0, VT_BSTR))) return {};
  return Narrow(std::wstring_view(V_BSTR(text.ptr()), SysStringLen(V_BSTR(text.ptr()))));
}

std::unique_ptr<RegistryWriteRoute> Win32AutomationFactory::CreateScriptingShell(std::string* err) {
  return WScriptShell::Create(err);
}

std::unique_ptr<FileSystemObject> Win32AutomationFactory::CreateFileSystemObject(std::string* err) {
  ComPtr<IDispatch> object = CreateObjectByProgId(L"Scripting.FileSystemObject", err);
  if (!object) return nullptr;
  return std::make_unique<AutomationFileSystemObject>(std::move(object));
}

std::unique_ptr<CommonDialog> Win32AutomationFactory::CreateCommonDialog(std::string* /*err*/) {
  std::string reason;
  ComPtr<IDispatch> object = CreateObjectByProgId(L"UserAccounts.CommonDialog", &reason);
  used_dialog_fallback_ = !object;
  if (object) return std::make_unique<AutomationCommonDialog>(std::move(object));
  // Not a failure: the standard dialog offers everything the picker uses.
  return std::make_unique<OpenFileDialog>(owner_);
}

Win32AutomationFactory& Win32AutomationOnDemand::Started() {
  if (!com_) com_.emplace();
  return objects_;
}

std::unique_ptr<RegistryWriteRoute> Win32AutomationOnDemand::CreateScriptingShell(
    std::string* err) {
  return Started().CreateScriptingShell(err);
}

std::unique_ptr<FileSystemObject> Win32AutomationOnDemand::CreateFileSystemObject(
    std::string* err) {
  return Started().CreateFileSystemObject(err);
}

std::unique_ptr<CommonDialog> Win32AutomationOnDemand::CreateCommonDialog(std::string* err) {
  return Started().CreateCommonDialog(err);
}

}  // namespace tarnwick
