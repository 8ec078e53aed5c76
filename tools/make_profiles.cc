// Writes the colour profiles the program ships with into a folder:
//   sRGB.icm               the sRGB profile of Little CMS, the default image profile;
//   KelvaroWhiteToner.icc  a CMYK output profile for white-toner printers, used when the
//                          printer profile named in the settings is not installed.
//
// The white-toner printers carry white toner in the K slot, so black made with K would print
// white. The profile therefore builds every colour from cyan, magenta and yellow alone: its
// PCS -> device tables put 0 in K at every grid point.
//
// Printer model: each toner layer absorbs light in the red, green and blue bands in
// proportion to its coverage (Beer-Lambert), on a paper that reflects everything:
//   reflectance(band) = 10 ^ -(c * D[cyan][band] + m * D[magenta][band] + y * D[yellow][band])
// The band reflectances are read as linear RGB with sRGB primaries (D50-adapted) to get XYZ.
// The inverse finds the coverages by bounded least squares on the band densities, which maps
// colours outside the toner gamut to the nearest printable mixture.
//
// Usage: kelvaro_make_profiles OUTPUT_FOLDER

#include <lcms2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using Vec3 = std::array<double, 3>;

// Optical density of a full layer of each toner in the red, green and blue bands.
constexpr std::array<Vec3, 3> kTonerDensity = {{
    {1.30, 0.42, 0.16},  // cyan
    {0.12, 1.25, 0.45},  // magenta
    {0.03, 0.10, 1.05},  // yellow
}};

// Linear sRGB (D50-adapted, Bradford) to XYZ and back.
constexpr double kRgbToXyz[3][3] = {{0.4360747, 0.3850649, 0.1430804},
                                    {0.2225045, 0.7168786, 0.0606169},
                                    {0.0139322, 0.0971045, 0.7141733}};

// Smallest band reflectance the inverse aims for; darker targets are out of gamut anyway.
constexpr double kMinReflectance = 1e-4;

Vec3 BandDensities(double c, double m, double y) {
  Vec3 d{};
  for (int band = 0; band < 3; ++band) {
    d[band] = c * kTonerDensity[0][band] + m * kTonerDensity[1][band] + y * kTonerDensity[2][band];
  }
  return d;
}

cmsCIELab CmyToLab(double c, double m, double y) {
  Vec3 d = BandDensities(c, m, y);
  Vec3 rgb{};
  for (int band = 0; band < 3; ++band) rgb[band] = std::pow(10.0, -d[band]);
  cmsCIEXYZ xyz;
  xyz.X = kRgbToXyz[0][0] * rgb[0] + kRgbToXyz[0][1] * rgb[1] + kRgbToXyz[0][2] * rgb[2];
  xyz.Y = kRgbToXyz[1][0] * rgb[0] + kRgbToXyz[1][1] * rgb[1] + kRgbToXyz[1][2] * rgb[2];
  xyz.Z = kRgbToXyz[2][0] * rgb[0] + kRgbToXyz[2][1] * rgb[1] + kRgbToXyz[2][2] * rgb[2];
  cmsCIELab lab;
  cmsXYZ2Lab(cmsD50_XYZ(), &lab, &xyz);
  return lab;
}

