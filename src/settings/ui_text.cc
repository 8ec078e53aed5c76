#include "settings/ui_text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kelvaro {
namespace {

// The built-in English set, by entry number, before line-break conversion.
constexpr std::array<const char*, UiText::kLastDefaultEntry + 1> kDefaultTexts = {
    /* 0 */ "Kelvaro Pro",
    /* 1 */ "No File",
    /* 2 */ "Inch",
    /* 3 */ "cm",
    /* 4 */ "mm",
    /* 5 */ "Cancel",
    /* 6 */ "OK",
    /* 7 */ "Exit",
    /* 8 */ "Close",
    /* 9 */ "Save",
    /* 10 */ "&File",
    /* 11 */ "&Open File",
    /* 12 */ "&Print",
    /* 13 */ "&Exit",
    /* 14 */ "&Tools",
    /* 15 */ "&Jpeg Settings",
    /* 16 */ "ICC Profile &Input",
    /* 17 */ "ICC Profile &Output",
    /* 18 */ "&Colour Dialog",
    /* 19 */ "Units Settings",
    /* 20 */ "Language",
    /* 21 */ "&Save Settings",
    /* 22 */ "&Load Settings",
    /* 23 */ "&Load Defaults",
    /* 24 */ "&Help",
    /* 25 */ "",
    /* 26 */ "&About",
    /* 27 */ "",
    /* 28 */ "Print",
    /* 29 */ "Print Utility For ******",
    /* 30 */ "Paper Size",
    /* 31 */ "Tray Check",
    /* 32 */ "<<<<<        no file       >>>>>",
    /* 33 */ "<<<<<       Cancelled      >>>>>",
    /* 34 */ "<<<<<    load and convert  >>>>>",
    /* 35 */ "<<<<<    Unsuitable file   >>>>>",
    /* 36 */ "<<<<<        Loaded        >>>>>",
    /* 37 */ "<<<<<  background removal  >>>>>",
    /* 38 */ "<<<<<  Conversion progress >>>>>",
    /* 39 */ "<<<<<    Creating print    >>>>>",
    /* 40 */ "<<<<<       Printing       >>>>>",
    /* 41 */ "<<<<<    Sent to Printer   >>>>>",
    /* 42 */ "Select Printer",
    /* 43 */ "Paper Tray",
    /* 44 */ "Media Type",
    /* 45 */ "Copies",
    /* 46 */ "Display White",
    /* 47 */ "Threshold on",
    /* 48 */ "Print White",
    /* 49 */ "Print CMY",
    /* 50 */ "Mirror",
    /* 51 */ "Rotate",
    /* 52 */ "White only Density",
    /* 53 */ "Add White Density",
    /* 54 */ "Add White Threshold",
    /* 55 */ "Brightness",
    /* 56 */ "X Size",
    /* 57 */ "Y Size",
    /* 58 */ "DPI",
    /* 59 */ "Zoom",
    /* 60 */ "X Copy",
    /* 61 */ "Y Copy",
    /* 62 */ "Total",
    /* 63 */ "Automatic Tile",
    /* 64 */ "Fit to Page",
    /* 65 */ "About",
    /* 66 */ "Place Printout in MP tray and press print",
    /* 67 */ "White Pass",
    /* 68 */ "Help",
    /* 69 */ "Network Utility",
    /* 70 */ "Jpg Background Removal",
    /* 71 */ "JPEG setting",
    /* 72 */ "Set the slider to define the Background Removal Threshold.",
    /* 73 */
    "Note: The higher the value the more likely unwanted portions of the image will be removed. "
    "This value will be used next time a jpg/jpeg file is be opened",
    /* 74 */ "Background Removal Threshold",
    /* 75 */ "Unit Settings",
    /* 76 */ "Select Prefered Measurement Units",
    /* 77 */ "Millimetres",
    /* 78 */ "Centimetres",
    /* 79 */ "Inches",
    /* 80 */ "Language Selection",
    /* 81 */ "Select language from the list",
    /* 82 */ "Colour Adjust",
    /* 83 */ "All",
    /* 84 */ "Cyan",
    /* 85 */ "Magenta",
    /* 86 */ "Yellow",
    /* 87 */ "",
    /* 88 */ "",
    /* 89 */ "",
    /* 90 */ "Select Output Profile",
    /* 91 */ "Select Input Profile",
    /* 92 */ "Please reload image to enable Profile",
    /* 93 */ "Load Settings",
    /* 94 */ "Save Settings",
    /* 95 */ "Select File",
    /* 96 */ "",
    /* 97 */ "",
    /* 98 */ "",
    /* 99 */ "",
    /* 100 */ "",
    /* 101 */ "Printer Setting",
    /* 102 */ "Light (64 - 74 g/m2)",
    /* 103 */ "Medium Light (75 - 82 g/m2)",
    /* 104 */ "Medium (83 - 104 g/m2)",
    /* 105 */ "Heavy (105 - 120 g/m2)",
    /* 106 */ "Ultra Heavy 1 (121 - 188 g/m2)",
    /* 107 */ "Ultra Heavy 2 (189 - 220 g/m2)",
    /* 108 */ "Ultra Heavy 3 (221 - 250 g/m2)",
    /* 109 */ "Labels 1",
    /* 110 */ "Labels 2",
    /* 111 */ "Glossy",
    /* 112 */ "Films",
    /* 113 */ "Medium A",
    /* 114 */ "Medium B",
    /* 115 */ "Medium B+",
    /* 116 */ "Medium C",
    /* 117 */ "Medium D",
    /* 118 */ "Medium E",
    /* 119 */ "Medium F mSheet (Magenta)",
    /* 120 */ "Medium G",
    /* 121 */ "AUTO",
    /* 122 */ "MultiPurpose Tray",
    /* 123 */ "Tray 1",
    /* 124 */ "no file",
    /* 125 */ "Background Removal",
    /* 126 */ "Driver On",
    /* 127 */ "Driver Off",
    /* 128 */ "Printer Mode",
    /* 129 */ "&Utility",
    /* 130 */ "Old Procedure missing",
    /* 131 */ "<<<<<    Unsuitable file   >>>>>",
    /* 132 */ "Unable to Copy,\\nPlease run with administrator permissions",
    /* 133 */ "oops! Conversion failure",
    /* 134 */ "Something odd with this image",
    /* 135 */
    "The original image is to big\\nfor the requested copies\\nPlease reduce the size/resolution",
    /* 136 */ "In this case just power cycle your printer and it should re-connect.",
    /* 137 */ "Print Margins",
    /* 138 */ "Printable area",
    /* 139 */ "Get Printer Margins",
    /* 140 */ "Medium H",
    /* 141 */ "All Medium S",
    /* 142 */ "Medium F tSheet (yellow)",
    /* 143 */ "Centre",
    /* 144 */ "Left",
    /* 145 */ "Right",
    /* 146 */ "Medium F TSheet Margins",
    /* 147 */ "Custom Paper Size",
    /* 148 */ "Custom paper size.\\nSet to the needed size, then save with a name.",
    /* 149 */ "Width",
    /* 150 */ "Height",
    /* 151 */ "Delete",
    /* 152 */ "To delete a custom size.\\nSelect size and press the delete button.",
    /* 153 */ "Name",
    /* 154 */ "FaceUp Exit",
    /* 155 */ "IP Address",
    /* 156 */ "Serial Number",
    /* 157 */ "Status",
    /* 158 */ "Toner",
    /* 159 */ "Image Drums",
    /* 160 */ "Remaining",
    /* 161 */ "Address Method",
    /* 162 */ "Network Printer Name",
    /* 163 */ "Online",
    /* 164 */ "Offline",
    /* 165 */ "Not Ready",
    /* 166 */ "No Network Printer found",
    /* 167 */ "",
    /* 168 */ "",
    /* 169 */ "",
    /* 170 */ "Kelvaro Zeph Special 2",
    /* 171 */ "Network Utility",
    /* 172 */ "Refresh",
    /* 173 */ "Peel Guide",
    /* 174 */ "Print Blank page",
    /* 175 */ "Flip",
    /* 176 */ "Install Custom Media settings \\nonce only!",
    /* 177 */ "UserType2",
    /* 178 */ "Install Custom Media",
    /* 179 */ "Black Threshold",
    /* 180 */ "Posterise",
    /* 181 */ "Update",
    /* 182 */ "Posterise ON",
    /* 183 */ "2 Level color ON",
    /* 184 */ "Number colors 6",
    /* 185 */ "White Threshold",
    /* 186 */ "2 Level colour boundary",
    /* 187 */ "Color Mode",
    /* 188 */ "Black",
    /* 189 */ "White",
    /* 190 */ "Rich Black",
    /* 191 */
    "Important: Your Printer must be connected and powered on when using this Utility! \\nUse this "
    "Utility only after swapping the White Print Unit for a Black Print Unit or vice "
    "versa!\\nPress 'Black Mode' button after installing the Black Print Unit or 'White Mode' "
    "button after installing the White Print Unit.\\nImportant: Press button only after the "
    "Printer has finished re-booting and the Printer Display shows 'Ready To Print'!",
    /* 192 */ "White Mode",
    /* 193 */ "Black Mode",
    /* 194 */ "Kelvaro Medium J",
    /* 195 */ "Kelvaro Medium K",
    /* 196 */ "Kelvaro Zeph Lite",
    /* 197 */ "Unused",
    /* 198 */ "Nollo Zeph Lite Hot Stamp Foil",
    /* 199 */ "Nollo UK Medium T Dark",
    /* 200 */ "",
    /* 201 */ "Pro8432 Toner order",
    /* 202 */ "Pro8432 White First",
    /* 203 */ "Pro8432 White Last",
    /* 204 */
    "Note: When you switch Mode you need to swap the White Print Unit for the Cyan Print Unit and "
    "vice versa!",
    /* 205 */
    "Note: Depending on your ArtWork Colors might print slightly different than in ‘White Last "
    "Mode’! Load ‘WhiteFirstPhoto.qvcfg’ Settings to print Photos.",
    /* 206 */ "Please set White Density to 0",
    /* 207 */ "Please set White Density to +3",
    /* 208 */ "Crop Image",
    /* 209 */ "Built in QVCFG Files",
    /* 210 */ "",
    /* 211 */ "",
    /* 212 */ "",
    /* 213 */ "",
    /* 214 */ "",
    /* 215 */ "",
    /* 216 */ "",
    /* 217 */ "",
    /* 218 */ "",
    /* 219 */ "",
    /* 220 */ "",
    /* 221 */ "",
    /* 222 */ "Medium A tip",
    /* 223 */ "Medium B tip",
    /* 224 */ "Medium B+ Tip",
    /* 225 */ "Medium C Tip\"",
    /* 226 */ "Medium D Tip",
    /* 227 */ "Medium E Tip",
    /* 228 */ "Nollo Medium T UK tip",
    /* 229 */ "Medium K",
    /* 230 */ "Special 1 tip",
    /* 231 */ "Hot stamp foil Tip",
    /* 232 */ "Special 2 tip",
    /* 233 */ "Medium G",
    /* 234 */ "Spare (Medium X) 1",
    /* 235 */ "All Medium S",
    /* 236 */ "Zeph Lite Tip",
    /* 237 */ "Zeph Dark Tip",
    /* 238 */ "Shape file is damaged.\\nUnable to open",
    /* 239 */ "Replace Existing Shape or Cancel?",
    /* 240 */ "Pattern Print Setup",
    /* 241 */ "Pattern Print",
    /* 242 */ "Mask Shape",
    /* 243 */ "Canvas",
    /* 244 */ "Shape Size HxW",
    /* 245 */ "Shape Gap",
    /* 246 */ "Save Shape to Library",
    /* 247 */ "Screen Angle (0-45)",
    /* 248 */ "Deg",
    /* 249 */ "Contrast",
    /* 250 */ "Library Edit",
    /* 251 */ "Instructions",
    /* 252 */
    "Select the Shapes to remove. This will mark the name. Select again to unmark\\n\\nThe Cancel "
    "button will exit without deleting the marked Shape(s),OK completes the removal of the shapes",
    /* 253 */ "Shape name",
    /* 254 */ "Shape Base Size",
    /* 255 */ "Screen Angle Gap, Set for both 0 and 45",
    /* 256 */ "Kelvaro Medium P Paper",
    /* 257 */ "Kelvaro Medium P Film",
    /* 258 */ "Medium P Paper Tip",
    /* 259 */ "Zeph Dark Tip",
    /* 260 */ "White Controls",
    /* 261 */ "Image Controls",
    /* 262 */ "Align Controls",
    /* 263 */ "Optimal Layout",
    /* 264 */ "Guard Area",
    /* 265 */ "Pattern Preview",
    /* 266 */ "Black Removal",
    /* 267 */ "Black Removal Threshold",
    /* 268 */
    "Use the slider to set the amount of black removal.\\n\\nThe minimum Value extracts true "
    "black, higher values remove darker areas depending on the setting.",
    /* 269 */ "",
    /* 270 */ "Statistics Setup",
    /* 271 */ "Print Statistics Setup",
    /* 272 */ "Yield",
    /* 273 */ "Cost",
    /* 274 */ "Currency Display",
    /* 275 */ "Euro",
    /* 276 */ "Toner (CMY)",
    /* 277 */ "Toner (White)",
    /* 278 */ "Statistics Only",
    /* 279 */ "Print && Statistics",
    /* 280 */ "Print Only",
    /* 281 */ "Enter the local printer consumable prices and yeild",
    /* 282 */ "Fuser ",
    /* 283 */ "Image drum (CMY)",
    /* 284 */ "Image drum (White)",
    /* 285 */ "Transfer Belt",
    /* 286 */ "Copy to Clipboard",
    /* 287 */
    "The approximate cost of printing the image on the\\printer\\at\\pagesize\\is\\calc\\ "
    "\\Currancy\\per copy.",
    /* 288 */ "For\\numcopy\\copies the overall cost is",
    /* 289 */
    "Please add the cost of theKelvaro transfer paper to give a guide to the overall production "
    "cost.",
    /* 290 */ "Preset Profiles",
    /* 291 */ "Default",
    /* 292 */ "Select Profile",
    /* 293 */ "",
    /* 294 */ "",
    /* 295 */ "",
    /* 296 */ "",
    /* 297 */ "",
    /* 298 */ "",
    /* 299 */ "",
    /* 300 */ "",
    /* 301 */ "",
    /* 302 */ "",
    /* 303 */ "",
    /* 304 */ "",
    /* 305 */ "",
    /* 306 */ "",
    /* 307 */ "",
    /* 308 */ "",
    /* 309 */ "",
    /* 310 */ "",
    /* 311 */ "",
    /* 312 */ "",
};

}  // namespace

