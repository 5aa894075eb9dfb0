// The item the document makes for an object embedded in rich text.
#pragma once

#include "platform/mfc/richedit.h"

class CQorRoadCntrItem : public CRichEditCntrItem {
  DECLARE_DYNCREATE(CQorRoadCntrItem)
public:
  explicit CQorRoadCntrItem(REOBJECT* preo = nullptr, CDocument* pContainer = nullptr);
};
