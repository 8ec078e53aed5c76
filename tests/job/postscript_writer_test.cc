#include "job/postscript_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "job/blank_page.h"
#include "platform/data_folders.h"
#include "settings/settings_store.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

UiText EnglishTexts() {
  UiText texts;
  LoadDefaultTexts(texts);
  return texts;
}

// The lines of a text whose lines end in CR LF; a trailing part without CR LF is the last.
std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, at - start));
    start = at + 2;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// The run of `count` lines starting at the first line equal to `first`.
std::vector<std::string> LinesFrom(const std::string& text, const std::string& first,
                                   std::size_t count) {
  const std::vector<std::string> lines = CrLfLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != first) continue;
    const std::size_t end = std::min(lines.size(), i + count);
    return {lines.begin() + static_cast<std::ptrdiff_t>(i),
            lines.begin() + static_cast<std::ptrdiff_t>(end)};
  }
  return {};
}

// Every "%%BeginFeature: " and "%%BeginNonPPDFeature: " line, in order.
std::vector<std::string> FeatureLines(const std::string& header) {
  std::vector<std::string> features;
  for (const std::string& line : CrLfLines(header)) {
    if (line.rfind("%%BeginFeature: ", 0) == 0 || line.rfind("%%BeginNonPPDFeature: ", 0) == 0) {
      features.push_back(line);
    }
  }
  return features;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++n;
  }
  return n;
}

PostScriptJobInput BaseInput() {
  PostScriptJobInput input;
  input.model_name = "C711WT";
  input.paper_class = 0;
  input.paper_name = "A4";
  input.page_width_pt = 595;
  input.page_height_pt = 842;
  input.offset_x_pt = 40;
  input.offset_y_pt = 53;
  input.tray_text = "AUTO";
  input.media_text = "Printer Setting";
  input.number_of_prints = "1";
  input.caption = "Kelvaro Pro - artwork.png";
  input.created = {2026, 3, 7, 9, 5, 4};
  return input;
}

TEST(JobFormatTest, SingleInShortestForm) {
  const struct {
    float value;
    const char* text;
  } rows[] = {
      {236.0f, "236"},
      {8.64f, "8.64"},
      {0.1f, "0.1"},
      {72.0f, "72"},
      {1.0f / 3.0f, "0.3333333"},
      {595.2756f, "595.2756"},
      {0.0f, "0"},
      {-1.5f, "-1.5"},
      {1234567.0f, "1234567"},
      {12345678.0f, "12345680"},
      {2.835f, "2.835"},
      {0.00012f, "0.00012"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatSingle(row.value), row.text) << row.value;
  }
}

TEST(JobFormatTest, DocumentTitle) {
  EXPECT_EQ(JobDocumentTitle("Kelvaro Pro - artwork.png"), "artwork.png");
  EXPECT_EQ(JobDocumentTitle("artwork.png"), "artwork.png");
  EXPECT_EQ(JobDocumentTitle("Kelvaro Pro - Kelvaro Pro - a.png"), "a.png");
  EXPECT_EQ(JobDocumentTitle("x Kelvaro Pro - y"), "x y");
  // A file name cannot end the comment line and slip PostScript or PJL into the job.
  EXPECT_EQ(JobDocumentTitle("Kelvaro Pro - a\r\nshowpage\x1b%-12345X\x04.png"),
            "a  showpage %-12345X .png");
}

TEST(JobTimestampTest, SourceDateEpochFixesTheDate) {
  const struct {
    const char* epoch;
    JobTimestamp expected;
  } rows[] = {
      {"0", {1970, 1, 1, 0, 0, 0}},
      {"1700000000", {2023, 11, 14, 22, 13, 20}},
      {"951782400", {2000, 2, 29, 0, 0, 0}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.epoch);
    const JobTimestamp t = JobTimestampNow(row.epoch);
    EXPECT_EQ(t.year, row.expected.year);
    EXPECT_EQ(t.month, row.expected.month);
    EXPECT_EQ(t.day, row.expected.day);
    EXPECT_EQ(t.hour, row.expected.hour);
    EXPECT_EQ(t.minute, row.expected.minute);
    EXPECT_EQ(t.second, row.expected.second);
  }

  // The creation date line of a job made with the variable set is the same on every run.
  PostScriptJobInput input = BaseInput();
  input.created = JobTimestampNow("1700000000");
  const std::string header =
      BuildJobHeader(input, EnglishTexts(), {8, 4, 6, 2}, JobKind::kImage, 1);
  EXPECT_EQ(LinesFrom(header, "%%CreationDate: 11-14-2023 22:13:20", 1).size(), 1u);
}

