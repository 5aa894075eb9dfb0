// The pole and bracket catalogue server (QorSrv): its interface in the slot order the program calls and the pole
// record it hands out, field for field in the order of the program's pole and bracket records (texts code page
// 1251). Slots the program does not call are placeholders answering E_NOTIMPL.
#pragma once

#include "platform/base/hresult.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qorsrv {

// {47962A65-C46E-42DD-B170-712FB262A98C}
inline constexpr IID IID_IPoleCatalog{0x47962A65, 0xC46E, 0x42DD, {0xB1, 0x70, 0x71, 0x2F, 0xB2, 0x62, 0xA9, 0x8C}};
// {22918753-674F-4D70-AB5E-D6BA11AAA274}
inline constexpr CLSID CLSID_PoleCatalog{0x22918753, 0x674F, 0x4D70, {0xAB, 0x5E, 0xD6, 0xBA, 0x11, 0xAA, 0xA2, 0x74}};
// Our own addition for the selection dialog and tests: {6A1D2E83-9C47-4F0B-8E25-3B7D61F0A9C4}
inline constexpr IID IID_IPoleCatalogSelect{0x6A1D2E83, 0x9C47, 0x4F0B, {0x8E, 0x25, 0x3B, 0x7D, 0x61, 0xF0, 0xA9, 0xC4}};

// One luminaire seat of a bracket.
struct ArmRecord {
  double rise = 0.0;      // m above the pole top
  double outreach = 0.0;  // m from the pole axis
  double tilt = 0.0;      // degrees above the horizontal
  double turn = 0.0;      // degrees in plan from the bracket direction
  double value5 = 0.0;
  double value6 = 0.0;
  std::int32_t word = 0;
};

struct BracketRecord {
  std::string code;
  std::string model;        // key of the bracket's prices
  std::string designation;
  std::int32_t word1 = 0;
  std::int32_t word2 = 0;
  std::int32_t word3 = 0;
  std::vector<ArmRecord> arms;
  std::int32_t currentArm = 0;
};

struct PoleRecord {
  std::string code;
  std::string designation;
  std::string model;        // key of the pole's prices
  double height = 0.0;      // m
  std::int32_t word = 0;
  std::vector<BracketRecord> brackets;  // the program keeps them as a linked list
  std::int32_t currentBracket = -1;     // index into brackets; -1 none
  std::int32_t catalogueWord1 = 0;      // position of the pole in the catalogue, from 1
  std::int32_t catalogueWord2 = 0;      // position of the current bracket in the catalogue, from 1
};

#define QORSRV_PLACEHOLDER(n) \
  virtual HRESULT Placeholder##n() { return E_NOTIMPL; }

}  // namespace qorsrv

// The program's name for the interface, in the global namespace where its callers declare it.
struct IPoleCatalog : IUnknown {
  QORSRV_PLACEHOLDER(3)
  QORSRV_PLACEHOLDER(4)
  QORSRV_PLACEHOLDER(5)
  QORSRV_PLACEHOLDER(6)
  QORSRV_PLACEHOLDER(7)
  QORSRV_PLACEHOLDER(8)
  // 9: opens the catalogue file (string); S_FALSE when it is no readable pole catalogue.
  virtual HRESULT PoleCatalogOpen(VARIANT path) = 0;
  QORSRV_PLACEHOLDER(10)
  QORSRV_PLACEHOLDER(11)
  QORSRV_PLACEHOLDER(12)
  QORSRV_PLACEHOLDER(13)
  QORSRV_PLACEHOLDER(14)
  QORSRV_PLACEHOLDER(15)
  QORSRV_PLACEHOLDER(16)
  QORSRV_PLACEHOLDER(17)
  QORSRV_PLACEHOLDER(18)
  QORSRV_PLACEHOLDER(19)
  QORSRV_PLACEHOLDER(20)
  QORSRV_PLACEHOLDER(21)
  QORSRV_PLACEHOLDER(22)
  // 23: the selection: the chooser when one is set, else the current pole and bracket. S_OK points *inOut at the
  // record (valid until the next call; what *inOut pointed to is not read); S_FALSE: nothing chosen.
  virtual HRESULT PoleCatalogGetCurrent(qorsrv::PoleRecord** inOut) = 0;

protected:
  ~IPoleCatalog() = default;
};

namespace qorsrv {

#undef QORSRV_PLACEHOLDER

// What the selection dialog shows: every pole and every bracket of the catalogue.
struct PoleCatalogContents {
  std::vector<PoleRecord> poles;  // each with the brackets that fit it
};

// Stands in for the selection dialog: picks a pole and one of its brackets (indices); false when cancelled.
struct IPoleChooser {
  virtual bool ChoosePole(const PoleCatalogContents& contents, int* pole, int* bracket) = 0;

protected:
  ~IPoleChooser() = default;
};

struct IPoleCatalogSelect : IUnknown {
  // Borrowed, not reference counted; null removes it.
  virtual HRESULT SetChooser(IPoleChooser* chooser) = 0;
  // Makes this pole and bracket (codes, code page 1251) current; S_FALSE when the pole has no such bracket.
  virtual HRESULT SelectPole(const char* poleCode, const char* bracketCode) = 0;

protected:
  ~IPoleCatalogSelect() = default;
};

// A pole catalogue file (.qorp), the schema in outside/servers/README.md; texts UTF-8 there.
struct PoleCatalogueBracket {
  std::string code, designation, model;
  std::vector<ArmRecord> arms;
};
struct PoleCataloguePole {
  std::string code, designation, model;
  double height = 0.0;
  std::vector<std::string> bracketCodes;  // the brackets that fit it, the first is its default
};
// Writes a new catalogue file (an existing one is replaced) in one transaction. Throws QordError.
void WritePoleCatalogue(const std::string& fileSystemPath, const std::vector<PoleCataloguePole>& poles,
                        const std::vector<PoleCatalogueBracket>& brackets);
// The starter pole catalogue: the program's typical pole and bracket first, then common street poles and
// brackets and a floodlight mast.
void BuildStarterPoleCatalogue(const std::string& fileSystemPath);

// Class factory of the pole catalogue (CLSID_PoleCatalog).
HRESULT PoleCatalogCreateInstance(REFCLSID clsid, REFIID iid, void** object);

}  // namespace qorsrv
