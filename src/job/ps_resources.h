#ifndef KELVARO_JOB_PS_RESOURCES_H_
#define KELVARO_JOB_PS_RESOURCES_H_

#include <array>
#include <string>
#include <string_view>

namespace kelvaro {

// The fixed PostScript of the job. Each text is written with LF line ends and no final line
// break; the writer turns every LF into CR LF when it appends one (AppendPostScript).
// Whatever the printer itself provides (its DriverOps and ColorRendering procedure sets) is
// always looked up with resourcestatus first, so an interpreter without them skips the call.

// Job patch run inside "[{ ... } stopped cleartomark" before the prolog.
extern const std::string_view kDefaultColorSettingProcSet;
// Prolog resources of the printer: setpagedevice wrapper, paper parameters, initial load.
extern const std::string_view kInitLoadProcSet;

// The prolog of the page-description part: error handler, then (inside Pscript_WinNT_Incr)
// the low-memory check, the basic procedures and the utilities.
extern const std::string_view kErrorHandlerResource;
extern const std::string_view kFatalErrorResource;  // defines PrtVMMsg and VM?
extern const std::string_view kWinBasicResource;    // featurebegin, featurecleanup, lucas
extern const std::string_view kWinUtilsResource;    // V, LH, colspRefresh, initialize, ...
extern const std::string_view kCompatResource;      // Pscript_WinNT_Compat with ANSIVec

// The image prolog, from "gsave %% Print PostScript gsave" to "gsave % Image Header gsave",
// and the read procedures and image dictionary that follow the variable header lines, up to
// the data sources.
extern const std::string_view kImagePrologStart;
extern const std::string_view kImageReadProcedures;
extern const std::string_view kImageDataSources;

// One row of the printer's paper parameter array: size in points, MediaType, LeadingEdge,
// MediaWeight, Policies7, UseMPT and EnvType, as PostScript, and the paper's name.
struct PaperParameterRow {
  std::string_view row;
  std::string_view name;
};
extern const std::array<PaperParameterRow, 43> kPaperParameterRows;

// The array as it appears in the job: one line per row, "  <row> % <index>:" and the name in
// one column. Lines end in LF, like the other texts here.
std::string PaperParameterArrayText();

// The prolog patch resource "OKI_Driver_Procedure_Patch_Resource 1.0 0", paper array included.
std::string DriverProcedurePatchResource();

// Appends `text` to `out` with every LF turned into CR LF, and a final CR LF.
void AppendPostScript(std::string& out, std::string_view text);

}  // namespace kelvaro

#endif  // KELVARO_JOB_PS_RESOURCES_H_
