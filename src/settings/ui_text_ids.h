#ifndef KELVARO_SETTINGS_UI_TEXT_IDS_H_
#define KELVARO_SETTINGS_UI_TEXT_IDS_H_

// The UiText entries the program's code refers to by number. Language files translate them
// under these numbers, so they never change.
namespace kelvaro::ui {

inline constexpr int kProgramTitle = 0;  // "Kelvaro Pro"
inline constexpr int kNoFile = 1;        // the title's file name with no picture loaded
// The unit label beside the size fields.
inline constexpr int kInchesLabel = 2;
inline constexpr int kCentimetresLabel = 3;
inline constexpr int kMillimetresLabel = 4;
// The unit names of the units and margins dialogs.
inline constexpr int kMillimetresName = 77;
inline constexpr int kCentimetresName = 78;
inline constexpr int kInchesName = 79;
// Dialog buttons.
inline constexpr int kCancelButton = 5;
inline constexpr int kOkButton = 6;
inline constexpr int kExitButton = 7;
inline constexpr int kSaveButton = 9;
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
inline constexpr int kCreatingPrintStatus = 39;
inline constexpr int kPrintingStatus = 40;
inline constexpr int kSentToPrinterStatus = 41;
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
// The tray list's items.
inline constexpr int kAutoTray = 121;
inline constexpr int kMultiPurposeTray = 122;
inline constexpr int kTrayOne = 123;
// The printer-mode window.
inline constexpr int kDriverOnButton = 126;
inline constexpr int kDriverOffButton = 127;
inline constexpr int kPrinterModeTitle = 128;
inline constexpr int kPowerCycleNote = 136;
// The size and margin dialogs.
inline constexpr int kPaperSizeLabel = 30;
inline constexpr int kXSizeLabel = 56;
inline constexpr int kYSizeLabel = 57;
inline constexpr int kPrintMargins = 137;
inline constexpr int kPrintableAreaLabel = 138;
inline constexpr int kGetPrinterMarginsButton = 139;
inline constexpr int kCustomPaperTitle = 147;
inline constexpr int kCustomPaperNote = 148;
inline constexpr int kDeleteButton = 151;
inline constexpr int kCustomPaperDeleteNote = 152;
// The JPEG background-removal, units and language dialogs.
inline constexpr int kJpegSettingsTitle = 70;
inline constexpr int kJpegSettingsNote = 72;
inline constexpr int kJpegSettingsNoteMore = 73;
inline constexpr int kBackgroundThresholdLabel = 74;
inline constexpr int kUnitsTitle = 75;
inline constexpr int kUnitsPrompt = 76;
inline constexpr int kLanguageTitle = 80;
inline constexpr int kLanguagePrompt = 81;
// The colour-adjust window and its channel list.
inline constexpr int kColourAdjustTitle = 82;
inline constexpr int kAllChannels = 83;
inline constexpr int kCyanChannel = 84;
inline constexpr int kMagentaChannel = 85;
inline constexpr int kYellowChannel = 86;
// The title of the toner-order question.
inline constexpr int kTonerOrderTitle = 201;
// The black-removal dialog.
inline constexpr int kBlackRemovalTitle = 266;
inline constexpr int kBlackRemovalThresholdLabel = 267;
inline constexpr int kBlackRemovalNote = 268;
// The statistics windows and the cost estimate.
inline constexpr int kStatisticsTitle = 271;
inline constexpr int kYieldHeading = 272;
inline constexpr int kCostHeading = 273;
inline constexpr int kCurrencyLabel = 274;
inline constexpr int kColourTonerLabel = 276;
inline constexpr int kWhiteTonerLabel = 277;
inline constexpr int kStatisticsOnlyOption = 278;
inline constexpr int kPrintAndStatisticsOption = 279;
inline constexpr int kPrintOnlyOption = 280;
inline constexpr int kStatisticsNote = 281;
inline constexpr int kFuserLabel = 282;
inline constexpr int kColourDrumLabel = 283;
inline constexpr int kWhiteDrumLabel = 284;
inline constexpr int kTransferBeltLabel = 285;
inline constexpr int kCopyToClipboardButton = 286;
inline constexpr int kCostSentence = 287;        // the printer, the cost of one print
inline constexpr int kCopiesCostSentence = 288;  // the number of copies, their cost
inline constexpr int kPaperCostNote = 289;
// Help documents: captions are the even entries 300..310, document names the odd ones.
inline constexpr int kFirstHelpDocumentName = 301;

}  // namespace kelvaro::ui

#endif  // KELVARO_SETTINGS_UI_TEXT_IDS_H_
