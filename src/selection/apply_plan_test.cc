#include "selection/apply_plan.h"

#include <array>
#include <set>

#include "registry/browser_profile.h"
#include "registry/engine_test.h"
#include "selection/custom_apply.h"
#include "selection/preset_apply.h"
#include "selection/preset_catalogue.h"
#include "selection/selection_context.h"
#include "selection/selection_fakes_for_test.h"

namespace tarnwick {
namespace {

constexpr char kProgramFiles[] = R"(C:\Program Files)";
constexpr char kCustom[] = R"(C:\Apps\b.exe)";
constexpr char kHttpCommand[] = R"(Software\Classes\http\Shell\MyHTMLFile\Command)";

class ApplyPlanTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    services_.fso = &files_;
    services_.environment = &environment_;
    for (const BrowserPreset& row : PresetCatalogue()) {
      files_.paths.insert(kProgramFiles + std::string(row.RelativePath));
    }
    files_.paths.insert(kCustom);
  }

  /// Applies `row` for real, as the window does, over the tests' registry.
  void Apply(const BrowserPreset& row) {
    SelectionContext ctx = services_;
    BrowserProfile profile;
    ctx.profile = &profile;
    ctx.writer = &writer();
    ctx.registry = &registry();
    std::array<bool, kPresetCount> options = {};
    options[static_cast<size_t>(&row - PresetCatalogue().data())] = true;
    ASSERT_EQ(PresetApplyResult::kApplied, PresetApply(ctx, options));
  }

  std::vector<std::string> NotInPlace(const BrowserPreset& row) {
    const auto plan = PlanPresetApply(services_, row);
    EXPECT_TRUE(plan.has_value());
    return plan ? ValuesNotInPlace(registry(), *plan) : std::vector<std::string>{"no plan"};
  }

  FakeFiles files_;
  ProgramFilesEnvironment environment_{kProgramFiles};
  SelectionContext services_;
};

TEST_F(ApplyPlanTest, EveryPresetIsInPlaceRightAfterItsApplyAndNoOtherIs) {
  const auto rows = PresetCatalogue();
  for (const BrowserPreset& applied : rows) {
    Apply(applied);
    for (const BrowserPreset& row : rows) {
      // Deepnet rewrites the .url type that the generic set wrote: the last write counts.
      if (&row == &applied) {
        EXPECT_EQ(std::vector<std::string>{}, NotInPlace(row)) << row.Caption;
      } else {
        EXPECT_FALSE(NotInPlace(row).empty()) << row.Caption << " after " << applied.Caption;
      }
    }
  }
}

TEST_F(ApplyPlanTest, NamesEachValueThatDiffersInDataOrTypeOrIsMissing) {
  const BrowserPreset& maxthon = *FindPreset("Maxthon");
  Apply(maxthon);
  SeedText(Hive::kCurrentUser, kHttpCommand, "", R"("C:\Other\other.exe" "%1")");
  SeedText(Hive::kCurrentUser, R"(Software\Classes\MyHTMLfile\DefaultIcon)", "",
           R"(C:\Program Files\Internet Explorer\IExplore.exe,0)", kRegSz);
  SeedText(Hive::kCurrentUser, R"(Software\Classes\MyInternetShortcut)", "EditFlags", "2");
  ASSERT_EQ(kErrorSuccess,
            registry().DeleteKeyTree(Hive::kCurrentUser, R"(Software\Clients\StartMenuInternet)"));
  EXPECT_EQ((std::vector<std::string>{
                R"(HKEY_CURRENT_USER\Software\Classes\MyInternetShortcut\EditFlags)",
                R"(HKEY_CURRENT_USER\Software\Classes\http\Shell\MyHTMLFile\Command\)",
                R"(HKEY_CURRENT_USER\Software\Classes\MyHTMLFile\DefaultIcon\)",
                R"(HKEY_CURRENT_USER\Software\Clients\StartMenuInternet\)",
            }),
            NotInPlace(maxthon));
}

TEST_F(ApplyPlanTest, MachineWideEntriesAreNotLookedAt) {
  const BrowserPreset& green = *FindPreset("greenbrowser");
  Apply(green);
  ASSERT_EQ(kErrorSuccess,
            registry().DeleteKeyTree(Hive::kLocalMachine, R"(Software\Clients\StartMenuInternet)"));
  EXPECT_EQ(std::vector<std::string>{}, NotInPlace(green));
}

TEST_F(ApplyPlanTest, PlansFollowTheAppliesChecks) {
  const BrowserPreset& firefox = *FindPreset("MOZILLA FIREFOX");
  const auto plan = PlanPresetApply(services_, firefox);
  ASSERT_TRUE(plan.has_value());
  EXPECT_EQ((PlannedWrite{kCheckAssociationsPath, "No", "REG_SZ"}), plan->front());
  EXPECT_EQ((PlannedWrite{kStartMenuClientPath, "FIREFOX.EXE", "REG_SZ"}), plan->back());

  files_.paths.erase(PresetExecutablePath(services_, firefox));
  EXPECT_FALSE(PresetInstalled(services_, firefox));
  EXPECT_FALSE(PlanPresetApply(services_, firefox).has_value());

  const auto custom = PlanCustomApply(services_, std::string("  ") + kCustom);
  ASSERT_TRUE(custom.has_value());
  EXPECT_EQ(kCheckAssociationsPath, custom->front().path);
  bool names_program = false;
  for (const PlannedWrite& write : *custom) {
    names_program = names_program || write.value == R"("C:\Apps\b.exe" "%1")";
  }
  EXPECT_TRUE(names_program);
  EXPECT_FALSE(PlanCustomApply(services_, R"(C:\Apps\missing.exe)").has_value());
  EXPECT_FALSE(PlanCustomApply(services_, "  ").has_value());
  // Planning writes nothing.
  EXPECT_FALSE(UserKeyExists(R"(Software\Classes\http)"));
}

TEST(FindPresetTest, CaptionsMatchWithoutRegardToCaseOnly) {
  ASSERT_NE(nullptr, FindPreset("internet explorer 6"));
  EXPECT_STREQ("Internet Explorer 6", FindPreset("internet explorer 6")->Caption);
  EXPECT_EQ(nullptr, FindPreset("Internet Explorer"));
  EXPECT_EQ(nullptr, FindPreset(" Maxthon"));
  EXPECT_EQ(nullptr, FindPreset(""));
}

}  // namespace
}  // namespace tarnwick
