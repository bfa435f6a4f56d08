#include "registry/association_sets.h"

#include <set>

#include "registry/engine_test.h"

namespace tarnwick {
namespace {

const std::string kClasses = R"(Software\Classes\)";

BrowserProfile FullProfile() {
  BrowserProfile p;
  p.ExecutablePath = R"(C:\Program Files\Maxthon\Maxthon.exe)";
  p.OpenCommand = "\"" + p.ExecutablePath + "\" \"%1\"";
  p.ShortcutCommand = p.OpenCommand;
  p.IEPath = R"(C:\Program Files\Internet Explorer\IExplore.exe)";
  p.HtmlIcon = p.IEPath + ",0";
  p.MhtmlIcon = p.IEPath + ",22";
  p.HttpIcon = p.HttpsIcon = p.FtpIcon = p.IEPath + ",0";
  p.ShortcutIcon = R"(%SystemRoot%\system32\url.dll,0)";
  return p;
}

// The reader's form of a writer path: hive, key path and value name.
struct Where {
  Hive hive;
  std::string key;
  std::string name;
};
Where Locate(const char* writer_path) {
  WriterTarget t;
  std::string err;
  EXPECT_TRUE(ParseWriterPath(writer_path, &t, &err)) << err;
  std::string key;
  for (const std::string& part : t.key) key += (key.empty() ? "" : "\\") + part;
  return {t.hive, key, t.value_name};
}

using AssociationSetsTest = EngineTest;

TEST_F(AssociationSetsTest, EveryRowLandsWithItsValueAndType) {
  const BrowserProfile profile = FullProfile();
  for (auto [rows, apply] : {std::pair{GenericAssociationRows(), &PresetDefaultWebBrowser},
                             std::pair{FirefoxAssociationRows(), &PresetFirefoxDefault}}) {
    ASSERT_TRUE(Open(true));
    apply(profile, writer());
    for (const AssociationRow& row : rows) {
      const Where at = Locate(row.path);
      EXPECT_EQ(Hive::kCurrentUser, at.hive) << row.path;
      const uint32_t type = TypeOf(at.hive, at.key, at.name);
      if (std::string(row.type) == "REG_DWORD") {
        EXPECT_EQ(kRegDword, type) << row.path;
        EXPECT_EQ(RegistryValue(int32_t{2}), Read(at.hive, at.key, at.name)) << row.path;
      } else {
        EXPECT_EQ(*ParseRegType(row.type), type) << row.path;
        // No two rows of a set address the same value.
        EXPECT_EQ(RegistryValue(RowValueFor(row, profile)), Read(at.hive, at.key, at.name))
            << row.path;
      }
    }
  }
}

TEST_F(AssociationSetsTest, GenericSetMakesItsVerbTheProtocolsDefault) {
  const BrowserProfile profile = FullProfile();
  PresetDefaultWebBrowser(profile, writer());

  for (const char* protocol : {"http", "https", "ftp"}) {
    SCOPED_TRACE(protocol);
    EXPECT_EQ(RegistryValue("MyHTMLFile"), ReadUser(kClasses + protocol + R"(\Shell)"));
    EXPECT_EQ(RegistryValue(profile.OpenCommand),
              ReadUser(kClasses + protocol + R"(\shell\myhtmlfile\command)"));
  }
  // ".htm" names the type with a lower-case "f"; the type's key is reached either way and
  // carries both the command and the icon.
  EXPECT_EQ(RegistryValue("MyHTMLfile"), ReadUser(kClasses + ".htm"));
  EXPECT_EQ(RegistryValue(profile.OpenCommand),
            ReadUser(kClasses + R"(MyHTMLfile\Shell\Open\Command)"));
  EXPECT_EQ(RegistryValue(profile.HtmlIcon), ReadUser(kClasses + R"(MyHTMLfile\DefaultIcon)"));
  EXPECT_EQ(RegistryValue("MyMHTMLFile"), ReadUser(kClasses + ".shtml"));
  // The icons keep their variables for the shell to expand.
  EXPECT_EQ(RegistryValue(profile.ShortcutIcon),
            ReadUser(kClasses + R"(MyInternetShortcut\DefaultIcon)"));
  EXPECT_EQ(kRegExpandSz,
            TypeOf(Hive::kCurrentUser, kClasses + R"(MyInternetShortcut\DefaultIcon)"));
  EXPECT_EQ(RegistryValue(""), ReadUser(kClasses + "MyInternetShortcut", "IsShortcut"));
  EXPECT_TRUE(UserKeyExists(
      kClasses +
      R"(MyInternetShortcut\Shellex\PropertySheetHandlers\{FBF23B40-E3F0-101B-8488-00AA003E56F8})"));
}

TEST_F(AssociationSetsTest, EmptyProfileFieldsAreWrittenAsEmptyText) {
  BrowserProfile profile;
  profile.OpenCommand = R"(C:\Deepnet\Deepnet.exe "%1")";
  PresetDefaultWebBrowser(profile, writer());
  for (const char* key :
       {R"(MyHTMLFile\DefaultIcon)", R"(MyMHTMLFile\DefaultIcon)",
        R"(MyInternetShortcut\DefaultIcon)", R"(http\DefaultIcon)", R"(https\DefaultIcon)",
        R"(ftp\DefaultIcon)", R"(MyInternetShortcut\Shell\Open\Command)"}) {
    EXPECT_EQ(RegistryValue(""), ReadUser(kClasses + key)) << key;
  }
}

TEST_F(AssociationSetsTest, FirefoxSetKeepsTheOpenVerbWithDde) {
  const BrowserProfile profile = [] {
    BrowserProfile p;
    p.ExecutablePath = R"(C:\Program Files\Mozilla Firefox\firefox.exe)";
    p.OpenCommand = p.ExecutablePath + R"( -url "%1")";
    return p;
  }();
  PresetFirefoxDefault(profile, writer());

  for (const char* protocol : {"http", "https", "ftp"}) {
    SCOPED_TRACE(protocol);
    const std::string base = kClasses + protocol;
    EXPECT_EQ(RegistryValue("open"), ReadUser(base + R"(\Shell)"));
    EXPECT_EQ(RegistryValue(profile.OpenCommand), ReadUser(base + R"(\shell\open\command)"));
    EXPECT_EQ(RegistryValue("Firefox"), ReadUser(base + R"(\shell\open\ddeexec\Application)"));
    EXPECT_EQ(RegistryValue(profile.ExecutablePath + ",0"), ReadUser(base + R"(\DefaultIcon)"));
    EXPECT_EQ(kRegSz, TypeOf(Hive::kCurrentUser, base + R"(\DefaultIcon)"));
  }
  // The empty DDE command is written for http and https only.
  EXPECT_EQ(RegistryValue(""), ReadUser(kClasses + R"(http\shell\open\ddeexec)"));
  EXPECT_EQ(RegistryValue(), ReadUser(kClasses + R"(ftp\shell\open\ddeexec)"));
  for (const char* ext : {".xml", ".xht", ".xhtml", ".shtml"}) {
    EXPECT_EQ(RegistryValue("MyHTMLFile"), ReadUser(kClasses + ext)) << ext;
  }
  for (const char* untouched : {".url", ".mht", ".mhtml", "MyMHTMLFile", "MyInternetShortcut"}) {
    EXPECT_FALSE(UserKeyExists(kClasses + untouched)) << untouched;
  }
  EXPECT_FALSE(UserKeyExists(kClasses + R"(MyHTMLfile\DefaultIcon)"));
}

TEST_F(AssociationSetsTest, GenericAfterFirefoxTakesTheDefaultVerbAndKeepsDde) {
  BrowserProfile firefox;
  firefox.ExecutablePath = "/opt/firefox/firefox";
  firefox.OpenCommand = firefox.ExecutablePath + R"( -url "%1")";
  PresetFirefoxDefault(firefox, writer());
  PresetDefaultWebBrowser(FullProfile(), writer());

  for (const char* protocol : {"http", "https"}) {
    const std::string base = kClasses + protocol;
    EXPECT_EQ(RegistryValue("MyHTMLFile"), ReadUser(base + R"(\Shell)")) << protocol;
    EXPECT_EQ(RegistryValue("Firefox"), ReadUser(base + R"(\shell\open\ddeexec\Application)"));
    EXPECT_EQ(RegistryValue(firefox.OpenCommand), ReadUser(base + R"(\shell\open\command)"));
  }
  EXPECT_EQ(RegistryValue("MyMHTMLFile"), ReadUser(kClasses + ".shtml"));
}

TEST_F(AssociationSetsTest, RunningTheSetTwiceChangesNothing) {
  const BrowserProfile profile = FullProfile();
  PresetDefaultWebBrowser(profile, writer());
  std::vector<RegistryValue> first;
  for (const AssociationRow& row : GenericAssociationRows()) {
    const Where at = Locate(row.path);
    first.push_back(Read(at.hive, at.key, at.name));
  }
  PresetDefaultWebBrowser(profile, writer());
  size_t i = 0;
  for (const AssociationRow& row : GenericAssociationRows()) {
    const Where at = Locate(row.path);
    EXPECT_EQ(first[i++], Read(at.hive, at.key, at.name)) << row.path;
  }
}

// A write route that refuses chosen paths and passes the rest on.
class RefusingRoute final : public RegistryWriteRoute {
 public:
  RefusingRoute(RegistryWriteRoute* inner, std::set<std::string> refused)
      : inner_(inner), refused_(std::move(refused)) {}
  bool RegWrite(const std::string& path, const std::string& value, const std::string& type,
                std::string* err) override {
    if (refused_.count(path)) {
      *err = "access denied";
      return false;
    }
    return inner_->RegWrite(path, value, type, err);
  }

 private:
  RegistryWriteRoute* inner_;
  std::set<std::string> refused_;
};

TEST_F(AssociationSetsTest, ARefusedRowIsSkippedAndTheRestWritten) {
  const auto rows = GenericAssociationRows();
  RefusingRoute route(&reg_->route(), {rows[0].path, rows[11].path});
  RegistryWriter refusing(&route);
  PresetDefaultWebBrowser(FullProfile(), refusing);

  EXPECT_EQ(RegistryValue(), ReadUser(kClasses + ".htm"));
  EXPECT_EQ(RegistryValue(), ReadUser(kClasses + R"(MyHTMLfile\Shell\Open\Command)"));
  EXPECT_EQ(RegistryValue("MyHTMLfile"), ReadUser(kClasses + ".html"));
  EXPECT_EQ(RegistryValue(FullProfile().OpenCommand),
            ReadUser(kClasses + R"(MyMHTMLFile\Shell\Open\Command)"));
  EXPECT_EQ(RegistryValue(FullProfile().FtpIcon), ReadUser(kClasses + R"(ftp\DefaultIcon)"));
}

}  // namespace
}  // namespace tarnwick
