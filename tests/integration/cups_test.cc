// Printer queues and RAW jobs against a real CUPS scheduler of the test's own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "job/spool_output.h"
#include "platform/cups_queues.h"
#include "platform/spooler.h"
#include "printers/printer_queues.h"
#include "settings/ui_text.h"
#include "support/private_cupsd.h"
#include "support/test_env.h"
#include "support/usb_sysfs.h"

namespace kelvaro {
namespace {

using testing::CommandResult;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::KelvaroBinary;
using ::testing::Not;
using testing::RunCommand;
using testing::TempDir;

std::vector<std::string> QueueLines(const std::string& out) {
  std::vector<std::string> queues;
  for (const std::string& line : testing::SplitLines(out)) {
    if (line.rfind("Queue: ", 0) == 0) queues.push_back(line);
  }
  return queues;
}

// Runs `kelvaro printers ARGS` with its own data folders and a fake USB tree; the CUPS
// server comes from the environment the fixture set. `out` holds standard output only;
// what went to stderr is kept for failure messages.
class PrintersCommandTest : public testing::PrivateCupsdTest {
 protected:
  CommandResult Printers(const std::string& args) {
    const std::filesystem::path errors = home_.path() / "stderr.txt";
    CommandResult result = RunCommand(
        "KELVARO_USER_DIR='" + (home_.path() / "user").string() + "' KELVARO_COMMON_DIR='" +
        (home_.path() / "common").string() + "' KELVARO_SYSFS_USB_ROOT='" + usb_.path().string() +
        "' '" + KelvaroBinary().string() + "' printers " + args + " 2>'" + errors.string() + "'");
    stderr_ = testing::ReadFileBytes(errors);
    return result;
  }
  TempDir home_;
  TempDir usb_;
  std::string stderr_;
};

TEST_F(PrintersCommandTest, ListsTheQueuesWhoseNamesHoldTheModel) {
  AddQueues({"C920WT_Shop", "Office_C920WT", "LaserJet"});
  const CommandResult result = Printers("--model C920WT");
  ASSERT_EQ(result.status, 0) << result.out << stderr_;
  const std::vector<std::string> lines = testing::SplitLines(result.out);
  EXPECT_THAT(lines, ElementsAre("Model: C920WT", "Paper class: 2", "Attached printer: none",
                                 "Queue: C920WT_Shop (selected)", "Queue: Office_C920WT"));
}

TEST_F(PrintersCommandTest, TheQueuePrintedToLastIsSelected) {
  AddQueues({"C920WT_Shop", "Office_C920WT", "LaserJet"});
  testing::WriteFileBytes(home_.path() / "user" / "KelvaroPro.ini",
                          "[INI_INF]\r\nVersion= 2.2\r\n[Active]\r\nPrinter=Office_C920WT\r\n");
  const CommandResult stored = Printers("--model C920WT");
  ASSERT_EQ(stored.status, 0) << stored.out << stderr_;
  EXPECT_THAT(QueueLines(stored.out),
              ElementsAre("Queue: C920WT_Shop", "Queue: Office_C920WT (selected)"));
  // A stored queue of another model is not in the list; the first entry is selected.
  testing::WriteFileBytes(home_.path() / "user" / "KelvaroPro.ini",
                          "[INI_INF]\r\nVersion= 2.2\r\n[Active]\r\nPrinter=LaserJet\r\n");
  const CommandResult other = Printers("--model C920WT");
  EXPECT_THAT(QueueLines(other.out),
              ElementsAre("Queue: C920WT_Shop (selected)", "Queue: Office_C920WT"));
}

TEST_F(PrintersCommandTest, ListsEveryQueueWhenNoneBelongsToTheModel) {
  AddQueues({"C920WT_Shop", "LaserJet"});
  const CommandResult result = Printers("--model Pro8432WT");
  ASSERT_EQ(result.status, 0) << result.out << stderr_;
  EXPECT_THAT(QueueLines(result.out),
              ElementsAre("Queue: C920WT_Shop (selected)", "Queue: LaserJet"));
  EXPECT_THAT(result.out, HasSubstr("Note: No printer queue for Pro8432WT found"));
  EXPECT_THAT(result.out, HasSubstr("Paper class: 2"));
}

TEST_F(PrintersCommandTest, C711FamilyQueuesMatchWhateverTheirCase) {
  // The search key of the C711WT family is "711WT", compared with the upper-cased name.
  AddQueues({"shop_c711wt", "Pro711WT_Front", "C920WT_Shop"});
  const CommandResult result = Printers("--model C711WT");
  ASSERT_EQ(result.status, 0) << result.out << stderr_;
  EXPECT_THAT(QueueLines(result.out),
              ElementsAre("Queue: Pro711WT_Front (selected)", "Queue: shop_c711wt"));
  EXPECT_THAT(result.out, HasSubstr("Paper class: 0"));
}

TEST_F(PrintersCommandTest, AttachedPrinterDecidesTheModelWhenNoneIsStored) {
  testing::AddUsbDevice(usb_.path(), "2-1", "06bc", "02d6", "AK920W0042");
  AddQueues({"LaserJet", "Office_C920WT"});
  const CommandResult result = Printers("");
  ASSERT_EQ(result.status, 0) << result.out << stderr_;
  const std::vector<std::string> lines = testing::SplitLines(result.out);
  EXPECT_THAT(lines, ElementsAre("Model: C920WT", "Paper class: 2",
                                 "Attached printer: C920WT, serial AK920W0042",
                                 "USB printer: OKI C920WT(PS) [vid_06bc&pid_02d6], serial "
                                 "AK920W0042",
                                 "Queue: Office_C920WT (selected)"));
}

TEST_F(PrintersCommandTest, FixtureUsbTreeWithOneC711WT) {
  testing::AddUsbDevice(usb_.path(), "1-1", "046d", "c52b", "", "03");  // a mouse
  testing::AddUsbDevice(usb_.path(), "1-4", "06bc", "02fd", "AK7Z000123");
  testing::AddUsbDevice(usb_.path(), "3-1", "04b8", "0005", "EPS01");  // another maker's
  AddQueues({"C711WT_USB"});
  const CommandResult result = Printers("--model C711WT");
  ASSERT_EQ(result.status, 0) << result.out << stderr_;
  EXPECT_THAT(
      testing::SplitLines(result.out),
      ElementsAre("Model: C711WT", "Paper class: 0", "Attached printer: C711WT, serial AK7Z000123",
                  "USB printer: OKI C711WT(PS) [vid_06bc&pid_02fd], serial AK7Z000123",
                  "USB printer: unknown device [vid_04b8&pid_0005]",
                  "Queue: C711WT_USB (selected)"));
}

TEST_F(PrintersCommandTest, NoQueuesAtAll) {
  const CommandResult result = Printers("--model C920WT");
  ASSERT_EQ(result.status, 0) << result.out << stderr_;
  EXPECT_THAT(QueueLines(result.out), ElementsAre("Queue: none"));
  EXPECT_THAT(result.out, HasSubstr("Note: No printer queues are installed"));
}

// The queue source and the margin source straight against the scheduler.
class CupsQueuesTest : public testing::PrivateCupsdTest {};

TEST_F(CupsQueuesTest, QueueSourceSeesEveryQueue) {
  AddQueues({"C920WT_Shop", "Office_C920WT", "LaserJet"});
  CupsQueueSource source;
  const PrinterQueueListing listing = source.ListQueues();
  ASSERT_TRUE(listing.ok) << listing.error;
  std::vector<std::string> names;
  for (const PrinterQueue& queue : listing.queues) names.push_back(queue.name);
  EXPECT_THAT(names, ElementsAre("C920WT_Shop", "LaserJet", "Office_C920WT"));
  const PrinterQueueList list = FillPrinterQueueList("C920WT", listing);
  EXPECT_THAT(list.entries, ElementsAre("C920WT_Shop", "Office_C920WT"));
  EXPECT_EQ(list.selected, 0);
}

TEST_F(CupsQueuesTest, MarginsOfAQueueWithoutA4AreNotMadeUp) {
  // A raw queue has no media database; the answer must be "unknown", not zero margins.
  AddQueues({"LaserJet"});
  CupsMarginSource margins;
  EXPECT_FALSE(margins.A4Margins("LaserJet").has_value());
  EXPECT_FALSE(margins.A4Margins("NoSuchQueue").has_value());
}

// A printer description with A4 printable from 12.96 pt on the sides and top and 13.08 pt at
// the bottom, the margins of the white-toner printers.
constexpr char kA4Description[] = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "KVTEST.PPD"
*Manufacturer: "Test"
*Product: "(Margin Test)"
*ModelName: "Margin Test C920WT"
*ShortNickName: "Margin Test C920WT"
*NickName: "Margin Test C920WT"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: CMYK
*FileSystem: False
*Throughput: "1"
*TTRasterizer: Type42
*OpenUI *PageSize/Page Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageSize A3/A3: "<</PageSize[842 1191]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageRegion A3/A3: "<</PageSize[842 1191]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "12.96 13.08 582.04 829.04"
*ImageableArea A3/A3: "20 20 822 1171"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*PaperDimension A3/A3: "842 1191"
)ppd";

TEST_F(CupsQueuesTest, MarginsOfA4ComeFromTheQueuesMediaDatabase) {
  TempDir folder;
  const std::filesystem::path ppd = folder.path() / "margin-test.ppd";
  testing::WriteFileBytes(ppd, kA4Description);
  std::string error;
  ASSERT_TRUE(cupsd_.AddQueue("C920WT_Margins", error, ppd)) << error;

  CupsMarginSource source;
  const std::optional<MediaMargins> margins = source.A4Margins("C920WT_Margins");
  ASSERT_TRUE(margins.has_value()) << cupsd_.LogExcerpt();
  // CUPS keeps hundredths of a millimetre, so a few thousandths of a point are lost.
  EXPECT_NEAR(margins->top, 12.96, 0.02);
  EXPECT_NEAR(margins->left, 12.96, 0.02);
  EXPECT_NEAR(margins->right, 12.96, 0.02);
  EXPECT_NEAR(margins->bottom, 13.08, 0.02);
}

// RAW jobs must reach the printer byte for byte.
class RawJobTest : public testing::PrivateCupsdTest {
 protected:
  static std::string EveryByte() {
    std::string bytes;
    for (int round = 0; round < 3; ++round) {
      for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    }
    return bytes;
  }
};

TEST_F(RawJobTest, SystemSpoolerDeliversTheBlocksUnchanged) {
  AddQueues({"C920WT_Shop", "LaserJet"});
  const std::string header = "\x1b%-12345X@PJL JOB\r\n%!PS-Adobe-3.0\r\n";
  const std::string data = EveryByte();
  const std::string trailer = "showpage\r\n\x1b%-12345X@PJL EOJ\r\n\x04";
  std::vector<std::size_t> announced;
  const SpoolResult result =
      MakeSystemSpooler()->SendRaw("C920WT_Shop", "art.png 1 x 1", {header, data, trailer},
                                   [&](std::size_t block) { announced.push_back(block); });
  ASSERT_TRUE(result.ok) << result.error << "\n" << cupsd_.LogExcerpt();
  EXPECT_THAT(announced, ElementsAre(0u, 1u, 2u));
  const std::vector<std::string> jobs = cupsd_.WaitForCapturedJobs(1);
  ASSERT_EQ(jobs.size(), 1u) << cupsd_.LogExcerpt();
  EXPECT_EQ(jobs[0], header + data + trailer);
}

TEST_F(RawJobTest, SendRawJobAddsTheEndByteAndReportsSuccess) {
  AddQueues({"LaserJet"});
  std::unique_ptr<Spooler> spooler = MakeSystemSpooler();
  testing::RecordingNotifier notifier;
  NullProgress progress;
  UiText texts;
  LoadDefaultTexts(texts);
  std::string header = "%!PS-Adobe-3.0\r\n", data = EveryByte(), trailer = "%%EOF\r\n";
  const std::string expected = header + data + trailer + '\x04';
  ASSERT_TRUE(SendRawJob({*spooler, notifier, progress, texts}, "LaserJet", "QV-Blank", header,
                         data, trailer))
      << (notifier.messages.empty() ? "" : notifier.messages[0].text);
  EXPECT_TRUE(notifier.messages.empty());
  const std::vector<std::string> jobs = cupsd_.WaitForCapturedJobs(1);
  ASSERT_EQ(jobs.size(), 1u) << cupsd_.LogExcerpt();
  EXPECT_EQ(jobs[0], expected);
}

TEST_F(RawJobTest, UnknownQueueIsAFailureAndNothingIsPrinted) {
  AddQueues({"LaserJet"});
  const SpoolResult result =
      MakeSystemSpooler()->SendRaw("NoSuchQueue", "art.png", {"%!PS\r\n"}, nullptr);
  EXPECT_FALSE(result.ok);
  EXPECT_THAT(result.error, HasSubstr("NoSuchQueue"));
  EXPECT_TRUE(cupsd_.WaitForCapturedJobs(1, std::chrono::milliseconds(500)).empty());
}

TEST_F(RawJobTest, StoppedSchedulerIsAFailure) {
  AddQueues({"LaserJet"});
  cupsd_.Halt();
  const SpoolResult result =
      MakeSystemSpooler()->SendRaw("LaserJet", "art.png", {"%!PS\r\n"}, nullptr);
  EXPECT_FALSE(result.ok);
  EXPECT_THAT(result.error, Not(HasSubstr("unknown error")));
}

}  // namespace
}  // namespace kelvaro

