// The window keeps the user's work: the title names the file and marks a
// project that differs from it, leaving such a project asks first, numeric
// fields refuse what they cannot hold, edits can be undone, recent files
// are kept.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>

#include "app/document/project_file.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/format_by_tag.h"
#include "gui/form_page.h"
#include "gui_support.h"

namespace vaultra::gui::test {
namespace {

struct WindowWork : WindowFixture {
  WindowWork() : WindowFixture("work") {}

  static QLineEdit* Field(MainWindow& w, Page page, const char* name) {
    FormPage* fp = w.FormPageOf(page);
    return fp ? qobject_cast<QLineEdit*>(fp->WidgetOf(name)) : nullptr;
  }
  // Types into a field and leaves it, as the user does; the window then
  // compares the project with its file.
  static void Type(MainWindow& w, QLineEdit* e, const QString& text) {
    e->setFocus();
    e->setText(text);
    emit e->editingFinished();
    QApplication::processEvents();
    w.UpdateModified();
  }
  std::string Sample(const char* name) const {
    return std::string(VAULTRA_SOURCE_DIR) + "/samples/" + name;
  }
  // A copy of a sample in the scratch folder (saving must not touch the tree).
  std::string Copy(const char* name) const {
    const std::filesystem::path p = dir / name;
    std::filesystem::copy_file(Sample(name), p, std::filesystem::copy_options::overwrite_existing);
    return p.string();
  }
};

// Text read whole, or refused: the field's tag gives its width w and
// decimals d, so a tag 73 field (w 7, d 3) holds -99.999 .. 999.999
// ("-99.999" and "999.999" are seven characters).
TEST(FieldNumbers, WholeTextsAndTheFieldWidth) {
  struct Case {
    const char* text;
    bool number;
    double value;
  };
  const Case reads[] = {
      {"12.5", true, 12.5}, {"  -3 ", true, -3}, {"1e1", true, 10},  {"+.5", true, 0.5},
      {"abc", false, 0},    {"1e400", false, 0}, {"", false, 0},     {"12abc", false, 0},
      {"inf", false, 0},    {"nan", false, 0},   {"0x10", false, 0}, {"1.2.3", false, 0},
      {"1e", false, 0},     {".", false, 0},     {"- 1", false, 0},
  };
  for (const Case& c : reads) {
    const std::optional<double> v = ReadWholeNumber(c.text);
    EXPECT_EQ(v.has_value(), c.number) << c.text;
    if (v && c.number) {
      EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
    }
  }
  // Full-width digits, point and sign read as their ASCII counterparts.
  EXPECT_DOUBLE_EQ(ReadWholeNumber(Utf8ToCp932("１２．５")).value_or(0), 12.5);

  struct Range {
    int tag;
    const char* text;
    bool taken;
  };
  const Range ranges[] = {
      {73, "999.999", true},  {73, "1000", false},  {73, "-99.999", true}, {73, "-100", false},
      {63, "99.999", true},   {63, "100", false},   {63, "-9.999", true},  {60, "999999", true},
      {60, "1000000", false}, {60, "2.5", false},   {50, "-9999", true},   {50, "-10000", false},
      {83, "abc", false},     {83, "1e400", false}, {5, "abc", true},  // no numeric tag: any text
  };
  for (const Range& r : ranges)
    EXPECT_EQ(FieldRefusal(r.text, r.tag).empty(), r.taken) << r.tag << " " << r.text;
  EXPECT_EQ(Cp932ToUtf8(FieldRangeText(73)), "-99.999 ～ 999.999");
  EXPECT_EQ(Cp932ToUtf8(FieldRangeText(62)), "-99.99 ～ 999.99");  // w 6, d 2
  EXPECT_EQ(Cp932ToUtf8(FieldRangeText(60)), "-99999 ～ 999999");
  EXPECT_EQ(Cp932ToUtf8(FieldRangeText(51)), "-99.9 ～ 999.9");
}

// No value a sample project holds is refused by its field: the width rule
// takes every stored number of the four facilities.
TEST_F(WindowWork, EveryStoredNumberFitsItsField) {
  for (const char* s : {"box_three_boxes.vt1", "stand_two_slabs.vt1", "mini_gate.vt1",
                        "box_groundwater_stored.vt1"}) {
    ProjectState p = DefaultProjectState();
    const LoadResult r = LoadProjectFile(p, Sample(s), logic);
    ASSERT_TRUE(r.loaded) << s;
    int numeric = 0;
    for (const FormState* f : p.Forms())
      for (const Control& c : f->controls)
        if (c.kind == ControlKind::kEdit && IsNumericTag(c.tag)) {
          ++numeric;
          EXPECT_EQ(FieldRefusal(c.text, c.tag), "") << s << " " << c.name << " '" << c.text << "'";
        }
    EXPECT_GT(numeric, 100) << s;
  }
}

TEST_F(WindowWork, TitleNamesTheFileAndMarksAnEdit) {
  {
    // The resume state has no file of the user's.
    auto w = Window(nullptr);
    EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral("()[*]")))
        << w->windowTitle().toStdString();
  }
  for (const char* s : {"box_three_boxes.vt1", "stand_two_slabs.vt1"}) {
    auto w = Window(nullptr);
    w->OpenProject(Sample(s));
    // A project just read does not differ from its file.
    w->UpdateModified();
    EXPECT_FALSE(w->modified()) << s;
    EXPECT_TRUE(w->windowTitle().contains(QStringLiteral("(%1)").arg(QString::fromUtf8(s))))
        << w->windowTitle().toStdString();
    EXPECT_TRUE(w->windowTitle().startsWith(QStringLiteral("Vaultra Ver.")));
    QLineEdit* name = Field(*w, Page::kModel, "EdModelName");
    ASSERT_NE(name, nullptr);
    Type(*w, name, name->text() + QStringLiteral(u"改"));
    EXPECT_TRUE(w->modified());
    EXPECT_TRUE(w->isWindowModified());
    // Typing the old name back: the project is its file again.
    Type(*w, name, name->text().chopped(1));
    EXPECT_FALSE(w->modified());
  }
}

