#include "registry/registry_writer.h"

#include <exception>

#include "registry/registry.h"
#include "registry/registry_rules.h"

namespace tarnwick {

bool RegistryWriter::write(const std::string& path, const std::string& value,
                           const std::string& type) {
  const bool written = WriteThroughRoute(path, value, type);
  WriterTarget target;
  std::string err;
  // A path that names no hive at all is nobody's write; every path the program writes names one.
  if (ParseWriterPath(path, &target, &err) && target.hive == Hive::kCurrentUser) {
    ++tally_.user_writes;
    if (!written) ++tally_.user_failures;
  }
  return written;
}

WriteTally RegistryWriter::TakeTally() {
  const WriteTally taken = tally_;
  tally_ = {};
  return taken;
}

bool RegistryWriter::WriteThroughRoute(const std::string& path, const std::string& value,
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
