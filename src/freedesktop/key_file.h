// A key file ("[Group]" headers and "key=value" lines, as mimeapps.list, desktop entries,
// kdeglobals and helpers.rc are written) edited as text.
#ifndef TARNWICK_FREEDESKTOP_KEY_FILE_H_
#define TARNWICK_FREEDESKTOP_KEY_FILE_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::freedesktop {

/// The text of a key file, changed one key at a time. Every line that is not changed keeps
/// its bytes: comments, blank lines, unknown groups, their order, spaces around "=", line
/// ends and a missing final newline. Lines before the first group header belong to the group
/// with the empty name. A group may appear more than once; as for its readers, the last
/// occurrence of a key wins.
class KeyFile {
 public:
  explicit KeyFile(std::string_view text);

  /// The value of `key` in `group`, blanks around it trimmed and no escapes undone; nullopt
  /// when the key is absent.
  std::optional<std::string> Get(std::string_view group, std::string_view key) const;

  /// Sets `key` in `group` to `value` (which holds no line break): the line that Get reads
  /// keeps its key and the spaces around "="; otherwise a line "key=value" follows the last
  /// key line of the group's last occurrence, or the group is added at the end of the text.
  void Set(std::string_view group, std::string_view key, std::string_view value);

  /// Removes every line of `key` in `group`; false when there was none.
  bool Remove(std::string_view group, std::string_view key);

  /// Removes every occurrence of `group` (not the empty one) that holds nothing but blank
  /// lines: its header and those lines. Where such an occurrence ended the text, a blank line
  /// before it goes too, as Set puts one before a group it adds. False when none was removed.
  bool RemoveEmptyGroup(std::string_view group);

  /// The names of the groups in order of first appearance, without the empty one.
  std::vector<std::string> Groups() const;

  /// The keys of `group` in order of first appearance.
  std::vector<std::string> Keys(std::string_view group) const;

  /// The whole text as it stands now.
  std::string Text() const;

 private:
  struct Line {
    std::string text;  ///< the line's bytes without its line end
    std::string end;   ///< "\n", "\r\n" or "" (the last line of a file without a final newline)
    std::string group;
  };
  std::optional<std::size_t> FindKey(std::string_view group, std::string_view key) const;
  static std::optional<std::string_view> KeyOf(std::string_view line);

  std::vector<Line> lines_;
};

/// The entries of a list value ("a.desktop;b.desktop;"): split at ';' not escaped by '\',
/// blanks around each entry trimmed, empty entries dropped. Escapes stay as written.
std::vector<std::string> SplitList(std::string_view value);

/// The value "a;b" from its entries, with a final ';' when `trailing_separator`.
std::string JoinList(const std::vector<std::string>& entries, bool trailing_separator);

/// The value of a string key with its escapes (\s \n \t \r \\) undone; others stay.
std::string UnescapeString(std::string_view value);

/// The escaped form of a string value: the inverse of UnescapeString, leading blanks too.
std::string EscapeString(std::string_view text);

}  // namespace tarnwick::freedesktop

#endif  // TARNWICK_FREEDESKTOP_KEY_FILE_H_
