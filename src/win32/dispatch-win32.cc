#include "win32/dispatch-win32.h"

#include <iterator>
#include <vector>

#include "win32/text-win32.h"

namespace tarnwick {

namespace {

// Frees what an object put into an EXCEPINFO and returns its description, if any, and its
// error code.
std::string TakeException(EXCEPINFO* info, HRESULT* code) {
  if (info->pfnDeferredFillIn) info->pfnDeferredFillIn(info);
  if (info->scode) *code = info->scode;
  std::wstring text;
  if (info->bstrDescription)
    text.assign(info->bstrDescription, SysStringLen(info->bstrDescription));
  SysFreeString(info->bstrSource);
  SysFreeString(info->bstrDescription);
  SysFreeString(info->bstrHelpFile);
  *info = EXCEPINFO{};
  return ErrorLine(text);
}

}  // namespace

ComPtr<IDispatch> CreateObjectByProgId(const wchar_t* prog_id, std::string* err) {
  ComPtr<IDispatch> object;
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(prog_id, &clsid);
  if (SUCCEEDED(hr)) {
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                          object.ReceiveVoid());
  }
  if (FAILED(hr)) {
    if (err) *err = ApiErrorText("CreateObject", Narrow(prog_id), static_cast<unsigned long>(hr));
    return ComPtr<IDispatch>();
  }
  return object;
}

bool InvokeByName(IDispatch* object, const wchar_t* name, DispatchKind kind, VARIANT* args,
                  unsigned count, VARIANT* result, std::string_view argument, std::string* err) {
  const std::string api = Narrow(name);
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) {
    if (err) *err = ApiErrorText(api, argument, static_cast<unsigned long>(hr));
    return false;
  }

  // IDispatch wants the last argument first. The copies are shallow: the caller's VARIANTs
  // keep ownership.
  std::vector<VARIANTARG> reversed(std::make_reverse_iterator(args + count),
                                   std::make_reverse_iterator(args));
  DISPID put_id = DISPID_PROPERTYPUT;
  DISPPARAMS params = {};
  params.rgvarg = reversed.data();
  params.cArgs = count;
  if (kind == DispatchKind::kPropertyPut) {
    params.rgdispidNamedArgs = &put_id;
    params.cNamedArgs = 1;
  }

  EXCEPINFO exception = {};
  UINT bad_argument = 0;
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, static_cast<WORD>(kind), &params,
                      kind == DispatchKind::kPropertyPut ? nullptr : result, &exception,
                      &bad_argument);
  if (hr == DISP_E_EXCEPTION) {
    HRESULT code = hr;
    const std::string text = TakeException(&exception, &code);
    if (err) {
      if (text.empty()) {
        *err = ApiErrorText(api, argument, static_cast<unsigned long>(code));
      } else {
        *err = api + "(" + std::string(argument) + "): " + text;
      }
    }
    return false;
  }
  if (FAILED(hr)) {
    if (err) *err = ApiErrorText(api, argument, static_cast<unsigned long>(hr));
    return false;
  }
  return true;
}

}  // namespace tarnwick
