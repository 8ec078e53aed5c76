#include "support/private_cupsd.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <sstream>
#include <thread>

extern char** environ;

namespace kelvaro::testing {
namespace fs = std::filesystem;
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// The programs a scheduler needs; they live in sbin folders that a non-root PATH may lack.
std::string FindProgram(const std::string& name) {
  std::vector<std::string> folders;
  if (const char* path = getenv("PATH")) {
    std::stringstream parts(path);
    for (std::string folder; std::getline(parts, folder, ':');) {
      if (!folder.empty()) folders.push_back(folder);
    }
  }
  for (const char* folder : {"/usr/sbin", "/sbin", "/usr/local/sbin", "/usr/bin"})
    folders.push_back(folder);
  for (const std::string& folder : folders) {
    const fs::path candidate = fs::path(folder) / name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return {};
}

// cupsd starts every backend through its helper "cups-exec" in ServerBin/daemon, so the
// private ServerBin needs a link to the installed one.
fs::path FindCupsExec() {
  for (const char* folder : {"/usr/lib/cups", "/usr/libexec/cups", "/usr/local/lib/cups",
                             "/usr/local/libexec/cups", "/usr/lib64/cups"}) {
    const fs::path candidate = fs::path(folder) / "daemon" / "cups-exec";
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

// Starts `argv` with stdout and stderr going to `output`; -1 when it cannot be started.
pid_t Spawn(const std::vector<std::string>& argv, const fs::path& output) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// Runs `argv` to its end; its exit status (-1 when it could not run or was killed).
int RunToEnd(const std::vector<std::string>& argv, const fs::path& output) {
  const pid_t pid = Spawn(argv, output);
  if (pid < 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool SocketAnswers(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  close(fd);
  return ok;
}

// The backend: without arguments it describes itself (device discovery); with a job it
// copies the print file (argument 6, or standard input for a piped job) into the folder of
// its device URI "capture:FOLDER", under a temporary name first so that a reader never sees
// half a job.
constexpr char kCaptureBackend[] = R"(#!/bin/sh
if [ $# -eq 0 ]; then
  echo 'direct capture "Unknown" "Job capture for tests"'
  exit 0
fi
folder="${DEVICE_URI#capture:}"
temp="$folder/.job-$1.part"
if [ $# -ge 6 ]; then cat "$6" > "$temp" || exit 1; else cat > "$temp" || exit 1; fi
mv "$temp" "$folder/job-$1.bin" || exit 1
exit 0
)";

}  // namespace

PrivateCupsd::~PrivateCupsd() { Stop(); }

bool PrivateCupsd::Fail(State state, std::string reason) {
  state_ = state;
  reason_ = std::move(reason);
  return false;
}

bool PrivateCupsd::WriteConfiguration(const fs::path& cups_exec) {
  const fs::path root = folder_.path();
  for (const char* sub :
       {"bin/backend", "bin/daemon", "spool/tmp", "cache", "state", "log", "run", "captured"}) {
    fs::create_directories(root / sub);
  }
  const fs::path backend = root / "bin" / "backend" / "capture";
  WriteFileBytes(backend, kCaptureBackend);
  // Owner-only: a scheduler running as root then runs the backend as root too, which can
  // write into this private folder; as any other user it runs as that user.
  fs::permissions(backend, fs::perms::owner_all, fs::perm_options::replace);
  std::error_code ec;
  fs::create_symlink(cups_exec, root / "bin" / "daemon" / "cups-exec", ec);
  if (ec) return Fail(State::kFailed, "cannot link cups-exec: " + ec.message());

  WriteFileBytes(root / "cupsd.conf", "Listen " + server() +
                                          "\n"
                                          "LogLevel debug\n"
                                          "WebInterface No\n"
                                          "Browsing Off\n"
                                          "<Location />\n"
                                          "  Order allow,deny\n"
                                          "  Allow all\n"
                                          "</Location>\n"
                                          "<Policy default>\n"
                                          "  <Limit All>\n"
                                          "    Order deny,allow\n"
                                          "  </Limit>\n"
                                          "</Policy>\n");
  std::string files = "ServerRoot " + root.string() + "\n" + "ServerBin " +
                      (root / "bin").string() + "\n" + "DataDir /usr/share/cups\n" +
                      "RequestRoot " + (root / "spool").string() + "\n" + "TempDir " +
                      (root / "spool" / "tmp").string() + "\n" + "CacheDir " +
                      (root / "cache").string() + "\n" + "StateDir " + (root / "state").string() +
                      "\n" + "AccessLog " + (root / "log" / "access_log").string() + "\n" +
                      "ErrorLog " + (root / "log" / "error_log").string() + "\n" + "PageLog " +
                      (root / "log" / "page_log").string() + "\n";
  // Run as root, the scheduler keeps its default group "lp" (root is its system group, which
  // the job group must not be), or an unprivileged one where there is no "lp"; run as anyone
  // else, the user's own group is the only one it can use.
  if (geteuid() != 0) {
    const group* own = getgrgid(getegid());
    files +=
        "Group " + (own != nullptr ? std::string(own->gr_name) : std::to_string(getegid())) + "\n";
  } else if (getgrnam("lp") == nullptr) {
    for (const char* name : {"nogroup", "nobody"}) {
      if (getgrnam(name) != nullptr) {
        files += "Group " + std::string(name) + "\n";
        break;
      }
    }
  }
  WriteFileBytes(root / "cups-files.conf", files);
  return true;
}

bool PrivateCupsd::Start() {
  if (state_ == State::kRunning) return true;
  cupsd_path_ = FindProgram("cupsd");
  lpadmin_path_ = FindProgram("lpadmin");
  const fs::path cups_exec = FindCupsExec();
  if (cupsd_path_.empty()) return Fail(State::kUnavailable, "cupsd is not installed");
  if (lpadmin_path_.empty()) return Fail(State::kUnavailable, "lpadmin is not installed");
  if (cups_exec.empty()) return Fail(State::kUnavailable, "the CUPS helper cups-exec is missing");
  if (server().size() >= sizeof(sockaddr_un{}.sun_path))
    return Fail(State::kFailed, "the socket path is too long: " + server());
  if (!WriteConfiguration(cups_exec)) return false;

  const fs::path root = folder_.path();
  const std::string conf = (root / "cupsd.conf").string();
  const std::string files = (root / "cups-files.conf").string();
  const fs::path output = root / "log" / "cupsd.out";
  if (RunToEnd({cupsd_path_, "-t", "-c", conf, "-s", files}, output) != 0)
    return Fail(State::kFailed, "cupsd refuses the configuration:\n" + LogExcerpt());

  pid_ = Spawn({cupsd_path_, "-f", "-c", conf, "-s", files}, output);
  if (pid_ < 0) return Fail(State::kFailed, "cannot start cupsd: " + std::string(strerror(errno)));

  const auto deadline = steady_clock::now() + std::chrono::seconds(20);
  while (!SocketAnswers(server())) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return Fail(State::kFailed, "cupsd ended at start-up:\n" + LogExcerpt());
    }
    if (steady_clock::now() > deadline) {
      Stop();
      return Fail(State::kFailed, "cupsd did not open its socket in time:\n" + LogExcerpt());
    }
    std::this_thread::sleep_for(milliseconds(50));
  }

  if (const char* old = getenv("CUPS_SERVER")) saved_cups_server_ = old;
  setenv("CUPS_SERVER", server().c_str(), 1);
  cupsSetServer(server().c_str());
  cups_server_set_ = true;
  state_ = State::kRunning;
  reason_.clear();
  return true;
}

void PrivateCupsd::Halt() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    const auto deadline = steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(milliseconds(20));
    }
    pid_ = -1;
  }
  if (state_ == State::kRunning) state_ = State::kStopped;
}

void PrivateCupsd::Stop() {
  Halt();
  if (cups_server_set_) {
    if (saved_cups_server_) {
      setenv("CUPS_SERVER", saved_cups_server_->c_str(), 1);
    } else {
      unsetenv("CUPS_SERVER");
    }
    cupsSetServer(nullptr);  // back to what the environment says
    cups_server_set_ = false;
  }
}

bool PrivateCupsd::AddQueue(const std::string& name, std::string& error, const fs::path& ppd) {
  if (state_ != State::kRunning) {
    error = "the scheduler is not running";
    return false;
  }
  const fs::path output = folder_.path() / "log" / ("lpadmin-" + name + ".out");
  std::vector<std::string> argv = {lpadmin_path_, "-p", name,
                                   "-E",          "-v", "capture:" + capture_folder().string()};
  if (!ppd.empty()) {
    argv.push_back("-P");
    argv.push_back(ppd.string());
  }
  const int status = RunToEnd(argv, output);
  if (status == 0) return true;
  error =
      "lpadmin -p " + name + " failed (" + std::to_string(status) + "): " + ReadFileBytes(output);
  return false;
}

std::vector<std::string> PrivateCupsd::WaitForCapturedJobs(std::size_t count,
                                                           milliseconds timeout) const {
  const auto deadline = steady_clock::now() + timeout;
  std::map<long, fs::path> jobs;
  while (true) {
    jobs.clear();
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(capture_folder(), ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("job-", 0) != 0 || entry.path().extension() != ".bin") continue;
      jobs[std::strtol(name.c_str() + 4, nullptr, 10)] = entry.path();
    }
    if (jobs.size() >= count || steady_clock::now() > deadline) break;
    std::this_thread::sleep_for(milliseconds(50));
  }
  std::vector<std::string> bytes;
  for (const auto& [id, path] : jobs) bytes.push_back(ReadFileBytes(path));
  return bytes;
}

std::string PrivateCupsd::LogExcerpt() const {
  std::string excerpt = ReadFileBytes(folder_.path() / "log" / "cupsd.out");
  std::stringstream log(ReadFileBytes(folder_.path() / "log" / "error_log"));
  for (std::string line; std::getline(log, line);) {
    if (line.rfind("E ", 0) == 0 || line.rfind("W ", 0) == 0) excerpt += line + "\n";
  }
  return excerpt;
}

void PrivateCupsdTest::SetUp() {
  if (!cupsd_.Start()) {
    if (cupsd_.state() == PrivateCupsd::State::kUnavailable) GTEST_SKIP() << cupsd_.reason();
    FAIL() << cupsd_.reason();
  }
}

void PrivateCupsdTest::AddQueues(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    std::string error;
    ASSERT_TRUE(cupsd_.AddQueue(name, error)) << error << "\n" << cupsd_.LogExcerpt();
  }
}

}  // namespace kelvaro::testing
