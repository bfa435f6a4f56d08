#include "win32/automation-win32.h"

#include <gtest/gtest.h>

#include <vector>

#include "win32/dispatch-win32.h"
#include "win32/open_file_dialog-win32.h"
#include "win32/testing-win32.h"
#include "win32/text-win32.h"
#include "win32/wscript_shell-win32.h"

namespace tarnwick {
namespace {

using namespace std::string_literals;

// A file in the temporary folder with a name beyond ASCII; removed afterwards.
class TempFile {
 public:
  TempFile() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path_ = folder + L"tarnwick \u00E4\u20AC "s + std::to_wstring(GetCurrentProcessId()) + L".exe";
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  ~TempFile() { DeleteFileW(path_.c_str()); }
  std::string path() const { return Narrow(path_); }
  std::wstring wide_path() const { return path_; }

 private:
  std::wstring path_;
};

class AutomationTest : public testing::Test {
 protected:
  ScopedCoInitialize com_;
  Win32AutomationFactory factory_;
};

TEST_F(AutomationTest, FileSystemObjectTellsFilesFromTheRest) {
  std::string err;
  std::unique_ptr<FileSystemObject> fso = factory_.CreateFileSystemObject(&err);
  if (!fso) GTEST_SKIP() << "no file-system object here: " << err;

  TempFile file;
  EXPECT_TRUE(fso->FileExists(file.path()));
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  EXPECT_FALSE(fso->FileExists(Narrow(folder)));  // a folder is no file
  EXPECT_FALSE(fso->FileExists(file.path() + ".missing"));
}

TEST_F(AutomationTest, LateBoundFailuresNameTheMember) {
  std::string err;
  ComPtr<IDispatch> fso = CreateObjectByProgId(L"Scripting.FileSystemObject", &err);
  if (!fso) GTEST_SKIP() << "no file-system object here: " << err;

  EXPECT_FALSE(InvokeByName(fso.get(), L"NoSuchMember", DispatchKind::kMethod, nullptr, 0, nullptr,
                            "x", &err));
  EXPECT_EQ(0u, err.rfind("NoSuchMember(x): ", 0)) << err;

  // A method that raises an error for its argument.
  TempFile file;
  ScopedVariant missing(file.wide_path() + L".missing");
  VARIANT arg = missing.get();
  ScopedVariant result;
  EXPECT_FALSE(InvokeByName(fso.get(), L"GetFile", DispatchKind::kMethod, &arg, 1, result.Receive(),
                            "missing", &err));
  EXPECT_EQ(0u, err.rfind("GetFile(missing): ", 0)) << err;
  EXPECT_LT(std::string("GetFile(missing): ").size(), err.size());
}

TEST_F(AutomationTest, UnregisteredProgIdsNameTheObject) {
  std::string err;
  EXPECT_FALSE(CreateObjectByProgId(L"Tarnwick.NoSuchObject", &err));
  EXPECT_EQ(0u, err.rfind("CreateObject(Tarnwick.NoSuchObject): ", 0)) << err;
}

TEST_F(AutomationTest, TheDialogIsAlwaysThere) {
  std::string err;
  std::unique_ptr<CommonDialog> dialog = factory_.CreateCommonDialog(&err);
  ASSERT_NE(nullptr, dialog);
  const bool registered = bool(CreateObjectByProgId(L"UserAccounts.CommonDialog", &err));
  EXPECT_EQ(!registered, factory_.used_dialog_fallback());
}

// An automation object that answers to any member name and records each call as text:
// "put Flags=4", "call ShowOpen()", "get FileName". Method results come from `results`.
class RecordingObject : public IDispatch {
 public:
  std::vector<std::wstring> calls;
  std::vector<std::wstring> names;  // DISPID n - 1 is names[n - 1]
  ScopedVariant result;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* member_names, UINT count, LCID,
                                          DISPID* ids) override {
    for (UINT i = 0; i < count; ++i) {
      names.push_back(member_names[i]);
      ids[i] = static_cast<DISPID>(names.size());
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* out, EXCEPINFO*, UINT*) override {
    const std::wstring& name = names.at(static_cast<size_t>(id - 1));
    std::wstring args;
    for (UINT i = params->cArgs; i-- > 0;) {  // the last argument comes first
      ScopedVariant text;
      if (FAILED(VariantChangeType(text.Receive(), &params->rgvarg[i], 0, VT_BSTR)))
        return DISP_E_TYPEMISMATCH;
      args += (args.empty() ? L"" : L",") + std::wstring(V_BSTR(text.ptr()));
    }
    if (flags == DISPATCH_PROPERTYPUT) {
      if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
        return DISP_E_PARAMNOTOPTIONAL;
      calls.push_back(L"put " + name + L"=" + args);
    } else if (flags == DISPATCH_PROPERTYGET) {
      calls.push_back(L"get " + name);
    } else {
      calls.push_back(L"call " + name + L"(" + args + L")");
    }
    if (out) VariantCopy(out, result.ptr());
    return S_OK;
  }

 private:
  ULONG references_ = 1;  // lives on the stack; the objects under test hold one more
};

// Hands the test's recording object to an object under test, which releases it when done.
ComPtr<IDispatch> Share(RecordingObject& object) {
  ComPtr<IDispatch> shared;
  object.QueryInterface(IID_IDispatch, shared.ReceiveVoid());
  return shared;
}

TEST(AutomationCommonDialogTest, SetsPropertiesAndCallsByName) {
  RecordingObject object;
  V_VT(object.result.ptr()) = VT_BOOL;
  V_BOOL(object.result.ptr()) = VARIANT_TRUE;
  AutomationCommonDialog dialog(Share(object));
  dialog.SetInitialDir("%Programfiles%");
  dialog.SetFilter("EXE Files(*.exe)|*.exe");
  dialog.SetFlags(4);
  EXPECT_TRUE(dialog.ShowOpen());
  V_VT(object.result.Receive()) = VT_BSTR;
  V_BSTR(object.result.ptr()) = SysAllocString(L"C:\\Program Files\\B \u00E9\\b.exe");
  EXPECT_EQ("C:\\Program Files\\B \xC3\xA9\\b.exe", dialog.FileName());
  EXPECT_EQ((std::vector<std::wstring>{L"put InitialDir=%Programfiles%",
                                       L"put Filter=EXE Files(*.exe)|*.exe", L"put Flags=4",
                                       L"call ShowOpen()", L"get FileName"}),
            object.calls);
}

TEST(AutomationCommonDialogTest, OnlyTrueIsAChoice) {
  RecordingObject object;
  AutomationCommonDialog dialog(Share(object));
  V_VT(object.result.ptr()) = VT_BOOL;
  V_BOOL(object.result.ptr()) = VARIANT_FALSE;
  EXPECT_FALSE(dialog.ShowOpen());
  V_VT(object.result.Receive()) = VT_I4;
  V_I4(object.result.ptr()) = 1;
  EXPECT_FALSE(dialog.ShowOpen());
  V_I4(object.result.ptr()) = -1;
  EXPECT_TRUE(dialog.ShowOpen());
}

TEST(WScriptShellRouteTest, RegWriteGetsPathValueAndTypeInThatOrder) {
  RecordingObject object;
  WScriptShell shell(Share(object));
  std::string err;
  ASSERT_TRUE(shell.RegWrite("HKCU\\Software\\Classes\\.htm\\", "MyHTMLfile", "REG_SZ", &err));
  ASSERT_TRUE(shell.RegWrite("HKCU\\K\\EditFlags", "4294967295", "REG_DWORD", &err));
  EXPECT_EQ((std::vector<std::wstring>{
                L"call RegWrite(HKCU\\Software\\Classes\\.htm\\,MyHTMLfile,REG_SZ)",
                L"call RegWrite(HKCU\\K\\EditFlags,-1,REG_DWORD)"}),
            object.calls);
}

TEST(OpenFileDialogTest, SettingsBecomeWhatTheStandardDialogWants) {
  EXPECT_EQ(L"EXE Files(*.exe)\0*.exe\0\0"s, OpenFileFilter("EXE Files(*.exe)|*.exe"));
  EXPECT_EQ(L"A\0*.a\0B \u00C4\0*.b;*.c\0\0"s, OpenFileFilter("A|*.a|B \xC3\x84|*.b;*.c"));

  wchar_t program_files[MAX_PATH];
  ASSERT_NE(0u, GetEnvironmentVariableW(L"ProgramFiles", program_files, MAX_PATH));
  EXPECT_EQ(program_files, ExpandEnvironment("%Programfiles%"));
  EXPECT_EQ(L"%Tarnwick_No_Such_Variable%\\x", ExpandEnvironment("%Tarnwick_No_Such_Variable%\\x"));
}

// Whether COM is started on this thread: CoInitialize says S_FALSE then (and is undone at once).
bool ComStarted() {
  const HRESULT hr = CoInitialize(nullptr);
  if (SUCCEEDED(hr)) CoUninitialize();
  return hr == S_FALSE;
}

TEST(AutomationOnDemandTest, TheFirstObjectStartsComWhichEndsWithTheFactory) {
  ASSERT_FALSE(ComStarted());
  {
    Win32AutomationOnDemand automation;
    EXPECT_FALSE(ComStarted());
    std::string err;
    std::unique_ptr<FileSystemObject> fso = automation.CreateFileSystemObject(&err);
    EXPECT_TRUE(ComStarted());
    if (!fso) GTEST_SKIP() << "no file-system object here: " << err;
    EXPECT_TRUE(automation.CreateScriptingShell(&err)) << err;
    EXPECT_FALSE(fso->FileExists("C:\\no such folder\\x.exe"));
  }
  EXPECT_FALSE(ComStarted());
}

// The ids of the standard dialog's file-name box and file-type list.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileTypeCombo = 0x470;

TEST(OpenFileDialogTest, ShowOpenGivesTheChosenPath) {
  ScopedCoInitialize com;
  TempFile file;
  std::wstring file_type;
  DialogDriver driver([&](HWND dialog) {
    file_type = WindowText(GetDlgItem(dialog, kFileTypeCombo));
    SetWindowTextW(GetDlgItem(dialog, kFileNameCombo), file.wide_path().c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  OpenFileDialog dialog(nullptr);
  dialog.SetInitialDir("%Programfiles%");
  dialog.SetFilter("EXE Files(*.exe)|*.exe");
  dialog.SetFlags(4);
  EXPECT_TRUE(dialog.ShowOpen());
  ASSERT_TRUE(driver.Finish());
  EXPECT_EQ(L"EXE Files(*.exe)", file_type);
  EXPECT_EQ(file.path(), dialog.FileName());
}

TEST(OpenFileDialogTest, CancelIsNoChoice) {
  ScopedCoInitialize com;
  DialogDriver driver([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
  OpenFileDialog dialog(nullptr);
  dialog.SetFilter("EXE Files(*.exe)|*.exe");
  EXPECT_FALSE(dialog.ShowOpen());
  ASSERT_TRUE(driver.Finish());
  EXPECT_EQ("", dialog.FileName());
}

}  // namespace
}  // namespace tarnwick
