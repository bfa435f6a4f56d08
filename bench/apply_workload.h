// A deterministic, endless run of the program's registry-changing operations (preset applies,
// custom applies, Resets), each followed by the current-default query the window makes. Every
// apply uses its own paths, so that no two writes of a run store the same data twice.
#ifndef TARNWICK_BENCH_APPLY_WORKLOAD_H_
#define TARNWICK_BENCH_APPLY_WORKLOAD_H_

#include <cstdint>
#include <functional>
#include <string>

#include "registry/registry.h"

namespace tarnwick {

/// Both routes over another registry, numbering each change (RegWrite or DeleteKeyTree) from 1
/// and calling `before` and `after` around it. A `before` that returns false stops the change
/// (it is not passed on and reports failure) and every later one. Reads pass straight through.
class CountingRegistry final : public RegistryWriteRoute, public ForwardingRegistry {
 public:
  using Hook = std::function<bool(uint64_t change)>;

  /// `writes` and `registry` are not owned; usually one object implementing both.
  CountingRegistry(RegistryWriteRoute* writes, Registry* registry)
      : ForwardingRegistry(registry), writes_(writes) {}

  Hook before = [](uint64_t) { return true; };
  std::function<void(uint64_t change)> after = [](uint64_t) {};

  /// Changes started so far.
  uint64_t changes() const { return changes_; }
  /// True once a `before` hook has refused a change.
  bool stopped() const { return stopped_; }

  bool RegWrite(const std::string& path, const std::string& value, const std::string& type,
                std::string* err) override;
  long DeleteKeyTree(Hive hive, const std::string& path) override;

 private:
  bool Start();

  RegistryWriteRoute* writes_;
  uint64_t changes_ = 0;
  bool stopped_ = false;
};

class BackupFolder;

/// What a run does besides its changes, as the window does it: before an operation changes the
/// registry, its backup is saved in `backups` (when set), and the operation runs only once
/// that has worked.
struct WorkloadBackups {
  BackupFolder* backups = nullptr;
  /// Operation `op` (numbered from 1) starts, `changes` changes into the run.
  std::function<void(uint64_t op, uint64_t changes)> on_operation = [](uint64_t, uint64_t) {};
  /// The backup of operation `op` is saved as `file`.
  std::function<void(uint64_t op, const std::string& file)> on_saved = [](uint64_t,
                                                                          const std::string&) {};
};

/// Runs the operations of run `seed` against `registry` until its `before` hook stops it.
/// The same seed gives the same changes in the same order, whatever the registry holds, with
/// backups or without.
void RunApplyWorkload(uint64_t seed, CountingRegistry& registry,
                      const WorkloadBackups& backups = {});

}  // namespace tarnwick

#endif  // TARNWICK_BENCH_APPLY_WORKLOAD_H_
