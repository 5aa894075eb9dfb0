// The base of every object of the 3D scene: state, placement, size, colour id, name, label, owner and pick id.
// The render core's scene derives from it as well; it lives here because the calculation areas and the 3D text
// are scene objects too.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/mfcstring.h"

#include <memory>

class CVectorString3D;

class CSelectableObject {
public:
  // Bits of the state word as the scene classes read them.
  static constexpr DWORD kVisible = 0x2;
  static constexpr DWORD kLampLook = 0x8;       // fixtures and floor lamps light their lamp part
  static constexpr DWORD kSwitchedOff = 0x10;   // a luminaire group switched off, and its devices
  static constexpr DWORD kSubSelected = 0x20;   // given by a selected polyline group to its sub-groups
  static constexpr DWORD kSelected = 0x40;
  static constexpr DWORD kOutlineLook = 0x80;   // drawn as lines in the colour id's colour, lighting off
  static constexpr DWORD kLabelShown = 0x100;
  // Requests that are not a new word.
  static constexpr DWORD kRequestHide = 0x4;
  static constexpr DWORD kRequestShowLabel = 0x100;
  static constexpr DWORD kRequestHideLabel = 0x200;
  static constexpr DWORD kInitialState = kLampLook | kVisible;

  // A request whose bits are already set changes nothing; 4 hides, 0x100 shows the label, 0x200 hides it; any
  // other value replaces the word (kept visible), dropping the label and lamp bits with the rest.
  virtual void SetState(DWORD flags);
  virtual ~CSelectableObject() = default;

  DWORD GetState() const { return m_state; }

protected:
  DWORD m_state = kInitialState;
};

class CObject3D : public CSelectableObject {
public:
  CObject3D();
  ~CObject3D() override;
  CObject3D(const CObject3D&) = delete;
  CObject3D& operator=(const CObject3D&) = delete;

  // Pairs with the same base behaviour stay separate: groups pass each on to their members as itself.
  virtual void SetPosition(double x, double y, double z);
  virtual void MoveTo(double x, double y, double z);
  virtual void SetRotation(double ax, double ay, double az);
  virtual void TurnTo(double ax, double ay, double az);
  virtual void SetSize(double sx, double sy, double sz);
  virtual void ResizeTo(double sx, double sy, double sz);
  virtual void OnSizeChanged() {}
  virtual void OnPositionChanged() {}
  virtual void OnRotationChanged() {}
  virtual void Serialize(CArchive& ar, DWORD version);
  virtual void SetColor(int colourId) { m_colourId = colourId; }
  virtual void SetLabelHeight(double height);
  // An empty text still makes a label. The new label keeps the text's default height and colour.
  virtual void SetLabel(CString text);
  virtual CVectorString3D* GetLabel() { return m_label.get(); }
  virtual void SetLabelColor(float r, float g, float b);
  virtual void SetOwner(CObject3D* owner) { m_owner = owner; }
  virtual void Draw() {}
  virtual void DrawMarkers() {}

  void SetName(CString name) { m_name = name; }
  CString GetName() const { return m_name; }
  CObject3D* GetOwner() const { return m_owner; }
  int GetColor() const { return m_colourId; }

  // glRotated about X, then Y, then Z; used inside a pushed matrix after the translation to the position.
  void ApplyRotation() const;

  double m_position[3] = {0, 0, 0};
  double m_rotation[3] = {0, 0, 0};
  double m_size[3] = {0, 0, 0};
  int m_colourId = 0;
  CString m_name;
  int m_number = 0;    // a member's 1-based place in its group; a group's own number
  int m_reserved = 0;  // travels in the archive record only
  int m_pickId = 0;    // the OpenGL selection name

protected:
  std::unique_ptr<CVectorString3D> m_label;
  CObject3D* m_owner = nullptr;
};
