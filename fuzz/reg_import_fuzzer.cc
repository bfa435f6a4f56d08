// Fuzzes the ".reg" importer: any bytes go through ParseRegFile; what it accepts is applied to
// an empty in-memory stand-in, exported again with FormatRegFile (in UTF-8 and UTF-16) and
// imported into a second one, which must then hold exactly the same keys and values.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "bench/hive_snapshot.h"
#include "registry/reg_file.h"
#include "standin/reg_import.h"
#include "standin/standin_registry.h"

namespace tarnwick {
namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Line breaks and a closing bracket cannot be part of a key name in a ".reg" file, and a line
// break cannot be part of a value name; such names do not survive an export, by its format.
bool Exportable(const std::vector<RegEdit>& keys) {
  for (const RegEdit& key : keys) {
    if (!RegFileCanHold(key)) return false;
  }
  return true;
}

void Fuzz(std::string_view bytes) {
  std::vector<RegEdit> edits;
  std::string err;
  if (!ParseRegFile(bytes, &edits, &err)) {
    Check(edits.empty() && err.rfind("line ", 0) == 0);
    return;
  }
  auto first = StandInRegistry::OpenInMemory(true);
  // The stand-in may still refuse an edit as a whole (a malformed path); that leaves it empty.
  if (!first->Apply(edits, &err)) {
    HiveSnapshot empty;
    Check(TakeSnapshot(*first, &empty, &err) && empty.text.empty());
    return;
  }
  std::vector<RegEdit> keys;
  Check(ExportKeyTree(*first, Hive::kCurrentUser, "", &keys));
  Check(ExportKeyTree(*first, Hive::kLocalMachine, "", &keys));
  if (!Exportable(keys)) return;
  HiveSnapshot original;
  Check(TakeSnapshot(*first, &original, &err));

  const std::string text = FormatRegFile(keys);
  for (const std::string& file : {text, EncodeUtf16LeWithBom(text)}) {
    std::vector<RegEdit> again;
    Check(ParseRegFile(file, &again, &err));
    auto second = StandInRegistry::OpenInMemory(true);
    Check(second->Apply(again, &err));
    HiveSnapshot copy;
    Check(TakeSnapshot(*second, &copy, &err));
    Check(copy.text == original.text);
  }
}

}  // namespace
}  // namespace tarnwick

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarnwick::Fuzz(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
