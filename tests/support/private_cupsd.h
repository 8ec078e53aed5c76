#ifndef KELVARO_TESTS_SUPPORT_PRIVATE_CUPSD_H_
#define KELVARO_TESTS_SUPPORT_PRIVATE_CUPSD_H_

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace kelvaro::testing {

// A CUPS scheduler of the test's own: its configuration, spool and logs under a temporary
// folder, listening only on a Unix socket there, with one backend "capture" that copies
// every job it is given, byte for byte, into the capture folder. While it runs, CUPS_SERVER
// (for child processes such as the kelvaro program and lpadmin) and the in-process CUPS
// library point at it. It runs as the current user, root or not.
class PrivateCupsd {
 public:
  enum class State {
    kStopped,
    kRunning,
    kUnavailable,  // cupsd, lpadmin or the CUPS helper programs are not installed
    kFailed,       // installed, but the scheduler did not come up
  };

  PrivateCupsd() = default;
  ~PrivateCupsd();
  PrivateCupsd(const PrivateCupsd&) = delete;
  PrivateCupsd& operator=(const PrivateCupsd&) = delete;

  // Writes the configuration, checks it with `cupsd -t`, starts `cupsd -f` and waits until
  // the socket answers. Returns true when running; otherwise reason() says why.
  bool Start();
  // Stops the scheduler (only the process Start() made) and restores the CUPS settings of
  // the process. Safe to call more than once.
  void Stop();
  // Ends the scheduler but leaves the clients pointed at its socket, as when the spooler
  // goes away under a running program. Stop() still restores the settings.
  void Halt();

  State state() const { return state_; }
  const std::string& reason() const { return reason_; }

  // The socket path clients use as CUPS server.
  std::string server() const { return (folder_.path() / "run" / "cups.sock").string(); }
  // Where the capture backend puts the jobs: "job-<id>.bin" per job.
  std::filesystem::path capture_folder() const { return folder_.path() / "captured"; }

  // Adds a raw queue `name` that prints to the capture backend
  // (`lpadmin -p NAME -E -v capture:FOLDER`), described by `ppd` when one is given (for a
  // media database with margins). On failure returns false and sets `error` to lpadmin's own
  // words.
  bool AddQueue(const std::string& name, std::string& error, const std::filesystem::path& ppd = {});

  // Waits until at least `count` jobs have been captured (or `timeout` passed) and returns
  // the bytes of every captured job in job-id order.
  std::vector<std::string> WaitForCapturedJobs(
      std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;

  // The scheduler's error lines (and its own output), for failure messages.
  std::string LogExcerpt() const;

 private:
  bool Fail(State state, std::string reason);
  bool WriteConfiguration(const std::filesystem::path& cups_exec);

  TempDir folder_;
  State state_ = State::kStopped;
  std::string reason_;
  pid_t pid_ = -1;
  std::string cupsd_path_;
  std::string lpadmin_path_;
  std::optional<std::string> saved_cups_server_;
  bool cups_server_set_ = false;
};

// A test fixture with a running private scheduler. The test is skipped when CUPS is not
// installed and fails when it is installed but does not start.
class PrivateCupsdTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override { cupsd_.Stop(); }

  // Adds queues, failing the test on the first that cannot be made.
  void AddQueues(const std::vector<std::string>& names);

  PrivateCupsd cupsd_;
};

}  // namespace kelvaro::testing

#endif  // KELVARO_TESTS_SUPPORT_PRIVATE_CUPSD_H_
