#ifndef KELVARO_APP_UI_TEXT_IDS_H_
#define KELVARO_APP_UI_TEXT_IDS_H_

// The UiText entries the program's code refers to by number. Language files translate them
// under these numbers, so they never change.
namespace kelvaro::ui {

inline constexpr int kProgramTitle = 0;  // "Kelvaro Pro"
inline constexpr int kNoFile = 1;        // the title's file name with no picture loaded
// The unit label beside the size fields.
inline constexpr int kInchesLabel = 2;
inline constexpr int kCentimetresLabel = 3;
inline constexpr int kMillimetresLabel = 4;
// Menu headings and submenus.
inline constexpr int kFileMenu = 10;
inline constexpr int kToolsMenu = 14;
inline constexpr int kLoadSettingsMenu = 22;
inline constexpr int kHelpMenu = 24;
inline constexpr int kUtilityMenu = 129;
inline constexpr int kPresetProfilesMenu = 290;
inline constexpr int kSelectProfileMenu = 292;
// The label of the zoom field, which has no id of its own.
inline constexpr int kZoomLabel = 59;
// Status line texts.
inline constexpr int kCancelledStatus = 33;
inline constexpr int kLoadAndConvertStatus = 34;
inline constexpr int kUnsuitableFileStatus = 35;
inline constexpr int kLoadedStatus = 36;
inline constexpr int kRemovingBackgroundStatus = 37;
inline constexpr int kConvertingStatus = 38;
inline constexpr int kPrintingStatus = 40;
// Titles of the file dialogs.
inline constexpr int kSelectOutputProfileTitle = 90;
inline constexpr int kSelectInputProfileTitle = 91;
inline constexpr int kLoadSettingsTitle = 93;
inline constexpr int kSaveSettingsTitle = 94;
inline constexpr int kSelectFileTitle = 95;
// Colour-management messages.
inline constexpr int kConversionFailure = 133;
inline constexpr int kOddImage = 134;
// The copies grid is larger than a job can carry.
inline constexpr int kGridTooBig = 135;
// What a change of toner order means for the printer.
inline constexpr int kWhiteLastNote = 204;
inline constexpr int kWhiteFirstNote = 205;
// Help documents: captions are the even entries 300..310, document names the odd ones.
inline constexpr int kFirstHelpDocumentName = 301;

// The dialogs' captions. Buttons first, then each dialog's own entries.
inline constexpr int kCancelButton = 5;
inline constexpr int kOkButton = 6;
inline constexpr int kExitButton = 7;
inline constexpr int kSaveButton = 9;
inline constexpr int kOpenFileButton = 11;
inline constexpr int kSaveSettingsButton = 21;
inline constexpr int kPrintButton = 28;
inline constexpr int kDeleteButton = 151;
// "Jpg Background Removal".
inline constexpr int kJpegTitle = 70;
inline constexpr int kJpegExplanation = 72;
inline constexpr int kJpegNote = 73;
inline constexpr int kJpegThreshold = 74;
// "Unit Settings".
inline constexpr int kUnitsTitle = 75;
inline constexpr int kUnitsPrompt = 76;
// "Language Selection".
inline constexpr int kLanguageTitle = 80;
inline constexpr int kLanguagePrompt = 81;
// "Colour Adjust" and its channel list, "All" to "Yellow".
inline constexpr int kColourTitle = 82;
inline constexpr int kColourFirstChannel = 83;
// "Printer Mode".
inline constexpr int kDriverOnButton = 126;
inline constexpr int kDriverOffButton = 127;
inline constexpr int kPrinterModeTitle = 128;
inline constexpr int kPrinterModeNote = 136;
// "Print Margins".
inline constexpr int kMarginsTitle = 137;
inline constexpr int kPrintableArea = 138;
inline constexpr int kGetPrinterMargins = 139;
// "Custom Paper Size".
inline constexpr int kCustomSizeTitle = 147;
inline constexpr int kCustomSizeHelp = 148;
inline constexpr int kCustomWidth = 56;
inline constexpr int kCustomHeight = 57;
inline constexpr int kCustomName = 30;
inline constexpr int kCustomDeleteHelp = 152;
// "Pro8432 Toner order".
inline constexpr int kTonerOrderTitle = 201;
// "Pattern Print Setup".
inline constexpr int kPatternTitle = 240;
inline constexpr int kPatternShape = 242;
inline constexpr int kPatternSizeHeading = 244;
inline constexpr int kPatternGap = 245;
inline constexpr int kSaveShapeButton = 246;
inline constexpr int kScreenAngle = 247;
inline constexpr int kDegrees = 248;
inline constexpr int kPatternWidth = 149;
inline constexpr int kPatternHeight = 150;
// "Library Edit".
inline constexpr int kLibraryTitle = 250;
inline constexpr int kLibraryInstructions = 251;
inline constexpr int kLibraryNote = 252;
// "Shape Import Utility".
inline constexpr int kShapeName = 253;
inline constexpr int kAngleGap = 255;
// "Black Removal".
inline constexpr int kBlackRemovalTitle = 266;
inline constexpr int kBlackRemovalThreshold = 267;
inline constexpr int kBlackRemovalNote = 268;
// "Print Statistics Setup" and the cost of one print.
inline constexpr int kStatisticsTitle = 271;
inline constexpr int kYieldHeading = 272;
inline constexpr int kCostHeading = 273;
inline constexpr int kCurrencyLabel = 274;
inline constexpr int kStatisticsOnlyMode = 278;
inline constexpr int kPrintAndStatisticsMode = 279;
inline constexpr int kPrintOnlyMode = 280;
inline constexpr int kStatisticsNote = 281;
inline constexpr int kCopyToClipboard = 286;

}  // namespace kelvaro::ui

#endif  // KELVARO_APP_UI_TEXT_IDS_H_
