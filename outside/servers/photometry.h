// One neutral form for the luminous intensity distributions makers publish (EULUMDAT, IES LM-63), in the
// C-plane / gamma-angle system the program's intensity table uses.
//
// The distribution keeps only the planes its symmetry needs, exactly as the program's table holds them next to
// its symmetry word; CompleteToFullCircle gives the whole 0..360 set when a value in any plane is wanted.
// Intensities are candela per 1000 lm of the lamps' flux (lamp flux x lamp count).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace qorsrv {

// Which C planes a distribution holds.
enum class PlaneSymmetry {
  Full,          // C0..C360 (C360 repeats C0)
  Rotational,    // one plane stands for all
  AboutC0C180,   // C0..C180; C360-c mirrors c
  AboutC90C270,  // C90..C270; 180-c mirrors c
  BothPlanes,    // C0..C90; mirrored into the other three quadrants
};

// The program's symmetry word: photometric system, plane range, gamma range.
inline constexpr std::uint32_t kSystemC = 0x10000000u;
inline constexpr std::uint32_t kPlanesFull = 0x010000u;
inline constexpr std::uint32_t kPlanesC0C90 = 0x020000u;
inline constexpr std::uint32_t kPlanesC90C270 = 0x040000u;
inline constexpr std::uint32_t kPlanesC0C180 = 0x080000u;
inline constexpr std::uint32_t kPlanesOne = 0x100000u;
inline constexpr std::uint32_t kGamma0To90 = 0x0100u;
inline constexpr std::uint32_t kGamma0To180 = 0x0200u;
inline constexpr std::uint32_t kGamma90To180 = 0x0400u;

struct Photometry {
  std::string sourceFile;  // file name the distribution came from, or "analytic"
  std::string format;      // "EULUMDAT", "IES LM-63-2002", ...
  // Texts as the file gives them (UTF-8; the files' own bytes are taken as Latin-1 when not UTF-8).
  std::string manufacturer;
  std::string luminaireName;
  std::string luminaireNumber;
  std::string lampType;
  std::string reportNumber;
  std::string dateAndUser;
  int lampCount = 1;          // light sources per luminaire
  double lampFlux = 0.0;      // lm, one light source
  double wattage = 0.0;       // W, whole luminaire with its gear
  double lengthMm = 0.0;      // luminaire size; width 0 for a round one
  double widthMm = 0.0;
  double heightMm = 0.0;
  // Photometry measured in absolute candela (IES -1 lumens, EULUMDAT negative lamp count): the lamp flux is then
  // the luminaire's own flux, found by integrating the table.
  bool absolute = false;
  PlaneSymmetry symmetry = PlaneSymmetry::Full;
  std::vector<double> planes;       // C angles, ascending
  std::vector<double> gammas;       // gamma angles, ascending
  std::vector<double> intensities;  // cd/klm, plane by plane: intensities[p * gammas.size() + g]
  std::vector<std::string> warnings;

  double At(std::size_t plane, std::size_t gamma) const { return intensities[plane * gammas.size() + gamma]; }
  double TotalLampFlux() const { return lampFlux * lampCount; }
};

// A photometric file that cannot be read: the message names the file and, where there is one, the line.
class PhotometryError : public std::runtime_error {
public:
  PhotometryError(const std::string& file, int line, const std::string& what);
  const std::string& file() const { return m_file; }
  int line() const { return m_line; }

private:
  std::string m_file;
  int m_line;
};

// Readers. `name` is used in messages only. They refuse what they cannot take whole; nothing is half-read.
Photometry ParseEulumdat(const std::string& text, const std::string& name);
Photometry ParseIes(const std::string& text, const std::string& name);
// By extension (.ldt / .ies, any case); a file that cannot be opened is a PhotometryError at line 0.
Photometry ReadPhotometricFile(const std::string& fileSystemPath);

// The symmetry word of the program's table for this distribution.
std::uint32_t SymmetryWord(const Photometry& p);
// The distribution over C0..C360, mirrored the way the program completes its table.
Photometry CompleteToFullCircle(const Photometry& p);
// Luminaire flux per 1000 lm of lamp flux (integral of the intensities over the sphere).
double FluxPerKilolumen(const Photometry& p);
// Light output ratio in percent.
inline double LightOutputRatio(const Photometry& p) { return FluxPerKilolumen(p) / 10.0; }
// Reads the table as absolute candela of the declared lamps and restates it per 1000 lm of `lampFlux` x count.
void RestateForLampFlux(Photometry& p, double lampFlux);
// Checks the shape and values every consumer relies on; throws PhotometryError (line 0) when one fails.
void Validate(const Photometry& p);

}  // namespace qorsrv