TEST(JobTimestampTest, MalformedOrMissingValuesMeanNow) {
  const std::time_t before = std::time(nullptr);
  std::tm now{};
  localtime_r(&before, &now);
  for (const char* epoch : {static_cast<const char*>(nullptr), "", "12x", "-5", "1.5", " ",
                            "99999999999999999999999", "999999999999999999", "253402300800"}) {
    SCOPED_TRACE(epoch == nullptr ? "(null)" : epoch);
    const JobTimestamp t = JobTimestampNow(epoch);
    // Only the year is compared, so a run across midnight cannot fail the test.
    EXPECT_GE(t.year, now.tm_year + 1900);
    EXPECT_LE(t.year, now.tm_year + 1901);
  }
}

class RecordingProgress final : public ProgressSink {
 public:
  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  void SetProgress(long long value, long long maximum) override {
    EXPECT_EQ(maximum, 100);
    values.push_back(value);
  }
  std::vector<std::string> statuses;
  std::vector<long long> values;
};

// A 3 × 2 copy whose every byte tells its plane, row and column: 100 × plane + 10 × row +
// column + 1 (plane 1..5, row and column from 0). Plane 5 is kept at 0, as the separation
// builder leaves it.
SeparationSet NumberedCopy() {
  SeparationSet set;
  set.width = 3;
  set.height = 2;
  for (int row = 0; row < 2; ++row) {
    for (int plane = 1; plane <= 5; ++plane) {
      for (int column = 0; column < 3; ++column) {
        set.bytes.push_back(
            plane == 5 ? 0 : static_cast<std::uint8_t>(50 * plane + 10 * row + column + 1));
      }
    }
  }
  return set;
}

// Two copies across, one down, one pixel per point, a gap of one point: Xpixel 3 + 1 + 3 + 2
// = 9, Ypixel 2 + 2 = 4, Xpoint 7, Ypoint 2.
CopiesGridInput TwoAcross() {
  CopiesGridInput grid;
  grid.copies_across = 2;
  grid.copies_down = 1;
  grid.copy_width_pt = 3;
  grid.copy_height_pt = 2;
  grid.gap_x_pt = 1;
  grid.gap_y_pt = 1;
  grid.printable_width_pt = 569;
  grid.printable_height_pt = 816;
  return grid;
}

// The image data block of TwoAcross(NumberedCopy()), laid out here from the description of
// the block rather than by the composer: each row five plane rows of nine bytes, copy 1 in
// columns 0..2, the gap in column 3, copy 2 in 4..6, two spare columns; two spare rows.
std::vector<std::uint8_t> ExpectedTwoAcrossBlock() {
  std::vector<std::uint8_t> block;
  for (int row = 0; row < 4; ++row) {
    for (int plane = 1; plane <= 5; ++plane) {
      for (int column = 0; column < 9; ++column) {
        const int source_column = column < 3 ? column : column >= 4 && column < 7 ? column - 4 : -1;
        const bool inked = row < 2 && plane < 5 && source_column >= 0;
        block.push_back(inked ? static_cast<std::uint8_t>(50 * plane + 10 * row + source_column + 1)
                              : 0);
      }
    }
  }
  return block;
}

struct JobFixture {
  testing::TestFolders folders;
  testing::RecordingNotifier notifier;
  SettingsStore store{folders.folders(), notifier};
  UiText texts = EnglishTexts();
  RecordingProgress progress;

  PostScriptJobResult Build(const SeparationSet& planes, const CopiesGridInput& grid,
                            const PostScriptJobInput& input) {
    return BuildPostScriptJob(planes, grid, input, {texts, notifier, progress});
  }
};

