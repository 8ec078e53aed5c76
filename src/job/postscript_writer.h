#ifndef KELVARO_JOB_POSTSCRIPT_WRITER_H_
#define KELVARO_JOB_POSTSCRIPT_WRITER_H_

#include <cstdint>
#include <ctime>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "image/separation.h"
#include "job/copies_grid.h"
#include "platform/notifier.h"
#include "printers/printer_models.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"

namespace kelvaro {

// The creation date of a job, as the clock on the wall shows it.
struct JobTimestamp {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;   // 0..23
  int minute = 0;
  int second = 0;
};

// The local time now, or, when `source_date_epoch` holds a whole number of seconds since
// 1970 (the SOURCE_DATE_EPOCH convention for reproducible output), that moment in UTC. The
// caller reads the environment; nullptr, a malformed value or one past the year 9999 means
// "now".
JobTimestamp JobTimestampNow(const char* source_date_epoch);
// The same moment in local time, whether now or pinned, for texts a person reads.
JobTimestamp LocalTimestampNow(const char* source_date_epoch);

// Everything the job reads from the main window and the application state, read fresh for
// each print.
struct PostScriptJobInput {
  std::string model_name;      // active printer model name ("C711WT", "Pro9420WT", ...)
  PaperClass paper_class = 0;  // paper family of the active model (0, 1, 2 or 4)
  std::string paper_name;      // the paper list's selection, e.g. "A4 SEF"
  int page_width_pt = 0;       // page size of the selected paper, whole points
  int page_height_pt = 0;
  int offset_x_pt = 0;  // top-left corner of the copies grid on the page, points
  int offset_y_pt = 0;
  std::string tray_text;         // the tray list's selection
  bool face_up_exit = false;     // the "FaceUp Exit" check box
  std::string media_text;        // the media list's selection
  std::string number_of_prints;  // the number-of-prints field as typed
  std::string caption;           // the main window caption, "Kelvaro Pro - <file>"
  JobTimestamp created;          // for "%%CreationDate: "
};

// The three blocks of a job. The image data block is sent exactly as composed: y_pixel rows,
// each five plane rows of x_pixel bytes, plane 1 first.
struct PostScriptJob {
  std::string header;        // "%!PS-Adobe-3.0" ... "beginimage" CR LF
  TiledImage image;          // the image data block and its size in pixels and points
  std::string trailer;       // CR LF "grestore end ..." ... the PJL end-of-job line
  int number_of_prints = 1;  // after clamping to 1..99; the field shows this value
};

// Why no job was made.
enum class JobFailure {
  kNone,
  kGridTooBig,     // over the size limit; the user has been told
  kBadSeparation,  // no usable separation; nothing shown
};

struct PostScriptJobResult {
  PostScriptJob job;  // complete when `failure` is kNone
  JobFailure failure = JobFailure::kNone;
  bool ok() const { return failure == JobFailure::kNone; }
};

struct JobWriterServices {
  const UiText& texts;
  Notifier& notifier;
  ProgressSink& progress;
};

// Makes the image job: composes the copies grid from `planes` (size limit, progress per tile
// row) and writes header and trailer. What the statistics keep of the job is the print's
// business. Status line: UiText 39 at the start. Progress: 0, the tile rows, 0, 25, 75, 100.
PostScriptJobResult BuildPostScriptJob(SeparationSet planes, const CopiesGridInput& grid,
                                       const PostScriptJobInput& input, JobWriterServices services);

// What the header's image part needs beyond the input.
enum class JobKind { kImage, kBlankPage };
struct HeaderImage {
  std::int64_t cols = 0;  // pixels across ("Xpixel")
  std::int64_t rows = 0;  // pixels down ("Ypixel")
  float x_point = 0;      // printed width, points
  float y_point = 0;      // printed height, points
};

// The header text for a job of `kind`: the blank-page job has its own title, translation and
// scale and no "A4 SEF" page row. `number_of_prints` is already clamped.
std::string BuildJobHeader(const PostScriptJobInput& input, const UiText& texts,
                           const HeaderImage& image, JobKind kind, int number_of_prints);

// The trailer text, the same for every job, ending with the PJL end-of-job line.
std::string BuildJobTrailer();

// The document title of the DSC header: the caption with every "Kelvaro Pro - " removed and
// control characters (line breaks, ESC, the end-of-job byte) turned into blanks, so that a
// file name cannot end the comment line and inject PostScript.
std::string JobDocumentTitle(std::string_view caption);

// A number as the job's header writes it, and as the statistics keep the job's size: a
// blank before a value that is not negative (9 -> " 9", -2 -> "-2").
std::string JobNumber(std::int64_t value);
std::string JobNumber(float value);

// A single-precision value in its shortest decimal form of at most 7 significant digits,
// without exponent: 236 -> "236", 8.64f -> "8.64".
std::string FormatSingle(float value);

// Writes header, image data and trailer, in that order, to `out` or to the file descriptor.
// Returns false when a write fails. The end-of-job byte is a separate step.
bool WritePostScriptJob(std::ostream& out, const PostScriptJob& job);
bool WritePostScriptJob(int fd, const PostScriptJob& job);

// The byte 0x04 that ends a job handed to a printer.
bool WriteEndOfJobByte(std::ostream& out);
bool WriteEndOfJobByte(int fd);

}  // namespace kelvaro

#endif  // KELVARO_JOB_POSTSCRIPT_WRITER_H_
