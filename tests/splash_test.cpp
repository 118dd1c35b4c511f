// The start with and without the splash window: the main window stays hidden until the splash
// closes, the progress bar's growth tick by tick, and the close.
#include "settings/splash.h"

#include "app/options.h"
#include "app/settings_key.h"
#include "tests/test_support.h"

namespace vandrel {
namespace {

class SplashTest : public testing::WindowTest {
 protected:
  void StartWithSplashStoredAs(uint32_t number) {
    sp.registry.Put(RegRoot::CurrentUser, settings_key::kPath, settings_key::kShowSplash,
                    {RegType::Dword, number, {}});
    sp.registry.Put(RegRoot::CurrentUser, settings_key::kPath, settings_key::kWarningShown,
                    {RegType::Dword, 1, {}});
    fm.Guarded([&] { fm.StartUp({}); });
  }
  void FireProgress(int times) {
    for (int i = 0; i < times; ++i) sp.timers.Fire(TfmSplash::kProgressTimer);
  }
  int ProgressWidth() { return sp.splash.progress().back().width; }
};

TEST_F(SplashTest, StartsFramedCentredAndWithTheMainWindowHidden) {
  StartWithSplashStoredAs(1);
  EXPECT_TRUE(sp.splash.created() && sp.splash.iconSet() && sp.splash.centred());
  EXPECT_TRUE(sp.splash.visible());
  // A one-pixel frame around the 256 x 128 picture.
  EXPECT_EQ(sp.splash.clientWidth(), 258);
  EXPECT_EQ(sp.splash.ClientHeight(), 130);
  // The bar lies over the picture's two bottom rows, at its design width until the first tick.
  ASSERT_EQ(sp.splash.progress().size(), 1u);
  EXPECT_EQ(sp.splash.progress()[0], (Bounds{1, 127, 33, 2}));
  EXPECT_EQ(sp.timers.Interval(TfmSplash::kCloseTimer), 2000u);
  EXPECT_EQ(sp.timers.Interval(TfmSplash::kProgressTimer), 25u);
  EXPECT_FALSE(sp.window.visible());
  // The settings were loaded before the splash came up.
  EXPECT_LT(std::find(sp.journal.begin(), sp.journal.end(), L"reg:bAssocIMG"),
            std::find(sp.journal.begin(), sp.journal.end(), L"splash:show"));
}

TEST_F(SplashTest, TheBarGrowsFourPixelsATickAndStopsAtTheFullWidth) {
  StartWithSplashStoredAs(1);
  FireProgress(1);
  EXPECT_EQ(ProgressWidth(), 4);
  FireProgress(62);
  EXPECT_EQ(ProgressWidth(), 252);
  EXPECT_TRUE(sp.timers.IsRunning(TfmSplash::kProgressTimer));
  FireProgress(1);
  EXPECT_EQ(ProgressWidth(), 256);
  EXPECT_FALSE(sp.timers.IsRunning(TfmSplash::kProgressTimer));
  for (const Bounds& bounds : sp.splash.progress()) {
    EXPECT_EQ(bounds.left, 1);
    EXPECT_EQ(bounds.top, 127);
    EXPECT_EQ(bounds.height, 2);
  }
  EXPECT_EQ(sp.splash.progress().size(), 65u);
  // Still waiting for the close.
  EXPECT_TRUE(sp.splash.visible());
  EXPECT_FALSE(sp.window.visible());
}

TEST_F(SplashTest, TheCloseShowsTheMainWindowOnceEvenBeforeTheBarIsFull) {
  StartWithSplashStoredAs(1);
  FireProgress(10);
  sp.timers.Fire(TfmSplash::kCloseTimer);
  EXPECT_TRUE(sp.splash.released());
  EXPECT_TRUE(sp.window.visible());
  EXPECT_FALSE(sp.timers.IsRunning(TfmSplash::kCloseTimer));
  EXPECT_FALSE(sp.timers.IsRunning(TfmSplash::kProgressTimer));
  auto shows = std::count(sp.journal.begin(), sp.journal.end(), L"window:show");
  EXPECT_EQ(shows, 1);
  EXPECT_LT(std::find(sp.journal.begin(), sp.journal.end(), L"splash:release"),
            std::find(sp.journal.begin(), sp.journal.end(), L"window:show"));
}

TEST_F(SplashTest, AnyOtherStoredNumberShowsTheMainWindowAtOnce) {
  long starts = 0;
  for (uint32_t number : {0u, 2u}) {
    StartWithSplashStoredAs(number);
    EXPECT_FALSE(sp.splash.created());
    EXPECT_EQ(std::count(sp.journal.begin(), sp.journal.end(), L"window:show"), ++starts);
    EXPECT_FALSE(sp.timers.IsRunning(TfmSplash::kCloseTimer));
  }
}

TEST_F(SplashTest, AFirstRunShowsTheSplashAfterTheWarning) {
  fm.Guarded([&] { fm.StartUp({}); });
  EXPECT_TRUE(Options.bShowSplash);
  EXPECT_LT(std::find(sp.journal.begin(), sp.journal.end(), L"box:Warning"),
            std::find(sp.journal.begin(), sp.journal.end(), L"splash:show"));
  EXPECT_FALSE(sp.window.visible());
}

}  // namespace
}  // namespace vandrel