TEST_F(WindowWork, FailedOpenKeepsTheProjectAndSaysSo) {
  auto w = Window("box_three_boxes.vt1");
  const std::string name = state.model.Text("EdModelName");
  const QString title = w->windowTitle();
  const std::string bad = (dir / "broken.vt1").string();
  ASSERT_TRUE(WriteFileAtomic(bad, "not a project\r\n"));
  for (const std::string& path : {bad, (dir / "missing.vt1").string()}) {
    const std::size_t told = ui.told().size();
    w->OpenProject(path);
    EXPECT_EQ(state.model.Text("EdModelName"), name);
    EXPECT_EQ(w->windowTitle(), title);
    ASSERT_GT(ui.told().size(), told);
    EXPECT_NE(Cp932ToUtf8(ui.told().back()).find("そのまま"), std::string::npos);
  }
}

// Close, open and drop ask about an edited project; cancel keeps it all,
// save writes it (and the reopened file holds the edit), discard goes on.
TEST_F(WindowWork, LeavingAnEditedProjectAsks) {
  const std::string file = Copy("box_three_boxes.vt1");
  auto w = Window(nullptr);
  w->OpenProject(file);
  w->show();
  QLineEdit* name = Field(*w, Page::kModel, "EdModelName");
  Type(*w, name, QStringLiteral(u"編集したモデル"));
  ASSERT_TRUE(w->modified());

  ui.SetQuietSaveChoice(SaveChoice::kCancel);
  const std::size_t asked = ui.asked().size();
  EXPECT_FALSE(w->close());
  ASSERT_EQ(ui.asked().size(), asked + 1);
  EXPECT_NE(Cp932ToUtf8(ui.asked().back()).find("保存しますか"), std::string::npos);
  EXPECT_NE(ui.asked().back().find("box_three_boxes.vt1"), std::string::npos);
  EXPECT_TRUE(w->isVisible());
  w->OpenProject(Sample("stand_two_slabs.vt1"));  // open: cancelled as well
  EXPECT_EQ(Cp932ToUtf8(state.model.Text("EdModelName")), "編集したモデル");
  EXPECT_EQ(state.project_path, file);
  EXPECT_TRUE(w->modified());

  ui.SetQuietSaveChoice(SaveChoice::kSave);
  EXPECT_TRUE(w->close());
  EXPECT_FALSE(w->modified());
  ProjectState reread = DefaultProjectState();
  ASSERT_TRUE(LoadProjectFile(reread, file, logic).loaded);
  EXPECT_EQ(Cp932ToUtf8(reread.model.Text("EdModelName")), "編集したモデル");

  // Discard: the next project opens, the file keeps what was saved.
  auto w2 = Window(nullptr);
  w2->OpenProject(file);
  Type(*w2, Field(*w2, Page::kModel, "EdModelName"), QStringLiteral(u"捨てる編集"));
  ui.SetQuietSaveChoice(SaveChoice::kDiscard);
  w2->OpenProject(Sample("stand_two_slabs.vt1"));
  EXPECT_NE(state.project_path, file);
  ProjectState again = DefaultProjectState();
  ASSERT_TRUE(LoadProjectFile(again, file, logic).loaded);
  EXPECT_EQ(Cp932ToUtf8(again.model.Text("EdModelName")), "編集したモデル");
}

