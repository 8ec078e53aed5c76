#include "printers/media_presets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "printers/margins.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

class MediaPresetTest : public ::testing::Test {
 protected:
  MediaPresetTest() : store_(folders_.folders(), notifier_) { LoadDefaultTexts(texts_); }

  // Applies a preset and stores the margins it gives, as the window does.
  PresetApplication Apply(const std::string& label, const std::string& model,
                          const std::string& paper = "A4", bool special_active = false) {
    PresetApplication applied =
        ApplyMediaPreset(store_, texts_, label, PresetInputs{model, paper, special_active});
    if (applied.margins_backup) WriteBackupMargins(store_, *applied.margins_backup);
    if (applied.margins) WriteMargins(store_, *applied.margins);
    return applied;
  }
  void SetMargins(const char* top, const char* left, const char* right, const char* bottom) {
    store_.WriteSetting("Active", "Top Margin", top);
    store_.WriteSetting("Active", "Left Margin", left);
    store_.WriteSetting("Active", "Right Margin", right);
    store_.WriteSetting("Active", "Bottom Margin", bottom);
  }
  std::vector<std::string> Margins() const {
    std::vector<std::string> values;
    for (const char* key : {"Top Margin", "Left Margin", "Right Margin", "Bottom Margin"}) {
      values.push_back(std::to_string(ReadLeadingNumber(store_.ReadSetting("Active", key))));
    }
    return values;
  }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_;
  UiText texts_;
};

TEST_F(MediaPresetTest, ListOrderAndTheDarkRule) {
  const std::vector<int> codes = MediaListCodes(texts_);
  ASSERT_EQ(codes.size(), 29u);
  EXPECT_EQ(codes.front(), 101);
  EXPECT_EQ(codes[4], 199);
  EXPECT_EQ(codes.back(), 112);
  // A language that renames the dark medium without "Dark" hides it.
  texts_.Set(199, "Nollo UK Medium T Sombre");
  const std::vector<int> hidden = MediaListCodes(texts_);
  EXPECT_EQ(hidden.size(), 28u);
  EXPECT_EQ(std::count(hidden.begin(), hidden.end(), 199), 0);
  // Labels are found in the loaded language.
  texts_.Set(111, "Glanzend");
  ASSERT_NE(FindMediaPresetByLabel(texts_, "Glanzend"), nullptr);
  EXPECT_EQ(FindMediaPresetByLabel(texts_, "Glanzend")->code, 111);
  EXPECT_EQ(FindMediaPresetByLabel(texts_, "Glossy"), nullptr);
}

TEST_F(MediaPresetTest, TrayListStateFollowsTheModel) {
  const char* label = "Ultra Heavy 1 (121 - 188 g/m2)";
  const PresetApplication on_8432 = Apply(label, "Pro8432WT");
  EXPECT_TRUE(on_8432.tray_list_enabled);
  EXPECT_EQ(on_8432.tray, kTrayMultiPurpose);
  const PresetApplication on_c711 = Apply(label, "C711WT");
  EXPECT_FALSE(on_c711.tray_list_enabled);
  EXPECT_EQ(on_c711.media_code, 106);
  // "Kelvaro Medium J" takes tray 1 and leaves the list free.
  const PresetApplication j = Apply("Kelvaro Medium J", "C711WT");
  EXPECT_EQ(j.tray, kTrayOne);
  EXPECT_TRUE(j.tray_list_enabled);
  EXPECT_EQ(j.threshold_slider, 60);
  EXPECT_EQ(j.threshold_label, "60%");
}

