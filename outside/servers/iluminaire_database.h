// The luminaire database server (QorSrv): its interface in the slot order the program calls, the catalogue
// record it hands out, and how it is created. Slots the program does not call are placeholders answering
// E_NOTIMPL, so that every called operation stands at its number in the table of functions.
#pragma once

#include "outside/servers/luminaire_record.h"
#include "platform/base/hresult.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"

#include <cstdint>

namespace qorsrv {

// {6219C947-4DC6-4986-8A91-4C47CAB52C5F}
inline constexpr IID IID_ILuminaireDatabase{0x6219C947, 0x4DC6, 0x4986, {0x8A, 0x91, 0x4C, 0x47, 0xCA, 0xB5, 0x2C, 0x5F}};
// {9311D0B7-132D-49E7-B2DA-EEFE44C17C53}
inline constexpr CLSID CLSID_LuminaireDatabase{0x9311D0B7, 0x132D, 0x49E7, {0xB2, 0xDA, 0xEE, 0xFE, 0x44, 0xC1, 0x7C, 0x53}};
// Our own addition for the selection dialog and tests: {0C7E3F4A-5B21-4D8E-9A61-2F4B7C9D1E30}
inline constexpr IID IID_ILuminaireCatalogue{0x0C7E3F4A, 0x5B21, 0x4D8E, {0x9A, 0x61, 0x2F, 0x4B, 0x7C, 0x9D, 0x1E, 0x30}};

// Add-catalogue statuses.
inline constexpr LONG kCatalogUnreadable = 1;
inline constexpr LONG kCatalogNewerInstalled = 2;
inline constexpr LONG kCatalogInstalled = 3;
inline constexpr LONG kCatalogOlderInstalled = 4;
inline constexpr LONG kCatalogNeedsNewerProgram = 5;

// The format version this program writes (6.0.42.0); a catalogue asking for more is refused with status 5.
inline constexpr std::uint32_t kProgramVersion = 0x06002A00u;

// One installed catalogue: texts in code page 1251.
struct CatalogRecord {
  char id[260];
  char name[260];
  char trademark[260];
  std::int32_t date;  // yyyymmdd
  const BYTE* picture;
  std::uint64_t pictureBytes;
};

#define QORSRV_PLACEHOLDER(n) \
  virtual HRESULT Placeholder##n() { return E_NOTIMPL; }

}  // namespace qorsrv

