#include "platform/user/resources.h"

namespace {

const void* DialogTemplate(HINSTANCE instance, LPCSTR name)
{
  HRSRC found = FindResource(instance, name, RT_DIALOG);
  return found != nullptr ? LockResource(LoadResource(instance, found)) : nullptr;
}

}  // namespace

HWND CreateDialogParam(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param)
{
  const void* dialogTemplate = DialogTemplate(instance, name);
  return dialogTemplate != nullptr ? CreateDialogIndirectParam(instance, dialogTemplate, parent, proc, param)
                                   : nullptr;
}

INT_PTR DialogBoxParam(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
  const void* dialogTemplate = DialogTemplate(instance, name);
  return dialogTemplate != nullptr ? DialogBoxIndirectParam(instance, dialogTemplate, owner, proc, param) : -1;
}
