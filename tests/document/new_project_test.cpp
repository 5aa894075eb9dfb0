// New projects: their running names, the save prompt, the single history state, the typical-form commands,
// and the document without its luminaire database.
#include "document_env.h"
#include "geometry/view_camera.h"
#include "model/iarea.h"
#include "model/project.h"
#include "project_bytes.h"

#include <unistd.h>

namespace {

class NewProjects : public DocumentTest {};

TEST_F(NewProjects, TheFirstProjectOfARunIsNumberOne)
{
  // Only a process of its own starts with the counter at zero.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        Start();
        const bool first = ProjectName() == "Проект - 1" && std::string(doc->GetTitle()) == "Проект - 1";
        _exit(first ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(NewProjects, RunningNamesAdvanceByOneByTwoAndByOneForAnOpenedFile)
{
  Start();
  const long first = ProjectNumber();
  EXPECT_EQ(std::string(doc->GetTitle()), NumberedName(first));

  doc->OnNewStraightRoad();
  EXPECT_EQ(ProjectName(), NumberedName(first + 1));
  EXPECT_EQ(doc->GetViewType(), 2u);

  const std::string path = TempPath("opened.qorr5");
  WriteFile(path, fixtures::ProjectFile(fixtures::v6_0_42_0).data());
  ASSERT_TRUE(doc->OnOpenDocument(path.c_str()));
  EXPECT_EQ(ProjectName(), "Проект из файла");  // the next number went to the reset before the load

  doc->SetModifiedFlag(FALSE);
  doc->OnNewRoundabout();
  EXPECT_EQ(ProjectName(), NumberedName(first + 4));
  EXPECT_EQ(doc->GetStateCount(), 1);
}

TEST_F(NewProjects, ANewProjectHasTheDefaultsAndTheUsersNames)
{
  shell.profile["Settings\\UserName"] = "Петров";
  shell.profile["Settings\\Organization"] = "Светпроект";
  Start();
  doc->SetViewMode(0x2C2);
  int quantity = 0;
  doc->GetCurrentOptions()->SetQuantity(&quantity);
  doc->PushUndoState();
  doc->PushUndoState();
  doc->SetModifiedFlag(FALSE);
  doc->OnNewStraightRoad();
  EXPECT_EQ(doc->GetStateCount(), 1);
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(doc->GetViewMode(), 0x202u);
  EXPECT_EQ(*doc->GetCurrentOptions()->GetQuantity(), 1);
  EXPECT_STREQ(*doc->GetCurrentProject()->GetExecutor(), "Петров");
  EXPECT_STREQ(*doc->GetCurrentProject()->GetOrganization(), "Светпроект");
  IArea* area = nullptr;
  ASSERT_EQ(doc->QueryInterface(IID_ActiveArea, reinterpret_cast<void**>(&area)), S_OK);
  EXPECT_STREQ(*area->GetCaption(), "Объект - 1 [Прямая дорога]");
  area->Release();
}

struct PromptCase {
  const char* name;
  int answer;
  bool newProject;
};

TEST_F(NewProjects, TheSavePromptCancelsOrDiscards)
{
  const PromptCase cases[] = {{"cancel", IDCANCEL, false}, {"no", IDNO, true}};
  Start();
  long number = ProjectNumber();
  for (const PromptCase& c : cases) {
    SCOPED_TRACE(c.name);
    doc->SetModifiedFlag(TRUE);
    const std::size_t asked = answers.Asked().size();
    answers.AnswerNext(c.answer);
    doc->OnNewTurn();
    ASSERT_EQ(answers.Asked().size(), asked + 1);
    EXPECT_EQ(answers.Asked().back().text, "Сохранить изменения в проекте " + NumberedName(number) + "?");
    EXPECT_EQ(answers.Asked().back().style & 0x0F, static_cast<UINT>(MB_YESNOCANCEL));
    if (c.newProject)
      number += 2;
    EXPECT_EQ(ProjectName(), NumberedName(number));
  }
  // Unmodified: no question at all.
  doc->SetModifiedFlag(FALSE);
  const std::size_t asked = answers.Asked().size();
  doc->OnNewStraightRoad();
  EXPECT_EQ(answers.Asked().size(), asked);
}

TEST_F(NewProjects, YesSavesBeforeTheNewProject)
{
  Start();
  const long first = ProjectNumber();
  const std::string path = TempPath("prompted.qorr5");
  WriteFile(path, {});
  doc->SetPathName(path.c_str(), FALSE);
  doc->SetModifiedFlag(TRUE);
  answers.AnswerNext(IDYES);
  doc->OnNewStraightRoad();
  const auto saved = ReadFile(path);
  ASSERT_GT(saved.size(), 4u);
  EXPECT_EQ(std::string(saved.begin(), saved.begin() + 4), "QORR");
  EXPECT_EQ(ProjectName(), NumberedName(first + 1));
}

TEST_F(NewProjects, WithoutTheLuminaireDatabaseNoProjectIsMade)
{
  shell.dataFolder = MakeDataFolder(false);
  doc = std::make_unique<CQorRoadDoc>();
  ASSERT_FALSE(shell.messages.empty());
  EXPECT_EQ(shell.messages[0], "Ошибка открытия базы данных световых приборов.");
  EXPECT_FALSE(doc->OnNewDocument());
  EXPECT_EQ(doc->GetStateCount(), 1);
  void* database = reinterpret_cast<void*>(1);
  EXPECT_EQ(doc->QueryInterface(IID_ILuminaireDatabase, &database), E_NOINTERFACE);
  EXPECT_EQ(database, nullptr);
  EXPECT_EQ(doc->GetCatalogCount(), 0);
  EXPECT_EQ(doc->UnloadCatalog(0, "1", 0), FALSE);
}

TEST_F(NewProjects, TheViewTypeReachesTheCurrentCamera)
{
  Start();
  CViewCamera camera;
  CViewCamera* previous = CurrentViewCamera();
  CurrentViewCamera() = &camera;
  doc->OnNewStraightRoad();
  EXPECT_EQ(camera.m_viewType, CViewCamera::kPlan);
  doc->SetViewType(CViewCamera::kPerspective);
  EXPECT_EQ(camera.m_viewType, CViewCamera::kPerspective);
  doc->ReapplyViewType();
  EXPECT_EQ(camera.m_viewType, CViewCamera::kPerspective);
  CurrentViewCamera() = previous;
}

}  // namespace
