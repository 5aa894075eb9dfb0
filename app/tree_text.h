// The label of an object's item in the object tree, read afresh from the model.
#pragma once

#include "platform/mfc/afxwin.h"

struct IClassObjModel;

// Empty for a null object and for a class that has no label.
CString TreeItemText(IClassObjModel* object);
