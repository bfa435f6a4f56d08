#include "win32/open_file_dialog-win32.h"

#include <vector>

#include "win32/dynamic-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {

std::wstring OpenFileFilter(const std::string& filter) {
  std::wstring list = Widen(filter);
  for (wchar_t& c : list) {
    if (c == L'|') c = L'\0';
  }
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

std::wstring ExpandEnvironment(const std::string& text) {
  const std::wstring source = Widen(text);
  DWORD capacity = 260;
  for (;;) {
    std::vector<wchar_t> buffer(capacity);
    const DWORD needed = ExpandEnvironmentStringsW(source.c_str(), buffer.data(), capacity);
    if (needed == 0) return source;
    if (needed <= capacity) return std::wstring(buffer.data());
    capacity = needed;
  }
}

bool OpenFileDialog::ShowOpen() {
  const std::wstring initial_dir = ExpandEnvironment(initial_dir_);
  const std::wstring filter = OpenFileFilter(filter_);
  // Room for a long path; the dialog itself stays within MAX_PATH without OFN_ALLOWMULTISELECT.
  std::vector<wchar_t> file(4096, L'\0');

  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner_ ? owner_ : GetActiveWindow();
  ofn.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = initial_dir.empty() ? nullptr : initial_dir.c_str();
  ofn.Flags = static_cast<DWORD>(flags_);
  // Without the dialog's library there is nothing to choose with: a cancel.
  const auto get_open_file_name = Comdlg32().GetOpenFileNameW;
  if (!get_open_file_name || !get_open_file_name(&ofn)) return false;
  file_name_ = Narrow(file.data());
  return true;
}

}  // namespace tarnwick
