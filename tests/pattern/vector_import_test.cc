#include "pattern/vector_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pattern/shape_library.h"
#include "support/test_env.h"

namespace kelvaro {
namespace {
using testing::TempDir;
using testing::WriteFileBytes;

std::string Drawing(const std::string& body, const std::string& version = "8.0") {
  return "%!PS-Adobe-3.0\n%%Creator: Adobe Illustrator(R) " + version +
         "\n%%BoundingBox: 0 0 300 200\n%%EndComments\n%%BeginSetup\n%%EndSetup\n" + body +
         "%%PageTrailer\n%%Trailer\n";
}

const char kBox[] = "50 20 m\n250 20 L\n250 120 l\n50 120 l\nf\n";

std::vector<ShapePoint> Points(const VectorImportResult& r, int polygon) {
  return r.shape.polygons.at(polygon).points;
}

TEST(VectorImportTest, VersionsThreeToEightReadAndNormaliseToTheirHeight) {
  for (const char* version : {"3.0", "4.0", "5.5", "6.0", "7.0", "8.0"}) {
    const VectorImportResult r = ParseVectorShape(Drawing(kBox, version), "Box");
    ASSERT_TRUE(r.ok()) << version << ": " << r.message;
    EXPECT_EQ(r.shape.name, "Box");
    ASSERT_EQ(r.shape.polygons.size(), 1u);
    EXPECT_EQ(r.shape.polygons[0].colour, kShapeBlack);
    // 200 × 100 points: x from 0 to 2, y from 0 to 1, top at 0.
    EXPECT_EQ(Points(r, 0), (std::vector<ShapePoint>{{0, 1}, {2, 1}, {2, 0}, {0, 0}}));
  }
}

TEST(VectorImportTest, FillColoursMakeHolesAndStrokeColoursDoNot) {
  const std::string body =
      "0 0 0 1 k\n50 20 m\n250 20 l\n250 120 l\nf\n"
      "0 0 0 0 K\n60 30 m\n70 30 l\n70 40 l\nf\n"     // stroke colour: still black
      "0 0 0 0 k\n100 50 m\n120 50 l\n120 70 l\nf\n"  // white fill: a hole
      "0.2 0.1 0.1 0 k\n10 20 m\n20 30 l\nf\n"        // 0.4 < 0.5: white too
      "0 0 0 0 0 0 0 Xa\n1 2 m\n3 4 l\nf\n"           // Xa adding up to 0: white
      "0.5 0 0 0 1 1 1 Xa\n1 2 m\n3 4 l\nf\n";        // otherwise black
  const VectorImportResult r = ParseVectorShape(Drawing(body), "Holes");
  ASSERT_TRUE(r.ok()) << r.message;
  std::vector<std::uint32_t> colours;
  for (const ShapePolygon& p : r.shape.polygons) colours.push_back(p.colour);
  EXPECT_EQ(colours, (std::vector<std::uint32_t>{kShapeBlack, kShapeBlack, kShapeWhite, kShapeWhite,
                                                 kShapeWhite, kShapeBlack}));
}

TEST(VectorImportTest, TwoHundredAndOneStraightPointsAreTooManyAtOnce) {
  std::string body = "0 0 m\n";
  for (int i = 1; i < 201; ++i) body += std::to_string(i) + " " + std::to_string(i % 7) + " l\n";
  body += "f\n";
  const VectorImportResult r = ParseVectorShape(Drawing(body), "Many");
  EXPECT_EQ(r.code, VectorImportCode::kTooManyNodes);
  EXPECT_EQ(r.message, "Conversion failed\nTo many nodes");
  // 21 paths are too many as well.
  std::string paths;
  for (int i = 0; i < 21; ++i) paths += "0 0 m\n10 " + std::to_string(i + 1) + " l\nf\n";
  EXPECT_EQ(ParseVectorShape(Drawing(paths), "Paths").code, VectorImportCode::kTooManyNodes);
}

TEST(VectorImportTest, CurvesAreRetriedWithFewerSteps) {
  // Ten curves in one path: 1 + 10 × (n + 1) points fit under 200 first at n = 18.
  std::string body = "0 0 m\n";
  for (int i = 0; i < 10; ++i) {
    const int x = 10 * i;
    body += std::to_string(x + 3) + " 10 " + std::to_string(x + 7) + " 10 " +
            std::to_string(x + 10) + " 0 c\n";
  }
  body += "f\n";
  const VectorImportResult r = ParseVectorShape(Drawing(body), "Waves");
  ASSERT_TRUE(r.ok()) << r.message;
  ASSERT_EQ(r.shape.polygons.size(), 1u);
  const std::vector<ShapePoint> points = Points(r, 0);
  EXPECT_EQ(points.size(), 1u + 10 * 19);
  EXPECT_EQ(points[1], points[0]);  // each curve starts at the point before it
  // Curve height 0.75 × 10 at its middle: normalised to 1, the middle points touch the top.
  EXPECT_FLOAT_EQ(points[10].y, 0.0f);
  EXPECT_FLOAT_EQ(points[10].x, 0.5f / 0.75f);

  // Forty curves do not fit even with 5 steps.
  std::string more = "0 0 m\n";
  for (int i = 0; i < 40; ++i) more += "1 1 2 1 3 0 c\n";
  EXPECT_EQ(ParseVectorShape(Drawing(more), "More").code, VectorImportCode::kTooManyNodes);
}

TEST(VectorImportTest, RefusedFiles) {
  const VectorImportResult v9 = ParseVectorShape(Drawing(kBox, "9.0"), "New");
  EXPECT_EQ(v9.code, VectorImportCode::kVersionTooHigh);
  EXPECT_EQ(v9.message, "Conversion failed\nAI file greater than Ver 8");
  EXPECT_EQ(ParseVectorShape(Drawing(kBox, "10.0"), "New").code, VectorImportCode::kVersionTooHigh);

  const VectorImportResult pdf = ParseVectorShape("%PDF-1.4\n%\xe2\xe3\n" + Drawing(kBox), "P");
  EXPECT_EQ(pdf.code, VectorImportCode::kPdfVersion);
  EXPECT_EQ(pdf.message, "Conversion failed\nPDF Version of AI");

  const VectorImportResult other = ParseVectorShape("hello\nworld\n50 20 m\n", "X");
  EXPECT_EQ(other.code, VectorImportCode::kUnexpectedFile);
  EXPECT_EQ(other.message, "Conversion failed\nUnexpected file");
  // A drawing without any point, or without any height, has no size to scale to.
  EXPECT_EQ(ParseVectorShape(Drawing("0 0 0 1 k\nf\n"), "E").code,
            VectorImportCode::kUnexpectedFile);
  EXPECT_EQ(ParseVectorShape(Drawing("0 5 m\n100 5 l\nf\n"), "E").code,
            VectorImportCode::kUnexpectedFile);
}

TEST(VectorImportTest, ShortLinesAreIgnoredAndLinePointsClamped) {
  // Old drawings end their lines with CR only.
  const std::string body =
      "10\rm\r"        // too few numbers: no polygon
      "-10 -20 m\r"    // a move keeps its negative numbers
      "30 L\r"         // too few numbers: ignored
      "-5 40 l\r"      // x clamped to 0
      "1 2 3 4 5 c\r"  // too few for a curve
      "20 nan l\r"     // not a number: ignored
      "f\r";
  std::string text = Drawing("");
  text = text.substr(0, text.find("%%PageTrailer")) + body + "%%PageTrailer\r";
  const VectorImportResult r = ParseVectorShape(text, "Short");
  ASSERT_TRUE(r.ok()) << r.message;
  ASSERT_EQ(r.shape.polygons.size(), 1u);
  // Points (-10, -20) and (0, 40): height 60; x from -10 to 0 becomes 0 to 1/6.
  EXPECT_EQ(Points(r, 0).size(), 2u);
  EXPECT_FLOAT_EQ(Points(r, 0)[0].x, 0.0f);
  EXPECT_FLOAT_EQ(Points(r, 0)[0].y, 1.0f);
  EXPECT_FLOAT_EQ(Points(r, 0)[1].x, 10.0f / 60.0f);
  EXPECT_FLOAT_EQ(Points(r, 0)[1].y, 0.0f);
}

TEST(VectorImportTest, FilesByExtensionAndTheMasterLibrary) {
  TempDir dir;
  WriteFileBytes(dir.path() / "My Shape.AI", Drawing(kBox));
  WriteFileBytes(dir.path() / "box.eps", Drawing(kBox));
  const VectorImportResult r = ImportVectorShape(dir.path() / "My Shape.AI");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.shape.name, "My Shape");
  EXPECT_EQ(ImportVectorShape(dir.path() / "box.eps").code, VectorImportCode::kNotVectorFile);
  EXPECT_EQ(ImportVectorShape(dir.path() / "gone.ai").code, VectorImportCode::kUnreadable);

  // The library the build makes from our own drawings.
  const std::filesystem::path master = testing::StagedDataFolder() / "shape.lib";
  EXPECT_EQ(ListShapes(master).names, (std::vector<std::string>{"Star", "Heart", "Hexagon"}));
  const ShapeLookup hexagon = LoadShape(master, "Hexagon");
  ASSERT_TRUE(hexagon.shape);
  ASSERT_EQ(hexagon.shape->polygons.size(), 2u);
  EXPECT_EQ(hexagon.shape->polygons[1].colour, kShapeWhite);  // the hole
}

TEST(VectorImportTest, BaseGapControls) {
  EXPECT_EQ(BaseGapFromSlider(50), 0);
  EXPECT_EQ(BaseGapFromSlider(0), -5);
  EXPECT_EQ(SliderFromBaseGap(2.5), 75);
  EXPECT_DOUBLE_EQ(TypedBaseGap(0.1, 25.4), 2.54);
  EXPECT_EQ(TypedBaseGap(6, 1), 0);
  EXPECT_FLOAT_EQ(GapFactorFromBaseGap(2.5), 0.25f);
}

}  // namespace
}  // namespace kelvaro
