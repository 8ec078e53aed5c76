#include "app/printer_mode.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/recording_spooler.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

class PrinterModeButtonTest : public ::testing::Test {
 protected:
  PrinterModeButtonTest() { LoadDefaultTexts(texts_); }
  bool Press(PrinterModeButton button) {
    return PressPrinterModeButton(
        {store_,
         {spooler_, notifier_, progress_, texts_},
         [this](std::chrono::milliseconds wait) { waits_.push_back(wait); }},
        "C711WT_Shop", button);
  }
  std::string PrintSet() const { return store_.ReadSetting("ACTIVE", "Print Set"); }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_{folders_.folders(), notifier_};
  UiText texts_;
  testing::RecordingSpooler spooler_;
  NullProgress progress_;
  std::vector<std::chrono::milliseconds> waits_;
};

TEST_F(PrinterModeButtonTest, EachButtonSendsItsCommandStoresPrintSetAndWaitsASecond) {
  EXPECT_EQ(SelectedPrinterModeButton(store_), PrinterModeButton::kDriverOn);
  struct Step {
    PrinterModeButton button;
    const char* conversion;
    const char* print_set;
    PrinterModeButton selected_after;
  };
  // Driver Off twice: the command goes again and the setting stays "on".
  const Step steps[] = {
      {PrinterModeButton::kDriverOff, "OFF", "on", PrinterModeButton::kDriverOff},
      {PrinterModeButton::kDriverOff, "OFF", "on", PrinterModeButton::kDriverOff},
      {PrinterModeButton::kDriverOn, "ON", "off", PrinterModeButton::kDriverOn},
  };
  for (const Step& step : steps) {
    ASSERT_TRUE(Press(step.button));
    const testing::RecordingSpooler::Job& job = spooler_.jobs.back();
    EXPECT_EQ(job.queue, "C711WT_Shop");
    EXPECT_EQ(job.document, "Zeph print");
    EXPECT_EQ(job.blocks, std::vector<std::string>{std::string("\x1b%-12345X@PJL DEFAULT "
                                                               "OKICMYKCONVERSION=") +
                                                   step.conversion + "\r\n\x1b%-12345X\x04"});
    EXPECT_EQ(PrintSet(), step.print_set);
    EXPECT_EQ(SelectedPrinterModeButton(store_), step.selected_after);
  }
  EXPECT_EQ(waits_, std::vector<std::chrono::milliseconds>(3, std::chrono::milliseconds(1000)));
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(PrinterModeButtonTest, RefusedJobIsShownStoresNothingAndDoesNotWait) {
  store_.WriteSetting("ACTIVE", "Print Set", "off");
  spooler_.fail = true;
  EXPECT_FALSE(Press(PrinterModeButton::kDriverOff));
  EXPECT_EQ(PrintSet(), "off");
  EXPECT_TRUE(waits_.empty());
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_NE(notifier_.messages[0].text.find("queue stopped"), std::string::npos);
}

TEST_F(PrinterModeButtonTest, NoteNamesTheTst4OnlyForPaperClassFour) {
  texts_.Set(136, "Switch the C711WT off; the C711WT comes back.");
  EXPECT_EQ(PrinterModeNote(texts_, 0), "Switch the C711WT off; the C711WT comes back.");
  EXPECT_EQ(PrinterModeNote(texts_, 4), "Switch the Y-Mark TST4 off; the Y-Mark TST4 comes back.");
}

}  // namespace
}  // namespace kelvaro
