#include "shell/start_arguments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "shell/fake_platform.h"
#include "shell/form1.h"

namespace tarnwick {
namespace {

// A browser dropped on the program lands in the custom box and nothing more; anything else
// opens the window as it opens without arguments.
TEST(StartArgumentsTest, OnlyASingleExistingProgramFileGoesIntoTheBox) {
  const struct {
    std::vector<std::string> args;
    Spelling spelling;
    const char* box;
  } kCases[] = {
      {{R"(C:\Apps\Other Browser\B.EXE)"}, Spelling::kWindows, R"(C:\Apps\Other Browser\B.EXE)"},
      {{"/opt/browser/run"}, Spelling::kLinux, "/opt/browser/run"},
      {{}, Spelling::kWindows, ""},
      {{R"(C:\Apps\page.htm)"}, Spelling::kWindows, ""},  // "Open with" a document
      {{"/opt/browser/run"}, Spelling::kWindows, ""},     // no program on Windows
      {{R"(C:\Apps\missing.exe)"}, Spelling::kWindows, ""},
      {{R"(C:\Apps\a|b.exe)"}, Spelling::kWindows, ""},
      {{R"(C:\Apps\Other Browser\B.EXE)", R"(C:\Apps\Other Browser\B.EXE)"},
       Spelling::kWindows,
       ""},
      {{"stray"}, Spelling::kLinux, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
    std::vector<std::string> calls;
    RecordingRegistry registry(&calls);
    AcceptingWriteRoute route;
    FakePlatform fake(&registry, &route);
    fake.files = {R"(C:\Apps\Other Browser\B.EXE)", R"(C:\Apps\page.htm)", "/opt/browser/run",
                  R"(C:\Apps\a|b.exe)"};
    Form1 form(fake.platform());
    ASSERT_TRUE(form.Form_Load());
    calls.clear();
    TakeStartArguments(form, c.args, c.spelling);
    EXPECT_EQ(c.box, form.Text1());
    EXPECT_EQ(*c.box != '\0', form.Command2Enabled());
    EXPECT_FALSE(std::any_of(calls.begin(), calls.end(), [](const std::string& call) {
      return call.starts_with("RegWrite") || call.starts_with("DeleteKeyTree");
    }));
  }
}

}  // namespace
}  // namespace tarnwick
