// The document's life cycle in the single-document framework: new, modify, the save prompt, save and save-as,
// open, and what failures leave behind.
#include "tests/platform/mfc/harness.h"

#include "platform/mfc/richedit.h"

#include "platform/base/fileops.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace mfctest {
namespace {

using platform::mfc::ScriptedFileNames;

class DocumentTest : public FrameworkTest {
protected:
  // Saves the current document under `name` through Save As.
  void SaveAs(const std::string& path)
  {
    ScriptedFileNames names;
    names.Answer(CString(path.c_str()));
    Command(ID_FILE_SAVE_AS);
    ASSERT_EQ(names.Asked().size(), 1u);
  }
  std::vector<std::string> TempFilesLeft() const
  {
    std::vector<std::string> left;
    for (const std::string& name : folder_.Names()) {
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".TMP") == 0) {
        left.push_back(name);
      }
    }
    return left;
  }
};

TEST_F(DocumentTest, ANewDocumentIsUntitledUnmodifiedAndShownInTheFrame)
{
  CTestDoc* doc = Doc();
  EXPECT_EQ(doc->GetTitle(), CString("Untitled"));
  EXPECT_TRUE(doc->GetPathName().IsEmpty());
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(doc->m_newDocuments, 1);
  EXPECT_EQ(Frame()->GetWindowTextString(), CString("Untitled - Tesmira Road"));
  EXPECT_TRUE(Frame()->IsWindowVisible());
  EXPECT_EQ(View()->GetDocument(), doc);
  EXPECT_EQ(View()->m_updates, 1);  // the initial update
  EXPECT_EQ(doc->GetDocTemplate(), template_);

  doc->SetTitle("Проект - 1");
  EXPECT_EQ(Frame()->GetWindowTextString(), CString("Проект - 1 - Tesmira Road"));
}

TEST_F(DocumentTest, UpdateAllViewsSkipsTheSender)
{
  View()->m_updates = 0;
  Doc()->UpdateAllViews(nullptr, 5);
  EXPECT_EQ(View()->m_updates, 1);
  EXPECT_EQ(View()->m_lastSender, nullptr);
  Doc()->UpdateAllViews(View());
  EXPECT_EQ(View()->m_updates, 1);
}

// A new document on top of a modified one asks first; each answer has its own outcome.
TEST_F(DocumentTest, TheSavePromptAnsweredYesNoOrCancel)
{
  struct Case {
    int answer;
    bool fileNameGiven;
    bool newDocumentMade;
    bool fileWritten;
  };
  const Case cases[] = {
      {IDCANCEL, false, false, false},
      {IDNO, false, true, false},
      {IDYES, true, true, true},
      {IDYES, false, false, false},  // Yes, then the save dialog cancelled: nothing is lost
  };
  int run = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    std::string path = folder_.File("answer" + std::to_string(++run) + ".qorr5");
    CTestDoc* doc = Doc();
    doc->m_text = "edited";
    doc->SetModifiedFlag();
    int newDocumentsBefore = doc->m_newDocuments;

    user::ScriptedResponder boxes;
    boxes.AnswerNext(c.answer);
    ScriptedFileNames names;
    if (c.fileNameGiven) {
      names.Answer(CString(path.c_str()));
    }
    Command(ID_FILE_NEW);

    ASSERT_EQ(boxes.Asked().size(), 1u);
    EXPECT_EQ(boxes.Asked()[0].text, "Save changes to Untitled?");
    EXPECT_EQ(boxes.Asked()[0].caption, "Tesmira Road");
    EXPECT_EQ(boxes.Asked()[0].style, MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(boxes.Asked()[0].owner, Frame()->m_hWnd);
    ASSERT_EQ(Doc(), doc);  // the one document is reused
    EXPECT_EQ(doc->m_newDocuments, newDocumentsBefore + (c.newDocumentMade ? 1 : 0));
    EXPECT_EQ(doc->m_text, CString(c.newDocumentMade ? "" : "edited"));
    EXPECT_EQ(doc->IsModified(), c.newDocumentMade ? FALSE : TRUE);
    EXPECT_EQ(ReadFile(path), c.fileWritten ? DocumentBytes("edited") : "");
    if (c.newDocumentMade) {
      // The saved file is in the recent list, but the new document is bound to nothing.
      EXPECT_TRUE(doc->GetPathName().IsEmpty());
    }
  }
}