UiText::UiText() : entries_(kLastDefaultEntry + 1) {}

const std::string& UiText::Get(int number) const {
  static const std::string kNoText;
  if (number < 0 || number >= static_cast<int>(entries_.size())) return kNoText;
  return entries_[static_cast<std::size_t>(number)];
}

bool UiText::Set(int number, std::string text) {
  if (number < 0 || number >= static_cast<int>(entries_.size())) return false;
  entries_[static_cast<std::size_t>(number)] = std::move(text);
  return true;
}

void UiText::Reset(int last_entry) {
  entries_.assign(static_cast<std::size_t>(std::max(last_entry, kLastDefaultEntry)) + 1,
                  std::string());
}

void UiText::ConvertLineBreaks() {
  for (std::string& entry : entries_) entry = ConvertBackslashN(entry);
}

void UiText::ForceTitle() { entries_[0] = kUiTitle; }

std::string_view DefaultText(int number) {
  if (number < 0 || number > UiText::kLastDefaultEntry) return {};
  return kDefaultTexts[static_cast<std::size_t>(number)];
}

void LoadDefaultTexts(UiText& texts) {
  // Starting from an empty table keeps a previous language's help entries (299..311) and
  // any entries it declared beyond 312 from surviving into the English set.
  texts.Reset(UiText::kLastDefaultEntry);
  for (int number = 0; number <= UiText::kLastDefaultEntry; ++number)
    texts.Set(number, std::string(DefaultText(number)));
  texts.ConvertLineBreaks();
  texts.ForceTitle();
}

std::string ConvertBackslashN(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n' &&
        text.substr(i + 1, 3) != "num") {
      out += "\r\n";
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace kelvaro
