// The visual options of a project state: the quantity shown and how, observer mode, isoline and colour levels,
// element colours, fonts and the report items.
#pragma once

#include "model/class_obj_model.h"
#include "model/pref_of_color.h"
#include "platform/gdi/wingdi.h"
#include "platform/mfc-core/array.h"

class CArchive;
class CPreferencesOfReport;

namespace Options {
class CVisualOpt;
}

struct IVisualOpt : IModelUnknown {
  virtual int SetDefaults() = 0;
  virtual int Serialize(CArchive* ar, DWORD fileVersion) = 0;
  virtual int CopyTo(IVisualOpt* dst) = 0;
  virtual int GetColour(int element, _PREF_OF_COLOR* out) = 0;
  virtual int GetDefaultColour(int element, _PREF_OF_COLOR* out) = 0;
  virtual int SetColour(int element, const _PREF_OF_COLOR* colour) = 0;
  virtual int LoadColours() = 0;
  virtual int SaveColours() = 0;
  virtual int GetFont(int element, LOGFONTA* out) = 0;
  virtual int GetDefaultFont(int element, LOGFONTA* out) = 0;
  virtual int SetFont(int element, LOGFONTA* font) = 0;
  virtual int GetFontCount() = 0;
  // 0 luminance, 1 illuminance, 2 semi-cylindrical illuminance.
  virtual int* GetQuantity() = 0;
  virtual int SetQuantity(const int* quantity) = 0;
  // 0 isolines, 2 node values, 3 colour picture, others a grey picture only.
  virtual int* GetResultDisplay() = 0;
  virtual int SetResultDisplay(const int* display) = 0;
  virtual int* GetSettingsPage() = 0;
  virtual int SetSettingsPage(const int* page) = 0;
  virtual int* GetAutoObserver() = 0;
  virtual int SetAutoObserver(const int* on) = 0;
  virtual CPreferencesOfReport* GetReportPreferences() = 0;
  virtual int SetPrintMode(const int* on) = 0;
  virtual int GetScreenOption() = 0;
  virtual int SetScreenOption(const int* option) = 0;
  virtual int* GetImageOptions() = 0;
  virtual int SetImageOptions(const int* options) = 0;
  virtual int* GetPrintMode() = 0;
  virtual int GetShowMoveFilling() = 0;
  virtual int SetShowMoveFilling(const int* on) = 0;
  virtual int* GetAutoIsoLevels() = 0;
  virtual int SetAutoIsoLevels(const int* on) = 0;
  virtual int GetIsoLevelsInRange(const int* quantity, const float* min, const float* max, CArray<float>* out) = 0;
  virtual int GetLuminanceLevels(CArray<float>** out) = 0;
  virtual int GetIlluminanceLevels(CArray<float>** out) = 0;
  virtual int GetSemiCylLevels(CArray<float>** out) = 0;
  virtual int GetEffectiveScale() = 0;
  // 1 uniform, 2 logarithmic.
  virtual int* GetScaleType() = 0;
  virtual int SetScaleType(const int* type) = 0;
  virtual int* GetShowPhotometricSolid() = 0;
  virtual int SetShowPhotometricSolid(const int* on) = 0;
  virtual int GetColourLevels(const int* quantity, void* unused1, void* unused2,
                              CArray<_PREF_OF_COLOR_LEVELS>* out) = 0;
  virtual int GetColourLevels0(CArray<_PREF_OF_COLOR_LEVELS>** out) = 0;
  virtual int GetColourLevels1(CArray<_PREF_OF_COLOR_LEVELS>** out) = 0;
  virtual int GetColourLevels2(CArray<_PREF_OF_COLOR_LEVELS>** out) = 0;
  virtual int GetColourLevels3(CArray<_PREF_OF_COLOR_LEVELS>** out) = 0;
  virtual int GetColourLevels4(CArray<_PREF_OF_COLOR_LEVELS>** out) = 0;
  virtual int GetColourLevels5(CArray<_PREF_OF_COLOR_LEVELS>** out) = 0;
  virtual void DeleteThis(unsigned flags) = 0;
  virtual int Assign(const Options::CVisualOpt* source) = 0;

protected:
  ~IVisualOpt() = default;
};

// New visual options with their defaults and one reference.
HRESULT CreateVisualOpt(IVisualOpt** out);
