#ifndef KELVARO_TESTS_SUPPORT_TEST_ENV_H_
#define KELVARO_TESTS_SUPPORT_TEST_ENV_H_

#include <filesystem>
#include <string>
#include <vector>

#include "platform/data_folders.h"
#include "platform/notifier.h"

namespace kelvaro::testing {

// A fresh temporary folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// User, common and program folders of a test, under one temporary folder. The program
// folder is the build tree's staged data unless `empty_program` is set.
class TestFolders {
 public:
  explicit TestFolders(bool empty_program = false);
  const DataFolders& folders() const { return folders_; }
  const std::filesystem::path& root() const { return root_.path(); }

 private:
  TempDir root_;
  DataFolders folders_;
};

// The staged program data of the build tree (share/kelvaropro).
std::filesystem::path StagedDataFolder();
// tests/fixtures in the source tree.
std::filesystem::path FixtureFolder();
// tests/golden in the source tree.
std::filesystem::path GoldenFolder();
// The built `kelvaro` program.
std::filesystem::path KelvaroBinary();
// The sample artwork shipped in data/samples.
std::filesystem::path SampleArtwork();

// The lines of `text` split at LF, without the LF; a last line without one counts too.
std::vector<std::string> SplitLines(const std::string& text);

// Remembers every message instead of showing it; answers questions with the given answer.
class RecordingNotifier final : public Notifier {
 public:
  struct Message {
    std::string title;
    std::string text;
    MessageIcon icon;
  };
  void Show(const std::string& title, const std::string& text, MessageIcon icon) override;
  bool Ask(const std::string& title, const std::string& text, bool default_answer) override;

  std::vector<Message> messages;
  std::vector<Message> questions;
  bool answer = true;
};

// Reads a whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// Runs a command through the shell; returns its exit status and what it wrote to stdout.
struct CommandResult {
  int status = -1;
  std::string out;
};
CommandResult RunCommand(const std::string& command);

}  // namespace kelvaro::testing

#endif  // KELVARO_TESTS_SUPPORT_TEST_ENV_H_
