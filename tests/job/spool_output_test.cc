#include "job/spool_output.h"

#include <gtest/gtest.h>

#include "support/recording_spooler.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

class RecordingProgress final : public ProgressSink {
 public:
  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  void SetProgress(long long value, long long) override { values.push_back(value); }
  std::vector<std::string> statuses;
  std::vector<long long> values;
};

class SpoolOutputTest : public ::testing::Test {
 protected:
  SpoolOutputTest() { LoadDefaultTexts(texts); }
  SpoolServices Services() { return {spooler, notifier, progress, texts}; }
  testing::RecordingSpooler spooler;
  testing::RecordingNotifier notifier;
  RecordingProgress progress;
  UiText texts;
};

TEST_F(SpoolOutputTest, ImageJobEndsWithEotAndReportsEachStep) {
  std::string header = "%!PS\r\n", data("\0\1", 2), trailer = "@PJL EOJ\r\n";
  ASSERT_TRUE(SendRawJob(Services(), "C711", "art.png 1 x 1", header, data, trailer));
  ASSERT_EQ(spooler.jobs.back().blocks.size(), 3u);
  EXPECT_EQ(spooler.jobs.back().blocks[2], "@PJL EOJ\r\n\x04");
  EXPECT_EQ(spooler.jobs.back().blocks[1], std::string("\0\1", 2));
  EXPECT_EQ(spooler.jobs.back().document, "art.png 1 x 1");
  EXPECT_EQ(progress.values, (std::vector<long long>{10, 20, 90, 100}));
  EXPECT_EQ(progress.statuses, (std::vector<std::string>{"<<<<<       Printing       >>>>>",
                                                         "<<<<<    Sent to Printer   >>>>>"}));
  EXPECT_TRUE(header.empty() && trailer.empty());
  EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(SpoolOutputTest, LongQueueNamesAndJobFilePathsArePassedWhole) {
  // Queue names may be longer than 49 characters; a cut name would be another queue or none.
  std::string header, data, trailer;
  SendRawJob(Services(), std::string(60, 'Q'), "d", header, data, trailer);
  EXPECT_EQ(spooler.jobs.back().queue, std::string(60, 'Q'));
  const std::string file = "file:/srv/jobs/" + std::string(60, 'j') + ".ps";
  SendRawJob(Services(), file, "d", header, data, trailer);
  EXPECT_EQ(spooler.jobs.back().queue, file);
}

TEST_F(SpoolOutputTest, FailureIsShownAndNeverReportedAsSent) {
  spooler.fail = true;
  std::string header = "h", data = "d", trailer = "t";
  EXPECT_FALSE(SendRawJob(Services(), "Gone", "doc", header, data, trailer));
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_NE(notifier.messages[0].text.find("queue stopped"), std::string::npos);
  EXPECT_EQ(progress.statuses.back(), "<<<<<       Printing       >>>>>");
}

TEST_F(SpoolOutputTest, PrinterModeJobIsOneBlockWithoutStatus) {
  ASSERT_TRUE(SendPrinterModeJob(Services(), "C711", "@PJL\r\n"));
  EXPECT_EQ(spooler.jobs.back().document, "Zeph print");
  EXPECT_EQ(spooler.jobs.back().blocks, (std::vector<std::string>{"@PJL\r\n\x04"}));
  EXPECT_TRUE(progress.statuses.empty());
}

}  // namespace
}  // namespace kelvaro
