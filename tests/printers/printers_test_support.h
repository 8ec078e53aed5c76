#ifndef KELVARO_TESTS_PRINTERS_PRINTERS_TEST_SUPPORT_H_
#define KELVARO_TESTS_PRINTERS_PRINTERS_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/settings_store.h"
#include "support/test_env.h"

namespace kelvaro {

// A settings store on fresh folders, for the printers tests.
class StoreTest : public ::testing::Test {
 protected:
  StoreTest() : store_(folders_.folders(), notifier_) {
    std::filesystem::create_directories(folders_.folders().user);
  }
  std::string Active(const char* key) const { return store_.ReadSetting("Active", key); }

  testing::TestFolders folders_;
  testing::RecordingNotifier notifier_;
  SettingsStore store_;
};

}  // namespace kelvaro

#endif  // KELVARO_TESTS_PRINTERS_PRINTERS_TEST_SUPPORT_H_
