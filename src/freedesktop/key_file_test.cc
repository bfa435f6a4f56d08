#include "freedesktop/key_file.h"

#include <gtest/gtest.h>

namespace tarnwick::freedesktop {
namespace {

TEST(KeyFileTest, ReadsTheLastOccurrenceTrimmed) {
  KeyFile file(
      "# comment=x\nTop=1\n[A]\nk = one \n[B]\nk=b\n[A]\r\nk=two\r\n  [C]  \nk\n=v\n[C]\n#k=no");
  EXPECT_EQ("1", file.Get("", "Top"));
  EXPECT_EQ("two", file.Get("A", "k"));
  EXPECT_EQ("b", file.Get("B", "k"));
  EXPECT_EQ(std::nullopt, file.Get("C", "k"));
  EXPECT_EQ("v", file.Get("C", ""));
  EXPECT_EQ(std::nullopt, file.Get("", "# comment"));
  EXPECT_EQ((std::vector<std::string>{"A", "B", "C"}), file.Groups());
  EXPECT_EQ((std::vector<std::string>{"k"}), file.Keys("A"));
}

TEST(KeyFileTest, EditsKeepEveryOtherByte) {
  struct Case {
    const char* before;
    const char* group;
    const char* key;
    const char* value;  // null: remove
    const char* after;
  };
  const Case cases[] = {
      // The value is replaced; the key's spelling and the blanks around '=' stay.
      {"# c\n[G]\nkey  =  old;\nx=1\n", "G", "key", "new;", "# c\n[G]\nkey  =  new;\nx=1\n"},
      // A new key follows the group's last key, before its trailing comment and blank line.
      {"[G]\na=1\n# end of G\n\n[H]\n", "G", "b", "2", "[G]\na=1\nb=2\n# end of G\n\n[H]\n"},
      // The last occurrence of a group gets it.
      {"[G]\na=1\n[H]\n[G]\n", "G", "b", "2", "[G]\na=1\n[H]\n[G]\nb=2\n"},
      // A missing group is added at the end, after a blank line; a missing newline is added.
      {"[H]\nx=1", "G", "k", "v", "[H]\nx=1\n\n[G]\nk=v\n"},
      {"", "G", "k", "v", "[G]\nk=v\n"},
      // Keys before any group (helpers.rc has no groups).
      {"# rc\nA=1\n", "", "WebBrowser", "b", "# rc\nA=1\nWebBrowser=b\n"},
      {"[G]\n", "", "K", "v", "K=v\n[G]\n"},
      // Line ends of the file are kept and used.
      {"[G]\r\na=1\r\n", "G", "b", "2", "[G]\r\na=1\r\nb=2\r\n"},
      {"[G]\na=1\r", "G", "b", "2", "[G]\na=1\r\r\nb=2\n"},  // the '\r' stays a's
      // Removal takes every line of the key in every occurrence of the group, nothing else.
      {"[G]\nk=1\n#k=c\n[H]\nk=h\n[G]\nk = 2\nz=3\n", "G", "k", nullptr,
       "[G]\n#k=c\n[H]\nk=h\n[G]\nz=3\n"},
      {"[G]\nk=1", "G", "k", nullptr, "[G]\n"},
  };
  for (const Case& c : cases) {
    KeyFile file(c.before);
    if (c.value) {
      file.Set(c.group, c.key, c.value);
      EXPECT_EQ(c.value, file.Get(c.group, c.key)) << c.before;
    } else {
      EXPECT_TRUE(file.Remove(c.group, c.key)) << c.before;
      EXPECT_EQ(std::nullopt, file.Get(c.group, c.key)) << c.before;
    }
    EXPECT_EQ(c.after, file.Text()) << c.before;
  }
}

TEST(KeyFileTest, OnlyGroupsOfNothingButBlankLinesAreRemoved) {
  struct Case {
    const char* before;
    const char* after;  // null: nothing removed
  };
  const Case cases[] = {
      // A group that ends the text goes with the blank line that Set put before it.
      {"# c\n[A]\na=1\n\n[G]\n", "# c\n[A]\na=1\n"},
      {"[A]\r\na=1\r\n\r\n[G]\r\n  \r\n", "[A]\r\na=1\r\n"},
      {"[G]\n\n", ""},
      // Elsewhere the blank lines that follow it go with it, and the next group keeps its place.
      {"[A]\na=1\n\n[G]\n\n[B]\nb=1\n", "[A]\na=1\n\n[B]\nb=1\n"},
      // Every empty occurrence; one that holds anything stays.
      {"[G]\n[A]\na=1\n\n[G]\ng=1\n[G]\n", "[A]\na=1\n\n[G]\ng=1\n"},
      {"[A]\n\n[G]\n# mine\n", nullptr},
      {"[G]\nnot a key\n", nullptr},
      {"[A]\n", nullptr},
      {"\n\n", nullptr},  // lines before any group are no group's
  };
  for (const Case& c : cases) {
    KeyFile file(c.before);
    EXPECT_EQ(c.after != nullptr, file.RemoveEmptyGroup("G")) << c.before;
    EXPECT_EQ(c.after ? c.after : c.before, file.Text()) << c.before;
  }
  KeyFile file("\n");
  EXPECT_FALSE(file.RemoveEmptyGroup(""));
}

TEST(KeyFileTest, UntouchedTextComesBackAsItWas) {
  const std::string text = "\xef\xbb\xbf# bom\n\n  [G]\t\nk=v\\;w;\r\nodd line\n[G\n=\nlast";
  EXPECT_EQ(text, KeyFile(text).Text());
  KeyFile file(text);
  EXPECT_FALSE(file.Remove("G", "absent"));
  EXPECT_EQ(text, file.Text());
}

TEST(KeyFileTest, Lists) {
  EXPECT_EQ((std::vector<std::string>{"a.desktop", "b\\;c", "d"}),
            SplitList(" a.desktop ;;b\\;c;d"));
  EXPECT_EQ(std::vector<std::string>{}, SplitList(";"));
  EXPECT_EQ((std::vector<std::string>{"a", "b\\"}), SplitList("a;b\\"));     // a final '\' stays
  EXPECT_EQ((std::vector<std::string>{"a\\ ", "b"}), SplitList("a\\  ;b"));  // so does "\ "
  EXPECT_EQ("a;b;", JoinList({"a", "b"}, true));
  EXPECT_EQ("a;b", JoinList({"a", "b"}, false));
  EXPECT_EQ("", JoinList({}, true));
}

TEST(KeyFileTest, StringEscapesRoundTrip) {
  for (const char* text : {"", "plain", "  lead", "a\\b", "tab\there\nnl\rcr", "x\\sy"}) {
    EXPECT_EQ(text, UnescapeString(EscapeString(text))) << text;
  }
  EXPECT_EQ("\\s\\sa b\\\\\\n", EscapeString("  a b\\\n"));
  EXPECT_EQ("a\\;b\\", UnescapeString("a\\;b\\"));  // unknown escapes and a final '\' stay
}

}  // namespace
}  // namespace tarnwick::freedesktop
