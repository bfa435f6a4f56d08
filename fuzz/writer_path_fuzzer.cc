// Fuzzes the writer path: the path, value and type of a RegWrite, separated by NUL bytes, go
// through the rules and then through a write to an in-memory stand-in, which must store
// exactly what the rules say and give it back through the reader.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "registry/registry_reader.h"
#include "registry/registry_rules.h"
#include "standin/standin_registry.h"
#include "text/utf.h"

namespace tarnwick {
namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string Join(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& part : parts) out += (out.empty() ? "" : "\\") + part;
  return out;
}

void CheckText(std::string_view utf8) {
  const std::u16string units = Utf8ToUtf16(utf8);
  const std::string back = Utf16ToUtf8(units);
  // Whatever came in, what goes out is valid UTF-8 that survives another round unchanged.
  Check(Utf8ToUtf16(back) == units);
  Check(Utf16ToUtf8(Utf8ToUtf16(back)) == back);
  Check(FoldName(utf8) == FoldName(back));
  Check(SameName(utf8, back));
  Check(FoldName(FoldName(utf8)) == FoldName(utf8));
  const std::vector<uint8_t> bytes = TextToRegBytes(utf8);
  Check(bytes.size() == 2 * units.size() + 2 && bytes[bytes.size() - 1] == 0 &&
        bytes[bytes.size() - 2] == 0);
}

void Fuzz(std::string_view input) {
  static std::unique_ptr<StandInRegistry> registry;
  static unsigned runs = 0;
  // A fresh hive now and then keeps memory bounded over a long run.
  if (runs++ % 512 == 0) registry = StandInRegistry::OpenInMemory(true);

  const size_t a = input.find('\0');
  const std::string path(input.substr(0, a));
  const size_t b = a == std::string_view::npos ? a : input.find('\0', a + 1);
  const std::string value(a == std::string_view::npos ? "" : input.substr(a + 1, b - a - 1));
  const std::string type(b == std::string_view::npos ? "REG_SZ" : input.substr(b + 1));
  CheckText(path);
  CheckText(value);

  WriterTarget target;
  std::string err;
  const bool parsed = ParseWriterPath(path, &target, &err);
  if (parsed) {
    Check(!target.key.empty());
    for (const std::string& part : target.key) {
      Check(!part.empty() && part.find('\\') == std::string::npos);
    }
    Check(target.value_name.find('\\') == std::string::npos);
    Check(target.value_name.empty() == path.ends_with('\\'));
  } else {
    Check(!err.empty());
  }
  const std::optional<RegType> reg_type = ParseRegType(type);
  const std::optional<uint32_t> number = ParseDwordText(value);

  const bool written = registry->RegWrite(path, value, type, &err);
  Check(written == (parsed && reg_type && (*reg_type != kRegDword || number)));
  if (!written) return;

  const RegistryValue read =
      ReadRegistryValue(*registry, target.hive, Join(target.key), target.value_name);
  if (*reg_type == kRegDword) {
    Check(read == RegistryValue(static_cast<int32_t>(*number)));
  } else {
    Check(read == RegistryValue(Utf16ToUtf8(Utf8ToUtf16(value))));
  }
  Check(registry->DeleteKeyTree(target.hive, Join(target.key)) == kErrorSuccess);
  Check(registry->KeyExists(target.hive, Join(target.key)) == kErrorFileNotFound);
}

}  // namespace
}  // namespace tarnwick

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarnwick::Fuzz(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
