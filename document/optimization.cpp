// Pole-spacing optimisation: the largest spacing of a straight road's luminaire groups that still meets the
// normative level (and, when asked, the normative uniformity), found by halving an interval of spacings with a
// complete calculation for each trial.
#include "document/calculation_run.h"
#include "document/doc_support.h"
#include "document/qor_road_doc.h"
#include "model/iarea.h"
#include "model/igroups.h"
#include "model/iresults.h"
#include "model/ivisualopt.h"
#include "platform/mfc/cmdtarget.h"
#include "platform/mfc/msgbox.h"
#include "platform/user/msgbox.h"

#include <cmath>
#include <limits>
#include <vector>

using namespace document_detail;

namespace {

// States of a search. kTrialFailed is ours: a trial calculation that failed ends the search.
constexpr int kFound = 0;
constexpr int kTargetMissedAtDensest = 1;
constexpr int kTargetExceededAtWidest = 2;
constexpr int kUniformityUnreachable = 3;
constexpr int kGroupsUnsuitable = 4;
constexpr int kCancelled = -1;
constexpr int kTrialFailed = 5;

constexpr double kDensest = 1.0;
constexpr double kWidest = 150.0;
constexpr double kResolution = 0.05;

constexpr UINT kFoundMessage = 619;
constexpr UINT kOutOfRangeMessage = 620;
constexpr UINT kUniformityMessage = 621;
constexpr UINT kUnsuitableMessage = 622;

constexpr DWORD kFinalFlags = CALC_REDRAW | CALC_NOTIFY_RESULTS;

// The spacing kept at the end: whole tenths of a metre below the bound, made from a count of tenths so that
// the value is the nearest double to that decimal.
double TruncateToTenths(double spacing) { return std::floor(spacing * 10.0 + 1e-9) / 10.0; }

void Progress(int percent) { Shell::GetShellServices().SendToMainWindow(UM_PROGRESS, percent, 0); }

// One search over the groups of the active straight road.
class SpacingSearch {
public:
  SpacingSearch(CQorRoadDoc& document, std::vector<IGroupOfDev*> groups, const Shell::OptimizationChoice& choice)
      : m_document(document), m_groups(std::move(groups)), m_choice(choice)
  {
    for (IGroupOfDev* group : m_groups)
      m_base.push_back(*group->GetStep());
  }

  int failure() const { return m_failure; }

  // Every group gets `spacing`.
  void Apply(double spacing)
  {
    for (IGroupOfDev* group : m_groups)
      group->SetStep(&spacing);
  }
  // Every group gets back the spacing the trials return to, exactly.
  void Undo()
  {
    for (std::size_t k = 0; k < m_groups.size(); ++k)
      m_groups[k]->SetStep(&m_base[k]);
  }
  // `spacing` applied and kept: later trials return to it.
  void Keep(double spacing)
  {
    Apply(spacing);
    m_base.assign(m_groups.size(), spacing);
  }

  // A calculation at the current spacings; false, with the run's code kept, when it brought no results.
  bool Calculate(DWORD flags)
  {
    const int code = m_document.StartCalculation(flags);
    if (code != 0 && m_failure == 0)
      m_failure = code;
    return code == 0;
  }

  // A trial: `spacing` applied, calculated, `read` taken, undone.
  template <class Read>
  bool Trial(double spacing, double* value, Read read)
  {
    Apply(spacing);
    const bool calculated = Calculate(0);
    if (calculated)
      *value = read();
    Undo();
    return calculated;
  }

  // The level value D: the average illuminance or the average luminance of the last calculation.
  double Level() const
  {
    const _CALC_RESULTS r = Results();
    return m_choice.criterion != 0 ? r.sumWhole[0] : r.lumSummary[0];
  }
  // The non-uniformity U; false when the luminance uniformity is 0 and gives none.
  bool NonUniformity(double* value) const
  {
    const _CALC_RESULTS r = Results();
    if (m_choice.criterion != 0) {
      *value = r.sumWhole[0] == 0.0f ? 0.0 : static_cast<double>(r.sumWhole[2]) / r.sumWhole[0];
      return true;
    }
    if (r.lumSummary[1] == 0.0f)
      return false;
    *value = 1.0 / r.lumSummary[1];
    return true;
  }

private:
  _CALC_RESULTS Results() const
  {
    _CALC_RESULTS data{};
    IArea* area = nullptr;
    IProject* project = m_document.GetCurrentProject();
    if (project && SUCCEEDED(project->QueryInterface(&IID_ActiveArea, reinterpret_cast<void**>(&area))) && area) {
      IResultsOfCalc* results = nullptr;
      if (SUCCEEDED(area->QueryInterface(&IID_IResultsOfCalc, reinterpret_cast<void**>(&results))) && results) {
        data = *results->GetData();
        results->Release();
      }
      area->Release();
    }
    return data;
  }

