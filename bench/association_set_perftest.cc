// How long one association set (26 writes, each its own durable transaction) takes on an
// on-disk stand-in hive: on an empty hive, on one holding 100,000 keys, and next to a bare loop
// of 26 single-value SQLite transactions with the same durability settings. And how much the
// backup the window saves before an apply adds to a whole preset apply.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "linux/backup_disk.h"
#include "registry/association_sets.h"
#include "registry/registry_rules.h"
#include "registry/registry_writer.h"
#include "selection/apply_scopes.h"
#include "selection/preset_apply.h"
#include "selection/selection_context.h"
#include "shell/backup.h"
#include "standin/standin_registry.h"
#include "standin/temp_dir_for_test.h"

namespace tarnwick {
namespace {

BrowserProfile Profile() {
  BrowserProfile p;
  p.ExecutablePath = "C:\\Program Files\\Maxthon\\Maxthon.exe";
  p.OpenCommand = "\"" + p.ExecutablePath + "\" \"%1\"";
  p.ShortcutCommand = p.OpenCommand;
  p.IEPath = "C:\\Program Files\\Internet Explorer\\IExplore.exe";
  p.HtmlIcon = p.IEPath + ",0";
  p.MhtmlIcon = p.IEPath + ",22";
  p.HttpIcon = p.HttpsIcon = p.FtpIcon = p.IEPath + ",0";
  p.ShortcutIcon = "%SystemRoot%\\system32\\url.dll,0";
  return p;
}

// Fills the user hive with `count` keys, 100 per parent, each with one value.
void Fill(StandInRegistry& reg, int count) {
  std::vector<RegEdit> edits;
  for (int i = 0; i < count; ++i) {
    const std::string path =
        "Software\\Filler\\Group" + std::to_string(i / 100) + "\\Key" + std::to_string(i);
    edits.push_back({RegEdit::Op::kSetValue, Hive::kCurrentUser, path, "Value", kRegSz,
                     TextToRegBytes("filler " + std::to_string(i))});
  }
  std::string err;
  if (!reg.Apply(edits, &err)) std::abort();
}

// An on-disk stand-in registry with the generic set ready to be written into it.
class SetWriter {
 public:
  explicit SetWriter(int filler_keys) {
    std::string err;
    reg_ = StandInRegistry::OpenFiles({dir_.File("user.hive"), dir_.File("machine.hive")}, false,
                                      &err);
    if (!reg_) std::abort();
    if (filler_keys > 0) Fill(*reg_, filler_keys);
    writer_ = std::make_unique<RegistryWriter>(reg_.get());
  }

  // Writes one set as a first apply does, after removing the previous one; returns the
  // seconds the set itself took.
  double Run() {
    reg_->DeleteKeyTree(Hive::kCurrentUser, "Software\\Classes");
    const auto start = std::chrono::steady_clock::now();
    PresetDefaultWebBrowser(profile_, *writer_);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

 private:
  TempDir dir_;  // on the disk that $TMPDIR (or /tmp) is on
  std::unique_ptr<StandInRegistry> reg_;
  std::unique_ptr<RegistryWriter> writer_;
  BrowserProfile profile_ = Profile();
};

// The floor: 26 transactions of one upsert each, WAL and synchronous=FULL as in a hive.
class BareLoop {
 public:
  BareLoop() {
    sqlite3_open(dir_.File("bare.db").c_str(), &db_);
    sqlite3_exec(db_,
                 "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
                 "CREATE TABLE kv(k TEXT PRIMARY KEY, v)",
                 nullptr, nullptr, nullptr);
    sqlite3_prepare_v2(db_, "BEGIN IMMEDIATE", -1, &begin_, nullptr);
    sqlite3_prepare_v2(db_, "INSERT OR REPLACE INTO kv VALUES(?1, ?2)", -1, &upsert_, nullptr);
    sqlite3_prepare_v2(db_, "COMMIT", -1, &commit_, nullptr);
  }
  ~BareLoop() {
    sqlite3_finalize(begin_);
    sqlite3_finalize(upsert_);
    sqlite3_finalize(commit_);
    sqlite3_close(db_);
  }

