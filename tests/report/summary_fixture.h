// A project in memory for the report: a document that hands out one project and visual options, with the
// primitives of open sites triangulated by geometry.
#pragma once

#include "tests/model/open_territory_support.h"

#include "model/iproject.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "model/report_preferences.h"
#include "model/standards.h"
#include "report/rtf/rtf_writer.h"
#include "platform/mfc-core/memfile.h"
#include "res/modules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class ProjectDocument : public ColourDocument {
public:
  ProjectDocument()
  {
    res::RegisterModules();
    EXPECT_EQ(CreateProject(this, &project), S_OK);
  }
  ~ProjectDocument() { project->Release(); }
  HRESULT QueryInterface(REFIID iid, void** out) override
  {
    if (iid == IID_IProject) {
      project->AddRef();
      *out = project;
      return S_OK;
    }
    return ColourDocument::QueryInterface(iid, out);
  }

  std::vector<IArea*> Areas() const
  {
    std::vector<IArea*> areas;
    void* first = nullptr;
    project->QueryInterface(&IID_IArea, &first);
    for (IArea* a = static_cast<IArea*>(first); a; a = a->GetNext())
      areas.push_back(a);
    if (first)
      static_cast<IArea*>(first)->Release();
    return areas;
  }
  IArea* Append(const CLSID& kind)
  {
    IArea* area = project->InsertAreaAfter(kind, Areas().back());
    area->Release();
    return area;
  }

  DWORD GetViewMode() override { return viewMode; }
  void SetViewMode(DWORD mode) override { viewMode = mode; }

  IProject* project = nullptr;
  DWORD viewMode = 0x2;
  WithGeometry geometry;
};

template <class I>
I* Part(IModelUnknown* from, const IID& iid)
{
  void* out = nullptr;
  if (FAILED(from->QueryInterface(&iid, &out)) || !out)
    return nullptr;
  auto* part = static_cast<I*>(out);
  part->Release();  // held by its owner for the test
  return part;
}

inline _CALC_RESULTS& ResultsOf(IArea* area) { return *Part<IResultsOfCalc>(area, IID_IResultsOfCalc)->GetData(); }

inline _STANDARDS_OF_ROAD& NormsOf(IArea* area) { return *area->GetStandards()->GetRecord(); }

// One report item of the document's preferences set to a state (0 off, 2 on, 4 radio on).
inline void SetItem(ProjectDocument& doc, int id, int state)
{
  tag_ITEM_PREF_OF_REPORT row{};
  row.id = id;
  row.state = state;
  doc.options->GetReportPreferences()->SetItemState(id, &row, FALSE);
}

inline void AllItemsOff(ProjectDocument& doc)
{
  for (const tag_ITEM_PREF_OF_REPORT& item : doc.options->GetReportPreferences()->Items())
    SetItem(doc, item.id, 0);
}

// The document in the writer so far, as bytes.
inline std::string Document(const CRTFWriter& writer)
{
  CMemFile* file = writer.GetFile();
  return std::string(reinterpret_cast<const char*>(file->GetData()), static_cast<std::size_t>(file->GetLength()));
}

