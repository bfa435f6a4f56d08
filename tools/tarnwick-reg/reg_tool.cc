#include "tools/tarnwick-reg/reg_tool.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <system_error>

#include "registry/reg_file.h"
#include "registry/registry_rules.h"
#include "standin/reg_import.h"
#include "standin/standin_registry.h"
#include "text/text.h"
#include "tools/tarnwick-reg/reg_display.h"

namespace tarnwick {
namespace {

constexpr char kUsage[] =
    "tarnwick-reg: edits the stand-in registry hives of Tarnwick.\n"
    "\n"
    "  tarnwick-reg QUERY KEY [/v NAME | /ve] [/s]\n"
    "  tarnwick-reg ADD KEY [/v NAME | /ve] [/t REG_SZ|REG_EXPAND_SZ|REG_DWORD] [/d DATA] [/f]\n"
    "  tarnwick-reg DELETE KEY [/v NAME | /ve] [/f]\n"
    "  tarnwick-reg EXPORT KEY FILE [/y]\n"
    "  tarnwick-reg IMPORT FILE\n"
    "\n"
    "KEY is HKCU or HKLM (or HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE), then \\SubKey\\...\n"
    "  /v NAME  the value NAME          /ve  the default value\n"
    "  /s       all sub-keys too        /t   the value type (REG_SZ when not given)\n"
    "  /d DATA  the value's data        /f   no question before changing or deleting\n"
    "  /y       overwrite FILE without asking\n"
    "\n"
    "The hives are the files named by TARNWICK_USER_HIVE and TARNWICK_MACHINE_HIVE, by default\n"
    "$XDG_DATA_HOME/tarnwick/user.hive and /var/lib/tarnwick/machine.hive.\n";

constexpr char kNotFound[] = "The system was unable to find the specified registry key or value.";
constexpr char kDone[] = "The operation completed successfully.";

// The command line after the command word, taken apart.
struct Options {
  std::vector<std::string> positional;
  std::optional<std::string> value;  // /v NAME, or "" for /ve
  std::optional<std::string> type;
  std::optional<std::string> data;
  bool recurse = false;
  bool force = false;
  bool overwrite = false;
};

// Reads the words after the command; `allowed` lists the options this command takes.
bool ParseOptions(const std::vector<std::string>& args, std::string_view allowed, Options* o) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    // Only a known option name counts as an option, so that "/tmp/x.reg" is a file name.
    static const char* const kNames[] = {"v", "ve", "t", "d", "s", "f", "y"};
    const std::string name = a.size() >= 2 && (a[0] == '/' || a[0] == '-') ? a.substr(1) : "";
    if (std::none_of(std::begin(kNames), std::end(kNames),
                     [&](const char* known) { return SameAscii(name, known); })) {
      o->positional.push_back(a);
      continue;
    }
    auto take = [&](std::optional<std::string>* slot) {
      if (slot->has_value() || i + 1 >= args.size()) return false;
      *slot = args[++i];
      return true;
    };
    auto allows = [&](std::string_view option) {
      return allowed.find(" " + std::string(option) + " ") != std::string_view::npos;
    };
    bool ok = false;
    if (SameAscii(name, "v") && allows("v")) {
      ok = take(&o->value);
    } else if (SameAscii(name, "ve") && allows("ve") && !o->value) {
      o->value = std::string();
      ok = true;
    } else if (SameAscii(name, "t") && allows("t")) {
      ok = take(&o->type);
    } else if (SameAscii(name, "d") && allows("d")) {
      ok = take(&o->data);
    } else if (SameAscii(name, "s") && allows("s") && !o->recurse) {
      ok = o->recurse = true;
    } else if (SameAscii(name, "f") && allows("f") && !o->force) {
      ok = o->force = true;
    } else if (SameAscii(name, "y") && allows("y") && !o->overwrite) {
      ok = o->overwrite = true;
    }
    if (!ok) return false;
  }
  return true;
}

class Tool {
 public:
  Tool(const RegistryOpener& open, const RegToolStreams& io) : open_(open), io_(io) {}

  int Run(const std::vector<std::string>& args);

 private:
  int Query(const Options& o);
  int Add(const Options& o);
  int Delete(const Options& o);
  int Export(const Options& o);
  int Import(const Options& o);

