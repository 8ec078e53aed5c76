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
inline constexpr int kOpenFileButton = 11;
inline constexpr int kSaveSettingsButton = 21;
inline constexpr int kPrintButton = 28;
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
inline constexpr int kPrinterModeNote = 136;
// The size and margin dialogs.
inline constexpr int kCustomName = 30;
inline constexpr int kCustomWidth = 56;
inline constexpr int kCustomHeight = 57;
inline constexpr int kMarginsTitle = 137;
inline constexpr int kPrintableArea = 138;
inline constexpr int kGetPrinterMargins = 139;
inline constexpr int kCustomSizeTitle = 147;
inline constexpr int kCustomSizeHelp = 148;
inline constexpr int kDeleteButton = 151;
inline constexpr int kCustomDeleteHelp = 152;
// The JPEG background-removal, units and language dialogs.
inline constexpr int kJpegTitle = 70;
inline constexpr int kJpegExplanation = 72;
inline constexpr int kJpegNote = 73;
inline constexpr int kJpegThreshold = 74;
inline constexpr int kUnitsTitle = 75;
inline constexpr int kUnitsPrompt = 76;
inline constexpr int kLanguageTitle = 80;
inline constexpr int kLanguagePrompt = 81;
// The colour-adjust window and its channel list.
inline constexpr int kColourTitle = 82;
inline constexpr int kColourFirstChannel = 83;
inline constexpr int kCyanChannel = 84;
inline constexpr int kMagentaChannel = 85;
inline constexpr int kYellowChannel = 86;
// The title of the toner-order question.
inline constexpr int kTonerOrderTitle = 201;
// The black-removal dialog.
inline constexpr int kBlackRemovalTitle = 266;
inline constexpr int kBlackRemovalThreshold = 267;
inline constexpr int kBlackRemovalNote = 268;
// The statistics windows and the cost estimate.
inline constexpr int kStatisticsTitle = 271;
inline constexpr int kYieldHeading = 272;
inline constexpr int kCostHeading = 273;
inline constexpr int kCurrencyLabel = 274;
inline constexpr int kColourTonerLabel = 276;
inline constexpr int kWhiteTonerLabel = 277;
inline constexpr int kStatisticsOnlyMode = 278;
inline constexpr int kPrintAndStatisticsMode = 279;
inline constexpr int kPrintOnlyMode = 280;
inline constexpr int kStatisticsNote = 281;
inline constexpr int kFuserLabel = 282;
inline constexpr int kColourDrumLabel = 283;
inline constexpr int kWhiteDrumLabel = 284;
inline constexpr int kTransferBeltLabel = 285;
inline constexpr int kCopyToClipboard = 286;
inline constexpr int kCostSentence = 287;        // the printer, the cost of one print
inline constexpr int kCopiesCostSentence = 288;  // the number of copies, their cost
inline constexpr int kPaperCostNote = 289;
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
// The main window's captions and menu entries.
inline constexpr int kTitleLine = 29;
inline constexpr int kPrinterListLabel = 42;
inline constexpr int kMediaListLabel = 44;
inline constexpr int kTrayListLabel = 43;
inline constexpr int kCopiesLabel = 45;
inline constexpr int kPatternPrintButton = 241;
inline constexpr int kDisplayWhite = 46;
inline constexpr int kThresholdOn = 47;
inline constexpr int kPrintWhite = 48;
inline constexpr int kPrintCmy = 49;
inline constexpr int kWhiteDensityLabel = 52;
inline constexpr int kThresholdLabel = 54;
inline constexpr int kWhiteControlsGroup = 260;
inline constexpr int kImageControlsGroup = 261;
inline constexpr int kAlignControlsGroup = 262;
inline constexpr int kMirror = 50;
inline constexpr int kRotate = 51;
inline constexpr int kFlip = 175;
inline constexpr int kGuardArea = 264;
inline constexpr int kBackgroundRemoval = 125;
inline constexpr int kPatternPreview = 265;
inline constexpr int kBrightnessLabel = 55;
inline constexpr int kContrastLabel = 249;
inline constexpr int kDpiLabel = 58;
inline constexpr int kXCopyLabel = 60;
inline constexpr int kYCopyLabel = 61;
inline constexpr int kTotalLabel = 62;
inline constexpr int kAutomaticTile = 63;
inline constexpr int kOptimalLayout = 263;
inline constexpr int kFitToPage = 64;
inline constexpr int kPrintMenu = 12;
inline constexpr int kPrintBlankPageMenu = 174;
inline constexpr int kExitMenu = 13;
inline constexpr int kJpegSettingsMenu = 15;
inline constexpr int kDefaultProfilesMenu = 291;
inline constexpr int kInputProfileMenu = 16;
inline constexpr int kOutputProfileMenu = 17;
inline constexpr int kColourDialogMenu = 18;
inline constexpr int kUnitsSettingsMenu = 19;
inline constexpr int kLoadBuiltInSettingsMenu = 209;
inline constexpr int kLoadDefaultsMenu = 23;
inline constexpr int kStatisticsSetupMenu = 270;
inline constexpr int kLanguageMenu = 20;
inline constexpr int kHelpFileMenu = 299;
inline constexpr int kAboutMenu = 26;
// Help documents: captions are the even entries 300..310, document names the odd ones.
inline constexpr int kFirstHelpDocumentCaption = 300;
inline constexpr int kFirstHelpDocumentName = 301;

}  // namespace kelvaro::ui

#endif  // KELVARO_SETTINGS_UI_TEXT_IDS_H_
