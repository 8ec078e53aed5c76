#include "printers/printer_queues.h"

#include <gtest/gtest.h>

namespace kelvaro {
namespace {

class FakeQueueSource final : public PrinterQueueSource {
 public:
  PrinterQueueListing listing;
  int calls = 0;
  PrinterQueueListing ListQueues() override {
    ++calls;
    return listing;
  }
};

PrinterQueueListing Queues(std::vector<PrinterQueue> queues) {
  PrinterQueueListing listing;
  listing.queues = std::move(queues);
  return listing;
}

TEST(QueueSearchKeyTest, C711FamilySharesOneKey) {
  EXPECT_EQ(QueueSearchKey("C711WT"), "711WT");
  EXPECT_EQ(QueueSearchKey("pro711WT"), "711WT");
  EXPECT_EQ(QueueSearchKey("PRO711WT"), "711WT");
  EXPECT_EQ(QueueSearchKey("Pro9420WT"), "PRO9420WT");
}

TEST(FillPrinterQueueListTest, ListsTheModelsQueuesInOrderAndSelectsTheFirst) {
  FakeQueueSource source;
  source.listing = Queues({{"Office_Laser", "", ""},
                           {"C920WT_USB", "", ""},
                           {"shop-c920wt-net", "", ""},
                           {"C711WT", "", ""}});
  const PrinterQueueList list = FillPrinterQueueList("C920WT", source);
  EXPECT_EQ(source.calls, 1);
  EXPECT_EQ(list.entries, (std::vector<std::string>{"C920WT_USB", "shop-c920wt-net"}));
  EXPECT_EQ(list.selected, 0);
  EXPECT_TRUE(list.model_matched);
  EXPECT_EQ(list.status, "");
}

TEST(FillPrinterQueueListTest, MakeAndModelOrInfoAlsoTieAQueueToTheModel) {
  const PrinterQueueList list =
      FillPrinterQueueList("C711WT", Queues({{"front", "OKI C711WT PS", ""},
                                             {"back", "", "Pro7411WT in the back room"},
                                             {"other", "Generic PostScript", "hall"}}));
  // "711WT" does not occur in "PRO7411WT", so the back-room queue is not listed.
  EXPECT_EQ(list.entries, (std::vector<std::string>{"front"}));
}

TEST(FillPrinterQueueListTest, MixedCaseKeyMatches) {
  const PrinterQueueList list =
      FillPrinterQueueList("Pro9420WT", Queues({{"pro9420wt_a3", "", ""}, {"C920WT", "", ""}}));
  EXPECT_EQ(list.entries, (std::vector<std::string>{"pro9420wt_a3"}));
  EXPECT_TRUE(list.model_matched);
}

TEST(FillPrinterQueueListTest, NoMatchListsEveryQueueAndSaysSo) {
  const PrinterQueueList list =
      FillPrinterQueueList("TST4", Queues({{"Office_Laser", "", ""}, {"C920WT", "", ""}}));
  EXPECT_EQ(list.entries, (std::vector<std::string>{"Office_Laser", "C920WT"}));
  EXPECT_EQ(list.selected, 0);
  EXPECT_FALSE(list.model_matched);
  EXPECT_NE(list.status.find("TST4"), std::string::npos);
}

TEST(FillPrinterQueueListTest, NoQueuesOrNoServer) {
  PrinterQueueList list = FillPrinterQueueList("C711WT", Queues({}));
  EXPECT_TRUE(list.entries.empty());
  EXPECT_EQ(list.selected, -1);
  EXPECT_FALSE(list.status.empty());

  PrinterQueueListing down;
  down.ok = false;
  down.error = "No such file or directory";
  list = FillPrinterQueueList("C711WT", down);
  EXPECT_TRUE(list.entries.empty());
  EXPECT_NE(list.status.find("No such file or directory"), std::string::npos);
}

TEST(FillPrinterQueueListTest, StopsAtTheListLimit) {
  std::vector<PrinterQueue> queues;
  for (int i = 0; i < 250; ++i) queues.push_back({"C711WT_" + std::to_string(i), "", ""});
  const PrinterQueueList list = FillPrinterQueueList("C711WT", Queues(queues));
  ASSERT_EQ(list.entries.size(), kMaxListedQueues);
  EXPECT_EQ(list.entries.back(), "C711WT_199");
}

}  // namespace
}  // namespace kelvaro