TEST(PostScriptJobTest, SmallJobCarriesTheComposedPlanesByteForByte) {
  JobFixture f;
  const PostScriptJobResult result = f.Build(NumberedCopy(), TwoAcross(), BaseInput());
  ASSERT_TRUE(result.ok());
  const PostScriptJob& job = result.job;
  EXPECT_EQ(job.image.x_pixel, 9);
  EXPECT_EQ(job.image.y_pixel, 4);
  EXPECT_EQ(job.image.x_point, 7.0f);
  EXPECT_EQ(job.image.y_point, 2.0f);
  const std::vector<std::uint8_t> expected = ExpectedTwoAcrossBlock();
  const std::string bytes = job.image.AsJobBlock().Collect();
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected);

  EXPECT_EQ(LinesFrom(job.header, "/rows  4 def", 12),
            (std::vector<std::string>{
                "/rows  4 def", "/cols  9 def", " 27 40 translate", " 7 2 scale", "level2 {",
                "band 0 eq {", "/DeviceCMYK", "} {/DeviceGray} ifelse",
                "setcolorspace currentdict /PhotoshopDuotoneColorSpace undef currentdict "
                "/PhotoshopDuotoneAltColorSpace undef } if",
                "/picstr1  9 string def", "/picstr2  9 string def", "/picstr3  9 string def"}));
  EXPECT_EQ(LinesFrom(job.header, "/picstr4  9 string def", 3),
            (std::vector<std::string>{"/picstr4  9 string def", "/picstr5  9 string def",
                                      "/_rowpadstr  9 string def"}));

  // The stream: header up to "beginimage" CR LF, the block straight after it, then the
  // trailer's CR LF.
  std::ostringstream stream;
  ASSERT_TRUE(WritePostScriptJob(stream, job));
  const std::string written = stream.str();
  const std::string marker = "currentdict end\r\nbeginimage\r\n";
  ASSERT_EQ(written.find(marker), job.header.size() - marker.size());
  EXPECT_EQ(written.substr(job.header.size(), expected.size()),
            std::string(expected.begin(), expected.end()));
  EXPECT_EQ(written.substr(job.header.size() + expected.size()), BuildJobTrailer());
  EXPECT_EQ(job.trailer, BuildJobTrailer());

  EXPECT_TRUE(f.notifier.messages.empty());
  EXPECT_EQ(f.progress.statuses, std::vector<std::string>{"<<<<<    Creating print    >>>>>"});
  EXPECT_EQ(f.progress.values, (std::vector<long long>{0, 100, 0, 25, 75, 100}));
}

TEST(PostScriptJobTest, OversizedGridMakesNoJob) {
  JobFixture f;
  CopiesGridInput grid = TwoAcross();
  grid.copies_across = 100000;  // 300,001 pixels across
  grid.copies_down = 1000;      // 2,001 down: about 3 GB
  grid.printable_width_pt = 1e9f;
  grid.printable_height_pt = 1e9f;
  const PostScriptJobResult result = f.Build(NumberedCopy(), grid, BaseInput());
  EXPECT_EQ(result.failure, JobFailure::kGridTooBig);
  EXPECT_TRUE(result.job.header.empty());
  ASSERT_EQ(f.notifier.messages.size(), 1u);
  EXPECT_EQ(f.notifier.messages[0].title, "Kelvaro Pro");
  EXPECT_EQ(f.notifier.messages[0].text, f.texts[135]);
  EXPECT_EQ(f.notifier.messages[0].icon, MessageIcon::kError);

  // A separation that does not hold its own size is refused without a message.
  JobFixture g;
  SeparationSet broken = NumberedCopy();
  broken.bytes.pop_back();
  EXPECT_EQ(g.Build(broken, TwoAcross(), BaseInput()).failure, JobFailure::kBadSeparation);
  EXPECT_TRUE(g.notifier.messages.empty());
}

TEST(PostScriptJobTest, NumberOfPrintsIsClampedAndCarried) {
  const struct {
    const char* field;
    int prints;
  } rows[] = {{"1", 1}, {"0", 1}, {"", 1}, {"3", 3}, {"150", 99}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.field);
    JobFixture f;
    PostScriptJobInput input = BaseInput();
    input.number_of_prints = row.field;
    const PostScriptJobResult result = f.Build(NumberedCopy(), TwoAcross(), input);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.job.number_of_prints, row.prints);
    const std::size_t at = result.job.header.find("%%BeginNonPPDFeature: NumCopies");
    if (row.prints == 1) {
      EXPECT_EQ(at, std::string::npos);
    } else {
      const std::string block = "featurebegin{\r\n%%BeginNonPPDFeature: NumCopies  " +
                                std::to_string(row.prints) + "\r\n" + static_cast<char>(0x85) +
                                static_cast<char>(row.prints) + std::string(3, '\0') +
                                " /languagelevel";
      EXPECT_EQ(result.job.header.substr(at - 15, block.size()), block);
    }
  }
}

