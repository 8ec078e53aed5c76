#include "job/postscript_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "job/feature_blocks.h"
#include "job/ps_resources.h"
#include "platform/fd_write.h"
#include "platform/text_helpers.h"
#include "settings/keys.h"
#include "settings/ui_text_ids.h"

namespace kelvaro {
namespace {

constexpr char kCrLf[] = "\r\n";
constexpr std::string_view kTitlePrefix = "Kelvaro Pro - ";
constexpr char kBlankPageTitle[] = "Kelvaro - blank";

void Line(std::string& out, std::string_view text) {
  out += text;
  out += kCrLf;
}

// Whole numbers in the job carry one leading blank when not negative.
std::string Number(std::int64_t value) { return (value >= 0 ? " " : "") + std::to_string(value); }
std::string Number(float value) { return (value >= 0 ? " " : "") + FormatSingle(value); }

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string CreationDate(const JobTimestamp& t) {
  char year[16];
  std::snprintf(year, sizeof year, "%04d", t.year);
  return TwoDigits(t.month) + "-" + TwoDigits(t.day) + "-" + year + " " + TwoDigits(t.hour) + ":" +
         TwoDigits(t.minute) + ":" + TwoDigits(t.second);
}

void AppendDscComments(std::string& out, std::string_view title, const JobTimestamp& created) {
  Line(out, "%!PS-Adobe-3.0");
  Line(out, "%%Title: " + std::string(title));
  Line(out, "%%Creator: PScript5.dll Version 5.2.2");
  Line(out, "%%CreationDate: " + CreationDate(created));
  for (std::string_view line :
       {"%%For: Nollo", "%%BoundingBox: (atend)", "%%DocumentNeededResources: (atend)",
        "%%DocumentSuppliedResources: (atend)", "%%P8BIT", "%%DocumentData: Clean8Bit",
        "%%TargetDevice: (C610) (3017) 6", "%%LanguageLevel: 3", "%%EndComments", "",
        "%%BeginDefaults", "%%ViewingOrientation: 1 0 0 1", "%%EndDefaults", ""}) {
    Line(out, line);
  }
}

void AppendPrologue(std::string& out) {
  Line(out, "[{");
  Line(out, "%%BeginFeature: *JobPatchFile 0");
  Line(out, "");
  Line(out, "");
  AppendPostScript(out, kDefaultColorSettingProcSet);
  Line(out, "%%EndFeature");
  Line(out, "} stopped cleartomark");
  Line(out, "");
  Line(out, "%%BeginProlog");
  AppendPostScript(out, DriverProcedurePatchResource());
  AppendPostScript(out, kInitLoadProcSet);
  // These three end with an extra LF, as the printer's own driver writes them.
  out += "globaldict /OK@NupNumber 1 put \r\n\n";
  out += "globaldict /OK@Orientation 0 put \r\n\n";
  out += "globaldict /OK@ColorMono 2 put \r\n\n";
  AppendPostScript(out, kErrorHandlerResource);
  Line(out, "userdict /Pscript_WinNT_Incr 230 dict dup begin put");
  AppendPostScript(out, kFatalErrorResource);
  Line(out, "105000 VM?");
  AppendPostScript(out, kWinBasicResource);
  AppendPostScript(out, kWinUtilsResource);
  Line(out, "end");
  Line(out, "%%EndProlog");
}

// "/rows", "/cols", the placement of the image on the page, its colour space and the row
// buffers of the five data sources.
void AppendImageHeader(std::string& out, const HeaderImage& image, std::string_view translate,
                       std::string_view scale) {
  Line(out, "/rows " + Number(image.rows) + " def");
  Line(out, "/cols " + Number(image.cols) + " def");
  Line(out, translate);
  Line(out, scale);
  for (std::string_view line :
       {"level2 {", "band 0 eq {", "/DeviceCMYK", "} {/DeviceGray} ifelse",
        "setcolorspace currentdict /PhotoshopDuotoneColorSpace undef currentdict "
        "/PhotoshopDuotoneAltColorSpace undef } if"}) {
    Line(out, line);
  }
  for (int plane = 1; plane <= 5; ++plane) {
    Line(out, "/picstr" + std::to_string(plane) + " " + Number(image.cols) + " string def");
  }
  Line(out, "/_rowpadstr " + Number(image.cols) + " string def");
}

}  // namespace

namespace {

JobTimestamp Timestamp(const char* source_date_epoch, bool pinned_in_local_time) {
  std::time_t seconds = std::time(nullptr);
  bool utc = false;
  if (source_date_epoch != nullptr && *source_date_epoch != '\0') {
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(source_date_epoch, &end, 10);
    if (errno == 0 && end != nullptr && *end == '\0' && value >= 0) {
      seconds = static_cast<std::time_t>(value);
      utc = true;
    }
  }
  std::tm parts{};
  // A moment the calendar cannot hold, or one past the year 9999 that the four-digit year of
  // the creation date line cannot show, counts as malformed.
  if (utc && (gmtime_r(&seconds, &parts) == nullptr || parts.tm_year + 1900 > 9999)) {
    seconds = std::time(nullptr);
    utc = false;
  }
  if (!utc || pinned_in_local_time) localtime_r(&seconds, &parts);
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
          parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

}  // namespace

JobTimestamp JobTimestampNow(const char* source_date_epoch) {
  return Timestamp(source_date_epoch, false);
}

JobTimestamp LocalTimestampNow(const char* source_date_epoch) {
  return Timestamp(source_date_epoch, true);
}

std::string FormatSingle(float value) {
  if (!std::isfinite(value)) return "0";
  // The fewest significant digits (up to 7) that give the value back, then that decimal
  // written out without exponent.
  double rounded = 0;
  for (int digits = 1; digits <= 7; ++digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    rounded = std::strtod(text, nullptr);
    if (static_cast<float>(rounded) == value) break;
  }
  for (int decimals = 0; decimals <= 20; ++decimals) {
    char text[96];
    std::snprintf(text, sizeof text, "%.*f", decimals, rounded);
    if (std::strtod(text, nullptr) == rounded || decimals == 20) {
      std::string result = text;
      if (result == "-0") result = "0";
      return result;
    }
  }
  return "0";
}

std::string JobDocumentTitle(std::string_view caption) {
  std::string title(caption);
  for (std::size_t at = title.find(kTitlePrefix); at != std::string::npos;
       at = title.find(kTitlePrefix, at)) {
    title.erase(at, kTitlePrefix.size());
  }
  for (char& c : title) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return title;
}

// The job's setup: the printer's features, from copies and tray to media and colour.
void AppendJobSetup(std::string& out, const PostScriptJobInput& input, const UiText& texts,
                    const PageChoice& page, int number_of_prints) {
  Line(out, "%%BeginSetup");
  Line(out, "statusdict begin (%%[ ProductName: ) print product print ( ]%%)= flush end");
  Line(out, "[ 1 0 0 1 0 0 ] false Pscript_WinNT_Incr dup /initialize get exec");
  Line(out, "");
  out += SetupTimeoutFeatures();
  out += NumCopiesFeature(number_of_prints);
  out += JobTypeAndCollateFeatures();
  out += TrayFeature(input.tray_text, texts);
  out += page.feature;
  out += OutputBinFeature(input.model_name, input.face_up_exit);
  out += ScreenResolutionHairline();
  out += BuildMediaTypeFeature(input.media_text, input.model_name, input.paper_class, texts);
  Line(out, "");
  out += ColourAndDeviceFeatures();
  Line(out, "1 setlinecap 1 setlinejoin");
  Line(out, "/mysetup [ 72 600 V 0 0 -72 600 V " + page.mysetup_origin + " ] def");
  Line(out, "");
  Line(out, "%%EndSetup");
  Line(out, "");
  Line(out, "userdict begin /ehsave save def end");
  Line(out, "%%EndPageComments");
}

// The image's place and size on the page, then the procedures that read its data.
void AppendImagePlacement(std::string& out, const PostScriptJobInput& input,
                          const HeaderImage& image, bool blank) {
  AppendPostScript(out, kImagePrologStart);
  if (blank) {
    // The blank page's image sits at a fixed place, one inch square.
    AppendImageHeader(out, image, "268 393 translate",
                      Number(std::int64_t{72}) + Number(std::int64_t{72}) + " scale");
  } else {
    // The grid's corner, less the 13 points the page origin already lies in.
    const std::int64_t tx = std::max<std::int64_t>(std::int64_t{input.offset_x_pt} - 13, 0);
    const std::int64_t ty = std::max<std::int64_t>(std::int64_t{input.offset_y_pt} - 13, 0);
    AppendImageHeader(out, image, Number(tx) + Number(ty) + " translate",
                      Number(image.x_point) + Number(image.y_point) + " scale");
  }
  AppendPostScript(out, kImageReadProcedures);
  AppendPostScript(out, kImageDataSources);
}

std::string BuildJobHeader(const PostScriptJobInput& input, const UiText& texts,
                           const HeaderImage& image, JobKind kind, int number_of_prints) {
  const bool blank = kind == JobKind::kBlankPage;
  const PageChoice page =
      ChoosePage(input.paper_name, input.page_width_pt, input.page_height_pt, !blank);

  std::string out;
  out.reserve(64 * 1024);
  AppendDscComments(out, blank ? std::string(kBlankPageTitle) : JobDocumentTitle(input.caption),
                    input.created);
  AppendPrologue(out);
  AppendJobSetup(out, input, texts, page, number_of_prints);

  Line(out, "%%BeginPageSetup");
  out += PageSetupFeatures();
  Line(out, "/DeviceRGB dup setcolorspace /colspABC exch def");
  Line(out, "mysetup concat colspRefresh");
  Line(out, "%%EndPageSetup");
  Line(out, "");

  Line(out, "30000 VM?");
  Line(out, "Pscript_WinNT_Incr begin");
  AppendPostScript(out, kCompatResource);
  Line(out, "end reinitialize");
  Line(out, "Pscript_WinNT_Compat begin /$x mysetup def end");
  Line(out, "Pscript_WinNT_Incr dup /suspend get exec");
  Line(out, "Pscript_WinNT_Compat dup /initialize get exec");
  Line(out, "%%BeginDocument: Pscript_Win_PassThrough");
  out += "600 72 div 600 72 div scale\n";
  AppendImagePlacement(out, input, image, blank);
  return out;
}

std::string BuildJobTrailer() {
  std::string out = kCrLf;
  for (std::string_view line : {
           "grestore end % Image Trailer grestore",
           "grestore % Print PostScript grestore",
           "",
           "%%EndDocument",
           "",
           "Pscript_WinNT_Compat dup /suspend get exec",
           "Pscript_WinNT_Incr dup /resume get exec",
           "LH",
           "(%%[Page: 1]%%) = ",
           "%%PageTrailer",
           "",
           "%%Trailer",
           "%%DocumentNeededResources: ",
           "%%DocumentSuppliedResources: ",
           "%%+ procset Pscript_WinNT_VMErrorHandler 5.0 0",
           "%%+ procset Pscript_FatalError 5.0 0",
           "%%+ procset Pscript_Win_Basic 5.0 0",
           "%%+ procset Pscript_Win_Utils_L2 5.0 0",
           "%%+ procset Pscript_WinNT_Compat 5.0 0",
           "Pscript_WinNT_Incr dup /terminate get exec",
           "ehsave restore",
           "(%%[LastPage]%%) = ",
           "%%EOF",
       }) {
    Line(out, line);
  }
  out += "\x1b%-12345X\x1b%-12345X@PJL EOJ\r\n";
  return out;
}

std::string JobNumber(std::int64_t value) { return Number(value); }
std::string JobNumber(float value) { return Number(value); }

PostScriptJobResult BuildPostScriptJob(SeparationSet planes, const CopiesGridInput& grid,
                                       const PostScriptJobInput& input,
                                       JobWriterServices services) {
  PostScriptJobResult result;
  services.progress.SetProgress(0, 100);
  services.progress.SetStatus(services.texts[ui::kCreatingPrintStatus]);

  ComposeResult composed =
      ComposeTiledImage(std::make_shared<const SeparationSet>(std::move(planes)), grid,
                        services.texts[ui::kGridTooBig], services.notifier, services.progress);
  switch (composed.error) {
    case ComposeError::kNone:
      break;
    case ComposeError::kTooBig:
      result.failure = JobFailure::kGridTooBig;
      return result;
    case ComposeError::kBadInput:
      result.failure = JobFailure::kBadSeparation;
      return result;
  }
  TiledImage& image = composed.image;
  const int number_of_prints = ClampNumberOfPrints(input.number_of_prints);
  services.progress.SetProgress(0, 100);
  const HeaderImage header_image{image.x_pixel, image.y_pixel, image.x_point, image.y_point};
  result.job.header =
      BuildJobHeader(input, services.texts, header_image, JobKind::kImage, number_of_prints);
  services.progress.SetProgress(25, 100);
  result.job.trailer = BuildJobTrailer();
  services.progress.SetProgress(75, 100);
  result.job.image = std::move(image);
  result.job.number_of_prints = number_of_prints;
  services.progress.SetProgress(100, 100);
  return result;
}

bool WritePostScriptJob(std::ostream& out, const PostScriptJob& job) {
  out.write(job.header.data(), static_cast<std::streamsize>(job.header.size()));
  job.image.Send([&out](std::string_view piece) {
    out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    return static_cast<bool>(out);
  });
  out.write(job.trailer.data(), static_cast<std::streamsize>(job.trailer.size()));
  return static_cast<bool>(out);
}

bool WritePostScriptJob(int fd, const PostScriptJob& job) {
  return WriteAllBytes(fd, job.header.data(), job.header.size()) &&
         job.image.Send([fd](std::string_view piece) { return WriteAllBytes(fd, piece); }) &&
         WriteAllBytes(fd, job.trailer.data(), job.trailer.size());
}

bool WriteEndOfJobByte(std::ostream& out) {
  out.put('\x04');
  return static_cast<bool>(out);
}

bool WriteEndOfJobByte(int fd) {
  const char end = '\x04';
  return WriteAllBytes(fd, &end, 1);
}

}  // namespace kelvaro