namespace kelvaro {
namespace {

// The README's steps for a print shop's printer, against the private scheduler: a raw queue
// made with lpadmin (a capture device in place of the printer's address), listed for its
// model, and a print that reaches it.
class ConnectingThePrinterTest : public testing::PrivateCupsdTest {};

TEST_F(ConnectingThePrinterTest, TheReadmeStepsGiveAQueueThatListsAndPrints) {
  testing::PrivateCupsd& cupsd = cupsd_;
  TempDir home;
  const std::string env = "CUPS_SERVER='" + cupsd.server() + "' KELVARO_USER_DIR='" +
                          (home.path() / "user").string() + "' KELVARO_COMMON_DIR='" +
                          (home.path() / "common").string() + "' KELVARO_SYSFS_USB_ROOT='" +
                          (home.path() / "no-usb").string() + "' ";
  const CommandResult added = RunCommand(env + "lpadmin -p C711WT_Shop -E -v capture:'" +
                                         cupsd.capture_folder().string() + "' 2>&1");
  ASSERT_EQ(added.status, 0) << added.out;

  const CommandResult listed =
      RunCommand(env + "'" + KelvaroBinary().string() + "' printers --model C711WT 2>/dev/null");
  EXPECT_EQ(listed.status, 0);
  EXPECT_THAT(listed.out, HasSubstr("Queue: C711WT_Shop"));

  const CommandResult printed =
      RunCommand(env + "'" + KelvaroBinary().string() + "' print '" +
                 testing::SampleArtwork().string() + "' --printer C711WT_Shop 2>/dev/null");
  EXPECT_EQ(printed.status, 0);
  const std::vector<std::string> jobs = cupsd.WaitForCapturedJobs(1);
  ASSERT_EQ(jobs.size(), 1u) << cupsd.LogExcerpt();
  EXPECT_EQ(jobs[0].substr(0, 16), "%!PS-Adobe-3.0\r\n");
}

}  // namespace
}  // namespace kelvaro