TEST_F(DocumentTest, SaveAsBindsTheDocumentAndSaveThenWritesThereWithoutAsking)
{
  std::string path = folder_.File("road.qorr5");
  Doc()->m_text = "first";
  Doc()->SetModifiedFlag();
  SaveAs(path);
  EXPECT_EQ(ReadFile(path), DocumentBytes("first"));
  EXPECT_EQ(Doc()->GetPathName(), CString(path.c_str()));
  EXPECT_EQ(Doc()->GetTitle(), CString("road.qorr5"));
  EXPECT_FALSE(Doc()->IsModified());
  EXPECT_EQ((*app_->m_pRecentFileList)[0], CString(path.c_str()));

  Doc()->m_text = "second";
  Doc()->SetModifiedFlag();
  ScriptedFileNames names;
  Command(ID_FILE_SAVE);
  EXPECT_TRUE(names.Asked().empty());
  EXPECT_EQ(ReadFile(path), DocumentBytes("second"));
  EXPECT_FALSE(Doc()->IsModified());
  EXPECT_TRUE(TempFilesLeft().empty());
}

TEST_F(DocumentTest, SaveOfAReadOnlyOrVanishedFileAsksForAName)
{
  namespace fs = std::filesystem;
  std::string path = folder_.File("readonly.qorr5");
  Doc()->m_text = "kept";
  SaveAs(path);
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  Doc()->m_text = "changed";
  Doc()->SetModifiedFlag();
  {
    ScriptedFileNames names;
    names.Cancel();
    Command(ID_FILE_SAVE);
    ASSERT_EQ(names.Asked().size(), 1u);
    EXPECT_EQ(names.Asked()[0].fileName, CString(path.c_str()));  // proposed, not taken
    EXPECT_EQ(ReadFile(path), DocumentBytes("kept"));
    EXPECT_TRUE(Doc()->IsModified());
  }
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
  fs::remove(path);
  ScriptedFileNames names;
  names.Answer(CString(path.c_str()));
  Command(ID_FILE_SAVE);
  EXPECT_EQ(names.Asked().size(), 1u);
  EXPECT_EQ(ReadFile(path), DocumentBytes("changed"));
}