// The program's name for the interface, in the global namespace where its callers declare it.
struct ILuminaireDatabase : IUnknown {
  QORSRV_PLACEHOLDER(3)
  QORSRV_PLACEHOLDER(4)
  QORSRV_PLACEHOLDER(5)
  QORSRV_PLACEHOLDER(6)
  QORSRV_PLACEHOLDER(7)
  QORSRV_PLACEHOLDER(8)
  QORSRV_PLACEHOLDER(9)
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
  QORSRV_PLACEHOLDER(23)
  QORSRV_PLACEHOLDER(24)
  QORSRV_PLACEHOLDER(25)
  QORSRV_PLACEHOLDER(26)
  QORSRV_PLACEHOLDER(27)
  QORSRV_PLACEHOLDER(28)
  QORSRV_PLACEHOLDER(29)
  // 30: number of luminaires of every loaded catalogue; 0 for an empty database
  virtual HRESULT LuminaireDbGetCount(LONG* count) = 0;
  // 31: index -1: the current luminaire; 0..count-1: that luminaire. The record stays valid until the next call
  // that hands one out. S_FALSE and null when there is none
  virtual HRESULT LuminaireDbGetLuminaire(qorsrv::LuminaireRecord** out, LONG index, LONG reserved) = 0;
  // 32: the selection: the chooser when one is set, else the luminaire whose key is the text; S_OK makes it
  // current and points *inOut at its record (what *inOut pointed to is not read); S_FALSE: nothing chosen
  virtual HRESULT LuminaireDbChoose(qorsrv::LuminaireRecord** inOut, VARIANT key) = 0;
  QORSRV_PLACEHOLDER(33)
  QORSRV_PLACEHOLDER(34)
  QORSRV_PLACEHOLDER(35)
  QORSRV_PLACEHOLDER(36)
  QORSRV_PLACEHOLDER(37)
  QORSRV_PLACEHOLDER(38)
  QORSRV_PLACEHOLDER(39)
  QORSRV_PLACEHOLDER(40)
  QORSRV_PLACEHOLDER(41)
  QORSRV_PLACEHOLDER(42)
  QORSRV_PLACEHOLDER(43)
  QORSRV_PLACEHOLDER(44)
  QORSRV_PLACEHOLDER(45)
  QORSRV_PLACEHOLDER(46)
  QORSRV_PLACEHOLDER(47)
  QORSRV_PLACEHOLDER(48)
  // 49: the per-user data folder (string), given before the first catalogue
  virtual HRESULT LuminaireDbSetDataFolder(VARIANT folder) = 0;
  QORSRV_PLACEHOLDER(50)
  QORSRV_PLACEHOLDER(51)
  QORSRV_PLACEHOLDER(52)
  QORSRV_PLACEHOLDER(53)
  QORSRV_PLACEHOLDER(54)
  QORSRV_PLACEHOLDER(55)
  QORSRV_PLACEHOLDER(56)
  QORSRV_PLACEHOLDER(57)
  QORSRV_PLACEHOLDER(58)
  QORSRV_PLACEHOLDER(59)
  QORSRV_PLACEHOLDER(60)
  QORSRV_PLACEHOLDER(61)
  QORSRV_PLACEHOLDER(62)
  QORSRV_PLACEHOLDER(63)
  QORSRV_PLACEHOLDER(64)
  QORSRV_PLACEHOLDER(65)
  QORSRV_PLACEHOLDER(66)
  QORSRV_PLACEHOLDER(67)
  QORSRV_PLACEHOLDER(68)
  QORSRV_PLACEHOLDER(69)
  QORSRV_PLACEHOLDER(70)
  QORSRV_PLACEHOLDER(71)
  QORSRV_PLACEHOLDER(72)
  QORSRV_PLACEHOLDER(73)
  QORSRV_PLACEHOLDER(74)
  QORSRV_PLACEHOLDER(75)
  QORSRV_PLACEHOLDER(76)
  QORSRV_PLACEHOLDER(77)
  QORSRV_PLACEHOLDER(78)
  QORSRV_PLACEHOLDER(79)
  QORSRV_PLACEHOLDER(80)
  QORSRV_PLACEHOLDER(81)
  QORSRV_PLACEHOLDER(82)
  QORSRV_PLACEHOLDER(83)
  QORSRV_PLACEHOLDER(84)
  QORSRV_PLACEHOLDER(85)
  QORSRV_PLACEHOLDER(86)
  QORSRV_PLACEHOLDER(87)
  QORSRV_PLACEHOLDER(88)
  QORSRV_PLACEHOLDER(89)
  // 90: makes the default luminaire current: the first of the main catalogue, else the first of all
  virtual HRESULT LuminaireDbSelectDefault() = 0;
  QORSRV_PLACEHOLDER(91)
  QORSRV_PLACEHOLDER(92)
  QORSRV_PLACEHOLDER(93)
  QORSRV_PLACEHOLDER(94)
  QORSRV_PLACEHOLDER(95)
  QORSRV_PLACEHOLDER(96)
  QORSRV_PLACEHOLDER(97)
  QORSRV_PLACEHOLDER(98)
  QORSRV_PLACEHOLDER(99)
  QORSRV_PLACEHOLDER(100)
  QORSRV_PLACEHOLDER(101)
  QORSRV_PLACEHOLDER(102)
  QORSRV_PLACEHOLDER(103)
  // 104: S_OK added; S_FALSE not added, with *status 1 (no readable catalogue), 2 (a newer catalogue with this id
  // is installed), 3 (this catalogue is installed), 4 (an older version is installed), 5 (needs a newer program)
  virtual HRESULT LuminaireDbAddCatalog(VARIANT path, BOOL main, LONG* status) = 0;
  QORSRV_PLACEHOLDER(105)
  QORSRV_PLACEHOLDER(106)
  QORSRV_PLACEHOLDER(107)
  // 108: number of loaded catalogues
  virtual HRESULT LuminaireDbGetCatalogCount(LONG* count) = 0;
  // 109: the catalogue's record, owned by the database, valid until catalogues are added or removed
  virtual HRESULT LuminaireDbGetCatalogInfo(LONG index, qorsrv::CatalogRecord** out) = 0;
  QORSRV_PLACEHOLDER(110)
  // 111: removes the catalogue with this id (string); S_OK removed, S_FALSE not loaded
  virtual HRESULT LuminaireDbRemoveCatalog(VARIANT id) = 0;
  // 112: settles the current and remembered luminaires after removals
  virtual HRESULT LuminaireDbApply() = 0;
  QORSRV_PLACEHOLDER(113)
  QORSRV_PLACEHOLDER(114)
  QORSRV_PLACEHOLDER(115)
  QORSRV_PLACEHOLDER(116)
  // 117: remembers the luminaire with this key (string) as the one last chosen; S_FALSE when unknown
  virtual HRESULT LuminaireDbRememberChoice(VARIANT key) = 0;
  // 118: makes the remembered luminaire current, else the default one
  virtual HRESULT LuminaireDbSelectRemembered() = 0;

protected:
  ~ILuminaireDatabase() = default;
};

namespace qorsrv {

#undef QORSRV_PLACEHOLDER

// Stands in for the selection dialog: answers the index of the chosen luminaire, or -1 for none.
struct ILuminaireChooser {
  virtual LONG ChooseLuminaire(ILuminaireDatabase* database, const char* currentKey) = 0;

protected:
  ~ILuminaireChooser() = default;
};

struct ILuminaireCatalogue : IUnknown {
  // Borrowed, not reference counted; null removes it.
  virtual HRESULT SetChooser(ILuminaireChooser* chooser) = 0;
  // Makes the luminaire with this key current; S_FALSE when there is none.
  virtual HRESULT SelectByKey(const char* key) = 0;
  // Why the last catalogue or luminaire was refused (code page 1251), empty when nothing was.
  virtual const char* GetLastMessage() = 0;

protected:
  ~ILuminaireCatalogue() = default;
};

// The in-process class factory of the component's classes (CLSID_LuminaireDatabase, CLSID_PoleCatalog);
// CLASS_E_CLASSNOTAVAILABLE for any other class.
HRESULT QorSrvCreateInstance(REFCLSID clsid, REFIID iid, void** object);

}  // namespace qorsrv
