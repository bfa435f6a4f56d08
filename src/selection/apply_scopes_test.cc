#include "selection/apply_scopes.h"

#include <gtest/gtest.h>

#include <set>

#include "registry/browser_profile.h"
#include "registry/registry.h"
#include "registry/registry_writer.h"
#include "selection/custom_apply.h"
#include "selection/preset_apply.h"
#include "selection/preset_catalogue.h"
#include "selection/selection_context.h"

namespace tarnwick {
namespace {

// Records what an apply writes and deletes; holds nothing, refuses nothing.
class Recorder final : public RegistryWriteRoute, public Registry {
 public:
  bool RegWrite(const std::string& path, const std::string&, const std::string&,
                std::string*) override {
    writes.insert(path);
    return true;
  }
  long DeleteKeyTree(Hive hive, const std::string& path) override {
    deletes.insert({hive, path});
    return kErrorFileNotFound;
  }
  long OpenKey(Hive, const std::string&, uint32_t, KeyHandle*) override {
    return kErrorFileNotFound;
  }
  long QueryValue(KeyHandle, const std::string&, uint32_t*, uint8_t*, uint32_t*) override {
    return kErrorInvalidHandle;
  }
  long EnumKey(KeyHandle, uint32_t, std::string*) override { return kErrorInvalidHandle; }
  long EnumValue(KeyHandle, uint32_t, std::string*, uint32_t*, std::vector<uint8_t>*) override {
    return kErrorInvalidHandle;
  }
  long CloseKey(KeyHandle) override { return kErrorSuccess; }

  std::set<std::string> writes;
  std::set<std::pair<Hive, std::string>> deletes;
};

class EveryFileExists final : public FileSystemObject {
 public:
  bool FileExists(const std::string&) override { return true; }
};

class ApplyScopesTest : public testing::Test {
 protected:
  SelectionContext Context() {
    SelectionContext ctx;
    ctx.profile = &profile_;
    ctx.writer = &writer_;
    ctx.registry = &recorder_;
    ctx.fso = &files_;
    return ctx;
  }
  static std::set<std::string> Writes(const ChangeScope& scope) {
    return {scope.writes.begin(), scope.writes.end()};
  }
  static std::set<std::pair<Hive, std::string>> Deletes(const ChangeScope& scope) {
    std::set<std::pair<Hive, std::string>> out;
    for (const RegKeyName& key : scope.deleted_trees) out.insert({key.hive, key.path});
    return out;
  }

  Recorder recorder_;
  RegistryWriter writer_{&recorder_};
  EveryFileExists files_;
  BrowserProfile profile_;
};

// The scope is what the apply really does, row by row: a write added to either side alone
// fails here.
TEST_F(ApplyScopesTest, EachPresetsScopeIsExactlyWhatItsApplyWrites) {
  const auto rows = PresetCatalogue();
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].Caption);
    recorder_ = Recorder();
    std::array<bool, kPresetCount> options = {};
    options[i] = true;
    SelectionContext ctx = Context();
    ASSERT_EQ(PresetApplyResult::kApplied, PresetApply(ctx, options));
    const ChangeScope scope = PresetApplyScope(options);
    EXPECT_EQ(recorder_.writes, Writes(scope));
    EXPECT_TRUE(recorder_.deletes.empty());
    EXPECT_TRUE(scope.deleted_trees.empty());
  }
}

TEST_F(ApplyScopesTest, WithoutASelectionOnlyCheckAssociationsIsInScope) {
  SelectionContext ctx = Context();
  ASSERT_EQ(PresetApplyResult::kNoSelection, PresetApply(ctx, {}));
  EXPECT_EQ(recorder_.writes, Writes(PresetApplyScope({})));
  EXPECT_EQ(std::set<std::string>{kCheckAssociationsPath}, recorder_.writes);
}

TEST_F(ApplyScopesTest, TheCustomApplysScopeIsExactlyWhatItDeletesAndWrites) {
  SelectionContext ctx = Context();
  ASSERT_EQ(CustomApplyResult::kApplied, CustomApply(ctx, R"(C:\Apps\browser.exe)"));
  const ChangeScope scope = CustomApplyScope();
  EXPECT_EQ(recorder_.writes, Writes(scope));
  EXPECT_EQ(recorder_.deletes, Deletes(scope));
  EXPECT_EQ(22u, scope.deleted_trees.size());
}

TEST_F(ApplyScopesTest, TheCustomApplyChangesTheRegistryExactlyWhenItsChecksPass) {
  for (const char* text : {"", "   ", R"(C:\a|b.exe)", "C:\\tab\there", R"(C:\Apps\b.exe)", " x",
                           "C:\\Next\xC2\x85line.exe"}) {
    SCOPED_TRACE(text);
    recorder_ = Recorder();
    SelectionContext ctx = Context();
    const bool usable = CheckCustomPath(ctx, text) == CustomApplyResult::kApplied;
    CustomApply(ctx, text);
    EXPECT_EQ(!recorder_.writes.empty() || !recorder_.deletes.empty(), usable);
  }
}

}  // namespace
}  // namespace tarnwick
