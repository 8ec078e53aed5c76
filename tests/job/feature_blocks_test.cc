#include "job/feature_blocks.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace kelvaro {
namespace {

UiText EnglishTexts() {
  UiText texts;
  LoadDefaultTexts(texts);
  return texts;
}

// Lines as the printer's driver writes them, each ended by CR LF. Trailing blanks are part of
// the line.
std::string CrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

// Every media-type block the job can carry, by keyword, written out line by line.
const std::map<std::string, std::string>& MediaBlocks() {
  static const std::map<std::string, std::string> blocks = {
      {"PRINTERDEFAULT", CrLf({"featurebegin{", "%%BeginFeature: *OKMediaType PRINTERDEFAULT", "",
                               "", "%%EndFeature", "}featurecleanup "})},
      {"LIGHT", CrLf({"featurebegin{", "%%BeginFeature: *OKMediaType LIGHT", "",
                      "/DriverOps /ProcSet 2 copy resourcestatus{", " pop pop findresource",
                      " null globaldict /OK@MediaType 2 copy known{get}{pop pop (Plain)}ifelse",
                      " null 74 false dup 7 -1 roll /custsetpd get exec", "}{pop pop}ifelse",
                      "%%EndFeature", "}featurecleanup "})},
      // No blank line after the comment; the comment and the selector line end in a blank.
      {"MEDIUMLIGHT",
       CrLf({"featurebegin{", "%%BeginFeature: *OKMediaType MEDIUMLIGHT ",
             "/DriverOps /ProcSet 2 copy resourcestatus{", " pop pop findresource",
             " null globaldict /OK@MediaType 2 copy known{get}{pop pop (Plain)}ifelse ",
             " null 82 false dup 7 -1 roll /custsetpd get exec", "}{pop pop}ifelse", "%%EndFeature",
             "}featurecleanup "})},
      // A line of one blank after the comment, trailing blanks on six lines.
      {"MEDIUM", CrLf({"featurebegin{", "%%BeginFeature: *OKMediaType MEDIUM ", " ",
                       "/DriverOps /ProcSet 2 copy resourcestatus{ ", " pop pop findresource ",
                       " null globaldict /OK@MediaType 2 copy known{get}{pop pop (Plain)}ifelse ",
                       " null 104 false dup 7 -1 roll /custsetpd get exec ", "}{pop pop}ifelse ",
                       "%%EndFeature", "}featurecleanup "})},
      {"HEAVY", CrLf({"featurebegin{", "%%BeginFeature: *OKMediaType HEAVY", "",
                      "/DriverOps /ProcSet 2 copy resourcestatus{", " pop pop findresource",
                      " null globaldict /OK@MediaType 2 copy known{get}{pop pop (Plain)}ifelse",
                      " null 120 false dup 7 -1 roll /custsetpd get exec", "}{pop pop}ifelse",
                      "%%EndFeature", "}featurecleanup "})},
      {"ULTRAHEAVY1",
       CrLf({"featurebegin{", "%%BeginFeature: *OKMediaType ULTRAHEAVY1", "",
             "/DriverOps /ProcSet 2 copy resourcestatus{", " pop pop findresource",
             " null globaldict /OK@MediaType 2 copy known{get}{pop pop (Plain)}ifelse",
             " null 188 false dup 7 -1 roll /custsetpd get exec ", "}{pop pop}ifelse",
             "%%EndFeature", "}featurecleanup "})},
      {"ULTRAHEAVY2",
       CrLf({"featurebegin{", "%%BeginFeature: *OKMediaType ULTRAHEAVY2", "",
             "/DriverOps /ProcSet 2 copy resourcestatus{", " pop pop findresource",
             " null globaldict /OK@MediaType 2 copy known{get}{pop pop (Plain)}ifelse",
             " null 220 false dup 7 -1 roll /custsetpd get exec", "}{pop pop}ifelse",
             "%%EndFeature", "}featurecleanup "})},
      {"ULTRAHEAVY3",
       CrLf({"featurebegin{", "%%BeginFeature: *OKMediaType ULTRAHEAVY3", "",
             "/DriverOps /ProcSet 2 copy resourcestatus{", " pop pop findresource",
             " null globaldict /OK@MediaType 2 copy known{get}{pop pop (Plain)}ifelse",
             " null 250 false dup 7 -1 roll /custsetpd get exec", "}{pop pop}ifelse",
             "%%EndFeature", "}featurecleanup "})},
      {"Labels1", CrLf({"featurebegin{", "%%BeginFeature: *OKMediaType Labels1", "",
                        "/DriverOps /ProcSet 2 copy resourcestatus{", " pop pop findresource",
                        " null (Labels) null 120 false true 7 -1 roll /custsetpd get exec",
                        "}{pop pop}ifelse", "%%EndFeature", "}featurecleanup "})},
      {"Labels2", CrLf({"featurebegin{", "%%BeginFeature: *OKMediaType Labels2", "",
                        "/DriverOps /ProcSet 2 copy resourcestatus{", " pop pop findresource",
                        " null (Labels) null 188 false true 7 -1 roll /custsetpd get exec",
                        "}{pop pop}ifelse", "%%EndFeature", "}featurecleanup "})},
      {"GLOSSY", CrLf({"featurebegin{", "%%BeginFeature: *OKMediaType GLOSSY", "",
                       "/DriverOps /ProcSet 2 copy resourcestatus{", " pop pop findresource",
                       " null (Glossy) null 188 false dup 7 -1 roll /custsetpd get exec",
                       "}{pop pop}ifelse", "%%EndFeature", "}featurecleanup "})},
      {"Transparency",
       CrLf({"featurebegin{", "%%BeginFeature: *OKMediaType Transparency", " ",
             "/DriverOps /ProcSet 2 copy resourcestatus{", " pop pop findresource",
             " null (Transparency) null dup false",
             " statusdict /papertray 2 copy known{get exec dup 4 eq exch 1 eq or not}{pop pop "
             "false}ifelse ",
             " 7 -1 roll /custsetpd get exec", "}{pop pop}ifelse", "%%EndFeature",
             "}featurecleanup "})},
      {"", ""},
  };
  return blocks;
}

TEST(MediaTypeFeatureTest, EveryCodeGivesItsBlock) {
  // code -> keyword, for a light paper family (1) and a heavy one (2).
  const struct {
    int code;
    const char* light;
    const char* heavy;
  } rows[] = {
      {0, "PRINTERDEFAULT", "PRINTERDEFAULT"},
      {1, "PRINTERDEFAULT", "PRINTERDEFAULT"},
      {2, "LIGHT", "LIGHT"},
      {3, "MEDIUMLIGHT", "MEDIUMLIGHT"},
      {4, "MEDIUM", "MEDIUM"},
      {5, "HEAVY", "HEAVY"},
      {6, "ULTRAHEAVY1", "ULTRAHEAVY1"},
      {7, "ULTRAHEAVY2", "ULTRAHEAVY2"},
      {8, "ULTRAHEAVY3", "ULTRAHEAVY3"},
      {9, "Labels1", "Labels1"},
      {10, "Labels2", "Labels2"},
      {11, "GLOSSY", "GLOSSY"},
      {12, "Transparency", "Transparency"},
      {13, "HEAVY", "HEAVY"},
      {14, "ULTRAHEAVY1", "ULTRAHEAVY1"},
      {15, "HEAVY", "ULTRAHEAVY1"},
      {16, "HEAVY", "ULTRAHEAVY1"},
      {17, "Labels2", "Labels2"},
      {18, "Labels1", "Labels2"},
      {19, "Labels1", "Labels2"},
      {20, "MEDIUM", "MEDIUM"},
      {21, "", ""},
      {22, "MEDIUM", "MEDIUM"},
      {23, "Labels1", "Labels1"},
      // Listed under HEAVY and under Labels1; HEAVY is tested first.
      {24, "HEAVY", "HEAVY"},
      {25, "", ""},
      {26, "ULTRAHEAVY1", "ULTRAHEAVY1"},
      {27, "Labels1", "Labels1"},
      {28, "Labels1", "Labels2"},
      {29, "Transparency", "Transparency"},
      {30, "ULTRAHEAVY1", "ULTRAHEAVY1"},
      {31, "ULTRAHEAVY2", "ULTRAHEAVY2"},
      {32, "", ""},
      {-1, "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    EXPECT_EQ(MediaTypeFeatureForCode(row.code, 1), MediaBlocks().at(row.light));
    EXPECT_EQ(MediaTypeFeatureForCode(row.code, 2), MediaBlocks().at(row.heavy));
  }
  // Families 0 and 1 take the lighter variant, 2 and 4 the heavier one.
  EXPECT_EQ(MediaTypeFeatureForCode(18, 0), MediaBlocks().at("Labels1"));
  EXPECT_EQ(MediaTypeFeatureForCode(18, 4), MediaBlocks().at("Labels2"));
  EXPECT_EQ(MediaTypeFeatureForCode(15, 0), MediaBlocks().at("HEAVY"));
  EXPECT_EQ(MediaTypeFeatureForCode(15, 4), MediaBlocks().at("ULTRAHEAVY1"));
}

TEST(MediaTypeFeatureTest, MediaListTextsGiveTheirCodes) {
  const UiText texts = EnglishTexts();
  const struct {
    int entry;
    const char* text;  // the English text, to show the table is the one meant
    int code;          // on a model without "8432" in its name
    int code_8432;
  } rows[] = {
      {101, "Printer Setting", 1, 1},
      {102, "Light (64 - 74 g/m2)", 2, 2},
      {103, "Medium Light (75 - 82 g/m2)", 3, 3},
      {104, "Medium (83 - 104 g/m2)", 4, 4},
      {105, "Heavy (105 - 120 g/m2)", 5, 5},
      {106, "Ultra Heavy 1 (121 - 188 g/m2)", 6, 6},
      {107, "Ultra Heavy 2 (189 - 220 g/m2)", 7, 7},
      {108, "Ultra Heavy 3 (221 - 250 g/m2)", 8, 8},
      {109, "Labels 1", 9, 9},
      {110, "Labels 2", 10, 10},
      {111, "Glossy", 11, 11},
      {112, "Films", 12, 12},
      {114, "Medium B", 13, 13},
      {115, "Medium B+", 14, 14},
      {194, "Kelvaro Medium J", 15, 15},
      {117, "Medium D", 17, 8},
      {119, "Medium F mSheet (Magenta)", 18, 18},
      {196, "Kelvaro Zeph Lite", 18, 18},
      {256, "Kelvaro Medium P Paper", 28, 28},
      {142, "Medium F tSheet (yellow)", 19, 19},
      {118, "Medium E", 20, 20},
      {198, "Nollo Zeph Lite Hot Stamp Foil", 16, 16},
      {199, "Nollo UK Medium T Dark", 30, 30},
      {195, "Kelvaro Medium K", 22, 22},
      {116, "Medium C", 23, 23},
      {120, "Medium G", 24, 24},
      {257, "Kelvaro Medium P Film", 29, 29},
      {170, "Kelvaro Zeph Special 2", 31, 31},
      {113, "Medium A", 25, 14},
      {140, "Medium H", 26, 26},
      {141, "All Medium S", 27, 27},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    ASSERT_EQ(texts[row.entry], row.text);
    EXPECT_EQ(MediaCodeFor(row.text, "C711WT", texts), row.code);
    EXPECT_EQ(MediaCodeFor(row.text, "Pro8432WT", texts), row.code_8432);
  }
  EXPECT_EQ(MediaCodeFor("", "C711WT", texts), 0);
  EXPECT_EQ(MediaCodeFor("Glossy ", "C711WT", texts), 0);
  EXPECT_EQ(MediaCodeFor("glossy", "C711WT", texts), 0);
}

TEST(MediaTypeFeatureTest, BlockForTheMediaListText) {
  const UiText texts = EnglishTexts();
  const struct {
    const char* media;
    const char* model;
    PaperClass paper_class;
    const char* keyword;
  } rows[] = {
      {"Medium D", "Pro8432WT", 2, "ULTRAHEAVY3"},
      {"Medium D", "C711WT", 0, "Labels2"},
      {"Medium A", "Pro8432WT", 2, "ULTRAHEAVY1"},
      {"Medium A", "C711WT", 0, ""},
      {"Medium A", "Pro9420WT", 2, ""},
      {"Medium F mSheet (Magenta)", "ES7411WT", 1, "Labels1"},
      {"Medium F tSheet (yellow)", "C920WT", 2, "Labels2"},
      {"Kelvaro Medium P Paper", "TST4", 4, "Labels2"},
      {"Kelvaro Medium J", "ES7411WT", 1, "HEAVY"},
      {"Kelvaro Medium J", "Pro9420WT", 2, "ULTRAHEAVY1"},
      {"Nollo Zeph Lite Hot Stamp Foil", "C711WT", 0, "HEAVY"},
      {"Medium G", "C920WT", 2, "HEAVY"},
      {"Medium E", "C711WT", 0, "MEDIUM"},
      {"Kelvaro Medium K", "C711WT", 0, "MEDIUM"},
      {"Medium Light (75 - 82 g/m2)", "C711WT", 0, "MEDIUMLIGHT"},
      {"Glossy", "C711WT", 0, "GLOSSY"},
      {"Films", "C711WT", 0, "Transparency"},
      {"Kelvaro Medium P Film", "C711WT", 0, "Transparency"},
      {"Kelvaro Zeph Special 2", "C711WT", 0, "ULTRAHEAVY2"},
      {"Nollo UK Medium T Dark", "C711WT", 0, "ULTRAHEAVY1"},
      {"Medium C", "C711WT", 0, "Labels1"},
      {"All Medium S", "C711WT", 0, "Labels1"},
      // A text that is in no entry, e.g. after a language change without a new list.
      {"Papier glacé", "C711WT", 0, "PRINTERDEFAULT"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.media) + " on " + row.model);
    EXPECT_EQ(BuildMediaTypeFeature(row.media, row.model, row.paper_class, texts),
              MediaBlocks().at(row.keyword));
  }

  // The texts compared are those of the current language.
  UiText french = texts;
  french.Set(111, "Papier glacé");
  EXPECT_EQ(BuildMediaTypeFeature("Papier glacé", "C711WT", 0, french), MediaBlocks().at("GLOSSY"));
  EXPECT_EQ(BuildMediaTypeFeature("Glossy", "C711WT", 0, french),
            MediaBlocks().at("PRINTERDEFAULT"));
}

TEST(NumCopiesFeatureTest, BinaryIntegerTokenBlock) {
  const std::string tail = CrLf(
      {" /languagelevel where {pop languagelevel}{1} ifelse",
       "2 ge { 1 dict dup /NumCopies 4 -1 roll put setpagedevice }{ userdict /#copies 3 -1 roll "
       "put } ifelse",
       "%%EndNonPPDFeature", "}featurecleanup", ""});
  // The number carries its leading blank, like every number of the job.
  EXPECT_EQ(NumCopiesFeature(2), "featurebegin{\r\n%%BeginNonPPDFeature: NumCopies  2\r\n" +
                                     std::string("\x85\x02\x00\x00\x00", 5) + tail);
  EXPECT_EQ(NumCopiesFeature(99), "featurebegin{\r\n%%BeginNonPPDFeature: NumCopies  99\r\n" +
                                      std::string("\x85\x63\x00\x00\x00", 5) + tail);
  EXPECT_EQ(NumCopiesFeature(1), "");
  EXPECT_EQ(NumCopiesFeature(0), "");
}

TEST(NumCopiesFeatureTest, NumberOfPrintsIsClampedTo1Through99) {
  const struct {
    const char* field;
    int prints;
  } rows[] = {
      {"1", 1},   {"2", 2},   {"99", 99}, {"100", 99}, {"150", 99},
      {"0", 1},   {"", 1},    {"-3", 1},  {" 7", 7},   {"7 copies", 7},
      {"abc", 1}, {"2.5", 2}, {"3.5", 4}, {"+12", 12}, {"99999999999999999999", 99},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ClampNumberOfPrints(row.field), row.prints) << '"' << row.field << '"';
  }
}