  CQorRoadDoc& m_document;
  std::vector<IGroupOfDev*> m_groups;
  Shell::OptimizationChoice m_choice;
  std::vector<double> m_base;
  int m_failure = 0;
};

// The groups of an area in list order; the area keeps them alive.
std::vector<IGroupOfDev*> GroupsOf(IArea* area)
{
  std::vector<IGroupOfDev*> groups;
  IGroupsOfDev* collection = nullptr;
  if (FAILED(area->QueryInterface(&IID_IGroupsOfDev, reinterpret_cast<void**>(&collection))) || !collection)
    return groups;
  IGroupOfDev* first = nullptr;
  if (SUCCEEDED(collection->QueryInterface(&IID_IGroupOfDev, reinterpret_cast<void**>(&first))) && first) {
    for (IGroupOfDev* group = first; group; group = group->GetNext())
      groups.push_back(group);
    first->Release();
  }
  collection->Release();
  return groups;
}

// Equal spacings and no offsets: the only groups one spacing can move together.
bool SuitableForSearch(const std::vector<IGroupOfDev*>& groups)
{
  if (groups.empty())
    return false;
  const double spacing = *groups.front()->GetStep();
  for (IGroupOfDev* group : groups)
    if (*group->GetOffset() != 0.0 || *group->GetStep() != spacing)
      return false;
  return true;
}

void ShowStateMessage(int state, int criterion, double spacing, int failure)
{
  CString text, format;
  UINT icon = MB_ICONEXCLAMATION;
  const char* byWhat = criterion != 0 ? "по освещенности" : "по яркости";
  switch (state) {
  case kFound:
    format.LoadString(kFoundMessage);
    text.Format(format, byWhat, spacing);
    icon = MB_ICONINFORMATION;
    break;
  case kTargetMissedAtDensest:
  case kTargetExceededAtWidest:
    text.LoadString(kOutOfRangeMessage);
    break;
  case kUniformityUnreachable:
    format.LoadString(kUniformityMessage);
    text.Format(format, byWhat, spacing);
    break;
  case kGroupsUnsuitable:
    text.LoadString(kUnsuitableMessage);
    break;
  case kTrialFailed:
    text = CalculationFailureMessage(failure);
    break;
  default:
    return;
  }
  if (!text.IsEmpty())
    Shell::ShowMessageBox(Shell::GetMainWindow(), text, AppTitle(), MB_OK | icon);
}

}  // namespace

Shell::OptimizationChoice CQorRoadDoc::GetOptimizationSettings() const
{
  Shell::OptimizationChoice c;
  c.illuminanceTarget = m_illuminanceTarget;
  c.luminanceTarget = m_luminanceTarget;
  c.criterion = m_optimisationCriterion;
  c.uniformityCheck = m_uniformityCheck;
  c.illuminanceUniformityLimit = m_illuminanceUniformityLimit;
  c.luminanceUniformityLimit = m_luminanceUniformityLimit;
  return c;
}

void CQorRoadDoc::OnUpdateOptimization(CCmdUI* cmdUI)
{
  IArea* area = QueryActiveArea();
  const bool straight = area && ClassIdOf(area) == CLSID_CStraightRoad;
  if (area)
    area->Release();
  cmdUI->Enable(straight);
}

