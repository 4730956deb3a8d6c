#include "app/document/project_state.h"

#include <algorithm>

#include "core/format_by_tag.h"
#include "core/number.h"

namespace vaultra {

const char* const kGroundGridHeaderSpec =
    "38:地層,No┃80:層厚,(ｍ)┃48:,Ｎ値┃90:単位体積重量,(kN/m3)┃84:水中土単重,(kN/"
    "m3)┃80:ポアソン,比┃80:粘着力,(kN/"
    "m2)┃84:内部摩擦角,(度)┃64:,土質識別";

std::array<FormState*, kFormCount> ProjectState::Forms() {
  return {&main,     &model,        &ground,   &dimensions,   &points,        &loads,
          &material, &member_force, &rc_check, &other_checks, &section_detail};
}

std::array<const FormState*, kFormCount> ProjectState::Forms() const {
  return {&main,     &model,        &ground,   &dimensions,   &points,        &loads,
          &material, &member_force, &rc_check, &other_checks, &section_detail};
}

namespace {

// An edit field showing a designed value as its tag formats it.
Control Num(std::string name, const char* value, int tag) {
  return EditControl(std::move(name), FormatByTag(value, tag), tag);
}

GridData MakeGrid(int cols, int rows, int fixed_cols) {
  GridData g;
  g.fixed_rows = 1;
  g.fixed_cols = fixed_cols;
  g.SetColCount(cols);
  g.SetRowCount(rows);
  return g;
}

}  // namespace

FormState DefaultMainForm() {
  FormState f;
  f.section = "Fm_MAIN";
  f.extras.push_back(CheckBoxControl("PrintSwK", false));
  f.extras.push_back(CheckBoxControl("PrintSwT", false));
  return f;
}

FormState DefaultModelForm() {
  FormState f;
  f.section = "Fm11MDL";
  auto& c = f.controls;
  c.push_back(CheckBoxControl("CbxLock", false));
  c.push_back(Num("ModelIndex", "0", 50));
  c.push_back(Num("BlockIndex", "0", 50));
  c.push_back(Num("SlabuIndex", "0", 50));
  c.push_back(EditControl("EdModelName", ""));
  c.push_back(RadioButtonControl("RbYoko", "direction", true));
  c.push_back(RadioButtonControl("RbTate", "direction", false));
  c.push_back(Num("EdBlockDepth", "0.50", 73));
  c.push_back(Num("EdWaterH0", "0.8", 73));
  c.push_back(Num("EdWaterH1", "0.6", 73));
  c.push_back(Num("EdWaterH2", "0.5", 73));
  c.push_back(RadioButtonControl("RbWaterDepthON", "water", false));
  c.push_back(Num("EdWaterDepth", "3.50", 73));
  c.push_back(RadioButtonControl("Rb_2d", "shear", false));
  c.push_back(RadioButtonControl("Rb_h2", "shear", true));
  c.push_back(Num("Ed_blkB", "2.0", 63));
  c.push_back(Num("Ed_blkH", "1.5", 63));
  c.push_back(Num("Ed_blkL", "2.0", 63));
  c.push_back(Num("Ed_Kp", "30", 40));
  c.push_back(Num("Ed_Kg", "50", 40));
  c.push_back(EditControl("EdWaterBlk", "N"));
  c.push_back(Num("Ed_slbW", "3.0", 63));
  c.push_back(Num("Ed_slbL", "2.0", 63));
  c.push_back(Num("Ed_slbSu", "1", 50));
  c.push_back(Num("Ed_blkSu", "1", 50));
  c.push_back(Num("Ed_invH", "0.130", 63));
  c.push_back(Num("Ed_narH", "0.020", 63));
  c.push_back(Num("Ed_slbH", "0.300", 63));
  c.push_back(CheckBoxControl("CbTate", true));
  c.push_back(Num("Ed_wl_a", "0.450", 63));
  c.push_back(Num("Ed_wl_b", "0.650", 63));
  c.push_back(Num("Ed_tateSu", "1", 50));
  // Lists filled at run time; the hidden carriers above store their indexes.
  f.extras.push_back(
      DropDownControl("CoBox0", {kFacilityTypeNames.begin(), kFacilityTypeNames.end()}, 0));
  f.extras.push_back(DropDownControl("CoBox1", {}, 0));
  f.extras.push_back(DropDownControl("CoBox2", {}, 0));
  f.extras.push_back(RadioButtonControl("RbWaterDepthOff", "water", true));
  return f;
}

void ResetGroundGrid(GridData& grid) {
  grid.fixed_rows = 1;
  grid.fixed_cols = 1;
  grid.SetColCount(std::max(grid.col_count(), kGroundGridCols));
  grid.SetRowCount(kGroundGridRows);
  SetupGridHeader(grid, 0, kGroundGridHeaderSpec, FixedWidthMeasure());
  for (int r = 1; r < kGroundGridRows; ++r) grid.SetCell(0, r, Format("%d", r));
}

FormState DefaultGroundForm() {
  FormState f;
  f.section = "Fm12JBN";
  GridData grid = MakeGrid(kGroundGridCols, kGroundGridRows, 1);
  ResetGroundGrid(grid);
  f.controls.push_back(GridControl("Grid1", std::move(grid), kGroundGridRows));
  f.controls.push_back(CheckBoxControl("CbEnterDown", false));
  return f;
}

FormState DefaultDimensionsForm() {
  FormState f;
  f.section = "Fm13SiZ";
  f.controls.push_back(GridControl("Grid_Blk", MakeGrid(32, 2, 0), kMaxBlocks + 1));
  return f;
}

FormState DefaultPointsForm() {
  FormState f;
  f.section = "Fm14POS";
  GridData members = MakeGrid(14, 2, 5);
  const std::array<std::pair<int, const char*>, 14> member_cols = {{{54, "部材No"},
                                                                    {40, "I端"},
                                                                    {40, "J端"},
                                                                    {76, "部材長(m)"},
                                                                    {200, "(部材種類)・名称"},
                                                                    {57, "着目点"},
                                                                    {57, "I'→2"},
                                                                    {57, "→3"},
                                                                    {57, "→4"},
                                                                    {30, "---"},
                                                                    {57, "4←"},
                                                                    {57, "3←"},
                                                                    {57, "2←"},
                                                                    {57, "1←J'"}}};
  for (int j = 0; j < 14; ++j) {
    members.col_widths[j] = member_cols[j].first;
    members.SetCell(j, 0, member_cols[j].second);
  }
  members.SetCell(0, 1, "1");
  GridData nodes = MakeGrid(4, 2, 1);
  const std::array<std::pair<int, const char*>, 4> node_cols = {
      {{32, "No"}, {72, "x"}, {64, "y"}, {0, ""}}};
  for (int j = 0; j < 4; ++j) {
    nodes.col_widths[j] = node_cols[j].first;
    nodes.SetCell(j, 0, node_cols[j].second);
  }
  nodes.SetCell(0, 1, "1");
  f.controls.push_back(GridControl("Grid_Bzi", std::move(members), kMaxMembers + 1));
  f.controls.push_back(GridControl("Grid_Pos", std::move(nodes), kMaxNodes + 1));
  return f;
}

FormState DefaultLoadsForm() {
  FormState f;
  f.section = "Fm15KAJ";
  auto& c = f.controls;
  c.push_back(Num("Ed_Kah", "0.50", 62));
  c.push_back(Num("Ed_Kav", "0.50", 62));
  c.push_back(Num("Ed_Gst", "22.00", 62));
  c.push_back(Num("Ed_Gsw", "22.00", 62));
  c.push_back(Num("Ed_C", "10.00", 62));
  c.push_back(Num("Ed_Fi", "22.00", 62));
  // The unit weight of water is a physical constant; the form's placeholder
  // of 22 kN/m3 would more than double every water pressure.
  c.push_back(Num("Ed_Gw", "9.80", 62));
  c.push_back(CheckBoxControl("PhUm", false));
  c.push_back(CheckBoxControl("PhSo", false));
  c.push_back(Num("Ed_q", "10.00", 72));
  c.push_back(Num("Ed_ps", "100.00", 72));
  c.push_back(Num("Ed_pb", "100.00", 72));
  c.push_back(Num("Ed_tate_q", "10.10", 72));
  c.push_back(RadioButtonControl("RbCalcHenni", "method", true));
  c.push_back(RadioButtonControl("RbCalcSindo", "method", false));
  c.push_back(RadioGroupControl("GBoxTiku", {"A1", "A2", "B1", "B2", "C"}, 4));
  c.push_back(RadioGroupControl("GBoxBaneSiki", {"地中式", "道路橋式", "ＦＥＭ", "任意"}, 1));
  c.push_back(RadioGroupControl("GBoxSisin", {"駐車場指針", "下水道指針"}, 1));
  c.push_back(RadioGroupControl("RgKea3", {"粘性土", "砂及び砂れき", "砂質土"}, 0));
  c.push_back(RadioGroupControl("RgCs", {"しない(Ｃs=1.0)", "する(Ｃs=0.45)"}, 1));
  c.push_back(Num("Ed_Ad1", "0.50", 62));
  c.push_back(Num("Ed_Ad2", "0.50", 62));
  c.push_back(CheckBoxControl("CbAv10m", false));
  c.push_back(RadioButtonControl("RbEo1", "eo", false));
  c.push_back(RadioButtonControl("RbEo2", "eo", true));
  c.push_back(RadioButtonControl("RbEo3", "eo", false));
  c.push_back(RadioButtonControl("RbEo4", "eo", false));
  c.push_back(Num("Ed_Eoh", "30000", 60));
  c.push_back(Num("Ed_Eov", "30000", 60));
  for (const char* dir : {"Yoko", "Tate"})
    for (const char* k : {"Kh", "Kv", "Kss", "Ksb"})
      for (const char* level : {"1", "2"})
        c.push_back(Num(std::string("Ed_") + dir + k + level, "123456", 80));
  for (const char* t : {"Tau", "Tab", "Tas"})
    for (const char* level : {"1", "2"})
      c.push_back(Num(std::string("Ed_") + t + level, "2.000", 83));
  f.extras.push_back(
      RadioGroupControl("RgSindoPa3", {"片側のみ作用", "両側に作用", "片側受動土圧"}, 1));
  f.extras.push_back(RadioGroupControl(
      "RgKajyuType",
      {"1) 自重",         "2) 静止土圧",    "3) 載荷荷重",        "4) 輪荷重",
       "5) 常時･外水圧",  "6) 常時･内水圧", "7) 任意活荷重",      "*)  ---",
       "*)  ---",         "8) 地震時･自重", "9) 地震時･静止土圧", "10) 地震時･外水圧",
       "11) L1･土圧",     "12) L1･慣性力",  "13) L1･周面ｾﾝ断",    "14) L1･静水圧",
       "15) L1･動水圧",   "*)  ---",        "20) L2･土圧",        "21) L2･慣性力",
       "22) L2･周面ｾﾝ断", "23) L2･静水圧",  "24) L2･動水圧",      "*)  ---"},
      1));
  f.extras.push_back(RadioButtonControl("RbYoko", "direction", true));
  f.extras.push_back(RadioButtonControl("RbTate", "direction", false));
  return f;
}

FormState DefaultMaterialForm() {
  FormState f;
  f.section = "Fm16KYD";
  auto& c = f.controls;
  // The strength lists are built from the master table when the section is read.
  for (int g = 1; g <= 4; ++g) c.push_back(DropDownControl(Format("Kjn%d", g), {}, 0));
  for (int g = 1; g <= 4; ++g) c.push_back(DropDownControl(Format("Syurui%d", g), {}, 0));
  struct Field {
    const char* name;
    const char* value;
    int tag;
  };
  static constexpr Field kColumn[] = {
      {"nSca", "14.00", 82}, {"nTa", "0.550", 83},  {"nSfa", "1.0", 82},    {"gSca", "21.00", 82},
      {"gTa", "0.825", 83},  {"gSfa", "1.0", 82},   {"nSsa", "160.00", 82}, {"gSsa", "240.00", 82},
      {"f1ck", "40.00", 82}, {"fyk", "240.00", 82}, {"fwyd", "240.00", 82}, {"Ec", "31000", 80},
      {"Gc", "24.50", 82},   {"Es", "200000", 80},
  };
  for (const Field& field : kColumn)
    for (int g = 1; g <= 4; ++g)
      c.push_back(Num(Format("%s%d", field.name, g), field.value, field.tag));
  c.push_back(Num("Gcm", "20.00", 82));
  // Index 0 is the rule a project file without the choice was computed by.
  c.push_back(RadioGroupControl("RgMudRule", {"偏心量一定", "軸力一定"}, 0));
  static constexpr const char* kFactors[] = {"Cgc", "Gs", "Gb", "Tc", "Ts", "Gf", "Pa",
                                             "Pw",  "Qu", "Pi", "Ip", "Ga", "Gi"};
  for (int col = 1; col <= 3; ++col)
    for (const char* name : kFactors) {
      const std::string key = Format("%s%d", name, col);
      const int tag = (key == "Cgc1" || key == "Gs1") ? 83 : 72;
      c.push_back(Num(key, "1.00", tag));
    }
  return f;
}

FormState DefaultMemberForceForm() {
  FormState f;
  f.section = "Fm31DAN";
  f.controls.push_back(RadioGroupControl(
      "RgKajyuType",
      {"1) 自重",        "2) 静止土圧",   "3) 載荷荷重",    "4) 輪荷重",       "5) 常時･外水圧",
       "6) 常時･内水圧", "7) 任意活荷重", "*)  ---",        "*)  ---",         "8) L1･自重",
       "9) L1･静止土圧", "10) L1･外水圧", "11) L1･土圧",    "12) L1･慣性力",   "13) L1･周面ｾﾝ断",
       "14) L1･静水圧",  "15) L1･動水圧", "*)  ---",        "17) L2･自重",     "18) L2･静止土圧",
       "19) L2･外水圧",  "20) L2･土圧",   "21) L2･慣性力",  "22) L2･周面ｾﾝ断", "23) L2･静水圧",
       "24) L2･動水圧",  "*)  ---",       "26) 組合せ常時", "27) 組合せＬ１",  "28) 組合せＬ２"},
      20));
  f.controls.push_back(
      RadioGroupControl("RgType2", {"ﾓｰﾒﾝﾄ図(Ｍz)", "せん断力図(Ｓy)", "軸力図(Ｎx)"}, 0));
  f.controls.push_back(
      RadioGroupControl("RgScale", {"標準", "x 2", "x 5", "x 10", "x 20", "x 30"}, 0));
  f.extras.push_back(RadioButtonControl("RbYoko", "direction", true));
  f.extras.push_back(RadioButtonControl("RbTate", "direction", false));
  return f;
}

FormState DefaultRcCheckForm() {
  FormState f;
  f.section = "Fm32OR1";
  return f;
}

FormState DefaultOtherChecksForm() {
  FormState f;
  f.section = "Fm33OR2";
  auto& c = f.controls;
  // Lists are built from the master tables the first time the section is read.
  c.push_back(DropDownControl("TBoltS", {}, 0));
  c.push_back(Num("p1Ed_Ps", "160.00", 82));
  c.push_back(Num("p1Ed_Sby", "160.00", 82));
  c.push_back(DropDownControl("TBoltK", {}, 0));
  c.push_back(Num("p2Ed_AB", "3.530", 81));
  c.push_back(Num("p2Ed_nB", "1.33", 82));
  c.push_back(DropDownControl("TMoltl", {}, 0));
  c.push_back(Num("p3Ed_Sga", "9.00", 82));
  c.push_back(Num("p3Ed_Ac", "2000", 80));
  c.push_back(DropDownControl("PcS", {}, 0));
  c.push_back(Num("p4Ed_Ppu", "930.00", 82));
  c.push_back(Num("p4Ed_Ppy", "1080.00", 82));
  c.push_back(Num("p5Ed_Po", "500.00", 82));
  c.push_back(Num("Ed_BlkWt", "3.530", 83));
  c.push_back(DropDownControl("p5Cb_PcNam", {}, 0));
  c.push_back(Num("p5Ed_Ap", "1.33", 82));
  c.push_back(Num("p5Ed_Np", "1.33", 82));
  c.push_back(Num("p6Ed_Ua1", "1.33", 82));
  c.push_back(Num("p6Ed_Ua2", "1.33", 82));
  c.push_back(DropDownControl("p8Cb_Nam", {}, 0));
  c.push_back(Num("p8Ed_As", "123.4", 81));
  c.push_back(Num("p8Ed_Ns", "16.00", 82));
  // The connection-strength group is never shown; its values are carried.
  c.push_back(DropDownControl("RBoltS", {" F8T"}, 0));
  c.push_back(DropDownControl("RBoltK", {" M12", " M16", " M20"}, 1));
  c.push_back(Num("p9Ed_Pr", "60.00", 82));
  c.push_back(RadioGroupControl("RBoltSu", {"4", "5", "6", "7"}, 0));
  c.push_back(DropDownControl("AncK", {}, 0));
  c.push_back(Num("AncL", "500", 60));
  c.push_back(Num("AncU", "40", 60));
  c.push_back(Num("AncH", "4", 60));
  c.push_back(Num("p9Ed_Ssa", "180.00", 82));
  c.push_back(Num("p9Ed_Toa", "1.60", 82));
  c.push_back(Num("Ed_ViK", "40.0", 51));
  c.push_back(DropDownControl("Cb_ViD", {}, 0));
  c.push_back(Num("Ed_ViN", "8.00", 62));
  c.push_back(Num("Ed_VoK", "40.0", 51));
  c.push_back(DropDownControl("Cb_VoD", {}, 0));
  c.push_back(Num("Ed_VoN", "8.00", 62));
  c.push_back(DropDownControl("Cb_HiDu", {}, 0));
  c.push_back(Num("Ed_HiNu", "8.00", 62));
  c.push_back(DropDownControl("Cb_HoDu", {}, 0));
  c.push_back(Num("Ed_HoNu", "8.00", 62));
  c.push_back(DropDownControl("Cb_HiDb", {}, 0));
  c.push_back(Num("Ed_HiNb", "8.00", 62));
  c.push_back(DropDownControl("Cb_HoDb", {}, 0));
  c.push_back(Num("Ed_HoNb", "8.00", 62));
  c.push_back(CheckBoxControl("CkYokoUti", false));
  c.push_back(RadioGroupControl("RHari12", {"単純梁", "二方向版"}, 0));
  return f;
}

FormState DefaultSectionDetailForm() {
  FormState f;
  f.section = "fmUtOryk";
  auto& c = f.controls;
  // The window's own initial texts, in tab order.
  c.push_back(EditControl("edM", "4931.8", 93));
  c.push_back(EditControl("edN", "212.46", 93));
  c.push_back(EditControl("edS", "0", 93));
  c.push_back(EditControl("edGmc", "1", 72));
  c.push_back(EditControl("edGms", "1", 72));
  c.push_back(EditControl("edGmbm", "1", 72));
  c.push_back(EditControl("edGmbc", "1", 72));
  c.push_back(EditControl("edGmbs", "1", 72));
  c.push_back(EditControl("edFdck", "24", 83));
  c.push_back(EditControl("edFyk", "345", 82));
  c.push_back(EditControl("edFdcd", "24", 83));
  c.push_back(EditControl("edFwyd", "  345.00", 82));
  c.push_back(EditControl("edFyd", "24", 82));
  c.push_back(EditControl("edEc", "2067", 80));
  c.push_back(EditControl("edEs", "31000", 80));
  c.push_back(EditControl("edEN", "15", 82));
  c.push_back(EditControl("edB", "2500", 70));
  c.push_back(EditControl("edH", "2500", 70));
  c.push_back(EditControl("edDd1", "40", 71));
  c.push_back(EditControl("edDd2", "40", 71));
  c.push_back(EditControl("edAs1", "6353.6", 81));
  c.push_back(EditControl("edAs2", "6353.6", 81));
  c.push_back(EditControl("edAw", "0", 81));
  c.push_back(EditControl("edSs", "100", 70));
  c.push_back(EditControl("edThs", "90", 81));
  c.push_back(CheckBoxControl("CbFig1", true));
  c.push_back(CheckBoxControl("CbFig2", true));
  c.push_back(CheckBoxControl("CkTaH2", false));
  return f;
}

ProjectState::ProjectState()
    : main(DefaultMainForm()),
      model(DefaultModelForm()),
      ground(DefaultGroundForm()),
      dimensions(DefaultDimensionsForm()),
      points(DefaultPointsForm()),
      loads(DefaultLoadsForm()),
      material(DefaultMaterialForm()),
      member_force(DefaultMemberForceForm()),
      rc_check(DefaultRcCheckForm()),
      other_checks(DefaultOtherChecksForm()),
      section_detail(DefaultSectionDetailForm()) {}

ProjectState DefaultProjectState() {
  return ProjectState();
}

int FacilityTypeIndex(const ProjectState& state) {
  return std::clamp(ReadInt(state.model.Text("ModelIndex")), 0, 2);
}

}  // namespace vaultra
