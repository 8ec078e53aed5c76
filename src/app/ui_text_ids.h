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

}  // namespace kelvaro::ui

#endif  // KELVARO_APP_UI_TEXT_IDS_H_
