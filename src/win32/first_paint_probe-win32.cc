#include "win32/first_paint_probe-win32.h"

#include <string>

namespace tarnwick {
namespace {

// Decimal digits, put together by hand: a printf would bring its whole formatter into the
// program, and the bare window of the start-up benchmark shares this file without the engine.
std::string Digits(long n) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + n % 10));
    n /= 10;
  } while (n > 0);
  return digits;
}

}  // namespace

bool ReportFirstPaint(HWND window) {
  wchar_t wanted[2] = {};
  if (window == nullptr || GetEnvironmentVariableW(L"TARNWICK_FIRST_PAINT", wanted, 2) == 0) {
    return false;
  }
  // Child windows paint from the message loop, after their parent; paint them all now, so that
  // the line stands for the whole window as the user first sees it.
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  GdiFlush();

  RECT client = {};
  GetClientRect(window, &client);
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  char utf8[768] = {};
  WideCharToMultiByte(CP_UTF8, 0, title, -1, utf8, sizeof utf8, nullptr, nullptr);
  const std::string line = "painted " + Digits(client.right - client.left) + "x" +
                           Digits(client.bottom - client.top) + " " + utf8 + "\n";
  const int length = static_cast<int>(line.size());
  // A GUI program has a standard output only when its starter gave it one (a pipe under Wine).
  DWORD written = 0;
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out != nullptr && out != INVALID_HANDLE_VALUE && length > 0) {
    WriteFile(out, line.data(), static_cast<DWORD>(length), &written, nullptr);
  }
  return true;
}

}  // namespace tarnwick