TEST(JobHeaderTest, DscCommentsAndLineEnds) {
  const std::string header =
      BuildJobHeader(BaseInput(), EnglishTexts(), {9, 4, 7, 2}, JobKind::kImage, 1);
  const std::vector<std::string> lines = CrLfLines(header);
  ASSERT_GT(lines.size(), 36u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 37),
            (std::vector<std::string>{"%!PS-Adobe-3.0",
                                      "%%Title: artwork.png",
                                      "%%Creator: PScript5.dll Version 5.2.2",
                                      "%%CreationDate: 03-07-2026 09:05:04",
                                      "%%For: Nollo",
                                      "%%BoundingBox: (atend)",
                                      "%%DocumentNeededResources: (atend)",
                                      "%%DocumentSuppliedResources: (atend)",
                                      "%%P8BIT",
                                      "%%DocumentData: Clean8Bit",
                                      "%%TargetDevice: (C610) (3017) 6",
                                      "%%LanguageLevel: 3",
                                      "%%EndComments",
                                      "",
                                      "%%BeginDefaults",
                                      "%%ViewingOrientation: 1 0 0 1",
                                      "%%EndDefaults",
                                      "",
                                      "[{",
                                      "%%BeginFeature: *JobPatchFile 0",
                                      "",
                                      "",
                                      "%%BeginResource: procset OKI_Default_Color_Setting 1.1 0",
                                      "% Colour defaults for a job that brings its own "
                                      "separations: the custom size limits are",
                                      "% checked by the printer, and its driver procedures start "
                                      "from their initial state.",
                                      "globaldict /OK@_CustLimitChk true put",
                                      "/DriverOps /ProcSet 2 copy resourcestatus {",
                                      " pop pop findresource",
                                      " [/initdriverops /initalwayprnht] {",
                                      "  2 copy known {1 index exch get exec} {pop} ifelse",
                                      " } forall",
                                      " pop",
                                      "} {pop pop} ifelse",
                                      "%%EndResource",
                                      "%%EndFeature",
                                      "} stopped cleartomark",
                                      ""}));
  EXPECT_EQ(lines[37], "%%BeginProlog");
  EXPECT_EQ(header.substr(header.size() - 12), "beginimage\r\n");

  // Every line ends in CR LF, except the three globaldict lines (CR LF LF) and the scale line
  // that opens the embedded document (LF alone).
  std::vector<std::string> bare_lf_lines;
  for (std::size_t at = header.find('\n'); at != std::string::npos;
       at = header.find('\n', at + 1)) {
    if (at > 0 && header[at - 1] == '\r') continue;
    const std::size_t start = header.rfind('\n', at - 1);
    bare_lf_lines.push_back(header.substr(start + 1, at - start - 1));
  }
  EXPECT_EQ(bare_lf_lines, (std::vector<std::string>{"", "", "", "600 72 div 600 72 div scale"}));
  EXPECT_EQ(Count(header, "\r"), Count(header, "\r\n"));
  for (const char* text :
       {"%%BeginProlog\r\n%%BeginResource: procset OKI_Driver_Procedure_Patch_Resource 1.0 0\r\n"
        "%% OKI Driver Procedure ver 1.0\r\n%%    Date: May. 09, 2007  Edt: 01\r\n",
        "%%EndResource\r\n%%BeginResource: procset OKI_InitLoad_ProcSet 1.0 0\r\n"
        "%% OKI Load Initial DriverOps Proc ver 1.0\r\n%%    Date: Jan. 9, 2004  Edt: 4\r\n",
        "%%EndResource\r\nglobaldict /OK@NupNumber 1 put \r\n\nglobaldict /OK@Orientation 0 put "
        "\r\n\nglobaldict /OK@ColorMono 2 put \r\n\n%%BeginResource: file "
        "Pscript_WinNT_ErrorHandler 5.0 0\r\n",
        "%%EndResource\r\nuserdict /Pscript_WinNT_Incr 230 dict dup begin put\r\n"
        "%%BeginResource: file Pscript_FatalError 5.0 0\r\n",
        "%%EndResource\r\n105000 VM?\r\n%%BeginResource: file Pscript_Win_Basic 5.0 0\r\n",
        "/lucas 21690 d\r\n",
        "%%EndResource\r\n%%BeginResource: file Pscript_Win_Utils_L2 5.0 0\r\n",
        "%%EndResource\r\nend\r\n%%EndProlog\r\n%%BeginSetup\r\nstatusdict begin (%%[ "
        "ProductName: ) print product print ( ]%%)= flush end\r\n[ 1 0 0 1 0 0 ] false "
        "Pscript_WinNT_Incr dup /initialize get exec\r\n\r\nfeaturebegin{\r\n"
        "%%BeginNonPPDFeature: JobTimeout 0\r\n",
        "}featurecleanup\r\n1 setlinecap 1 setlinejoin\r\n/mysetup [ 72 600 V 0 0 -72 600 V "
        "12.99968 829.00067 ] def\r\n\r\n%%EndSetup\r\n\r\nuserdict begin /ehsave save def "
        "end\r\n%%EndPageComments\r\n%%BeginPageSetup\r\nfeaturebegin{\r\n"
        "%%BeginFeature: *OKEnvRotate False\r\n",
        "}featurecleanup\r\n/DeviceRGB dup setcolorspace /colspABC exch def\r\nmysetup concat "
        "colspRefresh\r\n%%EndPageSetup\r\n\r\n30000 VM?\r\nPscript_WinNT_Incr begin\r\n"
        "%%BeginResource: file Pscript_WinNT_Compat 5.0 0\r\n",
        "%%EndResource\r\nend reinitialize\r\nPscript_WinNT_Compat begin /$x mysetup def end\r\n"
        "Pscript_WinNT_Incr dup /suspend get exec\r\nPscript_WinNT_Compat dup /initialize get "
        "exec\r\n%%BeginDocument: Pscript_Win_PassThrough\r\n600 72 div 600 72 div scale\n"
        "gsave %% Print PostScript gsave\r\n",
        "hascolor {/band 0 def} {/band 5 def} ifelse\r\n",
        "gsave % Image Header gsave\r\n/rows  4 def\r\n",
        "/_rowpadstr  9 string def\r\n/rawreaddata {currentfile exch readstring pop} def\r\n",
        "/readdata /rawreaddata load bind def\r\n12 dict begin\r\n/ImageType 1 def\r\n/Width cols "
        "def\r\n/Height rows def\r\n/ImageMatrix [cols 0 0 rows 0 0] def\r\n/BitsPerComponent 8 "
        "def\r\nband 0 eq\r\n{/Decode [0 1 0 1 0 1 0 1] def}\r\n{/Decode [0 1] def} ifelse\r\n"
        "band 0 eq {\r\n/MultipleDataSources true def\r\n/DataSource [\r\n{picstr1 readdata}\r\n"
        "{picstr2 readdata}\r\n{picstr3 readdata}\r\n{picstr4 readdata picstr5 readdata pop}\r\n"
        "] def} if\r\n",
        "currentdict end\r\nbeginimage\r\n"}) {
    EXPECT_NE(header.find(text), std::string::npos) << text;
  }
  EXPECT_EQ(Count(header, "featurebegin{"), Count(header, "}featurecleanup"));
}

