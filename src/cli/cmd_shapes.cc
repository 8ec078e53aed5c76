// `kelvaro shapes list`, `shapes import FILE.ai --name NAME`, `shapes delete NAME`: the user's
// shape library, as the shape import and library edit windows change it.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "pattern/pattern_print.h"
#include "pattern/shape_library.h"
#include "pattern/vector_import.h"

namespace kelvaro::cli {
namespace {

constexpr char kCommand[] = "shapes";
constexpr char kUsage[] =
    "shapes list | shapes import FILE.ai --name NAME [--gap0 G] [--gap45 G] [--replace] | "
    "shapes delete NAME";

// A base gap as the import window takes it, -5 to 5 (millimetres).
std::optional<double> ParseBaseGap(const std::optional<std::string>& text,
                                   std::optional<UsageError>& error, const char* name) {
  if (!text) return 0.0;
  char* end = nullptr;
  const double value = std::strtod(text->c_str(), &end);
  if (text->empty() || *end != '\0' || !(value >= -5 && value <= 5)) {
    error = UsageError{std::string("--") + name + " takes a number from -5 to 5"};
    return std::nullopt;
  }
  return value;
}

std::filesystem::path LibraryPath(CliSession& session) {
  return StoredShapeLibraryPath(session.store);
}

int List(CliSession& session) {
  const ShapeListing listing = ListShapes(LibraryPath(session));
  for (const std::string& name : listing.names) std::printf("%s\n", name.c_str());
  if (!listing.message.empty()) {
    std::fprintf(stderr, "kelvaro shapes: %s\n", listing.message.c_str());
    return 1;
  }
  return 0;
}

int Import(CliSession& session, const std::string& file, const std::string& name, double gap0,
           double gap45, bool replace) {
  VectorImportResult imported = ImportVectorShape(file);
  if (!imported.ok()) {
    const std::string why = imported.message.empty() ? "not a vector drawing" : imported.message;
    std::fprintf(stderr, "kelvaro shapes: %s: %s\n", file.c_str(), why.c_str());
    return 1;
  }
  imported.shape.name = name;
  imported.shape.gap0 = GapFactorFromBaseGap(gap0);
  imported.shape.gap45 = GapFactorFromBaseGap(gap45);
  const StoreShapeResult stored = StoreShape(LibraryPath(session), imported.shape,
                                             [replace](const std::string&) { return replace; });
  if (stored.status == StoreShapeStatus::kCancelled) {
    std::fprintf(stderr,
                 "kelvaro shapes: the library holds \"%s\" already; --replace replaces it\n",
                 StoredShapeName(name).c_str());
    return 1;
  }
  if (!stored.stored()) {
    std::fprintf(stderr, "kelvaro shapes: %s\n", stored.message.c_str());
    return 1;
  }
  std::printf("%s \"%s\" as shape %d\n",
              stored.status == StoreShapeStatus::kAdded ? "Added" : "Replaced",
              StoredShapeName(name).c_str(), stored.record_number);
  return 0;
}

int Delete(CliSession& session, const std::string& name) {
  const std::vector<std::string> names{StoredShapeName(name)};
  const RemoveShapesResult removed = RemoveShapes(LibraryPath(session), names);
  if (!removed.ok()) {
    std::fprintf(stderr, "kelvaro shapes: %s\n", removed.message.c_str());
    return 1;
  }
  if (removed.removed == 0) {
    // The edit reaches the first records only; a shape the listing shows further on is there.
    const ShapeLookup found = LoadShape(LibraryPath(session), names[0]);
    if (found.record_number > kMaxEditedShapes) {
      std::fprintf(stderr,
                   "kelvaro shapes: \"%s\" is record %d of the library; only the first %d "
                   "records can be edited\n",
                   names[0].c_str(), found.record_number, kMaxEditedShapes);
    } else {
      std::fprintf(stderr, "kelvaro shapes: the library holds no shape \"%s\"\n", names[0].c_str());
    }
    return 1;
  }
  std::printf("Removed \"%s\"\n", names[0].c_str());
  return 0;
}

}  // namespace

int RunShapesCommand(const Args& arguments) {
  Args args = arguments;
  std::optional<UsageError> error;
  const std::optional<std::string> name = TakeOption(args, "name", error);
  const std::optional<std::string> gap0_text = TakeOption(args, "gap0", error);
  const std::optional<std::string> gap45_text = TakeOption(args, "gap45", error);
  const bool replace = TakeFlag(args, "replace", error);
  const std::optional<double> gap0 = ParseBaseGap(gap0_text, error, "gap0");
  const std::optional<double> gap45 = ParseBaseGap(gap45_text, error, "gap45");
  if (!error) error = CheckLeftovers(args, 2);
  const std::string verb = args.empty() ? "" : args[0];
  const bool import_words = verb == "import" && args.size() == 2 && name;
  const bool list_words = verb == "list" && args.size() == 1;
  const bool delete_words = verb == "delete" && args.size() == 2;
  if (!error && !import_words && !list_words && !delete_words) {
    error = UsageError{"say list, import FILE --name NAME, or delete NAME"};
  }
  if (error) return ReportUsageError(kCommand, *error, kUsage);

  const std::unique_ptr<CliSession> session = OpenCliSession();
  if (LibraryPath(*session).empty()) {
    std::fprintf(stderr, "kelvaro shapes: no shape library is set up ([Active] Shape Library)\n");
    return 1;
  }
  if (list_words) return List(*session);
  if (delete_words) return Delete(*session, args[1]);
  return Import(*session, args[1], *name, *gap0, *gap45, replace);
}

}  // namespace kelvaro::cli