// "abc", "1e400" and a value wider than the field are refused where they
// are typed: a message names the field and the range, the field and its
// record keep the previous value (never 0); a readable value is taken.
TEST_F(WindowWork, NumericFieldRefusesWhatItCannotHold) {
  auto w = Window("box_three_boxes.vt1");
  w->show();
  QLineEdit* depth = Field(*w, Page::kModel, "EdBlockDepth");
  ASSERT_NE(depth, nullptr);
  const QString before = depth->text();
  ASSERT_NE(ReadWholeNumber(Cp(before)).value_or(0), 0.0);
  const std::pair<const char*, const char*> cases[] = {{"abc", "数値として読めません"},
                                                       {"1e400", "有限の数値"},
                                                       {"1000", "範囲外"},
                                                       {"", "数値として"}};
  for (const auto& [typed, why] : cases) {
    const std::size_t told = ui.told().size();
    Type(*w, depth, QString::fromUtf8(typed));
    QApplication::processEvents();  // the message follows the field's restore
    EXPECT_EQ(depth->text(), before) << typed;
    EXPECT_EQ(Q(state.model.Text("EdBlockDepth")), before) << typed;
    ASSERT_EQ(ui.told().size(), told + 1) << typed;
    const std::string msg = Cp932ToUtf8(ui.told().back());
    EXPECT_NE(msg.find("構造物の深さ"), std::string::npos) << msg;
    EXPECT_NE(msg.find("-99.999 ～ 999.999"), std::string::npos) << msg;
    EXPECT_NE(msg.find(why), std::string::npos) << msg;
    EXPECT_FALSE(w->modified());
  }
  Type(*w, depth, QStringLiteral("1.25"));
  EXPECT_EQ(depth->text(), QStringLiteral("  1.250"));  // tag 73: width 7, 3 decimals
  EXPECT_TRUE(w->modified());
}

// Each commit is a step; undo goes back across pages, redo forward again.
TEST_F(WindowWork, UndoAndRedoAcrossPages) {
  auto w = Window("box_three_boxes.vt1");
  w->show();
  const QString name0 = Field(*w, Page::kModel, "EdModelName")->text();
  Type(*w, Field(*w, Page::kModel, "EdModelName"), QStringLiteral(u"一段目"));
  w->PageButton(Page::kMaterial)->click();
  QLineEdit* gcm = Field(*w, Page::kMaterial, "Gcm");
  ASSERT_NE(gcm, nullptr);
  const QString gcm0 = gcm->text();
  Type(*w, gcm, QStringLiteral("23.5"));
  ASSERT_EQ(w->undo_steps(), 2);

  w->Undo();  // the material field, on the page on screen
  EXPECT_EQ(gcm->text(), gcm0);
  EXPECT_EQ(Q(state.material.Text("Gcm")), gcm0);
  EXPECT_EQ(Cp932ToUtf8(state.model.Text("EdModelName")), "一段目");
  w->Undo();  // the model page's edit
  EXPECT_EQ(Q(state.model.Text("EdModelName")), name0);
  EXPECT_FALSE(w->modified());
  w->Redo();
  EXPECT_EQ(Cp932ToUtf8(state.model.Text("EdModelName")), "一段目");
  EXPECT_TRUE(w->modified());
  w->Redo();
  EXPECT_EQ(gcm->text(), QStringLiteral("   23.50"));  // tag 82: width 8
}

