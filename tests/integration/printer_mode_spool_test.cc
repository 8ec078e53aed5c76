// Printer-mode jobs and a job of print-shop size through a CUPS scheduler of the test's own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/spooler.h"
#include "support/private_cupsd.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {
namespace fs = std::filesystem;
using testing::CommandResult;
using testing::KelvaroBinary;
using testing::RunCommand;
using testing::TempDir;

class PrinterModeJobTest : public testing::PrivateCupsdTest {
 protected:
  CommandResult Mode(const std::string& args) {
    return RunCommand("KELVARO_USER_DIR='" + (home_.path() / "user").string() +
                      "' KELVARO_COMMON_DIR='" + (home_.path() / "common").string() + "' '" +
                      KelvaroBinary().string() + "' mode " + args + " 2>'" +
                      (home_.path() / "stderr.txt").string() + "'");
  }
  std::string Errors() const { return testing::ReadFileBytes(home_.path() / "stderr.txt"); }
  TempDir home_;
};

TEST_F(PrinterModeJobTest, ModeJobsArriveWithTheEndByte) {
  AddQueues({"C711WT_Shop"});
  const CommandResult off = Mode("off --printer C711WT_Shop");
  ASSERT_EQ(off.status, 0) << Errors();
  EXPECT_EQ(off.out, "Driver Off sent to C711WT_Shop\n");
  ASSERT_EQ(Mode("on --printer C711WT_Shop").status, 0) << Errors();
  const std::vector<std::string> jobs = cupsd_.WaitForCapturedJobs(2);
  ASSERT_EQ(jobs.size(), 2u) << cupsd_.LogExcerpt();
  EXPECT_EQ(jobs[0].size(), 55u);
  EXPECT_EQ(jobs[1].size(), 54u);
  EXPECT_EQ(jobs[0], "\x1b%-12345X@PJL DEFAULT OKICMYKCONVERSION=OFF\r\n\x1b%-12345X\x04");
  EXPECT_EQ(jobs[1], "\x1b%-12345X@PJL DEFAULT OKICMYKCONVERSION=ON\r\n\x1b%-12345X\x04");
}

TEST_F(PrinterModeJobTest, UnknownQueueFailsAndKeepsTheSetting) {
  AddQueues({"C711WT_Shop"});
  ASSERT_EQ(Mode("off --printer C711WT_Shop").status, 0) << Errors();
  EXPECT_EQ(Mode("on --printer NoSuchQueue").status, 1);
  EXPECT_THAT(Errors(), ::testing::HasSubstr("NoSuchQueue"));
  const std::string settings = testing::ReadFileBytes(home_.path() / "user" / "KelvaroPro.ini");
  EXPECT_THAT(settings, ::testing::HasSubstr("Print Set=on"));
}

// A 64-bit checksum that depends on every byte and on its place.
class Checksum {
 public:
  void Add(const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
      state_ = (state_ ^ static_cast<unsigned char>(data[i])) * 0x100000001b3ULL;
    }
  }
  std::uint64_t value() const { return state_; }

 private:
  std::uint64_t state_ = 0xcbf29ce484222325ULL;
};

// Waits for the one captured job and returns its path.
std::optional<fs::path> WaitForCapturedFile(const fs::path& folder, std::chrono::seconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("job-", 0) == 0 && entry.path().extension() == ".bin") return entry.path();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return std::nullopt;
}

TEST_F(PrinterModeJobTest, FiveHundredMegabyteJobArrivesWhole) {
  AddQueues({"C920WT_Shop"});
  // Made here, not stored: a pseudo-random block the size of a large image job, held in
  // memory as the print path holds its image data.
  constexpr std::size_t kSize = 500'000'000;
  std::unique_ptr<char[]> data = std::make_unique_for_overwrite<char[]>(kSize);
  std::uint64_t x = 0x9e3779b97f4a7c15ULL;
  for (std::size_t at = 0; at < kSize; at += sizeof x) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    std::memcpy(data.get() + at, &x, std::min(sizeof x, kSize - at));
  }
  Checksum sent;
  sent.Add(data.get(), kSize);

  const SpoolResult result = MakeSystemSpooler()->SendRaw(
      "C920WT_Shop", "big.png 1 x 1", {std::string_view(data.get(), kSize)}, nullptr);
  data.reset();
  ASSERT_TRUE(result.ok) << result.error << "\n" << cupsd_.LogExcerpt();

  const std::optional<fs::path> captured =
      WaitForCapturedFile(cupsd_.capture_folder(), std::chrono::seconds(180));
  ASSERT_TRUE(captured.has_value()) << cupsd_.LogExcerpt();
  // Read back in pieces; the copy goes as soon as it is checked (the scheduler's own folder
  // goes with the fixture).
  std::ifstream in(*captured, std::ios::binary);
  std::vector<char> piece(1 << 20);
  Checksum arrived;
  std::size_t arrived_size = 0;
  while (in) {
    in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    arrived.Add(piece.data(), static_cast<std::size_t>(in.gcount()));
    arrived_size += static_cast<std::size_t>(in.gcount());
  }
  in.close();
  fs::remove(*captured);
  EXPECT_EQ(arrived_size, kSize);
  EXPECT_EQ(arrived.value(), sent.value());
}

}  // namespace
}  // namespace kelvaro
