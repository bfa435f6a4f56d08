// Whole-hive snapshots for the reliability harnesses: a canonical text of every key and value
// of both stand-in hives, and the edits that rebuild them in another registry.
#ifndef TARNWICK_BENCH_HIVE_SNAPSHOT_H_
#define TARNWICK_BENCH_HIVE_SNAPSHOT_H_

#include <string>
#include <vector>

#include "standin/standin_registry.h"

namespace tarnwick {

/// Both hives of a registry, walked depth first with sub-keys in their listed order.
struct HiveSnapshot {
  /// One line per key ("K hive path") and per value ("V hive path name type hex"); two
  /// snapshots hold the same registrations exactly when their texts are equal.
  std::string text;
  /// Edits that recreate every key and value in an empty registry, values in their order.
  std::vector<RegEdit> edits;
};

/// Takes a snapshot of `registry`. False with `err` when a hive cannot be read.
bool TakeSnapshot(StandInRegistry& registry, HiveSnapshot* snapshot, std::string* err);

/// A private in-memory registry, with administrator rights, holding `snapshot`. Null with
/// `err` when it cannot be built.
std::unique_ptr<StandInRegistry> RegistryFromSnapshot(const HiveSnapshot& snapshot,
                                                      std::string* err);

/// The first line in which `a` and `b` differ, both versions, for a failure report.
std::string FirstDifference(const std::string& a, const std::string& b);

/// SQLite's own view of the hive file at `path`: "ok" when its integrity and foreign-key
/// checks pass (or it does not exist), otherwise what is wrong with it.
std::string CheckIntegrity(const std::string& path);

}  // namespace tarnwick

#endif  // TARNWICK_BENCH_HIVE_SNAPSHOT_H_