  double Run() {
    const auto start = std::chrono::steady_clock::now();
    for (const AssociationRow& row : GenericAssociationRows()) {
      sqlite3_step(begin_);
      sqlite3_reset(begin_);
      sqlite3_bind_text(upsert_, 1, row.path, -1, SQLITE_STATIC);
      sqlite3_bind_text(upsert_, 2, "\"C:\\Program Files\\Maxthon\\Maxthon.exe\" \"%1\"", -1,
                        SQLITE_STATIC);
      sqlite3_step(upsert_);
      sqlite3_reset(upsert_);
      sqlite3_step(commit_);
      sqlite3_reset(commit_);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

 private:
  TempDir dir_;  // on the disk that $TMPDIR (or /tmp) is on
  sqlite3* db_ = nullptr;
  sqlite3_stmt* begin_ = nullptr;
  sqlite3_stmt* upsert_ = nullptr;
  sqlite3_stmt* commit_ = nullptr;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

void BM_GenericSet(benchmark::State& state) {
  SetWriter set(static_cast<int>(state.range(0)));
  for (auto _ : state) state.SetIterationTime(set.Run());
}
BENCHMARK(BM_GenericSet)
    ->ArgName("hive_keys")
    ->Arg(0)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_BareLoop(benchmark::State& state) {
  BareLoop loop;
  for (auto _ : state) state.SetIterationTime(loop.Run());
}
BENCHMARK(BM_BareLoop)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The three side by side, taking turns, so that the disk's ups and downs (other programs
// writing) fall on all three alike. The counters are medians in milliseconds and the two
// ratios the targets are stated in.
void BM_SideBySide(benchmark::State& state) {
  SetWriter empty(0), large(100000);
  BareLoop bare;
  std::vector<double> empty_s, large_s, bare_s;
  for (auto _ : state) {
    empty_s.push_back(empty.Run());
    large_s.push_back(large.Run());
    bare_s.push_back(bare.Run());
  }
  const double e = Median(empty_s), l = Median(large_s), b = Median(bare_s);
  state.counters["empty_ms"] = e * 1000;
  state.counters["100k_ms"] = l * 1000;
  state.counters["bare_ms"] = b * 1000;
  state.counters["empty/bare"] = b > 0 ? e / b : 0;
  state.counters["100k/empty"] = e > 0 ? l / e : 0;
}
BENCHMARK(BM_SideBySide)->Iterations(101)->Unit(benchmark::kMillisecond);

// A whole Maxthon apply as the window makes it, by an account without administrator rights,
// over a hive that already holds another browser's registrations, with or without the backup
// that comes first.
class PresetApplier {
 public:
  PresetApplier() {
    std::string err;
    reg_ = StandInRegistry::OpenFiles({dir_.File("user.hive"), dir_.File("machine.hive")}, false,
                                      &err);
    if (!reg_) std::abort();
    backups_ = OpenBackupFolder(dir_.File("user.hive"));
    writer_ = std::make_unique<RegistryWriter>(reg_.get());
    options_[2] = true;  // Maxthon
    ctx_.profile = &profile_;
    ctx_.writer = writer_.get();
    ctx_.registry = reg_.get();
    ctx_.fso = &exists_;
    ctx_.environment = &environment_;
  }

  double Run(bool with_backup) {
    reg_->DeleteKeyTree(Hive::kCurrentUser, "Software");
    BrowserProfile other = Profile();
    other.OpenCommand = "\"C:\\Other\\other.exe\" \"%1\"";
    PresetDefaultWebBrowser(other, *writer_);
    ctx_.before_change = [this, with_backup] {
      return !with_backup || SaveBackup(reg_.get(), backups_.get(), PresetApplyScope(options_),
                                        PresetApplyBackupName(options_))
                                 .saved();
    };
    const auto start = std::chrono::steady_clock::now();
    if (PresetApply(ctx_, options_) != PresetApplyResult::kApplied) std::abort();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

 private:
  class Exists final : public FileSystemObject {
   public:
    bool FileExists(const std::string&) override { return true; }
  };
  class ProgramFiles final : public Environment {
   public:
    std::string Get(const std::string&) override { return "C:\\Program Files"; }
  };

  TempDir dir_;  // on the disk that $TMPDIR (or /tmp) is on
  std::unique_ptr<StandInRegistry> reg_;
  std::unique_ptr<BackupFolder> backups_;
  std::unique_ptr<RegistryWriter> writer_;
  BrowserProfile profile_;
  Exists exists_;
  ProgramFiles environment_;
  std::array<bool, kPresetCount> options_ = {};
  SelectionContext ctx_;
};

// The two in turn; the counters are medians in milliseconds and their ratio.
void BM_ApplyWithBackup(benchmark::State& state) {
  PresetApplier applier;
  std::vector<double> plain_s, backed_s;
  for (auto _ : state) {
    plain_s.push_back(applier.Run(false));
    backed_s.push_back(applier.Run(true));
  }
  const double plain = Median(plain_s), backed = Median(backed_s);
  state.counters["apply_ms"] = plain * 1000;
  state.counters["with_backup_ms"] = backed * 1000;
  state.counters["with/without"] = plain > 0 ? backed / plain : 0;
}
BENCHMARK(BM_ApplyWithBackup)->Iterations(101)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick
