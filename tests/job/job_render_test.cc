// Renders small jobs with Ghostscript's separating TIFF device and reads the four ink plates
// back, so that the job's own PostScript (prolog, feature brackets, image prolog, data
// sources, trailer) is checked by an interpreter, not only by its bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "job/blank_page.h"
#include "job/postscript_writer.h"
#include "settings/settings_store.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {

namespace fs = std::filesystem;

bool HaveGhostscript() { return testing::RunCommand("gs --version >/dev/null 2>&1").status == 0; }

// One 8-bit single-channel plate of an uncompressed TIFF: 0 = full ink, 255 = none.
struct Plate {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
  int InkAt(int x, int y) const { return 255 - pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Reads the first image of an uncompressed, 8-bit, one-sample TIFF file (as Ghostscript's
// tiffsep writes with -sCompression=none). nullopt for anything else.
std::optional<Plate> ReadPlate(const fs::path& path) {
  const std::string b = testing::ReadFileBytes(path);
  if (b.size() < 8) return std::nullopt;
  const bool little = b[0] == 'I';
  auto u16 = [&](std::size_t at) -> std::uint32_t {
    if (at + 2 > b.size()) return 0;
    const auto lo = static_cast<std::uint8_t>(b[little ? at : at + 1]);
    const auto hi = static_cast<std::uint8_t>(b[little ? at + 1 : at]);
    return lo | (hi << 8);
  };
  auto u32 = [&](std::size_t at) -> std::uint32_t {
    return little ? u16(at) | (u16(at + 2) << 16) : (u16(at) << 16) | u16(at + 2);
  };
  const std::size_t ifd = u32(4);
  const std::uint32_t entries = u16(ifd);
  std::uint32_t width = 0, height = 0, bits = 0, compression = 0, samples = 1;
  std::vector<std::uint32_t> offsets, counts;
  auto values = [&](std::size_t entry) {
    const std::uint32_t type = u16(entry + 2);
    const std::uint32_t count = u32(entry + 4);
    const std::size_t size = type == 3 ? 2 : 4;
    const std::size_t base = count * size <= 4 ? entry + 8 : u32(entry + 8);
    std::vector<std::uint32_t> out;
    for (std::uint32_t i = 0; i < count && i < 100000; ++i) {
      out.push_back(size == 2 ? u16(base + 2 * i) : u32(base + 4 * i));
    }
    return out;
  };
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::size_t entry = ifd + 2 + 12 * i;
    const std::vector<std::uint32_t> v = values(entry);
    if (v.empty()) continue;
    switch (u16(entry)) {
      case 256:
        width = v[0];
        break;
      case 257:
        height = v[0];
        break;
      case 258:
        bits = v[0];
        break;
      case 259:
        compression = v[0];
        break;
      case 277:
        samples = v[0];
        break;
      case 273:
        offsets = v;
        break;
      case 279:
        counts = v;
        break;
    }
  }
  if (bits != 8 || compression != 1 || samples != 1 || offsets.size() != counts.size()) {
    return std::nullopt;
  }
  Plate plate;
  plate.width = static_cast<int>(width);
  plate.height = static_cast<int>(height);
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    if (offsets[i] + static_cast<std::size_t>(counts[i]) > b.size()) return std::nullopt;
    plate.pixels.insert(plate.pixels.end(), b.begin() + offsets[i],
                        b.begin() + offsets[i] + counts[i]);
  }
  if (plate.pixels.size() < static_cast<std::size_t>(width) * height) return std::nullopt;
  return plate;
}

struct Rendering {
  int status = -1;
  std::string output;         // what Ghostscript and the job printed
  std::vector<Plate> plates;  // of the first sheet: cyan, magenta, yellow, black (white)
};

// Runs the job, as the printer receives it (end-of-job byte included), through Ghostscript
// at 72 dots per inch. Ghostscript has none of the printer's driver procedures, so a custom
// page size in the job leaves its page as it was: the page starts at the paper's own size,
// as the printer's custom-page procedure would set it.
Rendering Render(const PostScriptJob& job, const PostScriptJobInput& input, const fs::path& dir) {
  std::ostringstream bytes;
  EXPECT_TRUE(WritePostScriptJob(bytes, job));
  EXPECT_TRUE(WriteEndOfJobByte(bytes));
  testing::WriteFileBytes(dir / "job.ps", bytes.str());
  Rendering rendering;
  const testing::CommandResult run = testing::RunCommand(
      "cd '" + dir.string() +
      "' && gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=tiffsep -sCompression=none -r72 "
      "-dDEVICEWIDTHPOINTS=" +
      std::to_string(input.page_width_pt) + " -dDEVICEHEIGHTPOINTS=" +
      std::to_string(input.page_height_pt) + " -sOutputFile=out%d.tif job.ps 2>&1");
  rendering.status = run.status;
  rendering.output = run.out;
  for (const char* name : {"Cyan", "Magenta", "Yellow", "Black"}) {
    std::optional<Plate> plate = ReadPlate(dir / ("out1(" + std::string(name) + ").tif"));
    EXPECT_TRUE(plate.has_value()) << name;
    if (!plate) return rendering;
    rendering.plates.push_back(std::move(*plate));
  }
  return rendering;
}

// The number of sheets the job written by Render prints. Counted on a plain grey device:
// the separating device writes an empty file for the last of several copies.
int CountSheets(const fs::path& dir) {
  const testing::CommandResult run =
      testing::RunCommand("cd '" + dir.string() +
                          "' && gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pgmraw -r9 "
                          "-sOutputFile=sheet%d.pgm job.ps >/dev/null 2>&1");
  EXPECT_EQ(run.status, 0);
  int sheets = 0;
  while (fs::exists(dir / ("sheet" + std::to_string(sheets + 1) + ".pgm"))) ++sheets;
  return sheets;
}

// A clean run: no error page, no feature that upset the stack, and the trailer reached.
void ExpectCleanRun(const Rendering& rendering) {
  EXPECT_EQ(rendering.status, 0) << rendering.output;
  EXPECT_EQ(rendering.output.find("Error"), std::string::npos) << rendering.output;
  EXPECT_EQ(rendering.output.find("Warning"), std::string::npos) << rendering.output;
  EXPECT_NE(rendering.output.find("%%[Page: 1]%%"), std::string::npos) << rendering.output;
  EXPECT_NE(rendering.output.find("%%[LastPage]%%"), std::string::npos) << rendering.output;
}

PostScriptJobInput A4Input() {
  PostScriptJobInput input;
  input.model_name = "C711WT";
  input.paper_name = "A4";
  input.page_width_pt = 595;
  input.page_height_pt = 842;
  input.offset_x_pt = 40;
  input.offset_y_pt = 53;
  input.tray_text = "AUTO";
  input.media_text = "Printer Setting";
  input.number_of_prints = "1";
  input.caption = "Kelvaro Pro - tiny.png";
  return input;
}

struct Writer {
  testing::TestFolders folders;
  testing::RecordingNotifier notifier;
  SettingsStore store{folders.folders(), notifier};
  UiText texts;
  NullProgress progress;
  Writer() { LoadDefaultTexts(texts); }
  PostScriptJobResult Build(const SeparationSet& planes, const CopiesGridInput& grid,
                            const PostScriptJobInput& input) {
    return BuildPostScriptJob(planes, grid, input, {texts, notifier, progress});
  }
};

// Byte (plane 1..4, row, column) of a 3 × 2 copy: distinct in every plane, row and column.
std::uint8_t Ink(int plane, int row, int column) {
  return static_cast<std::uint8_t>(50 * plane + 10 * row + column + 1);
}

TEST(JobRenderTest, PlatesCarryPlanesOneToFour) {
  if (!HaveGhostscript()) GTEST_SKIP() << "Ghostscript is not installed";
  SeparationSet copy;
  copy.width = 3;
  copy.height = 2;
  for (int row = 0; row < 2; ++row) {
    for (int plane = 1; plane <= 5; ++plane) {
      for (int column = 0; column < 3; ++column) {
        copy.bytes.push_back(plane == 5 ? 0 : Ink(plane, row, column));
      }
    }
  }
  // Two copies across of 72 × 48 points, 24 points apart: one pixel gap, 9 × 4 pixels over
  // 168 × 48 points, so each image pixel covers many device pixels and the test samples
  // their centres.
  CopiesGridInput grid;
  grid.copies_across = 2;
  grid.copy_width_pt = 72;
  grid.copy_height_pt = 48;
  grid.gap_x_pt = 24;
  grid.printable_width_pt = 569;
  grid.printable_height_pt = 816;
  Writer writer;
  const PostScriptJobInput input = A4Input();
  const PostScriptJobResult result = writer.Build(copy, grid, input);
  ASSERT_TRUE(result.ok());
  ASSERT_EQ(result.job.image.x_pixel, 9);
  ASSERT_EQ(result.job.image.y_pixel, 4);

  testing::TempDir dir;
  const Rendering rendering = Render(result.job, input, dir.path());
  ExpectCleanRun(rendering);
  ASSERT_EQ(rendering.plates.size(), 4u);
  ASSERT_EQ(rendering.plates[0].width, 595);
  ASSERT_EQ(rendering.plates[0].height, 842);

  // The page origin sits 12.99968 points right of and 12.99933 points below the top-left
  // corner; the image is moved by (offset − 13) and spans 168 × 48 points.
  const double left = 12.99968 + 27;
  const double top = 842 - 829.00067 + 40;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 9; ++column) {
      const int x = static_cast<int>(left + (column + 0.5) * 168.0 / 9);
      const int y = static_cast<int>(top + (row + 0.5) * 48.0 / 4);
      const int source_column = column < 3 ? column : column >= 4 && column < 7 ? column - 4 : -1;
      for (int plane = 1; plane <= 4; ++plane) {
        const int expected = row < 2 && source_column >= 0 ? Ink(plane, row, source_column) : 0;
        EXPECT_EQ(rendering.plates[plane - 1].InkAt(x, y), expected)
            << "plane " << plane << ", row " << row << ", column " << column;
      }
    }
  }
  // Nothing outside the image.
  for (const Plate& plate : rendering.plates) {
    EXPECT_EQ(plate.InkAt(0, 0), 0);
    EXPECT_EQ(plate.InkAt(static_cast<int>(left) - 2, static_cast<int>(top) + 5), 0);
    EXPECT_EQ(plate.InkAt(static_cast<int>(left + 170), static_cast<int>(top) + 5), 0);
    EXPECT_EQ(plate.InkAt(594, 841), 0);
  }
}

