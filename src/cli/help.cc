#include "cli/help.h"

#include <optional>

#include "cli/option_table.h"

namespace kelvaro::cli {
namespace {

struct Help {
  std::string_view command;
  std::string_view text;
  // The command's own options of the table, below the text.
  std::optional<OptionGroup> options = std::nullopt;
};

constexpr Help kHelps[] = {
    {"print", "Writes the print job of IMAGE and sends it to a queue or a file.\n",
     OptionGroup::kJob},
    {"cost", "Shows the cost estimate of the job `print` would make; nothing is printed.\n"},
    {"info", "Prints what loading IMAGE finds and the layout the print would use, as JSON.\n"},
    {"preview",
     "Writes the window's preview of the page as a PNG and prints its layout as JSON.\n"
     "  --output PAGE.png        where the picture goes\n",
     OptionGroup::kPreview},
    {"blank",
     "Sends the blank-page job.\n"
     "  --output FILE, --printer QUEUE   as for print\n"
     "  --model, --media, --paper, --tray, --prints   as for print\n"},
    {"mode",
     "Sends the Printer Mode window's command to the printer, as one RAW job named\n"
     "\"Zeph print\":\n"
     "  on    \"Driver On\":  the printer's own CMYK conversion is switched on\n"
     "        (OKICMYKCONVERSION=ON); stores [ACTIVE] Print Set = off.\n"
     "  off   \"Driver Off\": the printer's own CMYK conversion is switched off\n"
     "        (OKICMYKCONVERSION=OFF); stores [ACTIVE] Print Set = on.\n"
     "  --printer QUEUE   a printer queue, or file:PATH to write the job to a file\n"},
    {"settings",
     "Reads or writes the stored settings.\n"
     "  get SECTION KEY          prints one stored value\n"
     "  set SECTION KEY VALUE    stores one value\n"
     "  load FILE.qvcfg          Load Settings: the file's settings are stored\n"
     "  save FILE.qvcfg          Save Settings: the stored settings into a file\n"},
    {"stats",
     "The cost estimate's consumable records.\n"
     "  show                     prints the six records and the currency\n"
     "  set KEY RECORD           stores one record, \"label,yield,...\"\n"},
    {"shapes",
     "The shape library of pattern print.\n"
     "  list                     the shapes, in library order\n"
     "  import FILE.ai --name NAME   adds a vector drawing\n"
     "  --gap0 G, --gap45 G      its base gaps at the two screen angles, -5..5\n"
     "  --replace                replace a shape of that name\n"
     "  delete NAME              removes a shape\n"},
    {"printers",
     "The printer model, the attached printers and the queues.\n"
     "  --model KEY              for this model instead of the stored one\n"},
    {"papers", "The paper list.\n  --model KEY              for this model\n"},
    {"presets", "The media list.\n  --model KEY              for this model\n"},
    {"texts", "The user-interface texts in force.\n  N                        only entry N\n"},
    {"watch",
     "Prints every picture put into FOLDER, one at a time and oldest first, as print does.\n"
     "  --printer QUEUE          the queue every job goes to\n",
     OptionGroup::kWatch},
};

}  // namespace

std::string CommandHelp(std::string_view command) {
  for (const Help& help : kHelps) {
    if (help.command != command) continue;
    std::string text(help.text);
    if (help.options) text += PrintOptionsHelp(*help.options);
    return text;
  }
  return {};
}

std::string WindowOptionsHelp() { return PrintOptionsHelp(OptionGroup::kWindow); }

}  // namespace kelvaro::cli
