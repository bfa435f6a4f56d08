#include "registry/registry_writer.h"

#include <exception>

#include "registry/registry.h"

namespace tarnwick {

bool RegistryWriter::write(const std::string& path, const std::string& value,
                           const std::string& type) {
  if (route_ == nullptr) return false;
  // A write is one step of write-and-continue: whatever goes wrong inside the route stays
  // inside this call.
  try {
    std::string err;
    return route_->RegWrite(path, value, type, &err);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace tarnwick
