// Feeds arbitrary bytes to the ".reg" reader. A file it accepts is applied to a registry in
// memory, exported, read back and applied to a second registry, whose export must be the same.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "portable/standin_registry.h"
#include "tools/tarnwick-reg/reg_file.h"

namespace tarnwick {
namespace {

void Collect(StandInRegistry& reg, Hive hive, const std::string& path,
             std::vector<ExportedKey>* keys) {
  ExportedKey key{hive, path, {}};
  reg.ListValues(hive, path, &key.values);
  keys->push_back(std::move(key));
  std::vector<std::string> names;
  reg.ListSubKeys(hive, path, &names);
  for (const std::string& name : names)
    Collect(reg, hive, path.empty() ? name : path + "\\" + name, keys);
}

// Both hives of `reg`, as an export file.
std::string Export(StandInRegistry& reg) {
  std::vector<ExportedKey> keys;
  Collect(reg, Hive::kCurrentUser, "", &keys);
  Collect(reg, Hive::kLocalMachine, "", &keys);
  return EncodeUtf16LeWithBom(FormatRegFile(keys));
}

// Applies the file to a new registry and exports it; aborts on anything the reader accepted
// but the registry refused.
std::string Load(std::string_view file, bool* accepted) {
  std::vector<RegEdit> edits;
  std::string err;
  *accepted = ParseRegFile(file, &edits, &err);
  if (!*accepted) return {};
  auto reg = StandInRegistry::OpenInMemory(true);
  if (!reg || !reg->Apply(edits, &err)) std::abort();
  return Export(*reg);
}

}  // namespace

// The UTF-16LE export as printable ASCII, for the report of a failure.
std::string Visible(const std::string& utf16) {
  std::string out;
  for (size_t i = 2; i + 1 < utf16.size(); i += 2) {
    const unsigned u = static_cast<uint8_t>(utf16[i]) | static_cast<uint8_t>(utf16[i + 1]) << 8;
    char buf[16];
    if (u == '\n' || (u >= 0x20 && u < 0x7F)) {
      out += static_cast<char>(u);
    } else {
      std::snprintf(buf, sizeof buf, "<%04X>", u);
      out += buf;
    }
  }
  return out;
}

}  // namespace tarnwick

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  bool accepted = false;
  const std::string first =
      tarnwick::Load(std::string_view(reinterpret_cast<const char*>(data), size), &accepted);
  if (!accepted) return 0;
  const std::string second = tarnwick::Load(first, &accepted);
  if (!accepted || second != first) {
    std::fprintf(stderr,
                 "export does not read back as itself\n--- first (%zu bytes)\n%s\n--- second (%zu "
                 "bytes)\n%s\n",
                 first.size(), tarnwick::Visible(first).c_str(), second.size(),
                 tarnwick::Visible(second).c_str());
    std::abort();
  }
  return 0;
}
