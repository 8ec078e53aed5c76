#include "printers/printer_models.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/usb_printers.h"
#include "settings/settings_store.h"
#include "support/test_env.h"
#include "support/usb_sysfs.h"

namespace kelvaro {
namespace {

using ::kelvaro::testing::AddUsbDevice;
using ::kelvaro::testing::RecordingNotifier;
using ::kelvaro::testing::TempDir;
using ::kelvaro::testing::TestFolders;

struct ModelCase {
  const char* name;
  const char* identity;
  const char* label;
  int paper_class;
};

class ApplyActiveModelTest : public ::testing::TestWithParam<ModelCase> {};

TEST_P(ApplyActiveModelTest, ChoosesTheFirstRowWhoseKeyOccurs) {
  const ModelCase& c = GetParam();
  const ActiveModel model = ApplyActiveModel(c.name);
  EXPECT_EQ(model.usb_identity, c.identity);
  EXPECT_EQ(model.label, c.label);
  EXPECT_EQ(model.paper_class, c.paper_class);
}

INSTANTIATE_TEST_SUITE_P(KeyOrder, ApplyActiveModelTest,
                         ::testing::Values(
                             // "pro711WT" is tested before "C711WT" and shares its identity.
                             ModelCase{"pro711WT", "vid_06bc&pid_02fd", "pro711WT", 0},
                             ModelCase{"OKI pro711WT C711WT", "vid_06bc&pid_02fd", "pro711WT", 0},
                             ModelCase{"C711WT", "vid_06bc&pid_02fd", "C711WT", 0},
                             // The test is case-sensitive.
                             ModelCase{"PRO711WT", "nomodel", "None", 0},
                             ModelCase{"OKI C711wt Nollo", "nomodel", "None", 0},
                             ModelCase{"Pro7411WT", "vid_06bc&pid_0385", "Pro7411WT", 0},
                             ModelCase{"TST4", "vid_06bc&pid_c804", "TST4", 4},
                             ModelCase{"ES7411WT", "vid_06bc&pid_0308", "ES7411WT", 1},
                             ModelCase{"OKI C920WT(PS)", "vid_06bc&pid_02d6", "C920WT", 2},
                             ModelCase{"pro920WT", "vid_06bc&pid_02d5", "pro920WT", 2},
                             ModelCase{"Pro9420WT", "vid_06bc&pid_0386", "Pro9420WT", 2},
                             ModelCase{"ES9420WT", "vid_06bc&pid_0310", "ES9420WT", 2},
                             // "Pro8432WT" is tested before "8432WDT".
                             ModelCase{"Pro8432WT", "vid_06bc&pid_039c", "Pro8432WT", 2},
                             ModelCase{"8432WDT", "vid_06bc&pid_f114", "8432WDT", 2},
                             ModelCase{"", "nomodel", "None", 0}));

// What each family answers. A name is looked up by its row, so a name without a row (also
// one that differs from a key only in case) answers as the standard models do.
TEST(ModelCapabilitiesTest, EachFamilyAnswers) {
  using G = CustomGroups;
  const struct {
    const char* name;
    bool cyan_slot, menu, output_bin, ultra_heavy, a3, class3;
    CustomGroups groups;
    TonerOrder with_wf;  // the order in force with T_ORDER "WF"
  } rows[] = {
      {"pro711WT", false, false, false, false, false, false, G::kNarrowOnly,
       TonerOrder::kWhiteLast},
      {"Pro7411WT", false, false, false, false, false, false, G::kNarrowOnly,
       TonerOrder::kWhiteLast},
      {"C711WT", false, false, false, false, false, false, G::kNarrowOnly, TonerOrder::kWhiteLast},
      {"TST4", false, false, false, false, false, false, G::kNarrowOnly, TonerOrder::kWhiteLast},
      {"ES7411WT", false, false, false, false, false, false, G::kNarrowOnly,
       TonerOrder::kWhiteLast},
      {"C920WT", false, false, true, false, true, false, G::kAll, TonerOrder::kWhiteLast},
      {"pro920WT", false, false, true, false, true, false, G::kAll, TonerOrder::kWhiteLast},
      {"Pro9420WT", false, false, true, false, true, false, G::kAll, TonerOrder::kWhiteLast},
      {"ES9420WT", false, false, true, false, true, false, G::kAll, TonerOrder::kWhiteLast},
      {"Pro8432WT", true, true, false, true, true, true, G::kUpToA3, TonerOrder::kWhiteFirst},
      {"8432WDT", false, true, false, true, true, true, G::kUpToA3, TonerOrder::kWhiteLast},
      {"", false, false, false, false, false, false, G::kNarrowOnly, TonerOrder::kWhiteLast},
      {"Pro8432wt", false, false, false, false, false, false, G::kNarrowOnly,
       TonerOrder::kWhiteLast},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const ModelCapabilities& can = CapabilitiesOf(row.name);
    EXPECT_EQ(can.white_in_cyan_slot, row.cyan_slot);
    EXPECT_EQ(can.toner_order_menu, row.menu);
    EXPECT_EQ(can.output_bin, row.output_bin);
    EXPECT_EQ(can.ultra_heavy_medium_d_and_a, row.ultra_heavy);
    EXPECT_EQ(can.a3_papers, row.a3);
    EXPECT_EQ(can.class3_custom_limits, row.class3);
    EXPECT_EQ(can.custom_groups, row.groups);
    EXPECT_EQ(TonerOrderInForce(row.name, "WF"), row.with_wf);
    EXPECT_EQ(TonerOrderInForce(row.name, "WL"), TonerOrder::kWhiteLast);
  }
  // Only exactly "WF" lays white first; the caller trims what it read, nothing else does.
  for (const char* stored : {"wf", "WF ", " WF", "", "W"}) {
    EXPECT_EQ(TonerOrderInForce("Pro8432WT", stored), TonerOrder::kWhiteLast) << stored;
  }
}

TEST(FindAttachedPrinterTest, ReportsTheFirstRecordOfTheModelsIdentity) {
  const std::vector<std::string> records = {"USB\\VID_06BC&PID_02D6\\C920SERIAL",
                                            "USB\\VID_06BC&PID_02FD\\FIRST",
                                            "USB\\VID_06BC&PID_02FD\\SECOND"};
  std::optional<AttachedPrinter> found = FindAttachedPrinter("C711WT", records);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->label, "C711WT");
  EXPECT_EQ(found->serial, "FIRST");
  EXPECT_EQ(found->bus, "USB");
  // "pro711WT" has the same identity and finds the same printer under its own label.
  found = FindAttachedPrinter("pro711WT", records);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->label, "pro711WT");
}

