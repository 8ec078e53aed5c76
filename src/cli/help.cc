#include "cli/help.h"

namespace kelvaro::cli {
namespace {

// The options every command that prepares a print takes; they change the job as the window's
// controls do, for this run only.
constexpr std::string_view kWindowOptions =
    "  --model KEY              the printer model (a key of `kelvaro printers`' table)\n"
    "  --toner-order WL|WF      white last or white first (8432WT models)\n"
    "  --paper NAME             an entry of the model's paper list (`kelvaro papers`)\n"
    "  --media LABEL            a media preset (`kelvaro presets`): tray, mirror, white\n"
    "  --settings-file F        a setting file (.qvcfg) loaded as Load Settings does\n"
    "  --tray TEXT              AUTO, MultiPurpose Tray or Tray 1\n"
    "  --prints N               the number of prints the printer makes\n"
    "  --across N, --down N     copies across and down the page\n"
    "  --mirror, --no-mirror    mirror the picture (transfer media print mirrored)\n"
    "  --flip                   turn the picture upside down\n"
    "  --rotate, --no-rotate    turn it a quarter (unset: the fit to the page decides)\n"
    "  --print-white, --no-print-white   print the white layer or not\n"
    "  --print-cmy, --no-print-cmy       print the colours or not (white only)\n"
    "  --threshold, --no-threshold       add white under colours from the threshold\n"
    "  --white-density P        white under white-only areas, percent 0..100\n"
    "  --white-threshold P      the add-white threshold, percent 0..100\n"
    "  --white-choke MM, --white-spread MM   shrink or grow the white layer, 0..1.0 mm\n"
    "  --brightness P, --contrast P      -100..100 percent\n"
    "  --black-removal          leave black areas unprinted\n"
    "  --background-removal     remove a plain background when the picture is loaded\n"
    "  --optimal-layout         copies one millimetre apart\n"
    "  --profile-in F, --profile-out F   the RGB and the printer's CMYK profile\n"
    "  --pattern                pattern print with the stored pattern set-up\n"
    "  --automatic-tile, --no-automatic-tile   as many copies as fit the page\n"
    "  --placement N            a single copy's place, 1..9 (0: centred)\n"
    "  --fit-to-page            Fit to Page once the picture is loaded\n"
    "  --size W,H               typed into X Size and Y Size (unit in force); W or ,H alone\n";

struct Help {
  std::string_view command;
  std::string_view text;
};

constexpr Help kHelps[] = {
    {"print",
     "Writes the print job of IMAGE and sends it to a queue or a file.\n"
     "  --output FILE            write the job here (default: IMAGE's name with .ps)\n"
     "  --printer QUEUE          send it to this print queue (or file:PATH)\n"
     "  --dump-separations DIR   also write the five planes as plane1.pgm ... plane5.pgm\n"},
    {"cost", "Shows the cost estimate of the job `print` would make; nothing is printed.\n"},
    {"info", "Prints what loading IMAGE finds and the layout the print would use, as JSON.\n"},
    {"preview",
     "Writes the window's preview of the page as a PNG and prints its layout as JSON.\n"
     "  --output PAGE.png        where the picture goes\n"
     "  --width W                the width the window's image area offers, pixels\n"
     "  --display-white, --no-display-white   show the white layer on screen\n"
     "  --pattern-preview        show the pattern's knock-out in magenta\n"
     "  --view colour|white      the colour preview, or the printed white layer as grey\n"},
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
};

}  // namespace

std::string_view CommandHelp(std::string_view command) {
  for (const Help& help : kHelps) {
    if (help.command == command) return help.text;
  }
  return {};
}

std::string_view WindowOptionsHelp() { return kWindowOptions; }

}  // namespace kelvaro::cli
