#include "cli/cli_options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include "settings/settings_store.h"
#include "support/test_env.h"

namespace kelvaro::cli {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST(TakeOptionTest, BothSpellingsAreTakenOutAndTheLastWins) {
  Args args = {"image.png", "--printer", "Shop", "--copies", "2", "--printer=Office"};
  std::optional<UsageError> error;
  EXPECT_EQ(TakeOption(args, "printer", error), "Office");
  EXPECT_FALSE(error);
  EXPECT_THAT(args, ElementsAre("image.png", "--copies", "2"));
  EXPECT_EQ(TakeOption(args, "output", error), std::nullopt);
  EXPECT_FALSE(error);
  EXPECT_THAT(args, ElementsAre("image.png", "--copies", "2"));
}

TEST(TakeOptionTest, MissingOrEmptyValuesAreMistakes) {
  for (Args args :
       {Args{"--model"}, Args{"--model", "--rotate"}, Args{"--model="}, Args{"--model", ""}}) {
    std::optional<UsageError> error;
    EXPECT_EQ(TakeOption(args, "model", error), std::nullopt) << args.size();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message, "--model needs a value");
  }
  // A value that merely starts with one dash ("-" for standard output) is a value.
  Args args = {"--output", "-"};
  std::optional<UsageError> error;
  EXPECT_EQ(TakeOption(args, "output", error), "-");
  EXPECT_FALSE(error);
  EXPECT_THAT(args, IsEmpty());
}

TEST(TakeOptionTest, AnOptionIsNotMistakenForALongerOne) {
  Args args = {"--modelling", "x", "--model-file=y"};
  std::optional<UsageError> error;
  EXPECT_EQ(TakeOption(args, "model", error), std::nullopt);
  EXPECT_FALSE(error);
  EXPECT_EQ(args.size(), 3u);
}

TEST(TakeFlagTest, FlagsAreTakenAndRefuseValues) {
  Args args = {"--rotate", "a.png", "--rotate"};
  std::optional<UsageError> error;
  EXPECT_TRUE(TakeFlag(args, "rotate", error));
  EXPECT_FALSE(TakeFlag(args, "mirror", error));
  EXPECT_FALSE(error);
  EXPECT_THAT(args, ElementsAre("a.png"));

  Args valued = {"--rotate=yes"};
  EXPECT_FALSE(TakeFlag(valued, "rotate", error));
  ASSERT_TRUE(error);
  EXPECT_EQ(error->message, "--rotate takes no value");
}

TEST(CheckLeftoversTest, UnknownOptionsAndSurplusWords) {
  EXPECT_FALSE(CheckLeftovers({}, 0));
  EXPECT_FALSE(CheckLeftovers({"a.png", "-"}, 2));
  std::optional<UsageError> unknown = CheckLeftovers({"a.png", "--bogus"}, 1);
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->message, "unknown option --bogus");
  std::optional<UsageError> surplus = CheckLeftovers({"a.png", "b.png"}, 1);
  ASSERT_TRUE(surplus);
  EXPECT_EQ(surplus->message, "unexpected argument b.png");
}

TEST(TakeModelOptionTest, OnlyTheTablesKeysAsSpelt) {
  std::optional<UsageError> error;
  Args args = {"--model", "Pro8432WT"};
  EXPECT_EQ(TakeModelOption(args, error), "Pro8432WT");
  EXPECT_FALSE(error);

  // Upper case would select no model row at all, so it is refused rather than guessed.
  for (const char* wrong : {"PRO711WT", "c920wt", "C920"}) {
    Args bad = {"--model", wrong};
    std::optional<UsageError> refused;
    EXPECT_EQ(TakeModelOption(bad, refused), std::nullopt) << wrong;
    ASSERT_TRUE(refused) << wrong;
    EXPECT_THAT(refused->message, HasSubstr(std::string("\"") + wrong + "\""));
    EXPECT_THAT(refused->message, HasSubstr("pro711WT, Pro7411WT, C711WT, TST4"));
  }
}

TEST(ChooseModelTest, OverrideWinsOverTheStoredPick) {
  testing::TestFolders folders;
  testing::RecordingNotifier notifier;
  SettingsStore store(folders.folders(), notifier);
  ASSERT_TRUE(store.WriteSetting("Active", "Model", "C920WT"));

  const ModelChoice stored = ChooseModel(std::nullopt, store);
  EXPECT_EQ(stored.name, "C920WT");
  EXPECT_FALSE(stored.overridden);
  const ModelChoice overridden = ChooseModel(std::string("TST4"), store);
  EXPECT_EQ(overridden.name, "TST4");
  EXPECT_TRUE(overridden.overridden);
  // The override is for one command: nothing is written.
  EXPECT_EQ(store.ReadSetting("Active", "Model"), "C920WT");
}

TEST(UsbSysfsRootTest, EnvironmentOverridesTheKernelsList) {
  unsetenv(kUsbRootVariable);
  EXPECT_EQ(UsbSysfsRoot(), std::filesystem::path("/sys/bus/usb/devices"));
  setenv(kUsbRootVariable, "", 1);
  EXPECT_EQ(UsbSysfsRoot(), std::filesystem::path("/sys/bus/usb/devices"));
  setenv(kUsbRootVariable, "/tmp/fake-usb", 1);
  EXPECT_EQ(UsbSysfsRoot(), std::filesystem::path("/tmp/fake-usb"));
  unsetenv(kUsbRootVariable);
}

}  // namespace
}  // namespace kelvaro::cli