TEST(JobHeaderTest, FeatureBlocksInOrderPerModelAndPaper) {
  const UiText texts = EnglishTexts();
  const std::vector<std::string> colour_features = {
      "%%BeginFeature: *OKManualFeed False",
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
      "%%BeginFeature: *OKHDDSpool False",
      "%%BeginFeature: *OKEnvRotate False",
      "%%BeginFeature: *OKOverlay NotUse",
      "%%BeginFeature: *Resolution 600dpi",
      "%%BeginFeature: *OKOptionTray 0",
      "%%BeginFeature: *OKOptionDuplex False",
      "%%BeginFeature: *OKHDD False",
      "%%BeginFeature: *InstalledMemory 256MB",
      "%%BeginFeature: *OKJobLimit False",
  };
  const auto with_colour = [&](std::vector<std::string> first) {
    first.insert(first.end(), colour_features.begin(), colour_features.end());
    return first;
  };

  PostScriptJobInput plain = BaseInput();  // C711WT, AUTO, A4, one print, printer setting
  PostScriptJobInput a3 = BaseInput();
  a3.model_name = "Pro9420WT";
  a3.paper_class = 2;
  a3.paper_name = "A4 SEF";
  a3.tray_text = "MultiPurpose Tray";
  a3.face_up_exit = true;
  a3.media_text = "Glossy";
  a3.number_of_prints = "3";
  PostScriptJobInput tray1 = BaseInput();
  tray1.model_name = "C920WT";
  tray1.paper_name = "Tabloid";
  tray1.page_width_pt = 792;
  tray1.page_height_pt = 1224;
  tray1.tray_text = "Tray 1";
  tray1.media_text = "Medium A";  // no media block on a model without 8432

  const struct {
    const char* what;
    const PostScriptJobInput& input;
    int prints;
    std::vector<std::string> features;
    const char* mysetup;
  } rows[] = {
      {"C711WT, A4", plain, 1,
       with_colour({"%%BeginFeature: *JobPatchFile 0", "%%BeginNonPPDFeature: JobTimeout 0",
                    "%%BeginNonPPDFeature: WaitTimeout 300", "%%BeginFeature: *TraySwitch False",
                    "%%BeginFeature: *OKJob_Type Normal", "%%BeginFeature: *OKCollate False",
                    "%%BeginFeature: *PageRegion A4", "%%BeginFeature: *OKScreenObo True",
                    "%%BeginFeature: *OKResolution FINE", "%%BeginFeature: *OKHairLine True",
                    "%%BeginFeature: *OKMediaType PRINTERDEFAULT"}),
       "12.99968 829.00067"},
      {"Pro9420WT, A4 SEF, three prints", a3, 3,
       with_colour({"%%BeginFeature: *JobPatchFile 0", "%%BeginNonPPDFeature: JobTimeout 0",
                    "%%BeginNonPPDFeature: WaitTimeout 300", "%%BeginFeature: *TraySwitch False",
                    "%%BeginNonPPDFeature: NumCopies  3", "%%BeginFeature: *OKJob_Type Normal",
                    "%%BeginFeature: *OKCollate False", "%%BeginFeature: *InputSlot FRONT",
                    "%%BeginFeature: *CustomPageSize", "%%BeginFeature: *OutputBin Rear",
                    "%%BeginFeature: *OKScreenObo True", "%%BeginFeature: *OKResolution FINE",
                    "%%BeginFeature: *OKHairLine True", "%%BeginFeature: *OKMediaType GLOSSY"}),
       "12.99968 828.89007"},
      {"C920WT, custom size, tray 1", tray1, 1,
       with_colour({"%%BeginFeature: *JobPatchFile 0", "%%BeginNonPPDFeature: JobTimeout 0",
                    "%%BeginNonPPDFeature: WaitTimeout 300", "%%BeginFeature: *TraySwitch False",
                    "%%BeginFeature: *OKJob_Type Normal", "%%BeginFeature: *OKCollate False",
                    "%%BeginFeature: *InputSlot UPPER", "%%BeginFeature: *CustomPageSize",
                    "%%BeginFeature: *OutputBin Stacker", "%%BeginFeature: *OKScreenObo True",
                    "%%BeginFeature: *OKResolution FINE", "%%BeginFeature: *OKHairLine True"}),
       "12.9997 1211.0000"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string header =
        BuildJobHeader(row.input, texts, {9, 4, 7, 2}, JobKind::kImage, row.prints);
    EXPECT_EQ(FeatureLines(header), row.features);
    EXPECT_NE(
        header.find("/mysetup [ 72 600 V 0 0 -72 600 V " + std::string(row.mysetup) + " ] def\r\n"),
        std::string::npos);
    // An empty line follows the media block (or its place) before the colour blocks.
    const std::size_t manual_feed =
        header.find("featurebegin{\r\n%%BeginFeature: *OKManualFeed False\r\n");
    ASSERT_NE(manual_feed, std::string::npos);
    EXPECT_EQ(header.substr(manual_feed - 4, 4), "\r\n\r\n");
  }
}

TEST(JobHeaderTest, PlacementOfTheImage) {
  const UiText texts = EnglishTexts();
  const struct {
    int offset_x, offset_y;
    HeaderImage image;
    std::vector<std::string> lines;
  } rows[] = {
      {40, 53, {9, 4, 7, 2}, {"/rows  4 def", "/cols  9 def", " 27 40 translate", " 7 2 scale"}},
      // Offsets below 13 points give no translation.
      {5,
       12,
       {1968, 302, 236, 36},
       {"/rows  302 def", "/cols  1968 def", " 0 0 translate", " 236 36 scale"}},
      {13,
       14,
       {602, 402, 8.64f, 595.2756f},
       {"/rows  402 def", "/cols  602 def", " 0 1 translate", " 8.64 595.2756 scale"}},
      {-20,
       1000,
       {100000, 3, 0.5f, 1e-3f},
       {"/rows  3 def", "/cols  100000 def", " 0 987 translate", " 0.5 0.001 scale"}},
      // A grid far off the page on either side: no wrap-around onto the page.
      {std::numeric_limits<int>::min(),
       std::numeric_limits<int>::max(),
       {9, 4, 7, 2},
       {"/rows  4 def", "/cols  9 def", " 0 2147483634 translate", " 7 2 scale"}},
  };
  for (const auto& row : rows) {
    PostScriptJobInput input = BaseInput();
    input.offset_x_pt = row.offset_x;
    input.offset_y_pt = row.offset_y;
    const std::string header = BuildJobHeader(input, texts, row.image, JobKind::kImage, 1);
    EXPECT_EQ(LinesFrom(header, row.lines[0], 4), row.lines);
    const std::string cols = std::to_string(row.image.cols);
    std::vector<std::string> buffers;
    for (const char* name : {"/picstr1", "/picstr2", "/picstr3", "/picstr4", "/picstr5"}) {
      buffers.push_back(std::string(name) + "  " + cols + " string def");
    }
    buffers.push_back("/_rowpadstr  " + cols + " string def");
    EXPECT_EQ(LinesFrom(header, buffers[0], 6), buffers);
  }
}

TEST(JobTrailerTest, TrailerBytes) {
  EXPECT_EQ(BuildJobTrailer(),
            "\r\n"
            "grestore end % Image Trailer grestore\r\n"
            "grestore % Print PostScript grestore\r\n"
            "\r\n"
            "%%EndDocument\r\n"
            "\r\n"
            "Pscript_WinNT_Compat dup /suspend get exec\r\n"
            "Pscript_WinNT_Incr dup /resume get exec\r\n"
            "LH\r\n"
            "(%%[Page: 1]%%) = \r\n"
            "%%PageTrailer\r\n"
            "\r\n"
            "%%Trailer\r\n"
            "%%DocumentNeededResources: \r\n"
            "%%DocumentSuppliedResources: \r\n"
            "%%+ procset Pscript_WinNT_VMErrorHandler 5.0 0\r\n"
            "%%+ procset Pscript_FatalError 5.0 0\r\n"
            "%%+ procset Pscript_Win_Basic 5.0 0\r\n"
            "%%+ procset Pscript_Win_Utils_L2 5.0 0\r\n"
            "%%+ procset Pscript_WinNT_Compat 5.0 0\r\n"
            "Pscript_WinNT_Incr dup /terminate get exec\r\n"
            "ehsave restore\r\n"
            "(%%[LastPage]%%) = \r\n"
            "%%EOF\r\n"
            "\x1b%-12345X\x1b%-12345X@PJL EOJ\r\n");
  // The end-of-job byte is added on the way to the printer, not by the writer.
  std::ostringstream out;
  ASSERT_TRUE(WriteEndOfJobByte(out));
  EXPECT_EQ(out.str(), "\x04");
}

TEST(BlankPageJobTest, FixedImageWithTheJobsFeatures) {
  const UiText texts = EnglishTexts();
  PostScriptJobInput input = BaseInput();
  input.model_name = "Pro9420WT";
  input.paper_class = 2;
  input.paper_name = "A4 SEF";
  input.tray_text = "Tray 1";
  input.media_text = "Medium E";
  input.number_of_prints = "2";
  input.offset_x_pt = 300;  // ignored: the blank image has its own place
  input.caption = "Kelvaro Pro - artwork.png";
  const std::optional<PostScriptJob> job = BuildBlankPageJob(input, texts);
  ASSERT_TRUE(job.has_value());

  EXPECT_EQ(job->image.size(), 2000u);
  const std::string bytes = job->image.AsJobBlock().Collect();
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
            std::vector<std::uint8_t>(2000, 0));
  EXPECT_EQ(job->image.x_pixel, 20);
  EXPECT_EQ(job->image.y_pixel, 20);
  EXPECT_EQ(job->number_of_prints, 2);
  EXPECT_EQ(job->trailer, BuildJobTrailer());

  const std::string& header = job->header;
  EXPECT_EQ(LinesFrom(header, "%!PS-Adobe-3.0", 2),
            (std::vector<std::string>{"%!PS-Adobe-3.0", "%%Title: Kelvaro - blank"}));
  EXPECT_EQ(LinesFrom(header, "/rows  20 def", 4),
            (std::vector<std::string>{"/rows  20 def", "/cols  20 def", "268 393 translate",
                                      " 72 72 scale"}));
  EXPECT_EQ(LinesFrom(header, "/picstr5  20 string def", 2),
            (std::vector<std::string>{"/picstr5  20 string def", "/_rowpadstr  20 string def"}));
  // Its page table has no "A4 SEF" row: a custom page of the paper's own size.
  EXPECT_EQ(LinesFrom(header, "%%BeginFeature: *CustomPageSize", 3),
            (std::vector<std::string>{"%%BeginFeature: *CustomPageSize", "", "595 842 0 0 1"}));
  EXPECT_NE(header.find("/mysetup [ 72 600 V 0 0 -72 600 V 12.9997 829.0000 ] def"),
            std::string::npos);
  const std::vector<std::string> features = FeatureLines(header);
  const std::vector<std::string> expected_start = {
      "%%BeginFeature: *JobPatchFile 0",       "%%BeginNonPPDFeature: JobTimeout 0",
      "%%BeginNonPPDFeature: WaitTimeout 300", "%%BeginFeature: *TraySwitch False",
      "%%BeginNonPPDFeature: NumCopies  2",    "%%BeginFeature: *OKJob_Type Normal",
      "%%BeginFeature: *OKCollate False",      "%%BeginFeature: *InputSlot UPPER",
      "%%BeginFeature: *CustomPageSize",       "%%BeginFeature: *OutputBin Stacker",
      "%%BeginFeature: *OKScreenObo True",     "%%BeginFeature: *OKResolution FINE",
      "%%BeginFeature: *OKHairLine True",      "%%BeginFeature: *OKMediaType MEDIUM "};
  ASSERT_GE(features.size(), expected_start.size());
  EXPECT_EQ(
      std::vector<std::string>(
          features.begin(), features.begin() + static_cast<std::ptrdiff_t>(expected_start.size())),
      expected_start);

  // Apart from title, page row, placement and size, the same text as an image job.
  PostScriptJobInput as_image = input;
  as_image.caption = "Kelvaro Pro - Kelvaro - blank";
  as_image.paper_name = "Custom";
  as_image.offset_x_pt = 0;
  as_image.offset_y_pt = 0;
  std::string image_header = BuildJobHeader(as_image, texts, {20, 20, 72, 72}, JobKind::kImage, 2);
  const std::string translate = " 0 0 translate";
  image_header.replace(image_header.find(translate), translate.size(), "268 393 translate");
  EXPECT_EQ(image_header, header);
}

