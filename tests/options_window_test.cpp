// The Options window: what Ok writes and removes, in which order; what Cancel and a failing
// registry leave behind.
#include "app/menu_items.h"
#include "app/options.h"
#include "app/settings_key.h"
#include "tests/test_support.h"

namespace vandrel {
namespace {

constexpr wchar_t kSplashBox[] = L"Show Splash Screen";
constexpr wchar_t kAssocBox[] = L"GTA IMG Archives (*.img)";

class OptionsWindowTest : public testing::WindowTest {
 protected:
  OptionsWindowTest() {
    Options.bShowSplash = true;
    Options.bAssocIMG = true;
  }
  // Opens Tools, Options and lets the user do `actions` in it.
  void OpenOptions(scripted::ToolWindows::UserActions actions = {}) {
    if (actions) sp.toolWindows.users.push_back(std::move(actions));
    fm.Guarded([&] { fm.MenuItemChosen(miOptions); });
  }
  static scripted::ToolWindows::UserActions Untick(std::vector<std::wstring> boxes,
                                                   const wchar_t* button) {
    return [boxes, button](scripted::ToolWindow& window) {
      for (const auto& box : boxes) window.ClickNamed(box);
      window.ClickNamed(button);
    };
  }
  std::vector<std::wstring> RegistryJournal() {
    std::vector<std::wstring> entries;
    for (const auto& entry : sp.journal)
      if (entry.rfind(L"reg", 0) == 0) entries.push_back(entry);
    return entries;
  }
  int SettingsWrites() {
    int count = 0;
    for (const auto& write : sp.registry.writes()) count += write.root == RegRoot::CurrentUser;
    return count;
  }
  const RegValue* Setting(const wchar_t* name) {
    return sp.registry.Get(RegRoot::CurrentUser, settings_key::kPath, name);
  }
  // The association as an earlier start wrote it, with something another program added.
  void PutAssociation() {
    fm.MakeAssoc();
    sp.registry.Put(RegRoot::ClassesRoot, L"\\.img\\OpenWithProgids\\", L"Other.Img",
                    {RegType::String, 0, L""});
    sp.journal.clear();
  }
  const std::vector<std::wstring> kAssociationWrites{L"reg:", L"reg:", L"reg:",
                                                     L"reg:"};  // the four default values
};

TEST_F(OptionsWindowTest, OpensCentredWithItsIconAndTheBoxesFromTheSettings) {
  for (bool splash : {true, false}) {
    Options.bShowSplash = splash;
    Options.bAssocIMG = !splash;
    OpenOptions();
    const auto& window = sp.toolWindows.shown().back();
    EXPECT_EQ(window.design().caption, L"Options");
    EXPECT_EQ(window.design().clientWidth, 175);
    EXPECT_EQ(window.design().clientHeight, 138);
    EXPECT_TRUE(window.iconSet());
    EXPECT_TRUE(window.centred());
    EXPECT_EQ(window.IsCheckedNamed(kSplashBox), splash);
    EXPECT_EQ(window.IsCheckedNamed(kAssocBox), !splash);
  }
}

TEST_F(OptionsWindowTest, OkWithNoChangeRewritesTheAssociationAndNoSetting) {
  OpenOptions(Untick({}, L"Ok"));
  EXPECT_EQ(SettingsWrites(), 0);
  EXPECT_EQ(RegistryJournal(), kAssociationWrites);
  EXPECT_TRUE(sp.registry.KeyExists(RegRoot::ClassesRoot, L"\\.img\\"));
  EXPECT_TRUE(sp.dialogs.messages().empty());

  // With the association off nothing at all is written.
  Options.bAssocIMG = false;
  sp.journal.clear();
  OpenOptions(Untick({}, L"Ok"));
  EXPECT_TRUE(RegistryJournal().empty());
}

TEST_F(OptionsWindowTest, UntickingTheSplashWritesItAtOnceAndTheNextWindowShowsIt) {
  OpenOptions(Untick({kSplashBox}, L"Ok"));
  ASSERT_NE(Setting(settings_key::kShowSplash), nullptr);
  EXPECT_EQ(Setting(settings_key::kShowSplash)->type, RegType::Dword);
  EXPECT_EQ(Setting(settings_key::kShowSplash)->number, 0u);
  EXPECT_FALSE(Options.bShowSplash);
  std::vector<std::wstring> expected{L"reg:bShowSplash"};
  expected.insert(expected.end(), kAssociationWrites.begin(), kAssociationWrites.end());
  EXPECT_EQ(RegistryJournal(), expected);

  // A new window each time, from the settings as they are now.
  OpenOptions();
  EXPECT_FALSE(sp.toolWindows.shown().back().IsCheckedNamed(kSplashBox));
}

TEST_F(OptionsWindowTest, UntickingTheAssociationRemovesBothKeysBeforeWritingTheFlag) {
  PutAssociation();
  OpenOptions(Untick({kAssocBox}, L"Ok"));
  // Depth first, the last subkey first, each top key after everything below it; the flag is
  // written after the removal, and nothing is re-written.
  EXPECT_EQ(RegistryJournal(), (std::vector<std::wstring>{
                                   L"reg-delete:gta.imagearchive\\shell\\open\\command",
                                   L"reg-delete:gta.imagearchive\\shell\\open",
                                   L"reg-delete:gta.imagearchive\\shell",
                                   L"reg-delete:gta.imagearchive\\defaulticon",
                                   L"reg-delete:gta.imagearchive",
                                   L"reg-delete:.img\\openwithprogids",
                                   L"reg-delete:.img",
                                   L"reg:bAssocIMG",
                               }));
  EXPECT_EQ(Setting(settings_key::kAssocIMG)->number, 0u);
  EXPECT_FALSE(Options.bAssocIMG);
  EXPECT_TRUE(Options.bShowSplash);
  EXPECT_FALSE(sp.registry.KeyExists(RegRoot::ClassesRoot, L"\\GTA.ImageArchive\\"));
  EXPECT_FALSE(sp.registry.KeyExists(RegRoot::ClassesRoot, L"\\.img\\"));
}

TEST_F(OptionsWindowTest, TickingBothWritesTheFlagsThenTheAssociation) {
  Options.bShowSplash = Options.bAssocIMG = false;
  OpenOptions(Untick({kSplashBox, kAssocBox}, L"Ok"));
  std::vector<std::wstring> expected{L"reg:bShowSplash", L"reg:bAssocIMG"};
  expected.insert(expected.end(), kAssociationWrites.begin(), kAssociationWrites.end());
  EXPECT_EQ(RegistryJournal(), expected);
  EXPECT_EQ(Setting(settings_key::kShowSplash)->number, 1u);
  EXPECT_EQ(Setting(settings_key::kAssocIMG)->number, 1u);
  EXPECT_TRUE(Options.bShowSplash && Options.bAssocIMG);
  EXPECT_TRUE(sp.registry.KeyExists(RegRoot::ClassesRoot, L"\\GTA.ImageArchive\\shell\\"));
}

TEST_F(OptionsWindowTest, CancelOrTheCloseBoxAfterChangingBothLeavesEverything) {
  PutAssociation();
  auto changeBoth = [](scripted::ToolWindow& window) {
    window.ClickNamed(kSplashBox);
    window.ClickNamed(kAssocBox);
  };
  auto changeBothAndCancel = [&](scripted::ToolWindow& window) {
    changeBoth(window);
    window.ClickNamed(L"Cancel");
  };
  for (const auto& actions : {scripted::ToolWindows::UserActions(changeBothAndCancel),
                              scripted::ToolWindows::UserActions(changeBoth)}) {
    OpenOptions(actions);
    EXPECT_EQ(sp.toolWindows.shown().back().result(), ModalResult::Cancel);
    EXPECT_TRUE(RegistryJournal().empty());
    EXPECT_TRUE(Options.bShowSplash && Options.bAssocIMG);
    EXPECT_TRUE(sp.registry.KeyExists(RegRoot::ClassesRoot, L"\\.img\\OpenWithProgids\\"));
  }
}

TEST_F(OptionsWindowTest, ARegistryFailureKeepsWhatChangedBeforeAndSkipsTheRest) {
  PutAssociation();
  sp.registry.refuseWritesOf = {settings_key::kAssocIMG};
  OpenOptions(Untick({kSplashBox, kAssocBox}, L"Ok"));
  ASSERT_EQ(sp.dialogs.messages().size(), 1u);
  EXPECT_EQ(sp.dialogs.messages()[0].kind, MessageKind::Error);
  EXPECT_EQ(sp.dialogs.messages()[0].text, L"Failed to set data for 'bAssocIMG'");
  // The splash flag was saved before the failure and stays saved.
  EXPECT_FALSE(Options.bShowSplash);
  EXPECT_EQ(Setting(settings_key::kShowSplash)->number, 0u);
  // The association flag could not be written, so it still reads on; its keys were removed
  // and the association is not re-written, because the rest of the saving was skipped.
  EXPECT_TRUE(Options.bAssocIMG);
  EXPECT_FALSE(sp.registry.KeyExists(RegRoot::ClassesRoot, L"\\.img\\"));
  for (const auto& entry : RegistryJournal()) EXPECT_NE(entry, L"reg:");
}

}  // namespace
}  // namespace vandrel
