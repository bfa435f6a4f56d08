#include "win32/console-win32.h"

#include <gtest/gtest.h>

#include <string>

#include "win32/scoped-win32.h"
#include "win32/text-win32.h"

namespace tarnwick {
namespace {

// Puts `handle` in place of a standard handle for the life of the object, as a batch file's
// redirection hands it to the program.
class Redirected {
 public:
  Redirected(DWORD which, HANDLE handle) : which_(which), saved_(GetStdHandle(which)) {
    SetStdHandle(which, handle);
  }
  ~Redirected() { SetStdHandle(which_, saved_); }

 private:
  DWORD which_;
  HANDLE saved_;
};

std::string ReadAll(HANDLE handle) {
  std::string bytes;
  char buffer[256];
  DWORD read = 0;
  while (ReadFile(handle, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  return bytes;
}

TEST(ConsoleWin32Test, RedirectedStreamsGetEachLineInTheOemCodePageWithCrlf) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path =
      temp + std::wstring(L"Tarnwick console ") + std::to_wstring(GetCurrentProcessId());
  ScopedHANDLE file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  ASSERT_TRUE(file.valid());
  HANDLE read_end = nullptr, write_end = nullptr;
  ASSERT_TRUE(CreatePipe(&read_end, &write_end, nullptr, 0));
  ScopedHANDLE pipe_in(read_end), pipe_out(write_end);
  {
    Redirected out(STD_OUTPUT_HANDLE, file.get());
    Redirected err(STD_ERROR_HANDLE, pipe_out.get());
    Win32Console console;
    console.WriteLine(Console::Stream::kOutput, "Maxthon Web Browser\nsecond line");
    console.WriteLine(Console::Stream::kOutput, "caf\xC3\xA9");  // "café"
    console.WriteLine(Console::Stream::kError, "failed");
  }
  pipe_out.Close();
  EXPECT_EQ("failed\r\n", ReadAll(pipe_in.get()));

  SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
  const std::string written = ReadAll(file.get());
  ASSERT_TRUE(written.starts_with("Maxthon Web Browser\r\nsecond line\r\ncaf")) << written;
  ASSERT_TRUE(written.ends_with("\r\n"));
  // The last word comes back as written when read in the OEM code page, as cmd.exe reads it.
  const std::string word = written.substr(written.rfind("caf"), 4);
  wchar_t back[8] = {};
  ASSERT_EQ(4, MultiByteToWideChar(CP_OEMCP, 0, word.data(), 4, back, 8));
  EXPECT_EQ(L"caf\u00E9", std::wstring(back));
}

}  // namespace
}  // namespace tarnwick