  int Syntax() {
    io_.err << "ERROR: Invalid syntax.\nType \"tarnwick-reg /?\" for usage.\n";
    return 1;
  }
  int Error(const std::string& message) {
    io_.err << "ERROR: " << message << "\n";
    return 1;
  }
  bool OpenRegistry() {
    std::string err;
    reg_ = open_(&err);
    if (!reg_) Error(err);
    return reg_ != nullptr;
  }
  bool Confirm(const std::string& question) {
    io_.out << question << " (Yes/No)? " << std::flush;
    std::string answer;
    std::getline(io_.in, answer);
    const bool yes = !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
    if (!yes) io_.out << "The operation was cancelled by the user.\n";
    return yes;
  }
  bool Apply(const std::vector<RegEdit>& edits, int* status) {
    std::string err;
    if (reg_->Apply(edits, &err)) return true;
    *status = Error(err);
    return false;
  }
  void PrintValue(const ValueEntry& value) {
    io_.out << "    " << (value.name.empty() ? "(Default)" : value.name) << "    "
            << RegTypeName(value.type) << "    " << DisplayValueData(value) << "\n";
  }
  // Calls `visit` on the key and then, depth first, on every key below it.
  template <class Visit>
  void Walk(Hive hive, const std::string& path, Visit&& visit) {
    visit(path);
    std::vector<std::string> names;
    reg_->ListSubKeys(hive, path, &names);
    for (const std::string& name : names)
      Walk(hive, path.empty() ? name : path + "\\" + name, visit);
  }

  const RegistryOpener& open_;
  const RegToolStreams& io_;
  std::unique_ptr<StandInRegistry> reg_;
  RegKeyName key_;
};

int Tool::Run(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "/?" || args[0] == "-?" || args[0] == "--help")) {
    io_.out << kUsage;
    return 0;
  }
  if (args.empty()) return Syntax();
  struct Command {
    const char* name;
    const char* options;  // the options it takes, each between blanks
    size_t positionals;
    int (Tool::*run)(const Options&);
  };
  static const Command kCommands[] = {
      {"QUERY", " v ve s ", 1, &Tool::Query},   {"ADD", " v ve t d f ", 1, &Tool::Add},
      {"DELETE", " v ve f ", 1, &Tool::Delete}, {"EXPORT", " y ", 2, &Tool::Export},
      {"IMPORT", " ", 1, &Tool::Import},
  };
  for (const Command& command : kCommands) {
    if (!SameAscii(args[0], command.name)) continue;
    if (args.size() == 2 && (args[1] == "/?" || args[1] == "-?")) {
      io_.out << kUsage;
      return 0;
    }
    Options o;
    if (!ParseOptions(args, command.options, &o) || o.positional.size() != command.positionals) {
      return Syntax();
    }
    if (command.run != &Tool::Import && !ParseRegKeyName(o.positional[0], &key_)) {
      return Error("Invalid key name.");
    }
    if (!OpenRegistry()) return 1;
    return (this->*command.run)(o);
  }
  return Syntax();
}

int Tool::Query(const Options& o) {
  if (reg_->KeyExists(key_.hive, key_.path) != kErrorSuccess) return Error(kNotFound);
  const std::string root = FullKeyName(key_.hive, key_.path);
  if (o.value && !o.recurse) {
    ValueEntry value;
    if (reg_->GetValue(key_.hive, key_.path, *o.value, &value) != kErrorSuccess) {
      if (!o.value->empty()) return Error(kNotFound);
      io_.out << "\n" << root << "\n    (Default)    REG_SZ    (value not set)\n\n";
      return 0;
    }
    io_.out << "\n" << root << "\n";
    PrintValue(value);
    io_.out << "\n";
    return 0;
  }
  std::vector<ValueEntry> values;
  if (!o.recurse) {
    // The key's own name heads the listing only when it has values to show.
    reg_->ListValues(key_.hive, key_.path, &values);
    io_.out << "\n";
    if (!values.empty()) {
      io_.out << root << "\n";
      for (const ValueEntry& value : values) PrintValue(value);
      io_.out << "\n";
    }
    std::vector<std::string> names;
    reg_->ListSubKeys(key_.hive, key_.path, &names);
    for (const std::string& name : names) io_.out << root << "\\" << name << "\n";
    return 0;
  }
  // With /s every key below is listed as a block of its own; with /v only the keys holding
  // that value, and only that value.
  int matches = 0;
  io_.out << "\n";
  Walk(key_.hive, key_.path, [&](const std::string& path) {
    reg_->ListValues(key_.hive, path, &values);
    if (o.value) {
      std::erase_if(values, [&](const ValueEntry& v) { return !SameName(v.name, *o.value); });
      if (values.empty()) return;
    }
    ++matches;
    io_.out << FullKeyName(key_.hive, path) << "\n";
    for (const ValueEntry& value : values) PrintValue(value);
    io_.out << "\n";
  });
  if (o.value && matches == 0) return Error(kNotFound);
  return 0;
}

