#include "support/test_env.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kelvaro::testing {
namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "kelvaro-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

TestFolders::TestFolders(bool empty_program) {
  folders_.user = root_.path() / "user";
  folders_.common = root_.path() / "common";
  folders_.program = empty_program ? root_.path() / "program" : StagedDataFolder();
  fs::create_directories(folders_.user);
  fs::create_directories(folders_.common);
  if (empty_program) fs::create_directories(folders_.program);
}

fs::path StagedDataFolder() {
  return fs::path(KELVARO_BUILD_BIN_DIR).parent_path() / "share" / "kelvaropro";
}
fs::path FixtureFolder() { return fs::path(KELVARO_TEST_SOURCE_DIR) / "fixtures"; }
fs::path GoldenFolder() { return fs::path(KELVARO_TEST_SOURCE_DIR) / "golden"; }
fs::path KelvaroBinary() { return fs::path(KELVARO_BUILD_BIN_DIR) / "kelvaro"; }
fs::path SampleArtwork() {
  return fs::path(KELVARO_TEST_SOURCE_DIR).parent_path() / "data" / "samples" /
         "kelvaro-sample.png";
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void RecordingNotifier::Show(const std::string& title, const std::string& text, MessageIcon icon) {
  messages.push_back({title, text, icon});
}

bool RecordingNotifier::Ask(const std::string& title, const std::string& text, bool) {
  questions.push_back({title, text, MessageIcon::kQuestion});
  return answer;
}

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

CommandResult RunCommand(const std::string& command) {
  CommandResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace kelvaro::testing
