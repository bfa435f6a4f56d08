// Owners for the handles of the Windows layer: every HKEY, kernel HANDLE, module, COM pointer,
// BSTR and VARIANT is held by one of these and given back when it goes out of scope.
#ifndef TARNWICK_WIN32_SCOPED_WIN32_H_
#define TARNWICK_WIN32_SCOPED_WIN32_H_

#include <string_view>
#include <utility>

#include "win32/windows-win32.h"

namespace tarnwick {

/// An open registry key; closed on destruction. Null means "no key".
class ScopedHKEY {
 public:
  ScopedHKEY() = default;
  explicit ScopedHKEY(HKEY key) : key_(key) {}
  ScopedHKEY(ScopedHKEY&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  ScopedHKEY& operator=(ScopedHKEY&& other) noexcept {
    std::swap(key_, other.key_);
    return *this;
  }
  ~ScopedHKEY() {
    if (key_) RegCloseKey(key_);
  }

  HKEY get() const { return key_; }
  /// Closes the current key and gives the address for an API to store a new one in.
  HKEY* Receive() {
    *this = ScopedHKEY();
    return &key_;
  }
  /// Gives up ownership.
  HKEY Release() { return std::exchange(key_, nullptr); }

 private:
  HKEY key_ = nullptr;
};

/// A kernel object handle (a file, a process); closed on destruction. Both null and
/// INVALID_HANDLE_VALUE mean "no handle".
class ScopedHANDLE {
 public:
  ScopedHANDLE() = default;
  explicit ScopedHANDLE(HANDLE handle) : handle_(handle) {}
  ScopedHANDLE(ScopedHANDLE&& other) noexcept
      : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  ScopedHANDLE& operator=(ScopedHANDLE&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  ~ScopedHANDLE() {
    if (valid()) CloseHandle(handle_);
  }

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  /// Closes the handle now; true when that succeeded (a file's last write errors show here).
  bool Close() { return !valid() || CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)); }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

/// A counted reference to a COM object; released on destruction.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  /// Takes over the one reference that `ptr` (which may be null) carries.
  explicit ComPtr(T* ptr) : ptr_(ptr) {}
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (ptr_) ptr_->Release();
  }

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  /// Releases the current object and gives the address for an API to store a new one in.
  T** Receive() {
    *this = ComPtr();
    return &ptr_;
  }
  /// The same, typed for CoCreateInstance and QueryInterface.
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

 private:
  T* ptr_ = nullptr;
};

/// A BSTR; freed on destruction.
class ScopedBstr {
 public:
  ScopedBstr() = default;
  explicit ScopedBstr(std::wstring_view text)
      : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  ~ScopedBstr() { SysFreeString(bstr_); }

  BSTR get() const { return bstr_; }
  /// Gives up ownership.
  BSTR Release() { return std::exchange(bstr_, nullptr); }

 private:
  BSTR bstr_ = nullptr;
};

/// A VARIANT; cleared on destruction.
class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&v_); }
  /// A VT_BSTR holding a copy of `text`.
  explicit ScopedVariant(std::wstring_view text) : ScopedVariant() {
    V_VT(&v_) = VT_BSTR;
    V_BSTR(&v_) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  }
  /// A VT_I4.
  explicit ScopedVariant(LONG number) : ScopedVariant() {
    V_VT(&v_) = VT_I4;
    V_I4(&v_) = number;
  }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  ~ScopedVariant() { VariantClear(&v_); }

  const VARIANT& get() const { return v_; }
  VARIANT* ptr() { return &v_; }
  /// Clears the current value and gives the address for an API to store a new one in.
  VARIANT* Receive() {
    VariantClear(&v_);
    return &v_;
  }

 private:
  VARIANT v_;
};

/// COM for this thread, in a single-threaded apartment (the dialogs need one), for as long as
/// the object lives.
class ScopedCoInitialize {
 public:
  ScopedCoInitialize() : hr_(CoInitialize(nullptr)) {}
  ScopedCoInitialize(const ScopedCoInitialize&) = delete;
  ScopedCoInitialize& operator=(const ScopedCoInitialize&) = delete;
  ~ScopedCoInitialize() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }

  /// The result of CoInitialize; S_FALSE when COM was already initialised on this thread.
  HRESULT result() const { return hr_; }

 private:
  HRESULT hr_;
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_SCOPED_WIN32_H_