bool Invert3(const double m[3][3], double out[3][3]) {
  double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
               m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  if (std::fabs(det) < 1e-12) return false;
  out[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det;
  out[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
  out[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
  out[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det;
  out[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
  out[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
  out[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det;
  out[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
  out[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
  return true;
}

double LabDistance2(const cmsCIELab& a, const cmsCIELab& b) {
  double dl = a.L - b.L, da = a.a - b.a, db = a.b - b.b;
  return dl * dl + da * da + db * db;
}

// Coverages 0..1 of cyan, magenta and yellow that come closest to the Lab colour.
// A first guess solves the band densities (exact inside the gamut); then the Lab distance is
// minimised over the coverage box by coordinate descent, so colours outside the gamut land on
// the nearest printable colour instead of being pulled off hue by a dark band.
Vec3 LabToCmy(const cmsCIELab& lab, const double xyz_to_rgb[3][3],
              const double density_inverse[3][3]) {
  cmsCIEXYZ xyz;
  cmsLab2XYZ(cmsD50_XYZ(), &xyz, &lab);
  const double in[3] = {xyz.X, xyz.Y, xyz.Z};
  Vec3 target{};
  for (int band = 0; band < 3; ++band) {
    double r =
        xyz_to_rgb[band][0] * in[0] + xyz_to_rgb[band][1] * in[1] + xyz_to_rgb[band][2] * in[2];
    r = std::clamp(r, kMinReflectance, 1.0);
    target[band] = -std::log10(r);
  }
  Vec3 x{};
  for (int toner = 0; toner < 3; ++toner) {
    double v = 0;
    for (int band = 0; band < 3; ++band) v += density_inverse[toner][band] * target[band];
    x[toner] = std::clamp(v, 0.0, 1.0);
  }

  auto error = [&lab](const Vec3& v) { return LabDistance2(CmyToLab(v[0], v[1], v[2]), lab); };
  double best = error(x);
  constexpr double kStep = 1e-4;
  for (int sweep = 0; sweep < 100 && best > 1e-10; ++sweep) {
    double moved = 0;
    for (int toner = 0; toner < 3; ++toner) {
      // Gauss-Newton step along one coverage, from a one-sided difference that stays in the box.
      Vec3 probe = x;
      double h = x[toner] + kStep <= 1.0 ? kStep : -kStep;
      probe[toner] += h;
      cmsCIELab at = CmyToLab(x[0], x[1], x[2]);
      cmsCIELab next = CmyToLab(probe[0], probe[1], probe[2]);
      double jl = (next.L - at.L) / h, ja = (next.a - at.a) / h, jb = (next.b - at.b) / h;
      double norm = jl * jl + ja * ja + jb * jb;
      if (norm < 1e-12) continue;
      double step = -((at.L - lab.L) * jl + (at.a - lab.a) * ja + (at.b - lab.b) * jb) / norm;
      for (int tries = 0; tries < 20; ++tries, step *= 0.5) {
        Vec3 candidate = x;
        candidate[toner] = std::clamp(x[toner] + step, 0.0, 1.0);
        double e = error(candidate);
        if (e < best) {
          moved = std::max(moved, std::fabs(candidate[toner] - x[toner]));
          x = candidate;
          best = e;
          break;
        }
      }
    }
    if (moved < 1e-7) break;
  }
  return x;
}

cmsUInt16Number ToWord(double v) {
  return static_cast<cmsUInt16Number>(std::lround(std::clamp(v, 0.0, 1.0) * 65535.0));
}

// Device CMYK -> PCS Lab. K carries white toner, which does not change the colour seen on a
// white page, so it is ignored.
int DeviceToPcs(const cmsUInt16Number in[], cmsUInt16Number out[], void*) {
  cmsCIELab lab = CmyToLab(in[0] / 65535.0, in[1] / 65535.0, in[2] / 65535.0);
  cmsFloat2LabEncoded(out, &lab);
  return TRUE;
}

struct InverseCargo {
  double xyz_to_rgb[3][3];
  double density_inverse[3][3];  // band densities -> coverages
};

// PCS Lab -> device CMYK with K = 0.
int PcsToDevice(const cmsUInt16Number in[], cmsUInt16Number out[], void* cargo) {
  const auto* inverse = static_cast<const InverseCargo*>(cargo);
  cmsCIELab lab;
  cmsLabEncoded2Float(&lab, in);
  Vec3 cmy = LabToCmy(lab, inverse->xyz_to_rgb, inverse->density_inverse);
  out[0] = ToWord(cmy[0]);
  out[1] = ToWord(cmy[1]);
  out[2] = ToWord(cmy[2]);
  out[3] = 0;
  return TRUE;
}

bool WriteText(cmsHPROFILE profile, cmsTagSignature tag, const char* text) {
  cmsMLU* mlu = cmsMLUalloc(nullptr, 1);
  if (mlu == nullptr) return false;
  bool ok = cmsMLUsetASCII(mlu, "en", "US", text) && cmsWriteTag(profile, tag, mlu);
  cmsMLUfree(mlu);
  return ok;
}

cmsPipeline* BuildPipeline(cmsUInt32Number inputs, cmsUInt32Number outputs,
                           const cmsUInt32Number* grid, cmsSAMPLER16 sampler, void* cargo) {
  cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, inputs, outputs);
  if (pipeline == nullptr) return nullptr;
  cmsStage* clut = cmsStageAllocCLut16bitGranular(nullptr, grid, inputs, outputs, nullptr);
  cmsStage* in_curves = cmsStageAllocToneCurves(nullptr, inputs, nullptr);
  cmsStage* out_curves = cmsStageAllocToneCurves(nullptr, outputs, nullptr);
  bool ok = clut != nullptr && in_curves != nullptr && out_curves != nullptr &&
            cmsStageSampleCLut16bit(clut, sampler, cargo, 0) &&
            cmsPipelineInsertStage(pipeline, cmsAT_END, in_curves);
  if (ok) in_curves = nullptr;
  ok = ok && cmsPipelineInsertStage(pipeline, cmsAT_END, clut);
  if (ok) clut = nullptr;
  ok = ok && cmsPipelineInsertStage(pipeline, cmsAT_END, out_curves);
  if (ok) out_curves = nullptr;
  if (in_curves != nullptr) cmsStageFree(in_curves);
  if (clut != nullptr) cmsStageFree(clut);
  if (out_curves != nullptr) cmsStageFree(out_curves);
  if (!ok) {
    cmsPipelineFree(pipeline);
    return nullptr;
  }
  return pipeline;
}

bool WriteWhiteTonerProfile(const std::filesystem::path& file) {
  InverseCargo cargo{};
  if (!Invert3(kRgbToXyz, cargo.xyz_to_rgb)) return false;
  // Band densities are D^T x, so the first guess of the coverages is (D^T)^-1 applied to them.
  double density_transposed[3][3];
  for (int toner = 0; toner < 3; ++toner) {
    for (int band = 0; band < 3; ++band)
      density_transposed[band][toner] = kTonerDensity[toner][band];
  }
  if (!Invert3(density_transposed, cargo.density_inverse)) return false;

  cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
  if (profile == nullptr) return false;
  cmsSetProfileVersion(profile, 4.3);
  cmsSetDeviceClass(profile, cmsSigOutputClass);
  cmsSetColorSpace(profile, cmsSigCmykData);
  cmsSetPCS(profile, cmsSigLabData);
  cmsSetHeaderRenderingIntent(profile, INTENT_PERCEPTUAL);

  // K does not change the appearance, so two grid points suffice in that direction.
  const cmsUInt32Number forward_grid[4] = {17, 17, 17, 2};
  const cmsUInt32Number inverse_grid[3] = {33, 33, 33};
  cmsPipeline* a_to_b = BuildPipeline(4, 3, forward_grid, DeviceToPcs, nullptr);
  cmsPipeline* b_to_a = BuildPipeline(3, 4, inverse_grid, PcsToDevice, &cargo);

  bool ok = a_to_b != nullptr && b_to_a != nullptr &&
            WriteText(profile, cmsSigProfileDescriptionTag, "Kelvaro white toner CMY") &&
            WriteText(profile, cmsSigCopyrightTag, "No copyright, use freely") &&
            cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ());
  // One table pair serves every intent; the other intents' tags point at it.
  ok = ok && cmsWriteTag(profile, cmsSigAToB0Tag, a_to_b) &&
       cmsWriteTag(profile, cmsSigBToA0Tag, b_to_a) &&
       cmsLinkTag(profile, cmsSigAToB1Tag, cmsSigAToB0Tag) &&
       cmsLinkTag(profile, cmsSigAToB2Tag, cmsSigAToB0Tag) &&
       cmsLinkTag(profile, cmsSigBToA1Tag, cmsSigBToA0Tag) &&
       cmsLinkTag(profile, cmsSigBToA2Tag, cmsSigBToA0Tag);
  ok = ok && cmsSaveProfileToFile(profile, file.c_str());
  if (a_to_b != nullptr) cmsPipelineFree(a_to_b);
  if (b_to_a != nullptr) cmsPipelineFree(b_to_a);
  cmsCloseProfile(profile);
  return ok;
}

bool WriteSrgbProfile(const std::filesystem::path& file) {
  cmsHPROFILE profile = cmsCreate_sRGBProfile();
  if (profile == nullptr) return false;
  bool ok = cmsSaveProfileToFile(profile, file.c_str());
  cmsCloseProfile(profile);
  return ok;
}

// Writes to a temporary name first so that an interrupted build never leaves half a profile.
bool WriteAtomically(const std::filesystem::path& file,
                     bool (*writer)(const std::filesystem::path&)) {
  std::filesystem::path temporary = file;
  temporary += ".tmp";
  if (!writer(temporary)) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
  }
  std::error_code error;
  std::filesystem::rename(temporary, file, error);
  return !error;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kelvaro_make_profiles OUTPUT_FOLDER\n");
    return 2;
  }
  std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "cannot create %s: %s\n", folder.c_str(), error.message().c_str());
    return 1;
  }
  if (!WriteAtomically(folder / "sRGB.icm", WriteSrgbProfile)) {
    std::fprintf(stderr, "cannot write %s\n", (folder / "sRGB.icm").c_str());
    return 1;
  }
  if (!WriteAtomically(folder / "KelvaroWhiteToner.icc", WriteWhiteTonerProfile)) {
    std::fprintf(stderr, "cannot write %s\n", (folder / "KelvaroWhiteToner.icc").c_str());
    return 1;
  }
  return 0;
}
