// Late binding: creating automation objects by ProgID and calling their members by name through
// IDispatch, as a script would.
#ifndef TARNWICK_WIN32_DISPATCH_WIN32_H_
#define TARNWICK_WIN32_DISPATCH_WIN32_H_

#include <string>
#include <string_view>

#include "win32/scoped-win32.h"

namespace tarnwick {

/// Creates the object registered under `prog_id` (CLSIDFromProgID, CoCreateInstance) and
/// returns its IDispatch. COM must be initialised on the calling thread. On failure returns
/// null with "CreateObject(ProgID): system text" in `err`.
ComPtr<IDispatch> CreateObjectByProgId(const wchar_t* prog_id, std::string* err);

/// The ways of reaching a member.
enum class DispatchKind : WORD {
  kMethod = DISPATCH_METHOD,
  kPropertyGet = DISPATCH_PROPERTYGET,
  kPropertyPut = DISPATCH_PROPERTYPUT,
};

/// Looks up member `name` of `object` and invokes it with `count` arguments given first to last
/// (they are handed to IDispatch in its reverse order). A property put takes the new value as
/// its one argument. `result` may be null. On failure returns false with
/// "name(argument): text" in `err` (may be null); the text is the object's own exception
/// description when it raised one, the system's message for the HRESULT otherwise.
/// `argument` only labels the error.
bool InvokeByName(IDispatch* object, const wchar_t* name, DispatchKind kind, VARIANT* args,
                  unsigned count, VARIANT* result, std::string_view argument, std::string* err);

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_DISPATCH_WIN32_H_
