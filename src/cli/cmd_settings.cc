// `kelvaro settings get SECTION KEY` and `kelvaro settings set SECTION KEY VALUE`: one value
// of the user settings file.
#include <cstdio>
#include <string>
#include <string_view>

#include "app/settings_commands.h"
#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "platform/ini_file.h"

namespace kelvaro::cli {
namespace {

// Section and key names travel in fixed fields of this many characters in older versions.
constexpr std::size_t kMaxNameChars = 29;

int Usage() {
  std::fprintf(stderr,
               "usage: kelvaro settings get SECTION KEY\n"
               "       kelvaro settings set SECTION KEY VALUE\n"
               "       kelvaro settings load FILE.qvcfg\n"
               "       kelvaro settings save FILE.qvcfg\n");
  return 2;
}

// `settings load FILE` and `settings save FILE`: the Load Settings and Save Settings commands,
// on the stored settings.
int RunSettingsFileCommand(const std::string& verb, const std::string& file) {
  const std::unique_ptr<CliSession> session = OpenCliSession();
  const bool done =
      verb == "load"
          ? LoadSettingsFileIntoStore(session->store, session->texts, UsbSysfsRoot(), file)
          : SaveStoredSettingsToFile(session->store, session->texts, UsbSysfsRoot(), file);
  if (done)
    std::printf("Settings %s %s\n", verb == "load" ? "loaded from" : "saved to", file.c_str());
  return done ? 0 : 1;
}

bool HasControlCharacter(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

std::size_t CharacterCount(std::string_view utf8) {
  std::size_t count = 0;
  for (char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

// Why `name` cannot be a section or key name of the settings file; "" when it can.
std::string NameProblem(std::string_view what, std::string_view name) {
  const std::string quoted = std::string(what) + " '" + std::string(name) + "'";
  if (name.empty()) return std::string(what) + " is empty";
  if (CharacterCount(name) > kMaxNameChars) {
    return quoted + " is longer than " + std::to_string(kMaxNameChars) + " characters";
  }
  if (name.front() == ' ' || name.back() == ' ') return quoted + " starts or ends with a blank";
  // A line starting with a semicolon is a comment: such a key would be written and never
  // found again.
  if (what == "key" && name.front() == ';') return quoted + " starts with a semicolon";
  if (HasControlCharacter(name) || name.find_first_of("[]=") != std::string_view::npos) {
    return quoted + " holds a character a settings file cannot keep in a name";
  }
  return "";
}

std::string ValueProblem(std::string_view value) {
  if (CharacterCount(value) > kMaxIniValueChars) {
    return "the value is longer than " + std::to_string(kMaxIniValueChars) + " characters";
  }
  if (HasControlCharacter(value)) return "the value holds a line break or control character";
  return "";
}

}  // namespace

int RunSettingsCommand(const Args& args) {
  if (args.empty()) return Usage();
  const std::string& verb = args[0];
  if ((verb == "load" || verb == "save") && args.size() == 2) {
    return RunSettingsFileCommand(verb, args[1]);
  }
  const bool get = verb == "get" && args.size() == 3;
  const bool set = verb == "set" && args.size() == 4;
  if (!get && !set) return Usage();

  const std::string& section = args[1];
  const std::string& key = args[2];
  for (const std::string& problem : {NameProblem("section", section), NameProblem("key", key),
                                     set ? ValueProblem(args[3]) : std::string()}) {
    if (!problem.empty()) {
      std::fprintf(stderr, "kelvaro settings: %s\n", problem.c_str());
      return 2;
    }
  }

  const std::unique_ptr<CliSession> session = OpenCliSession();
  if (get) {
    const std::string value = session->store.ReadSetting(section, key);
    // An empty answer from a file that cannot be read would pass for a missing key; the
    // store has said why it cannot be read.
    if (session->store.CheckUserSettingsFile().state == SettingsFileState::kUnreadable) return 1;
    std::printf("%s\n", value.c_str());
    return 0;
  }
  // A failed write has already been reported by the store.
  return session->store.WriteSetting(section, key, args[3]) ? 0 : 1;
}

}  // namespace kelvaro::cli
