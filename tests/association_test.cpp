// The .img association below HKEY_CLASSES_ROOT: what each start writes and how it is removed.
#include "app/options.h"
#include "app/registry_key.h"
#include "archive/img_archive.h"
#include "tests/test_support.h"

namespace vandrel {
namespace {

constexpr RegRoot kRoot = RegRoot::ClassesRoot;

class AssociationTest : public testing::WindowTest {
 protected:
  AssociationTest() { Options.bAssocIMG = true; }
  std::wstring DefaultOf(const std::wstring& path) {
    const RegValue* value = sp.registry.Get(kRoot, path, L"");
    return value && value->type == RegType::String ? value->text : L"<none>";
  }
  std::vector<std::wstring> Deletions() {
    std::vector<std::wstring> deleted;
    for (const auto& entry : sp.journal)
      if (entry.rfind(L"reg-delete:", 0) == 0) deleted.push_back(entry.substr(11));
    return deleted;
  }
  void Put(const std::wstring& path, const std::wstring& name, const std::wstring& text) {
    sp.registry.Put(kRoot, path, name, {RegType::String, 0, text});
  }
  std::wstring program = sp.files->ProgramPath();
};

TEST_F(AssociationTest, WritesTheFourDefaultValuesInOrder) {
  fm.MakeAssoc();
  const auto& writes = sp.registry.writes();
  ASSERT_EQ(writes.size(), 4u);
  const wchar_t* keys[] = {L"gta.imagearchive\\defaulticon", L"gta.imagearchive\\shell",
                           L"gta.imagearchive\\shell\\open\\command", L".img"};
  for (size_t i = 0; i < writes.size(); ++i) {
    EXPECT_EQ(writes[i].root, kRoot);
    EXPECT_EQ(writes[i].key, keys[i]);
    EXPECT_EQ(writes[i].name, L"");
    EXPECT_EQ(writes[i].value.type, RegType::String);
  }
  EXPECT_EQ(writes[0].value.text, program + L",1");
  EXPECT_EQ(writes[1].value.text, L"Open");
  // The program path stands unquoted; only the placeholder is quoted.
  EXPECT_EQ(writes[2].value.text, program + L" \"%1\"");
  EXPECT_EQ(writes[3].value.text, L"GTA.ImageArchive");
  // The type key itself gets no description.
  EXPECT_EQ(sp.registry.Get(kRoot, L"\\GTA.ImageArchive\\", L""), nullptr);
}

TEST_F(AssociationTest, EveryStartRepointsThePathsAndTakesOverTheExtension) {
  Put(L"\\GTA.ImageArchive\\DefaultIcon\\", L"", L"C:\\Old\\Vandrel.exe,1");
  Put(L"\\GTA.ImageArchive\\shell\\Open\\command\\", L"", L"C:\\Old\\Vandrel.exe \"%1\"");
  Put(L"\\.img\\", L"", L"Other.Archive");
  fm.MakeAssoc();
  EXPECT_EQ(DefaultOf(L"\\GTA.ImageArchive\\DefaultIcon\\"), program + L",1");
  EXPECT_EQ(DefaultOf(L"\\GTA.ImageArchive\\shell\\Open\\command\\"), program + L" \"%1\"");
  EXPECT_EQ(DefaultOf(L"\\.img\\"), L"GTA.ImageArchive");
}

TEST_F(AssociationTest, SwitchedOffLeavesTheClassesRootUntouched) {
  Options.bAssocIMG = false;
  fm.MakeAssoc();
  EXPECT_TRUE(sp.registry.writes().empty());
  EXPECT_FALSE(sp.registry.KeyExists(kRoot, L"\\GTA.ImageArchive\\"));
  EXPECT_FALSE(sp.registry.KeyExists(kRoot, L"\\.img\\"));
}

TEST_F(AssociationTest, AReadOnlyClassesRootFailsWithAnEmptyName) {
  sp.registry.readOnlyRoots = {kRoot};
  try {
    fm.MakeAssoc();
    FAIL() << "no error raised";
  } catch (const RegistryError& error) {
    EXPECT_EQ(error.Message(), L"Failed to set data for ''");
  }
}

TEST_F(AssociationTest, AReadOnlyClassesRootEndsTheStartBeforeTheArchiveOpens) {
  sp.registry.readOnlyRoots = {kRoot};
  std::wstring archive = testing::MakeV2(tmp, "gta3.img", {{"ped.dff", 1, 1}}, {});
  fm.FormCreate({archive});
  ASSERT_FALSE(sp.dialogs.messages().empty());
  const auto& shown = sp.dialogs.messages().back();
  EXPECT_EQ(shown.kind, MessageKind::Error);
  EXPECT_EQ(shown.caption, L"Vandrel 2.0");
  // Ends in a quote mark, so no full stop is added.
  EXPECT_EQ(shown.text, L"Failed to set data for ''");
  EXPECT_FALSE(IMGArchive.bLoaded);
  EXPECT_TRUE(Options.bAssocIMG);
}

TEST_F(AssociationTest, RemovalDeletesBothTreesDepthFirstWithForeignSubkeys) {
  fm.MakeAssoc();
  Put(L"\\.img\\OpenWithProgids\\", L"Other.Archive", L"");
  Put(L"\\.img\\PersistentHandler\\Deep\\", L"", L"x");
  Put(L"\\.imgx\\", L"", L"kept");
  fm.RemoveAssoc();
  EXPECT_EQ(Deletions(), (std::vector<std::wstring>{
                             L"gta.imagearchive\\shell\\open\\command",
                             L"gta.imagearchive\\shell\\open",
                             L"gta.imagearchive\\shell",
                             L"gta.imagearchive\\defaulticon",
                             L"gta.imagearchive",
                             L".img\\persistenthandler\\deep",
                             L".img\\persistenthandler",
                             L".img\\openwithprogids",
                             L".img",
                         }));
  EXPECT_FALSE(sp.registry.KeyExists(kRoot, L"\\GTA.ImageArchive\\"));
  EXPECT_FALSE(sp.registry.KeyExists(kRoot, L"\\.img\\"));
  EXPECT_EQ(DefaultOf(L"\\.imgx\\"), L"kept");
}

TEST_F(AssociationTest, RemovingWhatIsNotThereIsSilentAndOnAgainRecreatesIt) {
  fm.RemoveAssoc();
  EXPECT_TRUE(Deletions().empty());
  fm.MakeAssoc();
  fm.RemoveAssoc();
  fm.MakeAssoc();
  EXPECT_EQ(DefaultOf(L"\\GTA.ImageArchive\\shell\\"), L"Open");
  EXPECT_EQ(DefaultOf(L"\\.img\\"), L"GTA.ImageArchive");
}

}  // namespace
}  // namespace vandrel
