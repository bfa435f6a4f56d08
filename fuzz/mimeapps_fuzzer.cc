// Fuzzes the key-file editor over arbitrary mimeapps.list text: reading it back gives every
// byte; the apply and reset edits set exactly the browser keys and leave every other key of
// every group as it was; the edited text reads back as what was set.
//
// Input: the first byte picks the desktop file ID written (one of a few, awkward ones among
// them); the rest is the file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "freedesktop/desktop_browser_store.h"
#include "freedesktop/key_file.h"

namespace tarnwick::freedesktop {
namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

using Values = std::map<std::pair<std::string, std::string>, std::optional<std::string>>;

// Every key of every group with the value it reads as.
Values ValuesOf(const KeyFile& file) {
  Values values;
  std::vector<std::string> groups = file.Groups();
  groups.insert(groups.begin(), "");
  for (const std::string& group : groups) {
    for (const std::string& key : file.Keys(group)) values[{group, key}] = file.Get(group, key);
  }
  return values;
}

bool IsBrowserKey(const std::pair<std::string, std::string>& key) {
  if (key.first != "Default Applications" && key.first != "Added Associations" &&
      key.first != "Removed Associations") {
    return false;
  }
  for (const char* type : BrowserMimeTypes()) {
    if (key.second == type) return true;
  }
  return false;
}

// The values outside the browser keys, which no edit may touch.
Values OthersOf(const KeyFile& file) {
  Values values = ValuesOf(file);
  std::erase_if(values, [](const auto& value) { return IsBrowserKey(value.first); });
  return values;
}

void FuzzOne(std::string_view input) {
  static const char* const kIds[] = {"firefox-esr.desktop", kCustomBrowserId, "a.desktop",
                                     "org.kde.falkon.desktop"};
  std::string id = kIds[static_cast<unsigned char>(input[0]) % 4];
  std::string text(input.substr(1));

  KeyFile file(text);
  Check(file.Text() == text);
  Values others = OthersOf(file);

  SetBrowserInMimeapps(file, id);
  KeyFile applied(file.Text());
  Check(applied.Text() == file.Text());
  Check(OthersOf(applied) == others);
  for (const char* type : BrowserMimeTypes()) {
    Check(SplitList(applied.Get("Default Applications", type).value_or("")) ==
          std::vector<std::string>{id});
    std::vector<std::string> added =
        SplitList(applied.Get("Added Associations", type).value_or(""));
    Check(!added.empty() && added.front() == id);
    for (const std::string& removed :
         SplitList(applied.Get("Removed Associations", type).value_or(""))) {
      Check(removed != id);
    }
  }

  ResetBrowserInMimeapps(file);
  KeyFile reset(file.Text());
  Check(OthersOf(reset) == others);
  for (const char* type : BrowserMimeTypes()) {
    Check(!reset.Get("Default Applications", type));
    Check(!reset.Get("Added Associations", type));
    for (const std::string& entry :
         SplitList(reset.Get("Removed Associations", type).value_or(""))) {
      Check(entry != kCustomBrowserId);
    }
  }

  // A list survives being joined again.
  std::vector<std::string> entries = SplitList(text);
  Check(SplitList(JoinList(entries, false)) == entries);
}

}  // namespace
}  // namespace tarnwick::freedesktop

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 1 << 16) return 0;
  tarnwick::freedesktop::FuzzOne(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
