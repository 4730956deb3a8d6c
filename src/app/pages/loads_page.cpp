#include "app/pages/loads_inputs.h"
#include "app/pages/loads_page.h"

#include <algorithm>

#include "core/cp932.h"
#include "core/number.h"
#include "model/frame_model.h"

namespace vaultra {

void CommitLoadsInputs(ProjectState& state) {
  CommitLoadsInputs(state.loads, state.records.loads);
}

void MethodChanged(FormState& f) {
  if (f.Checked("RbCalcSindo")) {
    f.At("PhUm").checked = true;
    f.At("PhSo").checked = false;
    f.At("GBoxSisin").SetIndex(1);
  }
}

void Sv1StandardChanged(FormState& f) {
  if (f.Index("GBoxSisin") == 0 && f.Index("GBoxBaneSiki") == 0) f.At("GBoxBaneSiki").SetIndex(1);
}

void KeepStrataButtons(FormState& f, const std::string& sender) {
  if (sender == "RgKea3" || sender == "RgSindoPa3") {
    Control& shown = f.At("RgKajyuType");
    if (FindText(shown.SelectedText(), "･土圧") == std::string::npos) {
      for (std::size_t i = 0; i < shown.items.size(); ++i)
        if (FindText(shown.items[i], "･土圧") != std::string::npos) {
          shown.index = static_cast<int>(i);
          break;
        }
    }
    return;
  }
  if (sender == "PhUm")
    f.At("PhSo").checked = !f.Checked("PhUm");
  else
    f.At("PhUm").checked = !f.Checked("PhSo");
}

int ShownLoadCase(const FormState& f) {
  const std::string text = f.At("RgKajyuType").SelectedText();
  const std::size_t paren = text.find(')');
  if (paren == std::string::npos) return 1;
  const std::optional<double> v = ParseRealStrict(text.substr(0, paren));
  if (!v || *v <= 0) return 1;
  return RealToInt(*v);
}

bool ShownTransverse(const FormState& f) {
  return f.Checked("RbYoko");
}

bool TypedSpringsEnabled(const FormState& f) {
  const int formula = f.Index("GBoxBaneSiki");
  return formula == 2 || formula == 3;
}

const char* const kLoadTableHeaderSpec =
    "32:,No┃42:荷重,ﾀｲﾌﾟ┃36:部材,No┃36:部材,No┃58:部材長,(m)┃68:始点側荷,重(kN/m)┃"
    "68:終点側荷,重(kN/m)┃68:始点荷重,位置(m)┃68:終点荷重,位置(m)┃158:,部$材┃";

namespace {

// The load type as the table's list shows it.
std::string LoadTypeLabel(int code) {
  code = std::clamp(code, 0, 20);
  if (code == 11) return "11=N";
  if (code == 13) return "13=X";
  if (code == 14) return "14=Y";
  return Format("%d", code);
}

bool InModel(const StructureModel& m, int member) {
  return member >= 1 && member <= m.member_count;
}

const FrameLoadCase* ShownCase(const ProjectState& state, const LoadsPageState& page) {
  const FrameModel& f = ShownFrame(state, page);
  const int n = ShownLoadCase(state.loads);
  return f.load_cases.InRange(n) ? &f.load_cases.At(n) : nullptr;
}

// Without a model nothing is shown rather than the loads of an older one.
void RegenerateShownModels(ProjectState& state, const MasterData& md, LoadsPageState& page) {
  page.error = PrepareFrameModels(state, md, page.models);
  if (!page.error.empty()) {
    page.models.transverse_frame.Clear();
    page.models.longitudinal_frame.Clear();
  }
}

int LastMemberOf(const FrameLoadItem& it) {
  return it.last_member > 0 ? it.last_member : it.first_member;
}

}  // namespace

int FillLoadTable(const FrameModel& frame, const StructureModel& model, int load_case,
                  const MasterData& md, GridData& grid) {
  grid = GridData{};
  grid.fixed_rows = 1;
  grid.fixed_cols = 1;
  grid.SetColCount(kLoadTableCols);
  const int width = SetupGridHeader(grid, 0, kLoadTableHeaderSpec, FixedWidthMeasure()) + 32;
  const FrameLoadCase* c =
      frame.load_cases.InRange(load_case) ? &frame.load_cases.At(load_case) : nullptr;
  const int n = c != nullptr ? c->items.Count() : 0;
  grid.SetRowCount(std::max(n + 2, 3));
  for (int k = 1; k <= n; ++k) {
    const FrameLoadItem& it = c->items.At(k);
    const bool known = InModel(model, it.first_member);
    int type = known ? model.Member(it.first_member).type : 0;
    if (it.last_member > 0 && InModel(model, it.last_member)) {
      const int node = model.Member(it.last_member).node_i;
      const bool top = node >= 1 && node <= model.node_count && model.Node(node).y >= 0.1;
      type = top ? 31 : 32;
    }
    grid.SetCell(0, k, Format("%d", k));
    grid.SetCell(1, k, LoadTypeLabel(it.type));
    grid.SetCell(2, k, Format("%d", it.first_member));
    grid.SetCell(3, k, Format("%d", it.last_member));
    grid.SetCell(4, k, Format("%5.3f", known ? model.Member(it.first_member).length : 0.0));
    grid.SetCell(5, k, Format("%7.3f", it.d1));
    grid.SetCell(6, k, Format("%7.3f", it.d2));
    grid.SetCell(7, k, Format("%6.3f", it.d3));
    grid.SetCell(8, k, Format("%6.3f", it.d4));
    grid.SetCell(9, k, md.MemberTypeName(type));
  }
  return width;
}

const FrameModel& ShownFrame(const ProjectState& state, const LoadsPageState& page) {
  return ShownTransverse(state.loads) ? page.models.transverse_frame
                                      : page.models.longitudinal_frame;
}

const StructureModel& ShownModel(const ProjectState& state) {
  return ShownTransverse(state.loads) ? state.transverse : state.longitudinal;
}

int ShownItemCount(const ProjectState& state, const LoadsPageState& page) {
  const FrameLoadCase* c = ShownCase(state, page);
  return c != nullptr ? c->items.Count() : 0;
}

void ChangeLoadDisplay(const ProjectState& state, const MasterData& md, LoadsPageState& page) {
  page.selected_item = std::clamp(page.selected_item, 0, ShownItemCount(state, page));
  page.table_width = FillLoadTable(ShownFrame(state, page), ShownModel(state),
                                   ShownLoadCase(state.loads), md, page.table);
}

void RecomputeLoadsPage(ProjectState& state, const MasterData& md, LoadsPageState& page,
                        const std::string& sender, bool started) {
  if (!started) return;
  KeepStrataButtons(state.loads, sender);
  CommitLoadsInputs(state);
  // The table shows the models as regenerated here, not those of the
  // previous tables.
  RegenerateShownModels(state, md, page);
  ChangeLoadDisplay(state, md, page);
}

void EnterLoadsPage(ProjectState& state, const MasterData& md, LoadsPageState& page) {
  page.selected_item = 0;
  Sv1StandardChanged(state.loads);
  CommitLoadsInputs(state);
  RegenerateShownModels(state, md, page);
  ChangeLoadDisplay(state, md, page);
  page.selected_item = ShownItemCount(state, page) > 0 ? 1 : 0;
}

void LeaveLoadsPage(ProjectState& state, LoadsPageState& page) {
  page.selected_item = 0;
  CommitLoadsInputs(state);
}

bool ClickLoadTable(const ProjectState& state, LoadsPageState& page, int row) {
  if (row < 1 || row > ShownItemCount(state, page) || row == page.selected_item) return false;
  page.selected_item = row;
  return true;
}

bool ClickLoadDrawing(const ProjectState& state, LoadsPageState& page, double x, double y,
                      int moved_pixels) {
  if (moved_pixels >= 6) return false;
  const int member = NearestMember(ShownModel(state), x, y, 0.3);
  const FrameLoadCase* c = ShownCase(state, page);
  if (member == 0 || c == nullptr) return false;
  for (int k = 1; k <= c->items.Count(); ++k) {
    const FrameLoadItem& it = c->items.At(k);
    if (member >= it.first_member && member <= LastMemberOf(it)) {
      page.selected_item = k;
      return true;
    }
  }
  return false;
}

void HighlightSelectedItem(const ProjectState& state, const LoadsPageState& page,
                           MemberHighlight& flags) {
  flags.Clear();
  const FrameLoadCase* c = ShownCase(state, page);
  if (c == nullptr || !c->items.InRange(page.selected_item)) return;
  const FrameLoadItem& it = c->items.At(page.selected_item);
  for (int m = it.first_member; m <= LastMemberOf(it); ++m) flags.Set(m);
}

}  // namespace vaultra
