#ifndef KELVARO_APP_CONTROL_IDS_H_
#define KELVARO_APP_CONTROL_IDS_H_

#include <array>

// The fixed numeric identifiers of the main window's controls and menu commands. Other parts
// of the program read and set controls by these numbers, and stored files refer to some of
// them, so they never change.
namespace kelvaro::control {

// The window itself; its caption is the title bar text.
inline constexpr int kMainWindow = 0;

// Status group.
inline constexpr int kTonerOrderIndicator = 1249;
inline constexpr int kTitleLine = 1274;
inline constexpr int kProgressBar = 1342;
inline constexpr int kStatusLine = 1276;

// Printer group.
inline constexpr int kPrinterList = 1335;
inline constexpr int kPrinterListLabel = 1273;
inline constexpr int kMediaList = 1314;
inline constexpr int kMediaListLabel = 1300;
inline constexpr int kPaperList = 1313;
inline constexpr int kPaperListLabel = 1298;
inline constexpr int kTrayList = 1333;
inline constexpr int kTrayListLabel = 1332;
inline constexpr int kCopiesEdit = 1146;
inline constexpr int kCopiesLabel = 1278;

// Action buttons.
inline constexpr int kPrintButton = 1334;
inline constexpr int kPatternPrintButton = 1180;

// White group.
inline constexpr int kDisplayWhite = 1165;
inline constexpr int kThresholdOn = 1359;
inline constexpr int kPrintWhite = 1341;
inline constexpr int kPrintCmy = 1339;
inline constexpr int kWhiteDensitySlider = 1370;
inline constexpr int kWhiteDensityLabel = 1372;
inline constexpr int kWhiteDensityValue = 1373;
inline constexpr int kThresholdSlider = 1366;
inline constexpr int kThresholdLabel = 1106;
inline constexpr int kThresholdValue = 1264;
inline constexpr int kWhiteControlsGroup = 1265;
inline constexpr int kImageControlsGroup = 1263;
inline constexpr int kAlignControlsGroup = 1262;
// The white edge: its caption, the width in hundredths of a millimetre and Choke / Spread.
inline constexpr int kWhiteEdgeLabel = 1390;
inline constexpr int kWhiteEdgeWidth = 1391;
inline constexpr int kWhiteEdgeMode = 1392;
// Shows the white plane of the page in place of the preview.
inline constexpr int kWhiteView = 1393;

// Image group.
inline constexpr int kMirror = 1120;
inline constexpr int kRotate = 1121;
inline constexpr int kFlip = 1343;
inline constexpr int kGuardArea = 1122;
inline constexpr int kBackgroundRemoval = 1119;
inline constexpr int kBlackRemoval = 1384;
inline constexpr int kPatternPreview = 1330;
inline constexpr int kBrightnessSlider = 1109;
inline constexpr int kContrastSlider = 1113;
inline constexpr int kBrightnessLabel = 1115;
inline constexpr int kContrastLabel = 1111;
inline constexpr int kBrightnessValue = 1112;
inline constexpr int kContrastValue = 1116;
inline constexpr int kBrightnessReset = 1110;
inline constexpr int kContrastReset = 1114;

// Layout group.
inline constexpr int kDpiEdit = 1222;
inline constexpr int kDpiLabel = 1267;
inline constexpr int kZoomEdit = 1345;
inline constexpr int kXCopyEdit = 1147;
inline constexpr int kYCopyEdit = 1148;
inline constexpr int kTotalEdit = 1355;
inline constexpr int kXCopyLabel = 1270;
inline constexpr int kYCopyLabel = 1271;
inline constexpr int kTotalLabel = 1272;
inline constexpr int kXSizeEdit = 1374;
inline constexpr int kYSizeEdit = 1375;
inline constexpr int kXSizeLabel = 1277;
inline constexpr int kYSizeLabel = 1266;
inline constexpr int kUnitLabel = 1297;
inline constexpr int kAutomaticTile = 1107;
inline constexpr int kOptimalLayout = 1329;
inline constexpr int kFitToPage = 1224;

// The 3 × 3 placement grid for a single copy, row by row from the top left.
inline constexpr int kPlacementTopLeft = 1317;
inline constexpr int kPlacementTopCentre = 1318;
inline constexpr int kPlacementTopRight = 1319;
inline constexpr int kPlacementMiddleLeft = 1320;
inline constexpr int kPlacementCentre = 1321;
inline constexpr int kPlacementMiddleRight = 1322;
inline constexpr int kPlacementBottomLeft = 1323;
inline constexpr int kPlacementBottomCentre = 1324;
inline constexpr int kPlacementBottomRight = 1325;

inline constexpr int kSmallX1 = 1346;
inline constexpr int kSmallX2 = 1347;
inline constexpr int kSmallX3 = 1348;
inline constexpr int kSmallX4 = 1349;

// Preview tool buttons 1233 to 1248 and 1250.
inline constexpr int kFirstPreviewTool = 1233;
inline constexpr int kLastPreviewTool = 1248;
inline constexpr int kPreviewToolPaper = 1250;
// The preview modes of the tool buttons whose mode is settled; the others only redraw.
struct PreviewToolMode {
  int button;
  int mode;
};
inline constexpr std::array<PreviewToolMode, 8> kPreviewToolModes = {{{1233, 16},
                                                                      {1241, 15},
                                                                      {1242, 14},
                                                                      {1243, 13},
                                                                      {1244, 12},
                                                                      {1245, 11},
                                                                      {1246, 10},
                                                                      {kPreviewToolPaper, 17}}};

// The tip line beside the media list: the chosen preset's tip.
inline constexpr int kMediaTipLine = 1280;

inline constexpr int kPreviewImage = 1232;
inline constexpr int kPrintCmyHint = 1351;

// Hand choice picture toggle buttons.
inline constexpr int kLeftHand = 1252;
inline constexpr int kRightHand = 1253;

}  // namespace kelvaro::control