TEST_F(MediaPresetTest, WhiteFirstTurnsWhiteOnExceptForTheFoil) {
  store_.WriteSetting("Active", "T_ORDER", "WF");
  const PresetApplication light = Apply("Light (64 - 74 g/m2)", "Pro8432WT");
  EXPECT_TRUE(light.white_first);
  EXPECT_TRUE(light.white.print_white_checked);
  EXPECT_TRUE(light.white.density_slider_enabled);
  EXPECT_TRUE(light.white.threshold_on_enabled);
  const PresetApplication foil = Apply("Nollo Zeph Lite Hot Stamp Foil", "Pro8432WT");
  EXPECT_FALSE(foil.white.print_white_checked);
  // Any other model ignores the stored order: white off, its controls disabled.
  const PresetApplication plain = Apply("Light (64 - 74 g/m2)", "C711WT");
  EXPECT_FALSE(plain.white_first);
  EXPECT_FALSE(plain.white.print_white_checked);
  EXPECT_FALSE(plain.white.density_slider_enabled);
  EXPECT_FALSE(plain.white.threshold_on_enabled);
  EXPECT_TRUE(plain.white.print_white_enabled);
}

TEST_F(MediaPresetTest, DarkMediumMarginsAndTheirExactRestore) {
  SetMargins("1500", "1234", "987", "2001");
  // Nothing is stored by the preset itself.
  EXPECT_TRUE(
      ApplyMediaPreset(store_, texts_, "Nollo UK Medium T Dark", PresetInputs{"C711WT", "A4"})
          .margins);
  EXPECT_EQ(Margins(), (std::vector<std::string>{"1500", "1234", "987", "2001"}));
  const PresetApplication dark = Apply("Nollo UK Medium T Dark", "C711WT", "A4");
  EXPECT_TRUE(dark.special_margins_active);
  EXPECT_EQ(Margins(), (std::vector<std::string>{"3855", "2834", "2834", "3855"}));
  // Chosen twice: the backup still holds the user's own margins.
  const PresetApplication again = Apply("Nollo UK Medium T Dark", "C711WT", "A4", true);
  EXPECT_TRUE(again.margins_restored);
  const PresetApplication glossy = Apply("Glossy", "C711WT", "A4", true);
  EXPECT_TRUE(glossy.margins_restored);
  EXPECT_FALSE(glossy.special_margins_active);
  EXPECT_EQ(Margins(), (std::vector<std::string>{"1500", "1234", "987", "2001"}));
  // On A3 paper the dark medium takes 3912 top and bottom, 3855 at the sides.
  Apply("Nollo UK Medium T Dark", "C920WT", "A3");
  EXPECT_EQ(Margins(), (std::vector<std::string>{"3912", "3855", "3855", "3912"}));
}

TEST_F(MediaPresetTest, HandsFilmAndUnknownLabels) {
  store_.WriteSetting("Others", "LeftHand", "1");
  store_.WriteSetting("Others", "RightHand", "0");
  const PresetApplication magenta = Apply("Medium F mSheet (Magenta)", "C711WT");
  ASSERT_TRUE(magenta.hands);
  EXPECT_TRUE(magenta.hands->left_checked);
  EXPECT_EQ(magenta.hands->left_bitmap, "#144");
  EXPECT_FALSE(magenta.hands->right_checked);
  EXPECT_EQ(magenta.hands->right_bitmap, "#143");
  EXPECT_TRUE(magenta.white.threshold_on_checked);
  EXPECT_FALSE(magenta.white.display_white_checked);
  EXPECT_EQ(magenta.threshold_slider, 70);

  const PresetApplication film = Apply("Kelvaro Medium P Film", "C711WT");
  EXPECT_EQ(film.background_removal, (std::array<int, 3>{1, 51, 8}));
  EXPECT_FALSE(film.density_slider.has_value());  // leaves the density slider alone
  EXPECT_EQ(film.threshold_slider, 98);

  const PresetApplication glossy = Apply("Glossy", "C711WT");
  EXPECT_EQ(glossy.background_removal, (std::array<int, 3>{0, 51, 7}));
  EXPECT_EQ(glossy.density_slider, 100);

  // A label of no row: the reset applies, nothing else; the tray stays as selected.
  const PresetApplication unknown = Apply("Cardboard", "C711WT");
  EXPECT_EQ(unknown.preset, nullptr);
  EXPECT_FALSE(unknown.media_code.has_value());
  EXPECT_FALSE(unknown.tray.has_value());
  EXPECT_EQ(unknown.threshold_slider, 50);
}

}  // namespace
}  // namespace kelvaro
