// Small helpers the document's source files share.
#pragma once

#include "model/doc_interface.h"
#include "model/identifiers.h"
#include "model/iproject.h"
#include "model/project.h"
#include "platform/com/comerror.h"
#include "platform/mfc-core/mfcstring.h"

namespace document_detail {

// The application's title, the caption of the document's message boxes.
inline CString AppTitle()
{
  CString title;
  if (!title.LoadString(128))
    title = "Tesmira Road";
  int end = title.Find('\n');
  return end >= 0 ? title.Left(end) : title;
}

// A failure code of a server throws the COM error; 0 and 1 come back.
inline HRESULT Check(HRESULT hr)
{
  if (FAILED(hr))
    _com_issue_error(hr);
  return hr;
}

inline IClassObjModel* AsObject(IProject* project) { return dynamic_cast<ObjectModel::CProject*>(project); }

// The class id of a model object; all zero for anything else.
inline GUID ClassIdOf(IModelUnknown* object)
{
  void* model = nullptr;
  if (!object || FAILED(object->QueryInterface(&IID_IClassObjModel, &model)) || !model)
    return GUID{};
  CGuid id;
  static_cast<IClassObjModel*>(model)->GetClassId(&id);
  static_cast<IClassObjModel*>(model)->Release();
  return id.Value();
}

// The caption string of a typical form of an open site or interchange; 0 for a kind without one.
inline UINT TypicalFormCaption(int kind)
{
  switch (kind) {
  case 0: return 296;
  case 1: return 527;
  case 2: return 559;
  case 3: return 540;
  case 4: return 552;
  case 5: return 573;
  case 7: return 586;
  case 8: return 774;
  default: return 0;
  }
}

template <class I>
void ReleaseAndNull(I*& p)
{
  if (p) {
    p->Release();
    p = nullptr;
  }
}

}  // namespace document_detail
