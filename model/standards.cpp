#include "model/standards.h"

#include "model/shell/shell_services.h"
#include "model/version.h"
#include "platform/base/module.h"
#include "platform/mfc-core/archive.h"

#include <cstring>
#include <memory>

namespace {

using StartOfWizardFunction = int (*)(void* record, int transparency);

constexpr std::size_t kObjectClassCapacity = sizeof(_STANDARDS_OF_ROAD::objectClass);
constexpr int kDefaultTransparency = 255;

// The object class as text; a record from outside may lack its terminator.
std::size_t ObjectClassLength(const _STANDARDS_OF_ROAD& r) { return strnlen(r.objectClass, kObjectClassCapacity); }

void SetObjectClass(_STANDARDS_OF_ROAD& r, const char* text, std::size_t length)
{
  // The field keeps at most 1023 characters and its terminator; a longer stored text is cut there.
  if (length >= kObjectClassCapacity)
    length = kObjectClassCapacity - 1;
  std::memcpy(r.objectClass, text, length);
  std::memset(r.objectClass + length, 0, kObjectClassCapacity - length);
}

// The alpha value of the program's windows, which the wizard takes on.
int ReadTransparency() { return static_cast<int>(Shell::GetProfileInt("Settings", "Transparence", kDefaultTransparency)); }

void TellAnalyticsOfScreen()
{
  Shell::RegisterAnalyticsScreen("Проект.Нормы", 1);
  Shell::SendAnalyticsInfo(1);
}

}  // namespace

CStandardsOfRoad::CStandardsOfRoad() : m_record(new _STANDARDS_OF_ROAD) { Clear(); }

CStandardsOfRoad::~CStandardsOfRoad() { delete m_record; }

void CStandardsOfRoad::Assign(const CStandardsOfRoad& other)
{
  if (&other != this)
    std::memcpy(m_record, other.m_record, sizeof(_STANDARDS_OF_ROAD));
}

void CStandardsOfRoad::Clear() { std::memset(m_record, 0, sizeof(_STANDARDS_OF_ROAD)); }

void CStandardsOfRoad::SetNormDocument(const int* id)
{
  m_record->normDocumentId = *id;
  std::memset(m_record->objectClass, 0, kObjectClassCapacity);
}

// The record in an area block, in file order:
//   norm document id int32; object class CString; norms word int32; norms value 8 bytes;
//   document values 0-8, 9 doubles; effective values 0-8, 9 doubles; document value 9; effective value 9;
//   threshold increment, road uniformity, sidewalk uniformity as (document, effective) doubles (from 4.3.0.0);
//   road maximum, sidewalk maximum as (document, effective) doubles (from 5.0.20.0).
// Below a gate the values read -1.0: the norm sets no requirement.
void CStandardsOfRoad::Serialize(CArchive* archive, CStandardsOfRoad* holder, DWORD fileVersion)
{
  CArchive& ar = *archive;
  _STANDARDS_OF_ROAD& r = *holder->m_record;
  if (ar.IsStoring()) {
    ar << static_cast<int>(r.normDocumentId);
    ar << CString(r.objectClass, static_cast<int>(ObjectClassLength(r)));
    ar << static_cast<int>(r.normsWord) << static_cast<long long>(r.normsValue);
    for (int i = 0; i < 9; ++i)
      ar << r.documentValues[i];
    for (int i = 0; i < 9; ++i)
      ar << r.effectiveValues[i];
    ar << r.documentValues[9] << r.effectiveValues[9];
    ar << r.thresholdIncrement[0] << r.thresholdIncrement[1] << r.roadUniformity[0] << r.roadUniformity[1]
       << r.sidewalkUniformity[0] << r.sidewalkUniformity[1];
    ar << r.roadMaximum[0] << r.roadMaximum[1] << r.sidewalkMaximum[0] << r.sidewalkMaximum[1];
    return;
  }

  int documentId = 0;
  CString objectClass;
  int normsWord = 0;
  long long normsValue = 0;
  ar >> documentId >> objectClass >> normsWord >> normsValue;
  r.normDocumentId = documentId;
  SetObjectClass(r, objectClass.GetString(), static_cast<std::size_t>(objectClass.GetLength()));
  r.normsWord = normsWord;
  r.normsValue = normsValue;
  for (int i = 0; i < 9; ++i)
    ar >> r.documentValues[i];
  for (int i = 0; i < 9; ++i)
    ar >> r.effectiveValues[i];
  ar >> r.documentValues[9] >> r.effectiveValues[9];
  if (ObjectModel::IsVersionAtLeast(fileVersion, ObjectModel::MakeFormatVersion(4, 3, 0, 0))) {
    ar >> r.thresholdIncrement[0] >> r.thresholdIncrement[1] >> r.roadUniformity[0] >> r.roadUniformity[1] >>
        r.sidewalkUniformity[0] >> r.sidewalkUniformity[1];
  } else {
    r.thresholdIncrement[0] = r.thresholdIncrement[1] = -1.0;
    r.roadUniformity[0] = r.roadUniformity[1] = -1.0;
    r.sidewalkUniformity[0] = r.sidewalkUniformity[1] = -1.0;
  }
  if (ObjectModel::IsVersionAtLeast(fileVersion, ObjectModel::MakeFormatVersion(5, 0, 20, 0))) {
    ar >> r.roadMaximum[0] >> r.roadMaximum[1] >> r.sidewalkMaximum[0] >> r.sidewalkMaximum[1];
  } else {
    r.roadMaximum[0] = r.roadMaximum[1] = -1.0;
    r.sidewalkMaximum[0] = r.sidewalkMaximum[1] = -1.0;
  }
}

int CStandardsOfRoad::RunWizard(CStandardsOfRoad* holder)
{
  HWND mainWindow = Shell::GetMainWindow();
  HMODULE norms = LoadLibrary("QorStd.dll");
  if (!norms) {
    Shell::ShowMessageBox(mainWindow, "Ошибка загрузки модуля QorStd.dll", "Ошибка", Shell::MB_ICONERROR);
    return 0;
  }
  auto startOfWizard = reinterpret_cast<StartOfWizardFunction>(GetProcAddress(norms, "StartOfWizard"));
  if (!startOfWizard) {
    FreeLibrary(norms);
    Shell::ShowMessageBox(mainWindow, "StartOfWizard", "Ошибка", Shell::MB_ICONERROR);
    return 0;
  }

  _STANDARDS_OF_ROAD& r = *holder->m_record;
  // The library's record keeps a 4-byte window handle.
  r.ownerWindow = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(mainWindow));
  auto buffer = std::make_unique<_STANDARDS_OF_ROAD>(r);
  int accepted = startOfWizard(buffer.get(), ReadTransparency());
  if (accepted) {
    std::memcpy(&r, buffer.get(), sizeof r);
    r.objectClass[kObjectClassCapacity - 1] = '\0';
    TellAnalyticsOfScreen();
  }
  buffer.reset();
  FreeLibrary(norms);
  return accepted;
}
