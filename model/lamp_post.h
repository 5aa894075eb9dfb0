// The catalogue records a pole carries when it uses typical parameters: the pole (`CLampPost`) with its list of
// brackets (`CLampConsole`), each bracket with one entry per luminaire seat (`LAMP_CONSOLE_INFO`).
#pragma once

#include "platform/mfc-core/array.h"
#include "platform/mfc-core/mfcstring.h"
#include "platform/mfc-core/object.h"

#include <cstdint>

class CArchive;

namespace qorsrv {
struct PoleRecord;
}

// One arm of a bracket.
struct LAMP_CONSOLE_INFO {
  double rise = 0.0;      // light centre above the pole top, m
  double outreach = 0.0;  // from the pole axis, m
  double tilt = 0.0;      // above the horizontal, degrees
  double turn = 0.0;      // in plan from the bracket direction, degrees
  double value5 = 0.0;
  double value6 = 0.0;
  std::int32_t word = 0;
};

class CLampConsole : public CObject {
public:
  explicit CLampConsole(const CString& designation = CString());

  void Serialize(CArchive&) override {}
  // Texts, words, arms and the current arm; not the links.
  CLampConsole& Assign(const CLampConsole& source);
  void Serialize(CArchive* ar, const DWORD* fileVersion);

  // The current arm's geometry; an index outside the arms throws the framework's invalid-argument error.
  double GetRise() const { return CurrentArm().rise; }
  double GetOutreach() const { return CurrentArm().outreach; }
  double GetTilt() const { return CurrentArm().tilt; }
  void SetRise(const double* value) { CurrentArm().rise = *value; }
  void SetOutreach(const double* value) { CurrentArm().outreach = *value; }
  void SetTilt(const double* value) { CurrentArm().tilt = *value; }

  void SetCatalogueText1(const CString& text);  // code
  void SetCatalogueText2(const CString& text);  // model
  void SetCatalogueText3(const CString& text);  // designation

  const LAMP_CONSOLE_INFO& CurrentArm() const { return arms.GetAt(currentArm); }
  LAMP_CONSOLE_INFO& CurrentArm() { return arms.GetAt(currentArm); }

  CString code;
  CString model;  // the key of the bracket's prices
  CString designation;
  std::int32_t word1 = 0;
  std::int32_t word2 = 0;
  std::int32_t word3 = 0;
  CArray<LAMP_CONSOLE_INFO> arms;  // one luminaire per arm
  std::int32_t currentArm = 0;
  CLampConsole* next = nullptr;
  CLampConsole* prev = nullptr;
};

class CLampPost : public CObject {
public:
  explicit CLampPost(const CString& designation = CString());
  ~CLampPost() override;

  void Serialize(CArchive&) override {}
  CLampPost& Assign(const CLampPost& source);
  // The catalogue's record: the same fields; its brackets become the list, its current one current.
  CLampPost& Assign(const qorsrv::PoleRecord& source);
  void Serialize(CArchive* ar, const DWORD* fileVersion);

  // A new bracket after the last one, made current.
  CLampConsole* AddBracket(const CString& designation);
  void ClearBrackets();
  // 0-based from the head; -1 without brackets.
  int GetCurrentBracketIndex() const;
  CLampConsole* GetCurrentBracket() const { return currentBracket; }
  CLampConsole* GetFirstBracket() const;
  CLampConsole* GetLastBracket() const;
  int GetBracketCount() const;

  void SetCatalogueText1(const CString& text);  // code
  void SetCatalogueText2(const CString& text);  // designation
  void SetCatalogueText3(const CString& text);  // model

  CString code;
  CString designation;
  CString model;  // the key of the pole's prices
  double height = 0.0;  // top above the base, m
  std::int32_t word = 0;
  CLampConsole* currentBracket = nullptr;  // also the record's way into its list
  std::int32_t catalogueWord1 = 0;  // from the catalogue's record; not copied, not saved
  std::int32_t catalogueWord2 = 0;
};

// Drops the trailing blanks, never the first character.
CString TrimTrailingSpaces(const CString& text);