int Tool::Add(const Options& o) {
  RegEdit edit;
  edit.hive = key_.hive;
  edit.path = key_.path;
  if (!o.value) {
    if (o.type || o.data) return Syntax();
    edit.op = RegEdit::Op::kCreateKey;
  } else {
    edit.op = RegEdit::Op::kSetValue;
    edit.name = *o.value;
    const std::optional<RegType> type = ParseRegType(o.type.value_or("REG_SZ"));
    if (!type) return Error("Unsupported value type '" + *o.type + "'.");
    edit.type = *type;
    const std::string data = o.data.value_or("");
    if (edit.type == kRegDword) {
      // Decimal or 0x-prefixed hexadecimal, without a sign.
      const bool hex = data.size() > 2 && data[0] == '0' && (data[1] == 'x' || data[1] == 'X');
      const char* first = data.data() + (hex ? 2 : 0);
      const char* last = data.data() + data.size();
      uint32_t n = 0;
      const auto [end, ec] = std::from_chars(first, last, n, hex ? 16 : 10);
      if (first == last || end != last || ec != std::errc()) {
        return Error("Invalid syntax. Specify a valid numeric value for '/d'.");
      }
      edit.data = DwordToRegBytes(n);
    } else {
      edit.data = TextToRegBytes(data);
    }
  }
  if (key_.hive == Hive::kLocalMachine && !reg_->administrator()) return Error("Access is denied.");
  ValueEntry existing;
  if (o.value && !o.force &&
      reg_->GetValue(key_.hive, key_.path, *o.value, &existing) == kErrorSuccess &&
      !Confirm("Value " + (o.value->empty() ? std::string("(Default)") : *o.value) +
               " exists, overwrite")) {
    return 0;
  }
  int status = 0;
  if (!Apply({edit}, &status)) return status;
  io_.out << kDone << "\n";
  return 0;
}

int Tool::Delete(const Options& o) {
  RegEdit edit;
  edit.hive = key_.hive;
  edit.path = key_.path;
  if (!o.value && key_.path.empty()) return Error("Invalid key name.");
  if (o.value) {
    edit.op = RegEdit::Op::kDeleteValue;
    edit.name = *o.value;
    ValueEntry existing;
    if (reg_->GetValue(key_.hive, key_.path, edit.name, &existing) != kErrorSuccess) {
      return Error(kNotFound);
    }
  } else {
    edit.op = RegEdit::Op::kDeleteKey;
    if (reg_->KeyExists(key_.hive, key_.path) != kErrorSuccess) return Error(kNotFound);
  }
  if (key_.hive == Hive::kLocalMachine && !reg_->administrator()) return Error("Access is denied.");
  const std::string question =
      o.value ? "Delete the registry value " + (o.value->empty() ? "(Default)" : *o.value)
              : "Permanently delete the registry key " + FullKeyName(key_.hive, key_.path);
  if (!o.force && !Confirm(question)) return 0;
  int status = 0;
  if (!Apply({edit}, &status)) return status;
  io_.out << kDone << "\n";
  return 0;
}

int Tool::Export(const Options& o) {
  if (reg_->KeyExists(key_.hive, key_.path) != kErrorSuccess) return Error(kNotFound);
  const std::string& file = o.positional[1];
  std::vector<RegEdit> keys;
  if (!ExportKeyTree(*reg_, key_.hive, key_.path, &keys))
    return Error("read " + FullKeyName(key_.hive, key_.path));
  std::error_code ec;
  if (!o.overwrite && std::filesystem::exists(file, ec) &&
      !Confirm("File " + file + " already exists. Overwrite")) {
    return 0;
  }
  const std::string bytes = EncodeUtf16LeWithBom(FormatRegFile(keys));
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) ||
      !out.flush()) {
    return Error("write " + file + ": " + std::strerror(errno));
  }
  io_.out << kDone << "\n";
  return 0;
}

int Tool::Import(const Options& o) {
  const std::string& file = o.positional[0];
  std::ifstream in(file, std::ios::binary);
  if (!in) return Error("open " + file + ": " + std::strerror(errno));
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  std::string err;
  switch (ImportRegFile(*reg_, bytes, &err)) {
    case RegImportResult::kImported:
      io_.out << kDone << "\n";
      return 0;
    case RegImportResult::kMalformed:
      return Error(file + ": " + err);
    case RegImportResult::kAccessDenied:
      return Error("Access is denied.");
    case RegImportResult::kFailed:
      break;
  }
  return Error(err);
}

}  // namespace

int RunRegTool(const std::vector<std::string>& args, const RegistryOpener& open,
               const RegToolStreams& io) {
  return Tool(open, io).Run(args);
}

}  // namespace tarnwick