TEST(PostScriptJobTest, WritingToAFileGivesTheSameBytesAsAStream) {
  JobFixture f;
  const PostScriptJobResult result = f.Build(NumberedCopy(), TwoAcross(), BaseInput());
  ASSERT_TRUE(result.ok());
  std::ostringstream stream;
  ASSERT_TRUE(WritePostScriptJob(stream, result.job));
  ASSERT_TRUE(WriteEndOfJobByte(stream));

  testing::TempDir dir;
  const std::string path = (dir.path() / "job.ps").string();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(WritePostScriptJob(fd, result.job));
  EXPECT_TRUE(WriteEndOfJobByte(fd));
  ::close(fd);
  const std::string written = testing::ReadFileBytes(dir.path() / "job.ps");
  EXPECT_EQ(written, stream.str());
  EXPECT_EQ(written.back(), '\x04');
  EXPECT_EQ(written.size(), result.job.header.size() + 5 * 9 * 4 + result.job.trailer.size() + 1);

  // A descriptor that cannot be written is reported, not passed over.
  const int read_only = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(read_only, 0);
  EXPECT_FALSE(WritePostScriptJob(read_only, result.job));
  EXPECT_FALSE(WriteEndOfJobByte(read_only));
  ::close(read_only);
}

}  // namespace
}  // namespace kelvaro