TEST(FindAttachedPrinterTest, NoMatchCases) {
  const std::vector<std::string> records = {"USB\\VID_06BC&PID_021A\\PLAIN",
                                            "LPT\\vid_06bc&pid_02d6\\S1"};
  // The plain C711 has no model row; the other record is not on the USB bus.
  EXPECT_FALSE(FindAttachedPrinter("C711WT", records));
  EXPECT_FALSE(FindAttachedPrinter("C920WT", records));
  EXPECT_FALSE(FindAttachedPrinter("PRO711WT", {"USB\\VID_06BC&PID_02FD\\X"}));
  EXPECT_FALSE(FindAttachedPrinter("C711WT", {}));
}

TEST(FindAttachedPrinterTest, LowerCaseRecordsMatchToo) {
  std::optional<AttachedPrinter> found =
      FindAttachedPrinter("Pro8432WT", {"USB\\vid_06bc&pid_039c\\s1"});
  ASSERT_TRUE(found);
  EXPECT_EQ(found->serial, "s1");
}

TEST(FindAttachedPrinterTest, FixtureSysfsTreeWithOneC711WT) {
  TempDir root;
  AddUsbDevice(root.path(), "1-1", "046d", "c52b", "", "03");
  AddUsbDevice(root.path(), "1-4", "06bc", "02fd", "AK7Z000123");
  std::optional<AttachedPrinter> found =
      FindAttachedPrinter("C711WT", ReadUsbPrinterEntries(root.path()));
  ASSERT_TRUE(found);
  EXPECT_EQ(found->label, "C711WT");
  EXPECT_EQ(found->serial, "AK7Z000123");
}