TEST(TrayFeatureTest, TrayTextSelectsTheInputSlot) {
  const UiText texts = EnglishTexts();
  const std::string front =
      CrLf({"featurebegin{", "%%BeginFeature: *InputSlot FRONT", "",
            " /DriverOps /ProcSet 2 copy resourcestatus{",
            " pop pop findresource 4 exch /setinputslot get exec",
            " }{pop pop}ifelse globaldict /OK@_CustTray 3 put", "%%EndFeature", "}featurecleanup"});
  const std::string upper =
      CrLf({"featurebegin{", "%%BeginFeature: *InputSlot UPPER", "",
            " /DriverOps /ProcSet 2 copy resourcestatus{",
            " pop pop findresource 1 exch /setinputslot get exec",
            " }{pop pop}ifelse globaldict /OK@_CustTray 0 put", "%%EndFeature", "}featurecleanup"});
  const struct {
    const char* tray;
    const std::string& block;
  } rows[] = {
      {"AUTO", ""},
      {"MultiPurpose Tray", front},
      {"Tray 1", upper},
      {"Tray 2", ""},
      {"", ""},
      {"AUTO (Tray 1)", ""},                  // AUTO is tested first
      {"MultiPurpose Tray / Tray 1", front},  // then the multi-purpose tray
      {"Tray 1 (upper)", upper},
      {"tray 1", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(TrayFeature(row.tray, texts), row.block) << row.tray;
  }
  // A language without a text for an entry never matches that entry.
  UiText partial = texts;
  partial.Set(121, "");
  EXPECT_EQ(TrayFeature("Tray 1", partial), upper);
}

TEST(OutputBinFeatureTest, FaceUpGoesRearOnModelsWithTheBin) {
  const std::string rear =
      CrLf({"featurebegin{", "%%BeginFeature: *OutputBin Rear", "",
            " << /OutputType (Lower) >> setpagedevice", "%%EndFeature", "}featurecleanup"});
  const std::string stacker =
      CrLf({"featurebegin{", "%%BeginFeature: *OutputBin Stacker", "",
            " << /OutputType (Upper) >> setpagedevice", "%%EndFeature", "}featurecleanup"});
  const struct {
    const char* model;
    bool face_up;
    const std::string& block;
  } rows[] = {
      {"C920WT", true, rear},
      {"C920WT", false, stacker},
      {"C711WT", true, ""},
      {"", true, ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(OutputBinFeature(row.model, row.face_up), row.block)
        << row.model << (row.face_up ? " face up" : " face down");
  }
}

std::string PageRegion(const std::string& keyword, const std::string& index,
                       const std::string& size) {
  return CrLf({"featurebegin{", "%%BeginFeature: *PageRegion " + keyword, "",
               " /OK@setpageregion where{ pop " + index + " OK@setpageregion", " }{", "  <<",
               "   /PageSize [" + size + "]",
               "   /MediaType globaldict /OK@MediaType 2 copy known{get}{pop pop null}ifelse",
               "  >> setpagedevice", " }ifelse", "%%EndFeature", "}featurecleanup"});
}

std::string CustomPage(const std::string& size_line, const std::string& ifelse_line) {
  return CrLf({"featurebegin{", "%%BeginFeature: *CustomPageSize", "", size_line,
               "/DriverOps /ProcSet 2 copy resourcestatus{",
               "pop pop findresource /setcustompage get exec", ifelse_line, "", "", "%%EndFeature",
               "}featurecleanup"});
}

TEST(ChoosePageTest, PageTable) {
  const struct {
    const char* name;
    int width, height;
    std::string feature;
    const char* origin;
  } rows[] = {
      {"A4", 595, 842, PageRegion("A4", "0", "595 842"), "12.99968 829.00067"},
      {"  A4  ", 595, 842, PageRegion("A4", "0", "595 842"), "12.99968 829.00067"},
      {"A3", 842, 1191, PageRegion("A3", "26", "842 1191"), "12.99968 1177.99938"},
      {"A4 SEF", 595, 842, CustomPage("595 842 0 0 1", "}{pop pop}ifelse "), "12.99968 828.89007"},
      // The first six characters are the key.
      {"A4 SEF (long edge)", 595, 842, CustomPage("595 842 0 0 1", "}{pop pop}ifelse "),
       "12.99968 828.89007"},
      {"A5 SEF", 420, 595, PageRegion("A5", "5", "420 595"), "12.9997 582.00097"},
      {"A6 SEF", 297, 420, PageRegion("A6", "20", "297 420"), "12.99968 407.00125"},
      {"A4BC 2", 612, 907, CustomPage("612 907 0 0 1", "}{pop pop}ifelse "), "12.99968 894"},
      {"A4XL 2", 612, 1190, CustomPage("612 1190 0 0 1", "}{pop pop}ifelse "),
       "12.99968 1177.99938"},
      // Anything else is a custom page of its own size, the origin with four decimals.
      {"Letter", 612, 792, CustomPage("612 792 0 0 1", "}{pop pop}ifelse"), "12.9997 779.0000"},
      {"A3 (297 x 420 mm)", 842, 1191, CustomPage("842 1191 0 0 1", "}{pop pop}ifelse"),
       "12.9997 1178.0000"},
      {"a4", 595, 842, CustomPage("595 842 0 0 1", "}{pop pop}ifelse"), "12.9997 829.0000"},
      {"", 300, 400, CustomPage("300 400 0 0 1", "}{pop pop}ifelse"), "12.9997 387.0000"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const PageChoice page = ChoosePage(row.name, row.width, row.height);
    EXPECT_EQ(page.feature, row.feature);
    EXPECT_EQ(page.mysetup_origin, row.origin);
  }

  // The blank-page job's table has no "A4 SEF" row: that name is a custom page of its size.
  const PageChoice blank = ChoosePage("A4 SEF", 595, 842, /*with_a4_sef=*/false);
  EXPECT_EQ(blank.feature, CustomPage("595 842 0 0 1", "}{pop pop}ifelse"));
  EXPECT_EQ(blank.mysetup_origin, "12.9997 829.0000");
  EXPECT_EQ(ChoosePage("A4", 595, 842, false).feature, PageRegion("A4", "0", "595 842"));
}

TEST(FixedFeatureTest, EveryBlockIsBracketedAndBalanced) {
  const struct {
    const char* what;
    std::string text;
    std::vector<std::string> features;
  } rows[] = {
      {"set-up timeouts",
       SetupTimeoutFeatures(),
       {"%%BeginNonPPDFeature: JobTimeout 0", "%%BeginNonPPDFeature: WaitTimeout 300",
        "%%BeginFeature: *TraySwitch False"}},
      {"job type",
       JobTypeAndCollateFeatures(),
       {"%%BeginFeature: *OKJob_Type Normal", "%%BeginFeature: *OKCollate False"}},
      {"screen",
       ScreenResolutionHairline(),
       {"%%BeginFeature: *OKScreenObo True", "%%BeginFeature: *OKResolution FINE",
        "%%BeginFeature: *OKHairLine True"}},
      {"colour",
       ColourAndDeviceFeatures(),
       {"%%BeginFeature: *OKManualFeed False",
        "%%BeginFeature: *Duplex None",
        "%%BeginFeature: *OKSeparationorder OFF",
        "%%BeginFeature: *OKPageSizeCheck False",
        "%%BeginFeature: *OKControl Graph",
        "%%BeginFeature: *OKTargetColor None",
        "%%BeginFeature: *OKColorICMS ICCPro",
        "%%BeginFeature: *OKBlackSubGra Glossy",
        "%%BeginFeature: *OKColorRenderStyle Natural",
        "%%BeginFeature: *OKColorRenderDict Perceptual",
        "%%BeginFeature: *OKCMYKProfile Link",
        "%%BeginFeature: *OKRGBProfile OutType1",
        "%%BeginFeature: *OKCMYKInputProfile InputType4",
        "%%BeginFeature: *OKCMYKLinkProfile None",
        "%%BeginFeature: *OKOutProfile Auto",
        "%%BeginFeature: *OKSimProfile None",
        "%%BeginFeature: *OKPureBlack True",
        "%%BeginFeature: *OKPreserveBlack True",
        "%%BeginFeature: *OKImageSmoothing False",
        "%%BeginFeature: *OKColorMatch Normal",
        "%%BeginFeature: *OKAlwaysPrnHT True",
        "%%BeginFeature: *OKOverPrint False",
        "%%BeginFeature: *OKDrumClean OFF",
        "%%BeginFeature: *OKHDDSpool False"}},
      {"page set-up",
       PageSetupFeatures(),
       {"%%BeginFeature: *OKEnvRotate False", "%%BeginFeature: *OKOverlay NotUse",
        "%%BeginFeature: *Resolution 600dpi", "%%BeginFeature: *OKOptionTray 0",
        "%%BeginFeature: *OKOptionDuplex False", "%%BeginFeature: *OKHDD False",
        "%%BeginFeature: *InstalledMemory 256MB", "%%BeginFeature: *OKJobLimit False"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::vector<std::string> features;
    std::size_t begins = 0;
    std::size_t cleanups = 0;
    std::size_t ends = 0;
    std::size_t start = 0;
    for (std::size_t at = row.text.find("\r\n"); at != std::string::npos;
         at = row.text.find("\r\n", start)) {
      const std::string line = row.text.substr(start, at - start);
      start = at + 2;
      if (line.rfind("%%BeginFeature: ", 0) == 0 || line.rfind("%%BeginNonPPDFeature: ", 0) == 0) {
        features.push_back(line);
      }
      if (line == "featurebegin{") ++begins;
      if (line == "}featurecleanup") ++cleanups;
      if (line == "%%EndFeature" || line == "%%EndNonPPDFeature") ++ends;
      EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    }
    EXPECT_EQ(start, row.text.size()) << "text does not end in CR LF";
    EXPECT_EQ(features, row.features);
    EXPECT_EQ(ends, features.size());
    EXPECT_EQ(begins, cleanups);
    // Only the paper-size check goes without the featurebegin bracket.
    EXPECT_EQ(begins, features.size() - (row.text.find("*OKPageSizeCheck") != std::string::npos));
  }

  // The bodies named by their blocks.
  EXPECT_EQ(JobTypeAndCollateFeatures(),
            CrLf({"featurebegin{", "%%BeginFeature: *OKJob_Type Normal", "",
                  " globaldict /OK@_Type 0 put", "%%EndFeature", "}featurecleanup", "featurebegin{",
                  "%%BeginFeature: *OKCollate False", "", " << /Collate false >> setpagedevice",
                  "%%EndFeature", "}featurecleanup"}));
  EXPECT_NE(SetupTimeoutFeatures().find(CrLf({"featurebegin{", "%%BeginFeature: *TraySwitch False",
                                              "", "1 dict dup /TraySwitch false put setpagedevice",
                                              "%%EndFeature", "}featurecleanup", ""})),
            std::string::npos);
  EXPECT_EQ(FeatureBlock("*OKDrumClean OFF", ""),
            CrLf({"featurebegin{", "%%BeginFeature: *OKDrumClean OFF", "", "%%EndFeature",
                  "}featurecleanup"}));
}

}  // namespace
}  // namespace kelvaro
