// Writes the writes that `--set NAME` makes as a registry file, for the benchmark that sets
// the same values with the registry editor: the preset's apply itself is run over a route that
// records (PlanPresetApply), with "ProgramFiles" as given and the browser taken as installed.
//
//   tarnwick-plan-reg NAME PROGRAM_FILES OUT.reg
//
// The file is UTF-16LE with a byte-order mark, as the registry editor writes them. Exit status
// 0 when written, 1 when it could not be, 2 for a usage error.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "linux/linux_services.h"
#include "registry/reg_edit.h"
#include "registry/reg_file.h"
#include "registry/registry_rules.h"
#include "selection/apply_plan.h"
#include "selection/preset_catalogue.h"
#include "selection/selection_context.h"

namespace tarnwick {
namespace {

class Installed final : public FileSystemObject {
 public:
  bool FileExists(const std::string&) override { return true; }
};

// The edit that makes `write`, as the write route would.
bool EditOf(const PlannedWrite& write, RegEdit* edit) {
  WriterTarget target;
  std::string err;
  const std::optional<RegType> type = ParseRegType(write.type);
  if (!type || !ParseWriterPath(write.path, &target, &err)) return false;
  edit->op = RegEdit::Op::kSetValue;
  edit->hive = target.hive;
  edit->path = JoinKeyPath(target.key);
  edit->name = target.value_name;
  edit->type = *type;
  if (*type == kRegDword) {
    const std::optional<uint32_t> number = ParseDwordText(write.value);
    if (!number) return false;
    edit->data = DwordToRegBytes(*number);
  } else {
    edit->data = TextToRegBytes(write.value);
  }
  return true;
}

int Main(int argc, char** argv) {
  if (argc != 4 || FindPreset(argv[1]) == nullptr) {
    std::fprintf(stderr, "usage: %s NAME PROGRAM_FILES OUT.reg\n", argv[0]);
    return 2;
  }
  Installed files;
  setenv("ProgramFiles", argv[2], 1);
  ProcessEnvironment environment;
  SelectionContext services;
  services.fso = &files;
  services.environment = &environment;
  const auto plan = PlanPresetApply(services, *FindPreset(argv[1]));
  std::vector<RegEdit> edits;
  for (const PlannedWrite& write : plan.value_or(std::vector<PlannedWrite>{})) {
    RegEdit edit;
    if (!EditOf(write, &edit)) return 1;
    edits.push_back(std::move(edit));
  }
  const std::string bytes = EncodeUtf16LeWithBom(FormatRegFile(edits));
  std::FILE* out = std::fopen(argv[3], "wb");
  if (out == nullptr) return 1;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written && !edits.empty() ? 0 : 1;
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) { return tarnwick::Main(argc, argv); }