TEST(ListAttachedPrintersTest, NamesKnownIdentitiesAndClearsUnknownSerials) {
  const std::vector<AttachedPrinter> list = ListAttachedPrinters(
      {"USB\\VID_06BC&PID_02FD\\A", "USB\\VID_06BC&PID_021A\\B", "USB\\VID_04B8&PID_0005\\C",
       "XYZ\\VID_06BC&PID_02FD\\D", "USB\\VID_06BC&PID_F114\\E"});
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].label, "vid_06bc&pid_02fd");
  EXPECT_EQ(list[0].display_name, "OKI C711WT(PS)");
  EXPECT_EQ(list[0].serial, "A");
  EXPECT_EQ(list[1].display_name, "OKI C711");
  EXPECT_EQ(list[1].serial, "B");
  EXPECT_EQ(list[2].label, "vid_04b8&pid_0005");
  EXPECT_EQ(list[2].display_name, "");
  EXPECT_EQ(list[2].serial, "");
  EXPECT_EQ(list[3].display_name, "Varde 8432WDT(PS)");
}

TEST(ModelKeyForIdentityTest, PrefersTheKeyInTheAttachedName) {
  EXPECT_EQ(ModelKeyForIdentity("vid_06bc&pid_02fd"), "C711WT");
  EXPECT_EQ(ModelKeyForIdentity("vid_06bc&pid_02d5"), "pro920WT");
  EXPECT_EQ(ModelKeyForIdentity("vid_06bc&pid_f114"), "8432WDT");
  EXPECT_FALSE(ModelKeyForIdentity("vid_06bc&pid_021a"));
}

class ActiveModelNameTest : public ::testing::Test {
 protected:
  ActiveModelNameTest() : store_(folders_.folders(), notifier_) {
    std::filesystem::create_directories(folders_.folders().user);
  }
  TestFolders folders_;
  RecordingNotifier notifier_;
  SettingsStore store_;
};

TEST_F(ActiveModelNameTest, FallsBackToTheDefaultModel) {
  EXPECT_EQ(ResolveActiveModelName(store_, std::vector<std::string>{}), "C711WT");
  // The stock printer name has the model in lower case: no key matches.
  store_.WriteSetting("Active", "Printer", "OKI C711wt Nollo");
  EXPECT_EQ(ResolveActiveModelName(store_, std::vector<std::string>{}), "C711WT");
}

TEST_F(ActiveModelNameTest, AttachedPrinterBeatsTheDefault) {
  const std::vector<std::string> records = {"USB\\VID_06BC&PID_021A\\PLAIN",
                                            "USB\\VID_06BC&PID_039C\\S"};
  EXPECT_EQ(ResolveActiveModelName(store_, records), "Pro8432WT");
}

TEST_F(ActiveModelNameTest, PrinterSettingBeatsAttachedPrinter) {
  store_.WriteSetting("Active", "Printer", "OKI C920WT on shop-server");
  EXPECT_EQ(ResolveActiveModelName(store_, std::vector<std::string>{"USB\\VID_06BC&PID_039C\\S"}),
            "C920WT");
}

TEST_F(ActiveModelNameTest, UsersPickBeatsEverything) {
  store_.WriteSetting("Active", "Printer", "OKI C920WT");
  EXPECT_TRUE(WriteActiveModel(store_, "Pro9420WT"));
  EXPECT_EQ(ResolveActiveModelName(store_, std::vector<std::string>{}), "Pro9420WT");
  // A name outside the table is neither stored nor believed when found in the file.
  EXPECT_FALSE(WriteActiveModel(store_, "LaserJet"));
  store_.WriteSetting("Active", "Model", "LaserJet");
  EXPECT_EQ(ResolveActiveModelName(store_, std::vector<std::string>{}), "C920WT");
}

TEST_F(ActiveModelNameTest, ReadsUsbPrintersFromSysfs) {
  TempDir root;
  AddUsbDevice(root.path(), "1-1", "06bc", "0386", "XX");
  EXPECT_EQ(ResolveActiveModelName(store_, root.path()), "Pro9420WT");
}

}  // namespace
}  // namespace kelvaro
