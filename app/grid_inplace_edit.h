// The parameters grid's in-place edit: F5 pressed while a value is being typed starts the calculation, as it
// does everywhere else in the main window.
#pragma once

#include "toolkit/propertygrid/inplace.h"

namespace VisualCtrl {

class CTKPropertyGridInplaceEditUser : public CTKPropertyGridInplaceEdit {
protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace VisualCtrl
