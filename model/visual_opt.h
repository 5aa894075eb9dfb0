// The visual options of one project state. Not a model-tree object: it has only its interface and its own count.
#pragma once

#include "model/ivisualopt.h"
#include "model/report_preferences.h"

#include <atomic>

namespace Options {

class CVisualOpt final : public IVisualOpt {
public:
  static constexpr int kColourCount = 23;
  static constexpr int kFontCount = 5;

  CVisualOpt();
  CVisualOpt(const CVisualOpt&) = delete;
  CVisualOpt& operator=(const CVisualOpt&) = delete;

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override;
  LONG Release() override;
  int SetDefaults() override;
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int CopyTo(IVisualOpt* dst) override;
  int GetColour(int element, _PREF_OF_COLOR* out) override;
  int GetDefaultColour(int element, _PREF_OF_COLOR* out) override;
  int SetColour(int element, const _PREF_OF_COLOR* colour) override;
  int LoadColours() override;
  int SaveColours() override;
  int GetFont(int element, LOGFONTA* out) override;
  int GetDefaultFont(int element, LOGFONTA* out) override;
  int SetFont(int element, LOGFONTA* font) override;
  int GetFontCount() override { return static_cast<int>(m_fonts.GetSize()); }
  int* GetQuantity() override { return &m_quantity; }
  int SetQuantity(const int* v) override { return Store(m_quantity, v); }
  int* GetResultDisplay() override { return &m_resultDisplay; }
  int SetResultDisplay(const int* v) override { return Store(m_resultDisplay, v); }
  int* GetSettingsPage() override { return &m_settingsPage; }
  int SetSettingsPage(const int* v) override { return Store(m_settingsPage, v); }
  int* GetAutoObserver() override { return &m_autoObserver; }
  int SetAutoObserver(const int* v) override { return Store(m_autoObserver, v); }
  CPreferencesOfReport* GetReportPreferences() override { return &m_report; }
  int SetPrintMode(const int* v) override { return Store(m_printMode, v); }
  int GetScreenOption() override { return m_printMode ? 0 : m_screenOption; }
  int SetScreenOption(const int* v) override { return Store(m_screenOption, v); }
  int* GetImageOptions() override { return &m_imageOptions; }
  int SetImageOptions(const int* v) override { return Store(m_imageOptions, v); }
  int* GetPrintMode() override { return &m_printMode; }
  int GetShowMoveFilling() override { return m_showMoveFilling; }
  int SetShowMoveFilling(const int* on) override;
  int* GetAutoIsoLevels() override { return &m_autoIsoLevels; }
  int SetAutoIsoLevels(const int* v) override { return Store(m_autoIsoLevels, v); }
  int GetIsoLevelsInRange(const int* quantity, const float* min, const float* max, CArray<float>* out) override;
  int GetLuminanceLevels(CArray<float>** out) override { return Hand(m_luminanceLevels, out); }
  int GetIlluminanceLevels(CArray<float>** out) override { return Hand(m_illuminanceLevels, out); }
  int GetSemiCylLevels(CArray<float>** out) override { return Hand(m_semiCylLevels, out); }
  int GetEffectiveScale() override { return m_autoIsoLevels ? m_scaleType : 0; }
  int* GetScaleType() override { return &m_scaleType; }
  int SetScaleType(const int* v) override { return Store(m_scaleType, v); }
  int* GetShowPhotometricSolid() override { return &m_photometricSolid; }
  int SetShowPhotometricSolid(const int* v) override { return Store(m_photometricSolid, v); }
  int GetColourLevels(const int* quantity, void*, void*, CArray<_PREF_OF_COLOR_LEVELS>* out) override;
  int GetColourLevels0(CArray<_PREF_OF_COLOR_LEVELS>** out) override { return Hand(m_colourLevels[0], out); }
  int GetColourLevels1(CArray<_PREF_OF_COLOR_LEVELS>** out) override { return Hand(m_colourLevels[1], out); }
  int GetColourLevels2(CArray<_PREF_OF_COLOR_LEVELS>** out) override { return Hand(m_colourLevels[2], out); }
  int GetColourLevels3(CArray<_PREF_OF_COLOR_LEVELS>** out) override { return Hand(m_defaultLevels[0], out); }
  int GetColourLevels4(CArray<_PREF_OF_COLOR_LEVELS>** out) override { return Hand(m_defaultLevels[1], out); }
  int GetColourLevels5(CArray<_PREF_OF_COLOR_LEVELS>** out) override { return Hand(m_defaultLevels[2], out); }
  void DeleteThis(unsigned flags) override;
  int Assign(const CVisualOpt* source) override;

private:
  ~CVisualOpt();

  static int Store(int& field, const int* value)
  {
    field = *value;
    return 0;
  }
  template <class T>
  static int Hand(CArray<T>& list, CArray<T>** out)
  {
    *out = &list;
    return 0;
  }
  bool ColourTablesAgree(int element) const;

  int m_printMode = 0;
  int m_quantity = 1;
  int m_resultDisplay = 0;
  int m_settingsPage = 0;
  int m_autoObserver = 1;
  int m_screenOption = 1;
  int m_imageOptions = 0x1100;
  int m_showMoveFilling = 0;
  int m_scaleType = 1;
  CPreferencesOfReport m_report;
  CArray<_PREF_OF_COLOR> m_colours;
  CArray<_PREF_OF_COLOR> m_defaultColours;
  CArray<_PREF_OF_COLOR> m_printColours;
  CArray<LOGFONTA> m_fonts;
  CArray<LOGFONTA> m_defaultFonts;
  int m_autoIsoLevels = 1;
  CArray<float> m_luminanceLevels;
  CArray<float> m_illuminanceLevels;
  CArray<float> m_semiCylLevels;
  int m_photometricSolid = 0;
  CArray<_PREF_OF_COLOR_LEVELS> m_colourLevels[3];
  CArray<_PREF_OF_COLOR_LEVELS> m_defaultLevels[3];
  std::atomic<LONG> m_refCount{0};
};

}  // namespace Options
