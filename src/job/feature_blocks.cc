#include "job/feature_blocks.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "job/ps_resources.h"
#include "platform/rounding.h"
#include "platform/text_helpers.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {
namespace {

constexpr char kCrLf[] = "\r\n";

bool Contains(std::string_view text, std::string_view part) {
  return !part.empty() && text.find(part) != std::string_view::npos;
}

// Appends lines given one per element, each ended by CR LF.
void AppendLines(std::string& out, std::initializer_list<std::string_view> lines) {
  for (std::string_view line : lines) {
    out += line;
    out += kCrLf;
  }
}

// A call into one of the printer's procedure sets, skipped when the set is missing.
// `operands` are pushed before the call; `count` is how many there are.
std::string PrinterCall(std::string_view set, std::string_view operands, int count,
                        std::string_view procedure) {
  std::string call = "/";
  call += set;
  call += " /ProcSet 2 copy resourcestatus{\n pop pop findresource";
  if (count > 0) {
    call += ' ';
    call += operands;
    call += ' ';
    call += std::to_string(count + 1);
    call += " -1 roll";
  }
  call += " /";
  call += procedure;
  call += " get exec\n}{pop pop}ifelse";
  return call;
}

std::string Driver(std::string_view operands, int count, std::string_view procedure) {
  return PrinterCall("DriverOps", operands, count, procedure);
}
std::string Rendering(std::string_view operands, int count, std::string_view procedure) {
  return PrinterCall("ColorRendering", operands, count, procedure);
}

// `body` runs only when `condition` (PostScript leaving a boolean) holds.
std::string When(std::string_view condition, const std::string& body) {
  return std::string(condition) + " {\n" + body + "\n} if";
}

// Conditions on the colour-management state the printer keeps in globaldict. A key that is
// not there reads as 0.
constexpr std::string_view kIcmsAtMost2 =
    "globaldict /OK@_ICMS 2 copy known {get} {pop pop 0} ifelse 2 le";
constexpr std::string_view kIcmsIs1 =
    "globaldict /OK@_ICMS 2 copy known {get} {pop pop 0} ifelse 1 eq";
constexpr std::string_view kIcmsIs2 =
    "globaldict /OK@_ICMS 2 copy known {get} {pop pop 0} ifelse 2 eq";
constexpr std::string_view kColorSelectIs1 =
    "globaldict /OK@_ColorSelect 2 copy known {get} {pop pop 0} ifelse 1 eq";
constexpr std::string_view kColorSelectIs2 =
    "globaldict /OK@_ColorSelect 2 copy known {get} {pop pop 0} ifelse 2 eq";

// Media table: UiText entry -> media code. A negative code marks the two entries whose code
// depends on the model (see MediaCodeFor).
struct MediaEntry {
  int text;
  int code;
};
constexpr int kMediumD = -1;
constexpr int kMediumA = -2;
constexpr std::array<MediaEntry, 31> kMediaTable = {{
    {101, 1},        {102, 2},        {103, 3},  {104, 4},  {105, 5},  {106, 6},  {107, 7},
    {108, 8},        {109, 9},        {110, 10}, {111, 11}, {112, 12}, {114, 13}, {115, 14},
    {194, 15},       {117, kMediumD}, {119, 18}, {196, 18}, {256, 28}, {142, 19}, {118, 20},
    {198, 16},       {199, 30},       {195, 22}, {116, 23}, {120, 24}, {257, 29}, {170, 31},
    {113, kMediumA}, {140, 26},       {141, 27},
}};

// The block of the media types that select by weight through globaldict /OK@MediaType. The
// spacing differs per keyword and printers have been seen to compare these texts, so it is
// kept exactly.
std::string WeightedMediaBlock(std::string_view keyword, std::string_view weight) {
  const bool medium_light = keyword == "MEDIUMLIGHT";
  const bool medium = keyword == "MEDIUM";
  const bool ultra_heavy1 = keyword == "ULTRAHEAVY1";
  const std::string_view tail = medium ? " " : "";
  std::string out = "featurebegin{\r\n";
  out += "%%BeginFeature: *OKMediaType ";
  out += keyword;
  out += medium_light ? " " : tail;
  out += kCrLf;
  if (medium) {
    out += " \r\n";
  } else if (!medium_light) {
    out += kCrLf;
  }
  out += "/DriverOps /ProcSet 2 copy resourcestatus{";
  out += tail;
  out += kCrLf;
  out += " pop pop findresource";
  out += tail;
  out += kCrLf;
  out += " null globaldict /OK@MediaType 2 copy known{get}{pop pop (Plain)}ifelse";
  out += medium || medium_light ? " " : "";
  out += kCrLf;
  out += " null ";
  out += weight;
  out += " false dup 7 -1 roll /custsetpd get exec";
  out += medium || ultra_heavy1 ? " " : "";
  out += kCrLf;
  out += "}{pop pop}ifelse";
  out += tail;
  out += kCrLf;
  out += "%%EndFeature\r\n}featurecleanup \r\n";
  return out;
}

// Labels and glossy media name their type and weight on one line.
std::string NamedMediaBlock(std::string_view keyword, std::string_view selector_line) {
  std::string out = "featurebegin{\r\n%%BeginFeature: *OKMediaType ";
  out += keyword;
  out += "\r\n\r\n/DriverOps /ProcSet 2 copy resourcestatus{\r\n pop pop findresource\r\n";
  out += selector_line;
  out += "\r\n}{pop pop}ifelse\r\n%%EndFeature\r\n}featurecleanup \r\n";
  return out;
}

std::string LabelsBlock(std::string_view keyword, std::string_view weight) {
  return NamedMediaBlock(keyword, " null (Labels) null " + std::string(weight) +
                                      " false true 7 -1 roll /custsetpd get exec");
}

std::string TransparencyBlock() {
  std::string out;
  AppendLines(out, {
                       "featurebegin{",
                       "%%BeginFeature: *OKMediaType Transparency",
                       " ",
                       "/DriverOps /ProcSet 2 copy resourcestatus{",
                       " pop pop findresource",
                       " null (Transparency) null dup false",
                       " statusdict /papertray 2 copy known{get exec dup 4 eq exch 1 eq or "
                       "not}{pop pop false}ifelse ",
                       " 7 -1 roll /custsetpd get exec",
                       "}{pop pop}ifelse",
                       "%%EndFeature",
                       "}featurecleanup ",
                   });
  return out;
}

std::string InputSlotBlock(std::string_view slot, int slot_number, int cust_tray) {
  std::string out;
  AppendLines(
      out, {"featurebegin{", "%%BeginFeature: *InputSlot " + std::string(slot), "",
            " /DriverOps /ProcSet 2 copy resourcestatus{",
            " pop pop findresource " + std::to_string(slot_number) + " exch /setinputslot get exec",
            " }{pop pop}ifelse globaldict /OK@_CustTray " + std::to_string(cust_tray) + " put",
            "%%EndFeature", "}featurecleanup"});
  return out;
}

std::string CustomPageBlock(std::string_view size_line, bool trailing_blank) {
  std::string out;
  AppendLines(out, {"featurebegin{", "%%BeginFeature: *CustomPageSize", "", size_line,
                    "/DriverOps /ProcSet 2 copy resourcestatus{",
                    "pop pop findresource /setcustompage get exec",
                    trailing_blank ? "}{pop pop}ifelse " : "}{pop pop}ifelse", "", "",
                    "%%EndFeature", "}featurecleanup"});
  return out;
}

std::string PageRegionBlock(std::string_view keyword, std::string_view index, int width,
                            int height) {
  std::string out;
  AppendLines(
      out, {"featurebegin{", "%%BeginFeature: *PageRegion " + std::string(keyword), "",
            " /OK@setpageregion where{ pop " + std::string(index) + " OK@setpageregion", " }{",
            "  <<", "   /PageSize [" + std::to_string(width) + " " + std::to_string(height) + "]",
            "   /MediaType globaldict /OK@MediaType 2 copy known{get}{pop pop null}ifelse",
            "  >> setpagedevice", " }ifelse", "%%EndFeature", "}featurecleanup"});
  return out;
}

std::string FourDecimals(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

}  // namespace

std::string FeatureBlock(std::string_view keyword_and_option, std::string_view body) {
  std::string out = "featurebegin{\r\n%%BeginFeature: ";
  out += keyword_and_option;
  out += "\r\n\r\n";
  if (!body.empty()) AppendPostScript(out, body);
  out += "%%EndFeature\r\n}featurecleanup\r\n";
  return out;
}

int MediaCodeFor(std::string_view media_text, std::string_view model_name, const UiText& texts) {
  const bool ultra_heavy = CapabilitiesOf(model_name).ultra_heavy_medium_d_and_a;
  int code = 0;
  for (const MediaEntry& entry : kMediaTable) {
    const std::string& text = texts[entry.text];
    if (text.empty() || text != media_text) continue;
    if (entry.code == kMediumD) {
      code = ultra_heavy ? 8 : 17;
    } else if (entry.code == kMediumA) {
      code = ultra_heavy ? 14 : 25;
    } else {
      code = entry.code;
    }
  }
  return code;
}

std::string MediaTypeFeatureForCode(int media_code, PaperClass paper_class) {
  const bool heavy_paper = paper_class > 1;
  switch (media_code) {
    case 0:
    case 1:
      return "featurebegin{\r\n%%BeginFeature: *OKMediaType PRINTERDEFAULT\r\n\r\n\r\n"
             "%%EndFeature\r\n}featurecleanup \r\n";
    case 2:
      return WeightedMediaBlock("LIGHT", "74");
    case 3:
      return WeightedMediaBlock("MEDIUMLIGHT", "82");
    case 4:
    case 20:
    case 22:
      return WeightedMediaBlock("MEDIUM", "104");
    case 5:
    case 13:
    case 24:
      return WeightedMediaBlock("HEAVY", "120");
    case 15:
    case 16:
      return heavy_paper ? WeightedMediaBlock("ULTRAHEAVY1", "188")
                         : WeightedMediaBlock("HEAVY", "120");
    case 6:
    case 14:
    case 26:
    case 30:
      return WeightedMediaBlock("ULTRAHEAVY1", "188");
    case 7:
    case 31:
      return WeightedMediaBlock("ULTRAHEAVY2", "220");
    case 8:
      return WeightedMediaBlock("ULTRAHEAVY3", "250");
    case 9:
    case 23:
    case 27:
      return LabelsBlock("Labels1", "120");
    case 10:
    case 17:
      return LabelsBlock("Labels2", "188");
    case 11:
      return NamedMediaBlock("GLOSSY",
                             " null (Glossy) null 188 false dup 7 -1 roll /custsetpd get exec");
    case 12:
    case 29:
      return TransparencyBlock();
    case 18:
    case 19:
    case 28:
      return heavy_paper ? LabelsBlock("Labels2", "188") : LabelsBlock("Labels1", "120");
    default:
      return {};
  }
}

std::string BuildMediaTypeFeature(std::string_view media_text, std::string_view model_name,
                                  PaperClass paper_class, const UiText& texts) {
  return MediaTypeFeatureForCode(MediaCodeFor(media_text, model_name, texts), paper_class);
}

std::string TrayFeature(std::string_view tray_text, const UiText& texts) {
  if (Contains(tray_text, texts[ui::kAutoTray])) return {};
  if (Contains(tray_text, texts[ui::kMultiPurposeTray])) return InputSlotBlock("FRONT", 4, 3);
  if (Contains(tray_text, texts[ui::kTrayOne])) return InputSlotBlock("UPPER", 1, 0);
  return {};
}

std::string OutputBinFeature(std::string_view model_name, bool face_up_exit) {
  if (!CapabilitiesOf(model_name).output_bin) return {};
  std::string out;
  AppendLines(
      out,
      {"featurebegin{",
       face_up_exit ? "%%BeginFeature: *OutputBin Rear" : "%%BeginFeature: *OutputBin Stacker", "",
       face_up_exit ? " << /OutputType (Lower) >> setpagedevice"
                    : " << /OutputType (Upper) >> setpagedevice",
       "%%EndFeature", "}featurecleanup"});
  return out;
}

int ClampNumberOfPrints(std::string_view field_text) {
  // The leading number of the field; anything that is not a number counts as 0.
  std::size_t i = 0;
  while (i < field_text.size() && (field_text[i] == ' ' || field_text[i] == '\t')) ++i;
  bool negative = false;
  if (i < field_text.size() && (field_text[i] == '-' || field_text[i] == '+')) {
    negative = field_text[i] == '-';
    ++i;
  }
  double value = 0;
  bool digits = false;
  for (; i < field_text.size() && field_text[i] >= '0' && field_text[i] <= '9'; ++i) {
    digits = true;
    if (value < 1e6) value = value * 10 + (field_text[i] - '0');
  }
  if (i < field_text.size() && field_text[i] == '.') {
    double scale = 0.1;
    for (++i; i < field_text.size() && field_text[i] >= '0' && field_text[i] <= '9'; ++i) {
      digits = true;
      value += (field_text[i] - '0') * scale;
      scale /= 10;
    }
  }
  if (!digits) return 1;
  if (negative) value = -value;
  const double whole = RoundEvenAsDouble(value);
  if (whole < 1) return 1;
  if (whole > 99) return 99;
  return static_cast<int>(whole);
}

std::string NumCopiesFeature(int number_of_prints) {
  if (number_of_prints <= 1) return {};
  const std::uint32_t n = static_cast<std::uint32_t>(number_of_prints);
  std::string out = "featurebegin{\r\n%%BeginNonPPDFeature: NumCopies  ";
  out += std::to_string(number_of_prints);
  out += kCrLf;
  // Binary token 133: a 32-bit integer, low-order byte first.
  out += '\x85';
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((n >> shift) & 0xFF);
  AppendLines(out, {" /languagelevel where {pop languagelevel}{1} ifelse",
                    "2 ge { 1 dict dup /NumCopies 4 -1 roll put setpagedevice }{ userdict "
                    "/#copies 3 -1 roll put } ifelse",
                    "%%EndNonPPDFeature", "}featurecleanup", ""});
  return out;
}

PageChoice ChoosePage(std::string_view paper_name, int page_width_pt, int page_height_pt,
                      bool with_a4_sef) {
  const std::string_view key = Trim(paper_name, kSpaces).substr(0, 6);
  if (key == "A4")
    return {PageRegionBlock("A4", "0", page_width_pt, page_height_pt), "12.99968 829.00067"};
  if (key == "A3")
    return {PageRegionBlock("A3", "26", page_width_pt, page_height_pt), "12.99968 1177.99938"};
  if (key == "A4 SEF" && with_a4_sef) {
    return {CustomPageBlock("595 842 0 0 1", true), "12.99968 828.89007"};
  }
  if (key == "A5 SEF")
    return {PageRegionBlock("A5", "5", page_width_pt, page_height_pt), "12.9997 582.00097"};
  if (key == "A6 SEF")
    return {PageRegionBlock("A6", "20", page_width_pt, page_height_pt), "12.99968 407.00125"};
  if (key == "A4BC 2") return {CustomPageBlock("612 907 0 0 1", true), "12.99968 894"};
  if (key == "A4XL 2") return {CustomPageBlock("612 1190 0 0 1", true), "12.99968 1177.99938"};
  const std::string size_line =
      std::to_string(page_width_pt) + " " + std::to_string(page_height_pt) + " 0 0 1";
  return {CustomPageBlock(size_line, false),
          FourDecimals(12.99968) + " " + FourDecimals(page_height_pt - 13.0)};
}

std::string SetupTimeoutFeatures() {
  std::string out;
  AppendLines(out, {"featurebegin{", "%%BeginNonPPDFeature: JobTimeout 0",
                    "0 /languagelevel where {pop languagelevel} {1} ifelse 2 ge {1 dict dup "
                    "/JobTimeout 4 -1 roll put setuserparams} {statusdict /setjobtimeout get "
                    "exec} ifelse",
                    "%%EndNonPPDFeature", "}featurecleanup", "", "featurebegin{",
                    "%%BeginNonPPDFeature: WaitTimeout 300",
                    "300 /languagelevel where {pop languagelevel} {1} ifelse 2 ge {1 dict dup "
                    "/WaitTimeout 4 -1 roll put setuserparams} {statusdict /waittimeout 3 -1 "
                    "roll put} ifelse",
                    "%%EndNonPPDFeature", "}featurecleanup", ""});
  out += FeatureBlock("*TraySwitch False", "1 dict dup /TraySwitch false put setpagedevice");
  out += kCrLf;
  return out;
}

std::string JobTypeAndCollateFeatures() {
  return FeatureBlock("*OKJob_Type Normal", " globaldict /OK@_Type 0 put") +
         FeatureBlock("*OKCollate False", " << /Collate false >> setpagedevice");
}

std::string ScreenResolutionHairline() {
  // The resolution pair follows the print head: [600 1200] on 600 dpi heads and when the
  // printer does not say, [1200 1200] otherwise.
  return FeatureBlock("*OKScreenObo True", " globaldict /OK@bscreenobo true put") +
         FeatureBlock("*OKResolution FINE",
                      "/DriverOps /ProcSet 2 copy resourcestatus{\n"
                      " pop pop findresource\n"
                      " dup /headresolution known\n"
                      " {dup /headresolution get 600 eq {[600 1200]} {[1200 1200]} ifelse}\n"
                      " {[600 1200]} ifelse\n"
                      " 600 0 1 2 6 -1 roll /setokresolution get exec\n"
                      "}{pop pop}ifelse") +
         FeatureBlock("*OKHairLine True",
                      " globaldict /OK@bstrokeadj true put true setstrokeadjust");
}

namespace {

// Feeding, duplex, separations and the paper-size check.
std::string PaperHandlingFeatures() {
  std::string out;
  out += FeatureBlock("*OKManualFeed False", " << /ManualFeed false >> setpagedevice");
  out += FeatureBlock("*Duplex None",
                      " << /Duplex false /Tumble false /Policies << /Duplex 2 >> >> "
                      "setpagedevice");
  out += FeatureBlock("*OKSeparationorder OFF", " << /Separations false >> setpagedevice");
  // Not bracketed by featurebegin: both calls are looked up before they are made.
  AppendPostScript(out,
                   "%%BeginFeature: *OKPageSizeCheck False\n"
                   "statusdict /setpapersizecheck known "
                   "{false statusdict /setpapersizecheck get exec} if\n"
                   "/DriverOps /ProcSet 2 copy resourcestatus{\n"
                   " pop pop findresource dup /setpapersizecheckmode known\n"
                   " {false exch /setpapersizecheckmode get exec} {pop} ifelse\n"
                   "}{pop pop}ifelse\n"
                   "%%EndFeature");
  return out;
}

// The colour mode and how the printer renders colour.
std::string ColourModeFeatures() {
  std::string out;
  out += FeatureBlock("*OKControl Graph",
                      "globaldict /OK@ColorMono known not {globaldict /OK@ColorMono 0 put} if\n" +
                          Driver("globaldict /OK@ColorMono get 1 eq\n"
                                 " {5 4 false <</SelectHalftone 1>> true}\n"
                                 " {1 2 false <</SelectColorMode 2 /SelectHalftone 1>> false} "
                                 "ifelse\n",
                                 5, "setcolmode"));
  out += FeatureBlock("*OKTargetColor None",
                      When(kColorSelectIs1, Driver("<</CMYKTransform 1>>", 1, "setdrinfo")));
  out += FeatureBlock(
      "*OKColorICMS ICCPro",
      When(kColorSelectIs2, "globaldict /OK@_ICMS 1 put\n" +
                                Driver("<</SelectColorMode 2 /InkSimulation 0>>", 1, "setdrinfo")));
  out += FeatureBlock(
      "*OKBlackSubGra Glossy",
      When(kIcmsAtMost2, Driver("1", 1, "setdri_bk") + "\n" + Rendering("0", 1, "setcmout")));
  out += FeatureBlock(
      "*OKColorRenderStyle Natural",
      When(std::string(kColorSelectIs1) +
               " currentpagedevice /UseCIEColor 2 copy known {get} {pop pop false} ifelse not and",
           Driver("2", 1, "setdri_cm") + "\n" + Rendering("1", 1, "setcrd")));
  out += FeatureBlock("*OKColorRenderDict Perceptual",
                      When(kIcmsAtMost2, Rendering("0", 1, "setrenderingintent")));
  return out;
}

// The colour profiles and how black is kept.
std::string ColourProfileFeatures() {
  std::string out;
  out += FeatureBlock("*OKCMYKProfile Link", When(kIcmsIs1, "globaldict /OK@_CMYK_IN_LN 2 put"));
  out += FeatureBlock("*OKRGBProfile OutType1",
                      When(kIcmsAtMost2, Rendering("1", 1, "setrgbuserprofile")));
  out += FeatureBlock("*OKCMYKInputProfile InputType4",
                      When(kIcmsIs1, Rendering("1", 1, "setcmykuserprofile")));
  out += FeatureBlock("*OKCMYKLinkProfile None", Rendering("false 0", 2, "setoklinkprof"));
  out += FeatureBlock("*OKOutProfile Auto", "");
  out += FeatureBlock("*OKSimProfile None",
                      When(kIcmsIs2, Driver("<</CMYKTransform 1>>", 1, "setdrinfo")));
  out += FeatureBlock("*OKPureBlack True", Rendering("1", 1, "setblackpreservation"));
  out += FeatureBlock(
      "*OKPreserveBlack True",
      When(kIcmsAtMost2,
           Driver("<</CustomCMYKMode globaldict /OK@_CMYK_IN_LN 2 copy known {get} {pop pop 0} "
                  "ifelse 2 eq {2} {1} ifelse>>",
                  1, "setdrinfo")));
  return out;
}

// Smoothing, colour matching, halftones, overprint and the device options.
std::string DeviceOptionFeatures() {
  std::string out;
  out += FeatureBlock("*OKImageSmoothing False", " globaldict /OK@b_ISmooth false put");
  out += FeatureBlock("*OKColorMatch Normal",
                      When(kIcmsAtMost2, Rendering("2", 1, "setcoloroperationtype")));
  out += FeatureBlock("*OKAlwaysPrnHT True",
                      Driver("", 0, "initalwayprnht") + "\nglobaldict /OK@_AlwaysPrHT true put");
  out += FeatureBlock("*OKOverPrint False", " globaldict /OK@_K_OVP false put");
  out += FeatureBlock("*OKDrumClean OFF", "");
  out += FeatureBlock("*OKHDDSpool False", "");
  return out;
}

}  // namespace

std::string ColourAndDeviceFeatures() {
  return PaperHandlingFeatures() + ColourModeFeatures() + ColourProfileFeatures() +
         DeviceOptionFeatures();
}

std::string PageSetupFeatures() {
  std::string out;
  out += FeatureBlock("*OKEnvRotate False", Driver("false", 1, "winpagerotate"));
  out += FeatureBlock("*OKOverlay NotUse", " globaldict /OK@_Overlay 0 put");
  for (std::string_view empty : {"*Resolution 600dpi", "*OKOptionTray 0", "*OKOptionDuplex False",
                                 "*OKHDD False", "*InstalledMemory 256MB", "*OKJobLimit False"}) {
    out += FeatureBlock(empty, "");
  }
  return out;
}

}  // namespace kelvaro