TEST(JobRenderTest, BlankPagePutsNoInkAnywhere) {
  if (!HaveGhostscript()) GTEST_SKIP() << "Ghostscript is not installed";
  UiText texts;
  LoadDefaultTexts(texts);
  const std::optional<PostScriptJob> job = BuildBlankPageJob(A4Input(), texts);
  ASSERT_TRUE(job.has_value());
  testing::TempDir dir;
  const Rendering rendering = Render(*job, A4Input(), dir.path());
  ExpectCleanRun(rendering);
  ASSERT_EQ(rendering.plates.size(), 4u);
  for (const Plate& plate : rendering.plates) {
    std::size_t inked = 0;
    for (std::uint8_t value : plate.pixels) inked += value != 255;
    EXPECT_EQ(inked, 0u);
  }
}

TEST(JobRenderTest, EveryFeatureVariantRunsCleanly) {
  if (!HaveGhostscript()) GTEST_SKIP() << "Ghostscript is not installed";
  SeparationSet copy;
  copy.width = 2;
  copy.height = 2;
  copy.bytes.assign(5 * 2 * 2, 200);
  CopiesGridInput grid;
  grid.copy_width_pt = 20;
  grid.copy_height_pt = 20;
  grid.printable_width_pt = 500;
  grid.printable_height_pt = 500;

  const struct {
    const char* model;
    PaperClass paper_class;
    const char* paper;
    int width, height;  // points
    const char* tray;
    bool face_up;
    const char* media;
    const char* prints;
  } rows[] = {
      {"Pro9420WT", 2, "A3", 842, 1191, "MultiPurpose Tray", true, "Medium (83 - 104 g/m2)", "2"},
      {"C920WT", 2, "A4 SEF", 595, 842, "Tray 1", false, "Medium Light (75 - 82 g/m2)", "3"},
      {"C711WT", 0, "A5 SEF", 420, 595, "AUTO", false, "Films", "1"},
      {"ES7411WT", 1, "A6 SEF", 297, 420, "AUTO", false, "Glossy", "1"},
      {"Pro8432WT", 2, "A4XL 2", 612, 1190, "AUTO", false, "Medium D", "1"},
      {"TST4", 4, "Letter", 612, 792, "AUTO", false, "Labels 1", "1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.model) + ", " + row.paper + ", " + row.media);
    PostScriptJobInput input = A4Input();
    input.model_name = row.model;
    input.paper_class = row.paper_class;
    input.paper_name = row.paper;
    input.page_width_pt = row.width;
    input.page_height_pt = row.height;
    input.tray_text = row.tray;
    input.face_up_exit = row.face_up;
    input.media_text = row.media;
    input.number_of_prints = row.prints;
    Writer writer;
    const PostScriptJobResult result = writer.Build(copy, grid, input);
    ASSERT_TRUE(result.ok());
    testing::TempDir dir;
    const Rendering rendering = Render(result.job, input, dir.path());
    ExpectCleanRun(rendering);
    ASSERT_EQ(rendering.plates.size(), 4u);
    // One sheet per print, and the copy's 200 of every ink on every plate.
    EXPECT_EQ(CountSheets(dir.path()), result.job.number_of_prints);
    for (const Plate& plate : rendering.plates) {
      bool found = false;
      for (int y = 0; y < plate.height && !found; ++y) {
        for (int x = 0; x < plate.width && !found; ++x) found = plate.InkAt(x, y) == 200;
      }
      EXPECT_TRUE(found);
    }
  }
}

}  // namespace
}  // namespace kelvaro