TEST_F(WindowWork, RecentFilesAreKeptInTheConfigFolder) {
  const std::string a = Copy("box_three_boxes.vt1");
  const std::string b = Copy("stand_two_slabs.vt1");
  QFile::remove(Q(MainWindow::RecentFilesPath()));
  {
    auto w = Window(nullptr);
    w->OpenProject(a);
    w->OpenProject(b);
    w->OpenProject(a);
    ASSERT_EQ(w->recent_files().size(), 2u);
    EXPECT_EQ(w->recent_files()[0], a);
  }
  auto w = Window(nullptr);  // a new window reads the list back
  ASSERT_EQ(w->recent_files().size(), 2u);
  EXPECT_EQ(w->recent_files()[1], b);
  EXPECT_NE(Cp(MainWindow::RecentFilesPath().empty() ? QString() : Q(MainWindow::RecentFilesPath()))
                .find("vaultra/recent-files"),
            std::string::npos);
}

// Edit, close, cancel, save, reopen: the saved file holds every edit, and
// the command line's calculation of it (vaultra calc --json, a process of
// its own) gives the ratios the reopened window shows, member by member.
TEST_F(WindowWork, SavedEditsReopenAndTheCommandLineAgrees) {
  const std::string file = Copy("stand_two_slabs.vt1");
  {
    auto w = Window(nullptr);
    w->OpenProject(file);
    w->show();
    Type(*w, Field(*w, Page::kModel, "EdBlockDepth"), QStringLiteral("1.25"));
    w->PageButton(Page::kMaterial)->click();
    Type(*w, Field(*w, Page::kMaterial, "Gcm"), QStringLiteral("21.5"));
    ui.SetQuietSaveChoice(SaveChoice::kCancel);
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->Save());
    ui.SetQuietSaveChoice(SaveChoice::kDiscard);
  }
  state = DefaultProjectState();
  auto w = Window(nullptr);
  w->OpenProject(file);
  EXPECT_EQ(Trim(state.model.Text("EdBlockDepth")), "1.250");
  EXPECT_EQ(Trim(state.material.Text("Gcm")), "21.50");
  w->PageButton(Page::kRcCheck)->click();
  ASSERT_TRUE(w->calculation().analysed());
  const std::vector<MemberVerdict> shown = MemberVerdicts(w->calculation().run(), state.transverse);

  const std::string json = (dir / "calc.json").string();
  const std::string cmd = std::string("'") + VAULTRA_EXE + "' calc '" + file +
                          "' --internal --work-dir '" + (dir / "cli").string() + "' --json '" +
                          json + "' >/dev/null 2>&1";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << cmd;
  const std::string text = ReadFileBytes(json).value_or("");
  // The members list in its order: one "ratio" per member and combination.
  std::vector<double> ratios;
  const std::size_t members = text.find("\"members\"");
  const std::size_t end = text.find("\"joints\"");
  ASSERT_NE(members, std::string::npos);
  for (std::size_t at = text.find("\"ratio\":", members); at != std::string::npos && at < end;
       at = text.find("\"ratio\":", at + 1))
    ratios.push_back(std::strtod(text.c_str() + at + 8, nullptr));
  ASSERT_EQ(ratios.size(), shown.size());
  for (std::size_t i = 0; i < shown.size(); ++i)
    EXPECT_NEAR(ratios[i], shown[i].ratio, 5e-6)
        << "member " << shown[i].member << " k" << shown[i].combination;
}

}  // namespace
}  // namespace vaultra::gui::test
