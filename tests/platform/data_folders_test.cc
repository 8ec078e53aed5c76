#include "platform/data_folders.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kelvaro
