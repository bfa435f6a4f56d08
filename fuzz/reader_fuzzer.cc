// Fuzzes the reader over arbitrary stored values: any type and any bytes in the four places the
// current-default query reads, and a value that changes between the size query and the data
// query. What the reader returns must follow from the stored bytes alone, and the line shown
// must be well formed.
//
// Input: records of slot (1 byte), type (4 bytes, little-endian), length (2 bytes) and data.
// Slots: 0 the per-user client choice, 1 the machine-wide client choice, 2 the client's display
// name (default value), 3 its "LocalizedString", 4 what value 2 becomes after its size query.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "registry/current_default.h"
#include "registry/registry_reader.h"
#include "registry/registry_rules.h"
#include "standin/standin_registry.h"
#include "text/utf.h"

namespace tarnwick {
namespace {

constexpr char kClients[] = R"(SOFTWARE\Clients\StartMenuInternet)";
constexpr char kSuffix[] = " is currently the default browser.";

void Check(bool condition) {
  if (!condition) std::abort();
}

struct Stored {
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

// What the reader must make of a stored value.
RegistryValue Expected(const Stored& v) {
  if (v.type == kRegSz || v.type == kRegExpandSz) {
    if (v.data.size() < 2) return {};
    std::u16string units(v.data.size() / 2 - 1, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
      units[i] = static_cast<char16_t>(v.data[2 * i] | v.data[2 * i + 1] << 8);
    }
    return Utf16ToUtf8(units);
  }
  if (v.type == kRegDword && v.data.size() <= 4) {
    uint32_t n = 0;
    for (size_t i = 0; i < v.data.size(); ++i) n |= uint32_t{v.data[i]} << (8 * i);
    return static_cast<int32_t>(n);
  }
  return {};
}

// Passes everything on, but replaces value `name` of the watched key with `replacement` right
// after its first size query, as another program writing at that moment would.
class ChangingRegistry final : public ForwardingRegistry {
 public:
  ChangingRegistry(StandInRegistry* inner, std::string path, std::string name, Stored replacement)
      : ForwardingRegistry(inner),
        inner_(inner),
        path_(std::move(path)),
        name_(std::move(name)),
        replacement_(std::move(replacement)) {}
  long QueryValue(KeyHandle key, const std::string& name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override {
    const long status = ForwardingRegistry::QueryValue(key, name, type, data, size);
    if (data == nullptr && !changed_ && name == name_) {
      changed_ = true;
      const RegEdit edit{RegEdit::Op::kSetValue, Hive::kLocalMachine, path_, name_,
                         replacement_.type,      replacement_.data};
      std::string err;
      Check(inner_->Apply({&edit, 1}, &err));
    }
    return status;
  }

 private:
  StandInRegistry* inner_;  // for Apply
  std::string path_, name_;
  Stored replacement_;
  bool changed_ = false;
};

bool Store(StandInRegistry& registry, Hive hive, const std::string& path, const std::string& name,
           const Stored& v) {
  const RegEdit edit{RegEdit::Op::kSetValue, hive, path, name, v.type, v.data};
  std::string err;
  return registry.Apply({&edit, 1}, &err);
}

void CheckDisplay(const DefaultBrowserDisplay& display) {
  if (!display.visible) {
    Check(display.caption.empty());
    return;
  }
  const std::string suffix = kSuffix;
  Check(display.caption.size() > suffix.size() && display.caption.ends_with(suffix));
  const std::string name = display.caption.substr(0, display.caption.size() - suffix.size());
  Check(name.find('@') == std::string::npos && name.find('\0') == std::string::npos);
  Check(name.find_first_not_of(' ') != std::string::npos);
}

void Fuzz(const uint8_t* data, size_t size) {
  std::optional<Stored> slots[5];
  for (size_t at = 0; at + 7 <= size;) {
    const unsigned slot = data[at] % 5;
    Stored v;
    v.type = data[at + 1] | data[at + 2] << 8 | data[at + 3] << 16 | uint32_t{data[at + 4]} << 24;
    const size_t length = std::min<size_t>(data[at + 5] | data[at + 6] << 8, size - at - 7);
    v.data.assign(data + at + 7, data + at + 7 + length);
    slots[slot] = std::move(v);
    at += 7 + length;
  }

  auto registry = StandInRegistry::OpenInMemory(true);
  if (slots[0]) Check(Store(*registry, Hive::kCurrentUser, kClients, "", *slots[0]));
  if (slots[1]) Check(Store(*registry, Hive::kLocalMachine, kClients, "", *slots[1]));
  for (int slot : {0, 1}) {
    if (!slots[slot]) continue;
    const Hive hive = slot == 0 ? Hive::kCurrentUser : Hive::kLocalMachine;
    const RegistryValue read = ReadRegistryValue(*registry, hive, kClients, "");
    Check(read == Expected(*slots[slot]));
    // The stand-in gives back exactly the bytes stored.
    ValueEntry entry;
    Check(registry->GetValue(hive, kClients, "", &entry) == kErrorSuccess);
    Check(entry.type == slots[slot]->type && entry.data == slots[slot]->data);
  }

  // The display name goes under whichever client the query will look up.
  std::string client = AsText(ReadRegistryValue(*registry, Hive::kCurrentUser, kClients, ""));
  if (client.find_first_not_of(' ') == std::string::npos) {
    client = AsText(ReadRegistryValue(*registry, Hive::kLocalMachine, kClients, ""));
  }
  const std::string client_key = std::string(kClients) + "\\" + client;
  std::vector<std::string> parts;
  const bool usable_key = SplitKeyPath(client_key, &parts);
  if (usable_key) {
    if (slots[2]) Check(Store(*registry, Hive::kLocalMachine, client_key, "", *slots[2]));
    if (slots[3]) {
      Check(Store(*registry, Hive::kLocalMachine, client_key, "LocalizedString", *slots[3]));
      Check(ReadRegistryValue(*registry, Hive::kLocalMachine, client_key, "LocalizedString") ==
            Expected(*slots[3]));
    }
  }

  const DefaultBrowserDisplay display = QueryCurrentDefaultBrowser(*registry);
  CheckDisplay(display);
  Check(display.visible == QueryCurrentDefaultBrowser(*registry).visible);

  if (usable_key && slots[2] && slots[4]) {
    // The display name changes under the reader: it reads the old value, the new one, or
    // nothing, never a mixture.
    ChangingRegistry changing(registry.get(), client_key, "", *slots[4]);
    const RegistryValue read = ReadRegistryValue(changing, Hive::kLocalMachine, client_key, "");
    Check(read == RegistryValue() || read == Expected(*slots[2]) || read == Expected(*slots[4]));
    CheckDisplay(QueryCurrentDefaultBrowser(*registry));
  }
}

}  // namespace
}  // namespace tarnwick

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarnwick::Fuzz(data, size);
  return 0;
}
