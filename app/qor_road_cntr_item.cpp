#include "app/qor_road_cntr_item.h"

IMPLEMENT_DYNCREATE(CQorRoadCntrItem, CRichEditCntrItem)

CQorRoadCntrItem::CQorRoadCntrItem(REOBJECT* preo, CDocument* pContainer) : CRichEditCntrItem(preo, pContainer) {}
