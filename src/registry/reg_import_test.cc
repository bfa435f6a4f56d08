// What the backups rely on in the tool a user restores them with: "tarnwick-reg import" on the
// stand-in, the registry editor ("regedit /s") under Windows. Both must read a UTF-16 file,
// delete whole trees for "[-KEY]" and single values for "name"=-, and store every type as the
// file states it.
#include "registry/engine_test.h"
#include "registry/reg_file.h"
#include "registry/registry_dump_for_test.h"

namespace tarnwick {
namespace {

constexpr char kTest[] = R"(Software\Tarnwick reader test)";

class RegImportTest : public EngineTest {
 protected:
  void Import(const std::string& body) {
    std::string err;
    ASSERT_TRUE(reg_->ImportRegFile(
        EncodeUtf16LeWithBom("Windows Registry Editor Version 5.00\r\n\r\n" + body), &err))
        << err;
  }
  std::string Dump() { return DumpRegistry(registry(), Hive::kCurrentUser, kTest); }
};

TEST_F(RegImportTest, KeyAndValueDeletionsRemoveWhatTheyNameAndNothingElse) {
  const std::string key = std::string(kTest);
  SeedText(Hive::kCurrentUser, key + R"(\Tree\Sub\Deep)", "", "x");
  SeedText(Hive::kCurrentUser, key + R"(\Tree)", "v", "y");
  SeedText(Hive::kCurrentUser, key + R"(\Kept)", "Gone", "1");
  SeedText(Hive::kCurrentUser, key + R"(\Kept)", "Stays", "2");
  const std::string full = "HKEY_CURRENT_USER\\" + key;
  Import("[-" + full +
         "\\TREE]\r\n\r\n"  // another spelling of an existing tree
         "[-" +
         full +
         "\\Never there]\r\n\r\n"  // nothing to delete: no error
         "[" +
         full +
         "\\Kept]\r\n"
         "\"gone\"=-\r\n"  // another spelling of an existing value
         "\"Never set\"=-\r\n\r\n");
  EXPECT_EQ("K " + key + "\nK " + key + "\\Kept\n" + "V " + key + "\\Kept \"Stays\" 1 32000000\n",
            Dump());
}

TEST_F(RegImportTest, EveryTypeIsStoredAsTheFileStatesIt) {
  const std::string full = std::string("HKEY_CURRENT_USER\\") + kTest;
  std::vector<uint8_t> long_binary(300);
  for (size_t i = 0; i < long_binary.size(); ++i) long_binary[i] = static_cast<uint8_t>(i);
  RegEdit binary;
  binary.op = RegEdit::Op::kSetValue;
  binary.path = std::string(kTest) + "\\Types";
  binary.name = "Long";
  binary.type = kRegBinary;
  binary.data = long_binary;
  // The formatter's own wrapping of a long value, so that both sides read what the backups hold.
  std::string wrapped = FormatRegFile({&binary, 1});
  wrapped = wrapped.substr(wrapped.find('['));
  Import("[" + full +
         "\\Types]\r\n"
         "@=\"say \\\"hi\\\" C:\\\\x\"\r\n"
         "\"Dword\"=dword:fffffffe\r\n"
         "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n"
         "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
         "\"None\"=hex(0):\r\n"
         "\"NoneBytes\"=hex(0):01,02\r\n"
         "\"Qword\"=hex(b):01,02,03,04,05,06,07,08\r\n"
         "\"Empty\"=\"\"\r\n\r\n" +
         wrapped);
  std::string hex;
  for (uint8_t b : long_binary) {
    char two[3];
    std::snprintf(two, sizeof two, "%02x", b);
    hex += two;
  }
  const std::string key = std::string(kTest) + "\\Types";
  const std::string dump = Dump();
  for (const std::string& line :
       {"V " + key + " \"\" 1 73006100790020002200680069002200200043003a005c0078000000",
        "V " + key + " \"Dword\" 4 feffffff", "V " + key + " \"Expand\" 2 2500410025000000",
        "V " + key + " \"Multi\" 7 61000000620000000000", "V " + key + " \"None\" 0 ",
        "V " + key + " \"NoneBytes\" 0 0102", "V " + key + " \"Qword\" 11 0102030405060708",
        "V " + key + " \"Empty\" 1 0000", "V " + key + " \"Long\" 3 " + hex}) {
    EXPECT_NE(std::string::npos, dump.find(line + "\n")) << line << "\nin:\n" << dump;
  }
}

// The backups never delete a default value ("@=-"): the registry editor of Windows XP is not
// known to honour it. Both importers here do, and leave the rest of the key.
TEST_F(RegImportTest, ADefaultValueDeletionTakesOnlyTheDefaultValue) {
  SeedText(Hive::kCurrentUser, kTest, "", "default");
  SeedText(Hive::kCurrentUser, kTest, "Named", "n");
  Import(std::string("[HKEY_CURRENT_USER\\") + kTest + "]\r\n@=-\r\n\r\n");
  EXPECT_EQ("K " + std::string(kTest) + "\nV " + kTest + " \"Named\" 1 6e000000\n", Dump());
}

// Some registry editors (Wine's, as the host finds out by asking it) end a text that lacks its
// final NUL with one; the stand-in, like the registry editor of Windows, stores the bytes as
// they are.
TEST_F(RegImportTest, ATextWithoutItsNulIsKeptAsGivenWhereTheImporterSaysSo) {
  Import(std::string("[HKEY_CURRENT_USER\\") + kTest + "]\r\n\"Odd\"=hex(1):49,00,6e,00\r\n\r\n");
  EXPECT_EQ("K " + std::string(kTest) + "\nV " + kTest + " \"Odd\" 1 " +
                (host_->ImportKeepsTextBytes(ImportRoute::kRegFile) ? "49006e00" : "49006e000000") +
                "\n",
            Dump());
}

}  // namespace
}  // namespace tarnwick
