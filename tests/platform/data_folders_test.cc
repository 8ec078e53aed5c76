#include "platform/data_folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace kelvaro {
namespace {

EnvLookup FakeEnv(std::map<std::string, std::string> values) {
  return [values](const std::string& name) -> std::optional<std::string> {
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

TEST(DataFoldersTest, ExplicitVariablesWin) {
  DataFolders folders = ResolveDataFolders(FakeEnv({{"KELVARO_USER_DIR", "/u"},
                                                    {"KELVARO_COMMON_DIR", "/c"},
                                                    {"KELVARO_PROGRAM_DIR", "/p"},
                                                    {"XDG_CONFIG_HOME", "/x"}}));
  EXPECT_EQ(folders.user, "/u");
  EXPECT_EQ(folders.common, "/c");
  EXPECT_EQ(folders.program, "/p");
}

TEST(DataFoldersTest, UserFolderFallsBackToXdgThenHome) {
  EXPECT_EQ(ResolveDataFolders(FakeEnv({{"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}})).user,
            "/x/KelvaroPro");
  EXPECT_EQ(ResolveDataFolders(FakeEnv({{"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}})).user,
            "/h/.config/KelvaroPro");
}

TEST(DataFoldersTest, FoldersAreFullPathsWithoutTrailingSeparator) {
  // Paths stored in the settings are made from these folders; a relative one would point
  // elsewhere once the program starts from another working folder.
  const std::filesystem::path cwd = std::filesystem::current_path();
  const DataFolders relative = ResolveDataFolders(FakeEnv(
      {{"KELVARO_USER_DIR", "u"}, {"KELVARO_COMMON_DIR", "c/"}, {"KELVARO_PROGRAM_DIR", "p/q"}}));
  EXPECT_EQ(relative.user, cwd / "u");
  EXPECT_EQ(relative.common, cwd / "c");
  EXPECT_EQ(relative.program, cwd / "p" / "q");
  EXPECT_EQ(ResolveDataFolders(FakeEnv({{"XDG_CONFIG_HOME", "x/"}})).user,
            cwd / "x" / "KelvaroPro");
  EXPECT_EQ(ResolveDataFolders(FakeEnv({{"KELVARO_USER_DIR", "/u/"}})).user, "/u");
}

}  // namespace
}  // namespace kelvaro
