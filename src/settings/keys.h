#ifndef KELVARO_SETTINGS_KEYS_H_
#define KELVARO_SETTINGS_KEYS_H_

// Every section and key of the settings files "KelvaroPro.ini" and of the setting files
// (.qvcfg), as stored. Files on users' machines hold these spellings, so they never change.
// Names match without regard to case when read; where the program writes a name in another
// case than it reads it, both spellings are here, because a write that creates the key or
// section keeps the case it was given.
namespace kelvaro {

// A key and the section it is stored under.
struct SettingKey {
  const char* section;
  const char* name;
};

namespace keys {

// [INI_INF]: the version of the default set a settings file was last given.
namespace ini_inf {
inline constexpr char kSection[] = "INI_INF";
inline constexpr SettingKey kVersion{kSection, "Version"};
}  // namespace ini_inf

// [Active]: the job parameters, the window's size and the chosen printer.
namespace active {
inline constexpr char kSection[] = "Active";
// The printer mode's "Print Set" is written under the upper-case spelling.
inline constexpr char kSectionUpperCase[] = "ACTIVE";
inline constexpr SettingKey kPrinter{kSection, "Printer"};
inline constexpr SettingKey kModel{kSection, "Model"};
inline constexpr SettingKey kTray{kSection, "Tray"};
inline constexpr SettingKey kPaperSize{kSection, "PaperSize"};
inline constexpr SettingKey kTraySwitch{kSection, "TraySwitch"};
inline constexpr SettingKey kWhiteMask{kSection, "White Mask %"};
inline constexpr SettingKey kWhiteOverlay{kSection, "White Overlay %"};
inline constexpr SettingKey kMirror{kSection, "Mirror"};
inline constexpr SettingKey kDisplay{kSection, "Display"};
inline constexpr SettingKey kTonerOn{kSection, "TonerOn"};
inline constexpr SettingKey kTonerSave{kSection, "TonerSave"};
inline constexpr SettingKey kTonerPercent{kSection, "TonerPercent"};
inline constexpr SettingKey kWhiteEdge{kSection, "White Edge mm"};
inline constexpr SettingKey kJpegArtifact{kSection, "JPEG Artifact"};
inline constexpr SettingKey kBlackRemovalFuzzy{kSection, "BLACK Removal Fuzzy"};
inline constexpr SettingKey kOutputProfile{kSection, "ICM Profile Out"};
inline constexpr SettingKey kInputProfile{kSection, "ICM Profile In"};
inline constexpr SettingKey kUnit{kSection, "Unit"};
inline constexpr SettingKey kMptOffset{kSection, "MPT Offset"};
inline constexpr SettingKey kTray1Offset{kSection, "Tray1 Offset"};
inline constexpr SettingKey kTonerOrder{kSection, "T_ORDER"};
inline constexpr SettingKey kLanguage{kSection, "Language"};
// The start-up writes the language key in lower case.
inline constexpr SettingKey kLanguageLowerCase{kSection, "language"};
inline constexpr SettingKey kShapeLibrary{kSection, "Shape Library"};
inline constexpr SettingKey kCrop{kSection, "Crop"};
inline constexpr SettingKey kSheet{kSection, "Zeph I Sheet"};
inline constexpr SettingKey kPrintSet{kSectionUpperCase, "Print Set"};
// The window's last place and size, and the width of its image area.
inline constexpr SettingKey kWindowX{kSection, "L_Used_X"};
inline constexpr SettingKey kWindowY{kSection, "L_Used_Y"};
inline constexpr SettingKey kWindowHeight{kSection, "L_Used_H"};
inline constexpr SettingKey kWindowWidth{kSection, "L_Used_W"};
inline constexpr SettingKey kImageAreaWidth{kSection, "T_Used_W"};
// Margins in hundredths of a point, and the copies kept while a preset overrides them.
inline constexpr SettingKey kTopMargin{kSection, "Top Margin"};
inline constexpr SettingKey kLeftMargin{kSection, "Left Margin"};
inline constexpr SettingKey kRightMargin{kSection, "Right Margin"};
inline constexpr SettingKey kBottomMargin{kSection, "Bottom Margin"};
inline constexpr SettingKey kTopMarginBackup{kSection, "Top Margin Backup"};
inline constexpr SettingKey kLeftMarginBackup{kSection, "Left Margin Backup"};
inline constexpr SettingKey kRightMarginBackup{kSection, "Right Margin Backup"};
inline constexpr SettingKey kBottomMarginBackup{kSection, "Bottom Margin Backup"};
}  // namespace active

// [KYMC]: the tone curves in use.
namespace kymc {
inline constexpr char kSection[] = "KYMC";
inline constexpr SettingKey kProfile{kSection, "Profile"};
}  // namespace kymc

// [Others]: the hand pictures of the transfer sheet.
namespace others {
inline constexpr char kSection[] = "Others";
inline constexpr SettingKey kLeftHand{kSection, "LeftHand"};
inline constexpr SettingKey kRightHand{kSection, "RightHand"};
}  // namespace others

// [Stats]: the statistics mode, the consumable records and the last print's size.
namespace stats {
inline constexpr char kSection[] = "Stats";
// "TCOST" is written under the upper-case spelling.
inline constexpr char kSectionUpperCase[] = "STATS";
inline constexpr SettingKey kMode{kSection, "Option"};
inline constexpr SettingKey kCurrency{kSection, "Currancy"};
inline constexpr SettingKey kCost{kSectionUpperCase, "TCOST"};
inline constexpr SettingKey kXPixel{kSection, "Xpixel"};
inline constexpr SettingKey kYPixel{kSection, "Ypixel"};
inline constexpr SettingKey kXPoint{kSection, "Xpoint"};
inline constexpr SettingKey kYPoint{kSection, "Ypoint"};
inline constexpr SettingKey kColourToner{kSection, "CMYT"};
inline constexpr SettingKey kWhiteToner{kSection, "WhitT"};
inline constexpr SettingKey kColourDrum{kSection, "IDCMY"};
inline constexpr SettingKey kWhiteDrum{kSection, "IDWH"};
inline constexpr SettingKey kFuser{kSection, "Fuser"};
inline constexpr SettingKey kTransferBelt{kSection, "Transfer Belt"};
}  // namespace stats

// [Directory]: the folder of the last setting file.
namespace directory {
inline constexpr char kSection[] = "Directory";
inline constexpr SettingKey kLastConfig{kSection, "Last Config"};
}  // namespace directory

// [Papers]: the custom paper sizes, "Custom1" to "Custom<Number>".
namespace papers {
inline constexpr char kSection[] = "Papers";
inline constexpr SettingKey kNumber{kSection, "Number"};
inline constexpr char kCustomPrefix[] = "Custom";
}  // namespace papers

// [RIP Patten Setup]: the pattern print.
namespace pattern {
inline constexpr char kSection[] = "RIP Patten Setup";
inline constexpr SettingKey kShape{kSection, "Shape"};
inline constexpr SettingKey kSizeX{kSection, "SizeX"};
inline constexpr SettingKey kSizeY{kSection, "SizeY"};
inline constexpr SettingKey kGap{kSection, "Gap"};
inline constexpr SettingKey kScreen{kSection, "Screen"};
inline constexpr SettingKey kMask{kSection, "Mask"};
}  // namespace pattern

// [Pattern]: the folder the last imported drawing came from.
namespace pattern_import {
inline constexpr char kSection[] = "Pattern";
inline constexpr SettingKey kFolder{kSection, "AIPath"};
}  // namespace pattern_import

// The tone curves of a setting file, one section per toner order: [CYMW] white last,
// [WYMC] white first, under the key of the curves in use.
namespace setting_file {
inline constexpr SettingKey kWhiteLastCurves{"CYMW", kymc::kProfile.name};
inline constexpr SettingKey kWhiteFirstCurves{"WYMC", kymc::kProfile.name};
}  // namespace setting_file

}  // namespace keys
}  // namespace kelvaro

#endif  // KELVARO_SETTINGS_KEYS_H_