namespace kelvaro::command {

// File menu.
inline constexpr int kOpenFile = 1517;
inline constexpr int kPrint = 1518;
inline constexpr int kPrintMargins = 1534;
inline constexpr int kPrintBlankPage = 1536;
inline constexpr int kExit = 1513;
inline constexpr int kRecentFile1 = 1507;
inline constexpr int kRecentFile2 = 1508;
inline constexpr int kRecentFile3 = 1510;
inline constexpr int kRecentFile4 = 1511;
inline constexpr int kRecentFile5 = 1512;
inline constexpr std::array<int, 5> kRecentFiles = {kRecentFile1, kRecentFile2, kRecentFile3,
                                                    kRecentFile4, kRecentFile5};

// Tools menu.
inline constexpr int kJpegSettings = 1531;
inline constexpr int kBlackRemovalDialog = 1504;
inline constexpr int kDefaultProfiles = 1525;
inline constexpr int kInputProfile = 1527;
inline constexpr int kOutputProfile = 1526;
inline constexpr int kColourDialog = 1503;
inline constexpr int kCustomPaperSize = 1506;
inline constexpr int kUnitsSettings = 1543;
inline constexpr int kPatternPrintSetup = 1537;
inline constexpr int kSaveSettings = 1520;
inline constexpr int kLoadSettings = 1516;
inline constexpr int kLoadBuiltInSettings = 1515;
inline constexpr int kLoadDefaults = 1533;

// Utility menu.
inline constexpr int kPrinterMode = 1544;
inline constexpr int kTonerOrder = 1542;
inline constexpr int kStatisticsSetup = 3000;
inline constexpr int kLanguage = 1532;

// Help menu: six documents named by the language file, the help file and About.
inline constexpr int kHelpDocument1 = 1550;
inline constexpr int kHelpDocument6 = 1555;
inline constexpr int kHelpFile = 1549;
inline constexpr int kAbout = 1521;

}  // namespace kelvaro::command

#endif  // KELVARO_APP_CONTROL_IDS_H_
