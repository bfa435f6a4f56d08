#include "registry/registry_reader.h"

#include <vector>

#include "registry/registry_rules.h"
#include "text/utf.h"

namespace tarnwick {

std::string AsText(const RegistryValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* number = std::get_if<int32_t>(&value)) return std::to_string(*number);
  return {};
}

long QueryKeyValue(Registry& registry, KeyHandle key, const std::string& name, RegistryValue* value,
                   uint32_t* value_type) {
  uint32_t type = 0;
  uint32_t size = 0;
  long status = registry.QueryValue(key, name, &type, nullptr, &size);
  if (status != kErrorSuccess) return status;

  // Another program may rewrite the value between the two queries: data that comes back with
  // another type than the size query reported is not read as that type.
  switch (type) {
    case kRegSz:
    case kRegExpandSz: {
      // A value stored without bytes has no text to give. Asking for its data would pass no
      // buffer, which is a size query, and data written meanwhile would not fit anyway.
      if (size == 0) return status;
      std::vector<uint8_t> buffer(size);
      uint32_t data_type = 0;
      status = registry.QueryValue(key, name, &data_type, buffer.data(), &size);
      if (status == kErrorSuccess && (data_type != type || size > buffer.size())) {
        status = kErrorInvalidData;
      }
      if (status != kErrorSuccess) {
        *value = std::monostate{};
        return status;
      }
      // The count includes the terminating NUL.
      const long units = static_cast<long>(size / 2) - 1;
      if (units < 0) return status;
      *value =
          Utf16ToUtf8(RegBytesToUnits(std::span(buffer).first(static_cast<size_t>(units) * 2)));
      if (value_type != nullptr) *value_type = type;
      return status;
    }
    case kRegDword: {
      uint8_t bytes[4] = {};
      uint32_t dword_size = sizeof bytes;
      uint32_t data_type = 0;
      status = registry.QueryValue(key, name, &data_type, bytes, &dword_size);
      if (status == kErrorSuccess && data_type != type) status = kErrorInvalidData;
      if (status == kErrorSuccess) {
        *value = static_cast<int32_t>(RegBytesToDword(bytes));
        if (value_type != nullptr) *value_type = type;
      }
      return status;
    }
    default:
      return -1;
  }
}

RegistryValue ReadRegistryValue(Registry& registry, Hive hive, const std::string& path,
                                const std::string& name, uint32_t* type) {
  KeyHandle key = nullptr;
  RegistryValue value;
  if (type != nullptr) *type = 0;
  // Read rights only: an account that may read but not write a machine-wide key still sees
  // its values.
  registry.OpenKey(hive, path, kKeyRead, &key);
  QueryKeyValue(registry, key, name, &value, type);
  registry.CloseKey(key);
  return value;
}

}  // namespace tarnwick
