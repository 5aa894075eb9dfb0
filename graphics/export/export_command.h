// The DXF export command (33050 "&Экспорт..."): the layers asked in the export settings dialog, a file name
// asked, the records built by the render core and written by the graphics library.
#pragma once

#include "platform/mfc-core/mfcstring.h"

class CGraphicsDllMediator;
struct IQorRoadDoc;

// The refusal shown for a target that looks like a project file.
inline constexpr char kExportToProjectMessage[] = "Попытка экспорта в файл проекта!";

// 1 done or cancelled, 0 refused (no document or area, or a project file chosen as the target).
int RunDxfExport(CGraphicsDllMediator& core, IQorRoadDoc* document);

// The file name proposed for a document title: the title cut before its first ".qorr".
CString DefaultExportName(const CString& title);
