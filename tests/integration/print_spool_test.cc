// `kelvaro print --printer QUEUE` against a private CUPS scheduler: the queue receives the
// job byte for byte as it would have been written to a file, and a queue that is gone is
// reported as a failure.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/private_cupsd.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;
using testing::CommandResult;
using ::testing::HasSubstr;
using testing::ReadFileBytes;

const fs::path kSample = testing::SampleArtwork();

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class PrintToQueueTest : public testing::PrivateCupsdTest {
 protected:
  CommandResult Print(const std::string& destination) {
    const fs::path err = home_.path() / "stderr.txt";
    CommandResult result = testing::RunCommand(
        "cd " + Quoted(home_.path()) + " && KELVARO_USER_DIR=" + Quoted(home_.path() / "user") +
        " KELVARO_COMMON_DIR=" + Quoted(home_.path() / "common") +
        " SOURCE_DATE_EPOCH=1700000000 " + Quoted(testing::KelvaroBinary()) + " print " +
        Quoted(kSample) + " --model C711WT " + destination + " 2>" + Quoted(err));
    errors_ = ReadFileBytes(err);
    return result;
  }
  testing::TempDir home_;
  std::string errors_;
};

TEST_F(PrintToQueueTest, TheQueueGetsTheSameBytesAsTheJobFile) {
  AddQueues({"C711WT_Shop"});
  ASSERT_EQ(Print("--output job.ps").status, 0) << errors_;
  const std::string file = ReadFileBytes(home_.path() / "job.ps");
  ASSERT_FALSE(file.empty());

  const CommandResult sent = Print("--printer C711WT_Shop");
  ASSERT_EQ(sent.status, 0) << errors_;
  const std::vector<std::string> jobs = cupsd_.WaitForCapturedJobs(1);
  ASSERT_EQ(jobs.size(), 1u) << cupsd_.LogExcerpt();
  EXPECT_TRUE(jobs[0] == file) << "captured " << jobs[0].size() << " bytes, file " << file.size();
  // The queue printed to is remembered, as the window does before every print.
  EXPECT_THAT(ReadFileBytes(home_.path() / "user" / "KelvaroPro.ini"),
              HasSubstr("Printer=C711WT_Shop\r\n"));
}

TEST_F(PrintToQueueTest, AQueueThatIsGoneIsReported) {
  const CommandResult result = Print("--printer Nowhere");
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(errors_, HasSubstr("The job was not printed on \"Nowhere\":\nthe printer queue "
                                 "\"Nowhere\" does not exist"));
  EXPECT_THAT(errors_, ::testing::Not(HasSubstr("Sent to Printer")));
  // The mistyped queue does not replace the printer stored before.
  EXPECT_THAT(ReadFileBytes(home_.path() / "user" / "KelvaroPro.ini"),
              ::testing::AllOf(HasSubstr("Printer=OKI C711wt Nollo\r\n"),
                               ::testing::Not(HasSubstr("Nowhere"))));

  AddQueues({"C711WT_Shop"});
  cupsd_.Halt();
  const CommandResult halted = Print("--printer C711WT_Shop");
  EXPECT_EQ(halted.status, 1);
  // The server, not the queue, is what failed.
  EXPECT_THAT(errors_, HasSubstr("The job was not printed on \"C711WT_Shop\":\ncannot reach "
                                 "the print server at "));
  EXPECT_THAT(errors_, ::testing::Not(HasSubstr("does not exist")));
}

// A stopped queue takes the job and holds it: the print succeeds and says where the job is. A
// queue that rejects jobs fails the print.
TEST_F(PrintToQueueTest, AStoppedQueueHoldsTheJobAndARejectingOneRefusesIt) {
  AddQueues({"C711WT_Shop"});
  ASSERT_EQ(testing::RunCommand("cupsdisable C711WT_Shop").status, 0);
  ASSERT_EQ(Print("--printer C711WT_Shop").status, 0) << errors_;
  EXPECT_THAT(errors_, HasSubstr("The printer queue \"C711WT_Shop\" is stopped: the job waits in "
                                 "it until the queue is started again."));
  ASSERT_EQ(testing::RunCommand("cupsenable C711WT_Shop").status, 0);
  EXPECT_EQ(cupsd_.WaitForCapturedJobs(1).size(), 1u) << cupsd_.LogExcerpt();

  ASSERT_EQ(testing::RunCommand("cupsreject C711WT_Shop").status, 0);
  EXPECT_EQ(Print("--printer C711WT_Shop").status, 1);
  EXPECT_THAT(errors_, HasSubstr("the printer queue \"C711WT_Shop\" does not accept jobs"));
}

}  // namespace
}  // namespace kelvaro