void CQorRoadDoc::OnOptimization()
{
  IArea* area = QueryActiveArea();
  if (!area)
    return;
  if (ClassIdOf(area) != CLSID_CStraightRoad) {
    area->Release();
    return;
  }
  std::vector<IGroupOfDev*> groups = GroupsOf(area);
  area->Release();
  // A road without groups has nothing to space; it is told the same as groups that cannot move together.
  if (!SuitableForSearch(groups)) {
    Progress(0);
    ShowStateMessage(kGroupsUnsuitable, 0, 0.0, 0);
    return;
  }

  Shell::OptimizationChoice choice = GetOptimizationSettings();
  if (Shell::GetShellServices().RunOptimizationDialog(Shell::GetMainWindow(), &choice) != Shell::IDOK) {
    Progress(0);
    return;
  }
  m_illuminanceTarget = choice.illuminanceTarget;
  m_luminanceTarget = choice.luminanceTarget;
  m_optimisationCriterion = choice.criterion;
  m_uniformityCheck = choice.uniformityCheck;
  m_illuminanceUniformityLimit = choice.illuminanceUniformityLimit;
  m_luminanceUniformityLimit = choice.luminanceUniformityLimit;

  // The project as it was, kept whole: the search's trials collapse the history, and the user must be able to
  // undo the new spacing, or get the old results back when the search ends without one.
  IProject* before = nullptr;
  IVisualOpt* beforeOptions = nullptr;
  CreateProject(this, &before);
  CreateVisualOpt(&beforeOptions);
  AsObject(GetCurrentProject())->CopyTo(AsObject(before), 0);
  GetCurrentOptions()->CopyTo(beforeOptions);

  Progress(0);
  int quantity = choice.criterion != 0 ? 1 : 0;
  GetCurrentOptions()->SetQuantity(&quantity);
  const double target = choice.criterion != 0 ? choice.illuminanceTarget : choice.luminanceTarget;

  SpacingSearch search(*this, groups, choice);
  int state = kFound;
  double spacing = 0.0;
  {
    CWaitCursor wait;
    // Runs the search; false when a trial failed.
    auto run = [&]() -> bool {
      double level = 0.0;
      if (!search.Trial(kDensest, &level, [&] { return search.Level(); }))
        return false;
      Progress(10);
      if (target > level) {
        state = kTargetMissedAtDensest;
        return true;
      }
      if (!search.Trial(kWidest, &level, [&] { return search.Level(); }))
        return false;
      Progress(30);
      if (target < level) {
        state = kTargetExceededAtWidest;
        return true;
      }
      double low = kDensest, high = kWidest;
      while (high - low >= kResolution) {
        const double trial = high - (high - low) / 2;
        if (!search.Trial(trial, &level, [&] { return search.Level(); }))
          return false;
        // Equality counts as not exceeded.
        if (target < level)
          low = trial;
        else
          high = trial;
      }
      spacing = TruncateToTenths(low);
      search.Keep(spacing);
      if (!search.Calculate(0))
        return false;
      Progress(50);
      if (!choice.uniformityCheck)
        return search.Calculate(kFinalFlags);

      // The uniformity phase, from the level spacing down.
      const double limit = choice.criterion != 0
                               ? choice.illuminanceUniformityLimit
                               : (choice.luminanceUniformityLimit > 0 ? 1.0 / choice.luminanceUniformityLimit
                                                                      : std::numeric_limits<double>::infinity());
      auto finish = [&](int endState) {
        state = endState;
        return search.Calculate(0) && search.Calculate(kFinalFlags);
      };
      if (!search.Calculate(0))
        return false;
      Progress(70);
      double spread = 0.0;
      const bool measurable = search.NonUniformity(&spread);
      Progress(80);
      if (!measurable)
        return finish(kUniformityUnreachable);
      if (limit >= spread)
        return finish(kFound);
      bool densestMeasurable = true;
      if (!search.Trial(kDensest, &spread, [&] {
            double u = 0.0;
            densestMeasurable = search.NonUniformity(&u);
            return u;
          }))
        return false;
      Progress(90);
      if (!densestMeasurable || limit < spread)
        return finish(kUniformityUnreachable);
      low = kDensest;
      high = spacing;
      while (high - low >= kResolution) {
        const double trial = high - (high - low) / 2;
        bool trialMeasurable = true;
        if (!search.Trial(trial, &spread, [&] {
              double u = 0.0;
              trialMeasurable = search.NonUniformity(&u);
              return u;
            }))
          return false;
        if (!trialMeasurable) {
          spacing = high;
          search.Keep(spacing);
          return finish(kUniformityUnreachable);
        }
        if (limit > spread)
          low = trial;
        else
          high = trial;
      }
      spacing = TruncateToTenths(low);
      search.Keep(spacing);
      return finish(kFound);
    };
    if (!run())
      state = kTrialFailed;
    Progress(99);
  }

  const bool changed = state == kFound || state == kUniformityUnreachable;
  // One undo step before the whole search; a search without a new spacing leaves the project (results
  // included) exactly as it was.
  KeepUndoState(before, beforeOptions);
  if (!changed) {
    Undo();
    TruncateHistory(m_current + 1);
    // The quantity shown follows the criterion chosen, whatever the search found.
    GetCurrentOptions()->SetQuantity(&quantity);
  }
  Progress(0);
  ShowStateMessage(state, choice.criterion, spacing, search.failure());
  if (changed)
    Shell::GetShellServices().SendToMainWindow(UM_SHOWOBJECT, 0, 0);
}

void CQorRoadDoc::KeepUndoState(IProject* project, IVisualOpt* options)
{
  TruncateHistory(m_current + 1);
  m_projects.insert(m_projects.begin() + m_current, project);
  m_options.insert(m_options.begin() + m_current, options);
  m_snapshot = m_current;
  ++m_current;
  ++m_stateCount;
  // The history holds at most three states, as after any other snapshot.
  if (m_stateCount > 3) {
    const int drop = m_stateCount - 3;
    for (int k = 0; k < drop; ++k) {
      m_options[k]->Release();
      m_projects[k]->Release();
    }
    m_options.erase(m_options.begin(), m_options.begin() + drop);
    m_projects.erase(m_projects.begin(), m_projects.begin() + drop);
    m_stateCount -= drop;
    m_current -= drop;
    m_snapshot -= drop;
  }
}
