#include "bench/hive_snapshot.h"

#include <sqlite3.h>

#include <filesystem>
#include <sstream>

namespace tarnwick {
namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

bool Walk(StandInRegistry& registry, Hive hive, const std::string& path, HiveSnapshot* snapshot,
          std::string* err) {
  const char* label = hive == Hive::kCurrentUser ? "HKCU" : "HKLM";
  std::vector<ValueEntry> values;
  std::vector<std::string> children;
  if (registry.ListValues(hive, path, &values) != kErrorSuccess ||
      registry.ListSubKeys(hive, path, &children) != kErrorSuccess) {
    *err = "read " + registry.HiveLabel(hive) + ": cannot list key '" + path + "'";
    return false;
  }
  if (!path.empty()) {
    snapshot->text += std::string("K ") + label + " " + path + "\n";
    snapshot->edits.push_back({RegEdit::Op::kCreateKey, hive, path, "", 0, {}});
  }
  for (const ValueEntry& v : values) {
    snapshot->text += std::string("V ") + label + " " + path + " [" + v.name + "] " +
                      std::to_string(v.type) + " " + Hex(v.data) + "\n";
    snapshot->edits.push_back({RegEdit::Op::kSetValue, hive, path, v.name, v.type, v.data});
  }
  for (const std::string& child : children) {
    if (!Walk(registry, hive, path.empty() ? child : path + "\\" + child, snapshot, err)) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool TakeSnapshot(StandInRegistry& registry, HiveSnapshot* snapshot, std::string* err) {
  *snapshot = HiveSnapshot();
  return Walk(registry, Hive::kCurrentUser, "", snapshot, err) &&
         Walk(registry, Hive::kLocalMachine, "", snapshot, err);
}

std::unique_ptr<StandInRegistry> RegistryFromSnapshot(const HiveSnapshot& snapshot,
                                                      std::string* err) {
  auto registry = StandInRegistry::OpenInMemory(true);
  if (!registry) {
    *err = "cannot open a memory registry";
    return nullptr;
  }
  // Values on the root key have an empty path, which Apply takes as the root.
  if (!snapshot.edits.empty() && !registry->Apply(snapshot.edits, err)) return nullptr;
  return registry;
}

std::string FirstDifference(const std::string& a, const std::string& b) {
  std::istringstream in_a(a), in_b(b);
  std::string line_a, line_b;
  for (int line = 1;; ++line) {
    const bool more_a = static_cast<bool>(std::getline(in_a, line_a));
    const bool more_b = static_cast<bool>(std::getline(in_b, line_b));
    if (!more_a && !more_b) return "no difference";
    if (!more_a) line_a = "(end)";
    if (!more_b) line_b = "(end)";
    if (line_a != line_b) {
      return "line " + std::to_string(line) + ": '" + line_a + "' vs '" + line_b + "'";
    }
  }
}

std::string CheckIntegrity(const std::string& path) {
  if (!std::filesystem::exists(path)) return "ok";
  sqlite3* db = nullptr;
  std::string verdict;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    verdict = std::string("open: ") + sqlite3_errmsg(db);
  } else {
    auto collect = [](void* out, int columns, char** values, char**) {
      auto* text = static_cast<std::string*>(out);
      for (int i = 0; i < columns; ++i)
        *text += (values[i] ? values[i] : "NULL") + std::string(" ");
      return 0;
    };
    std::string integrity, foreign;
    char* message = nullptr;
    if (sqlite3_exec(db, "PRAGMA integrity_check", collect, &integrity, &message) != SQLITE_OK ||
        sqlite3_exec(db, "PRAGMA foreign_key_check", collect, &foreign, &message) != SQLITE_OK) {
      verdict = std::string("check: ") + (message ? message : "?");
    } else if (integrity != "ok ") {
      verdict = "integrity_check: " + integrity;
    } else if (!foreign.empty()) {
      verdict = "foreign_key_check: " + foreign;
    } else {
      verdict = "ok";
    }
    sqlite3_free(message);
  }
  sqlite3_close(db);
  return verdict;
}

}  // namespace tarnwick
