// Edits in tests: short ways to make them, and failure messages that show them as the lines of
// a registry file. Test-only.
#ifndef TARNWICK_REGISTRY_REG_EDIT_FOR_TEST_H_
#define TARNWICK_REGISTRY_REG_EDIT_FOR_TEST_H_

#include <ostream>
#include <string>
#include <vector>

#include "registry/reg_edit.h"
#include "registry/reg_file.h"
#include "registry/registry_rules.h"

namespace tarnwick {

inline void PrintTo(const RegEdit& edit, std::ostream* os) {
  const std::string text = FormatRegFile({&edit, 1});
  *os << text.substr(text.find('['));
}

inline RegEdit MakeEdit(RegEdit::Op op, Hive hive, const std::string& path,
                        const std::string& name = "", uint32_t type = kRegSz,
                        std::vector<uint8_t> data = {}) {
  RegEdit edit;
  edit.op = op;
  edit.hive = hive;
  edit.path = path;
  edit.name = name;
  edit.type = type;
  edit.data = std::move(data);
  return edit;
}
inline RegEdit DeleteKeyEdit(Hive hive, const std::string& path) {
  return MakeEdit(RegEdit::Op::kDeleteKey, hive, path);
}
inline RegEdit CreateKeyEdit(Hive hive, const std::string& path) {
  return MakeEdit(RegEdit::Op::kCreateKey, hive, path);
}
inline RegEdit SetTextEdit(Hive hive, const std::string& path, const std::string& name,
                           const std::string& text) {
  return MakeEdit(RegEdit::Op::kSetValue, hive, path, name, kRegSz, TextToRegBytes(text));
}

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_REG_EDIT_FOR_TEST_H_