TEST_F(DocumentTest, SavingOverAFileKeepsItsPermissions)
{
  namespace fs = std::filesystem;
  std::string path = folder_.File("private.qorr5");
  WriteFile(path, DocumentBytes("old"));
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_TRUE(Doc()->DoSave(path.c_str()));
  EXPECT_EQ(ReadFile(path), DocumentBytes(""));
  EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(DocumentTest, SaveAsProposesTheTitleWithTheTemplatesFirstExtension)
{
  Doc()->SetTitle("Проект: 1");
  ScriptedFileNames names;
  names.Cancel();
  Command(ID_FILE_SAVE_AS);
  ASSERT_EQ(names.Asked().size(), 1u);
  EXPECT_EQ(names.Asked()[0].fileName, CString("Проект.qorr5"));
  EXPECT_EQ(names.Asked()[0].defaultExt, CString("qorr5"));
  EXPECT_EQ(names.Asked()[0].filter, CString("Tesmira Road (*.qorr5;*.qorr4)|*.qorr5;*.qorr4||"));
  EXPECT_FALSE(names.Asked()[0].open);
}

// Whatever goes wrong while saving, the file that was there stays as it was and the user hears of it.
TEST_F(DocumentTest, AFailedSaveLeavesTheOldFileIntact)
{
  struct Case {
    const char* what;
    bool serializeFails;
    bool targetIsFolder;
    const char* message;
  };
  const Case cases[] = {
      {"the document cannot be written", true, false, "Disk full while saving %s."},
      {"the file cannot take the target's place", false, true, "Access denied to %s."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string path = folder_.File(c.targetIsFolder ? "folder.qorr5" : "kept.qorr5");
    if (c.targetIsFolder) {
      std::filesystem::create_directory(path);
      std::filesystem::create_directory(path + "/inside");
    } else {
      Doc()->m_text = "old";
      SaveAs(path);
      ASSERT_EQ(ReadFile(path), DocumentBytes("old"));
    }
    Doc()->m_text = "new and longer";
    Doc()->SetModifiedFlag();
    CTestDoc::failStoreAfterWriting = c.serializeFails;

    user::ScriptedResponder boxes;
    EXPECT_FALSE(Doc()->DoSave(path.c_str()));
    CTestDoc::failStoreAfterWriting = false;

    ASSERT_EQ(boxes.Asked().size(), 1u);
    char expected[512];
    std::snprintf(expected, sizeof expected, c.message, path.c_str());
    EXPECT_EQ(boxes.Asked()[0].text, expected);
    EXPECT_EQ(boxes.Asked()[0].style, MB_ICONEXCLAMATION);
    if (c.targetIsFolder) {
      EXPECT_TRUE(std::filesystem::is_directory(path + "/inside"));
    } else {
      EXPECT_EQ(ReadFile(path), DocumentBytes("old"));
    }
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_TRUE(TempFilesLeft().empty());
  }
}

// A save killed while it wrote leaves its temporary beside the target; the next save in that folder removes it,
// and what a running process is writing stays.
TEST_F(DocumentTest, TemporariesOfKilledSavesGoAtTheNextSave)
{
  const std::string path = folder_.File("kept.qorr5");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The killed save: its temporary half written, then the process gone without a chance to tidy up.
    WriteFile(platform::SaveTemporaryName(path), "half a proj");
    ::kill(::getpid(), SIGKILL);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  const std::string killed = "kept.qorr5.~sav" + std::to_string(child) + ".TMP";
  // Written by a process that still runs (this test's parent), and a file of the user's named alike.
  const std::string running = "other.qorr5.~sav" + std::to_string(::getppid()) + ".TMP";
  WriteFile(folder_.File(running), "busy");
  WriteFile(folder_.File("notes.~savings.TMP"), "the user's");
  ASSERT_EQ(TempFilesLeft().size(), 3u);

  Doc()->m_text = "saved";
  SaveAs(path);
  EXPECT_EQ(ReadFile(path), DocumentBytes("saved"));
  const std::vector<std::string> left = TempFilesLeft();
  EXPECT_EQ(std::count(left.begin(), left.end(), killed), 0);
  EXPECT_EQ(std::count(left.begin(), left.end(), running), 1);
  EXPECT_EQ(std::count(left.begin(), left.end(), "notes.~savings.TMP"), 1);
  EXPECT_EQ(left.size(), 2u);
}

TEST_F(DocumentTest, OpeningAFileLoadsItBindsItAndUpdatesTheViews)
{
  std::string path = folder_.File("saved.qorr5");
  WriteFile(path, DocumentBytes("from disk"));
  View()->m_updates = 0;
  ScriptedFileNames names;
  names.Answer(CString(path.c_str()));
  Command(ID_FILE_OPEN);
  ASSERT_EQ(names.Asked().size(), 1u);
  EXPECT_TRUE(names.Asked()[0].open);
  EXPECT_EQ(Doc()->m_text, CString("from disk"));
  EXPECT_EQ(Doc()->GetPathName(), CString(path.c_str()));
  EXPECT_FALSE(Doc()->IsModified());
  EXPECT_EQ(View()->m_updates, 1);
  EXPECT_EQ(Frame()->GetWindowTextString(), CString("saved.qorr5 - Tesmira Road"));
  EXPECT_EQ((*app_->m_pRecentFileList)[0], CString(path.c_str()));
}

TEST_F(DocumentTest, OpeningTheFileAlreadyOpenKeepsTheChangesMadeToIt)
{
  std::string path = folder_.File("open.qorr5");
  WriteFile(path, DocumentBytes("on disk"));
  ASSERT_NE(app_->OpenDocumentFile(path.c_str()), nullptr);
  Doc()->m_text = "changed";
  Doc()->SetModifiedFlag();

  user::ScriptedResponder boxes;
  char current[MAX_PATH];
  ASSERT_NE(::GetCurrentDirectory(MAX_PATH, current), 0u);
  ASSERT_TRUE(::SetCurrentDirectory(folder_.Path().c_str()));
  EXPECT_EQ(app_->OpenDocumentFile("open.qorr5"), Doc());  // a relative name for the same file
  ::SetCurrentDirectory(current);
  EXPECT_TRUE(boxes.Asked().empty());
  EXPECT_EQ(Doc()->m_text, CString("changed"));
  EXPECT_TRUE(Doc()->IsModified());
}

// After a failed open the document must never be bound to the failed file (nor to the one it held before, when
// its contents are gone): a later Save asks for a name.
TEST_F(DocumentTest, AFailedOpenLeavesNoBoundPath)
{
  struct Case {
    const char* what;
    std::optional<std::string> bytes;  // none: no file at all
    bool documentRejects;
    const char* message;
    bool contentsKept;
  };
  const Case cases[] = {
      {"missing file", std::nullopt, false, "%s was not found.", true},
      {"damaged file", std::string("\x20short", 6), false, "Unexpected file format in %s.", false},
      {"empty file", std::string(), false, "Unexpected file format in %s.", false},
      {"file the document rejects", DocumentBytes("newer format"), true, "rejected by the document", false},
  };
  int run = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string held = folder_.File("held" + std::to_string(++run) + ".qorr5");
    Doc()->m_text = "held";
    SaveAs(held);
    std::string path = folder_.File("bad" + std::to_string(run) + ".qorr5");
    if (c.bytes) {
      WriteFile(path, *c.bytes);
    }
    CTestDoc::rejectOnLoad = c.documentRejects;

    user::ScriptedResponder boxes;
    EXPECT_EQ(app_->OpenDocumentFile(path.c_str()), nullptr);
    CTestDoc::rejectOnLoad = false;
    ASSERT_EQ(boxes.Asked().size(), 1u);  // one message, the right one
    char expected[512];
    std::snprintf(expected, sizeof expected, c.message, path.c_str());
    EXPECT_EQ(boxes.Asked()[0].text, expected);
    EXPECT_NE(Doc()->GetPathName(), CString(path.c_str()));

    ScriptedFileNames names;
    names.Cancel();
    Command(ID_FILE_SAVE);
    if (c.contentsKept) {
      // Nothing was read: the document is still the one it was, bound to its own file.
      EXPECT_EQ(Doc()->m_text, CString("held"));
      EXPECT_EQ(Doc()->GetPathName(), CString(held.c_str()));
      EXPECT_TRUE(names.Asked().empty());
    } else {
      EXPECT_EQ(Doc()->m_text, CString(""));
      EXPECT_TRUE(Doc()->GetPathName().IsEmpty());
      EXPECT_FALSE(Doc()->IsModified());
      ASSERT_EQ(names.Asked().size(), 1u);  // Save asked for a name
      EXPECT_EQ(ReadFile(held), DocumentBytes("held"));
      EXPECT_EQ(ReadFile(path), *c.bytes);
    }
  }
}

TEST_F(DocumentTest, ClosingTheFrameAsksAndCancelKeepsItOpen)
{
  Doc()->SetModifiedFlag();
  HWND frame = Frame()->m_hWnd;
  {
    user::ScriptedResponder boxes;
    boxes.AnswerNext(IDCANCEL);
    ::SendMessage(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(boxes.Asked().size(), 1u);
  }
  EXPECT_TRUE(::IsWindow(frame));
  EXPECT_EQ(app_->m_pMainWnd, Frame());

  user::ScriptedResponder boxes;
  boxes.AnswerNext(IDNO);
  ::SendMessage(frame, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(frame));
  EXPECT_EQ(app_->m_pMainWnd, nullptr);
  // The document went with its frame, and the application's loop is told to end.
  EXPECT_EQ(template_->GetFirstDocPosition(), nullptr);
  MSG msg;
  EXPECT_TRUE(::PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace mfctest

namespace mfctest {

// Named outside the file's own namespace: its class record is registered by name.
class CTestItem : public CRichEditCntrItem {
  DECLARE_DYNCREATE(CTestItem)
};
IMPLEMENT_DYNCREATE(CTestItem, CRichEditCntrItem)

namespace {

// The client-item factory makes the class the template names, held by the document; nothing else.
TEST_F(DocumentTest, TheClientItemFactoryMakesTheTemplatesItemClass)
{
  EXPECT_EQ(Doc()->CreateClientItem(), nullptr) << "no class named";
  template_->SetClientItemClass(RUNTIME_CLASS(CTestItem));
  std::unique_ptr<CRichEditCntrItem> item(Doc()->CreateClientItem());
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->IsKindOf(RUNTIME_CLASS(CTestItem)));
  EXPECT_EQ(item->GetDocument(), Doc());
  // A class that is no item is never made.
  template_->SetClientItemClass(RUNTIME_CLASS(CWnd));
  EXPECT_EQ(Doc()->CreateClientItem(), nullptr);
  template_->SetClientItemClass(nullptr);
}

}  // namespace
}  // namespace mfctest
