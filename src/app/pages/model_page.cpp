#include "app/pages/model_page.h"

#include <algorithm>
#include <cmath>

#include "app/pages/material_page.h"
#include "app/pages/other_checks_page.h"
#include "core/cp932.h"
#include "core/format_by_tag.h"
#include "core/number.h"
#include "model/longitudinal.h"

namespace vaultra {

namespace {

const FixedTable<ProductRecord, 80>* StandTable(const MasterData& md) {
  return &md.stand;
}

template <typename Table>
std::vector<ProductRecord> ListedRows(const Table& table) {
  std::vector<ProductRecord> rows;
  for (const ProductRecord& r : table) {
    if (r.set1.H() == 0) break;
    rows.push_back(r);
  }
  return rows;
}

int ClampIndex(int index, std::size_t size) {
  if (size == 0) return -1;
  return std::clamp(index, 0, static_cast<int>(size) - 1);
}

// Reads numeric fields, clamps them and remembers which ones were clamped.
struct FieldReader {
  const FormState& f;
  std::vector<std::string>& clamped;

  double Real(const char* name, double lo, double hi) {
    const double v = ReadReal(f.Text(name));
    const double c = std::clamp(v, lo, hi);
    if (c != v) clamped.push_back(name);
    return c;
  }
  int Int(const char* name, int lo, int hi) {
    const int v = ReadInt(f.Text(name));
    const int c = std::clamp(v, lo, hi);
    if (c != v) clamped.push_back(name);
    return c;
  }
};

}  // namespace

std::vector<ProductRecord> BlockTableRows(const MasterData& md, int type_index) {
  if (type_index == 0) return ListedRows(*StandTable(md));
  return ListedRows(md.box);  // the mini-gate lists the box products
}

std::string BlockListItem(int n, int type_index, const ProductRecord& row) {
  const bool box = type_index != 0;
  const double v1 = box ? row.set1.B() : row.set1.H();
  const double v2 = box ? row.set1.H() : row.set1.L();
  return Format(" %.2d %4.1f ×%4.1f    %s", n, v1, v2, row.sub_kind == 'W' ? "有り" : "なし");
}

std::vector<ProductRecord> SlabTableRows(const MasterData& md, int type_index,
                                         double block_length) {
  const char wanted = type_index == 0 ? 'S' : 'B';
  std::vector<ProductRecord> rows;
  for (const ProductRecord& r : md.slab) {
    if (r.set1.B() == 0) break;
    if (r.set1.L() == block_length && r.sub_kind == wanted) rows.push_back(r);
  }
  return rows;
}

std::string SlabListItem(int n, const ProductRecord& row) {
  return Format(" %.2d %4.1f ×%4.1f (m)", n, row.set1.B(), row.set1.L());
}

void RefillBlockList(FormState& form, ModelRecord& rec, const MasterData& md) {
  const int type = std::clamp(form.Index("CoBox0"), 0, 2);
  rec.block_table = BlockTableRows(md, type);
  std::vector<std::string> items;
  for (std::size_t i = 0; i < rec.block_table.size(); ++i)
    items.push_back(BlockListItem(static_cast<int>(i) + 1, type, rec.block_table[i]));
  Control& list = form.At("CoBox1");
  const int index = list.index;
  list.items = std::move(items);
  list.index = ClampIndex(index, list.items.size());
}

void RefillSlabList(FormState& form, ModelRecord& rec, const MasterData& md) {
  const int type = std::clamp(form.Index("CoBox0"), 0, 2);
  const int block = form.Index("CoBox1");
  const double length = (block >= 0 && block < static_cast<int>(rec.block_table.size()))
                            ? rec.block_table[static_cast<std::size_t>(block)].set1.L()
                            : 0.0;
  rec.slab_table = SlabTableRows(md, type, length);
  std::vector<std::string> items;
  for (std::size_t i = 0; i < rec.slab_table.size(); ++i)
    items.push_back(SlabListItem(static_cast<int>(i) + 1, rec.slab_table[i]));
  Control& list = form.At("CoBox2");
  const int index = list.index;
  list.items = std::move(items);
  list.index = ClampIndex(index, list.items.size());
}

void TypeChanged(ProjectState& state, const MasterData& md) {
  FormState& f = state.model;
  ModelRecord& rec = state.records.model;
  const int index = std::clamp(f.Index("CoBox0"), 0, 2);
  rec.type_list_index = index;
  rec.facility_type = std::min(index, 1);
  RefillBlockList(f, rec, md);
  f.At("CoBox1").index = rec.block_table.empty() ? -1 : 0;
  BlockChanged(state, md);
}

void BlockChanged(ProjectState& state, const MasterData& md) {
  FormState& f = state.model;
  ModelRecord& rec = state.records.model;
  const int index = f.Index("CoBox1");
  rec.block_row_index = index;
  if (index >= 0 && index < static_cast<int>(rec.block_table.size())) {
    const ProductRecord& row = rec.block_table[static_cast<std::size_t>(index)];
    SetNumberByTag(f, "Ed_blkB", row.set1.B());
    SetNumberByTag(f, "Ed_blkH", row.set1.H());
    SetNumberByTag(f, "Ed_blkL", row.set1.L());
    f.SetText("EdWaterBlk", row.sub_kind == 'W' ? "W" : "N");
  }
  SetNumberByTag(f, "Ed_Kp", 30);
  SetNumberByTag(f, "Ed_Kg", 60);
  RefillSlabList(f, rec, md);
  int slab = rec.slab_table.empty() ? -1 : 0;
  for (std::size_t i = 0; i < rec.slab_table.size(); ++i)
    if (rec.slab_table[i].set1.B() < 4.1) slab = static_cast<int>(i);
  f.At("CoBox2").index = slab;
  SlabChanged(state);
  SetNumberByTag(f, "Ed_slbL", state.block_row.At(1).working_set.L());
  SetNumberByTag(f, "Ed_tateSu", 10);
}

void SlabChanged(ProjectState& state) {
  FormState& f = state.model;
  ModelRecord& rec = state.records.model;
  const int index = f.Index("CoBox2");
  rec.slab_row_index = index;
  if (index >= 0 && index < static_cast<int>(rec.slab_table.size())) {
    const ProductRecord& row = rec.slab_table[static_cast<std::size_t>(index)];
    SetNumberByTag(f, "Ed_slbW", row.set1.B());
    SetNumberByTag(f, "Ed_slbL", row.set1.L());
  }
  state.transverse.real_block_count = 0;
}

ModelPageView ModelPageState(const FormState& f) {
  ModelPageView v;
  v.locked = f.Checked("CbxLock");
  v.lock_caption_colour = v.locked ? kColourClamped : 12632256;
  v.product_groups_enabled = !v.locked;
  const bool box = f.Index("CoBox0") != 0;
  v.show_blkB = box;
  v.show_blkH = true;
  v.show_blkL = !box;
  v.show_blkSu = box;
  v.show_slbSu = !box;
  v.label_first = box ? "ﾌﾞﾛｯｸの内幅  (B)" : "ﾌﾞﾛｯｸの内高  (H)";
  v.label_second = box ? "ﾌﾞﾛｯｸの内高  (H)" : "ﾌﾞﾛｯｸの有効長(L)";
  v.block_list_header = box ? "寸法(B×H)" : "寸法(H×L)";
  v.depth_note = box ? "(ボックス部の土被りとする)" : "(左端頂版の土被りとする)";
  v.precast_cover_label = std::string("ﾌﾟﾚｷｬｽﾄ 鉄筋") + "(純)" + "被ﾘ:";
  return v;
}

void ShearPositionChanged(ProjectState& state, const MasterData& md) {
  state.records.model.shear_at_2d = state.model.Checked("Rb_2d");
  ComputeProjectGeometry(state);
  ResetMaterialDefaults(state.material, md, state.model.Checked("Rb_2d"));
}

void EnterModelPage(ProjectState& state) {
  FormState& f = state.model;
  const ModelRecord& rec = state.records.model;
  f.At("CoBox0").index = rec.type_list_index;
  f.At("CoBox1").index = ClampIndex(rec.block_row_index, f.At("CoBox1").items.size());
  f.At("CoBox2").index = ClampIndex(rec.slab_row_index, f.At("CoBox2").items.size());
  bool changed = false;
  for (int k = 1; k <= state.transverse.block_count && k <= kMaxBlocks; ++k)
    if (!(state.block_row.At(k).working_set == state.block_row.At(k).default_set)) changed = true;
  f.At("CbxLock").checked = changed;
}

FacilityInput FacilityInputOf(const ModelRecord& rec) {
  FacilityInput in;
  in.layout = rec.facility_type == 0 ? kLayoutStand : kLayoutBox;
  in.centre_blocks = rec.centre_blocks;
  in.top_slabs = rec.top_slabs;
  in.end_set = rec.working_end;
  in.mid_set = rec.working_mid;
  in.slab_set = rec.working_slab;
  in.cover_depth = rec.cover_depth;
  in.shear_at_2d = rec.shear_at_2d;
  return in;
}

SectionInput SectionInputOf(const FormState& f, const ModelRecord& rec) {
  SectionInput in;
  in.layout = rec.facility_type == 0 ? 0 : 1;
  in.end_set = rec.working_end;
  in.slab_width = SlabWidthFromListItem(f.At("CoBox2").SelectedText());
  in.water = f.Text("EdWaterBlk") == "W";
  in.precast_cover = rec.precast_cover;
  in.cast_cover = rec.cast_cover;
  return in;
}

void ComputeProjectGeometry(ProjectState& state) {
  const ModelRecord& rec = state.records.model;
  ComputeMemberGeometry(rec.facility_type == 0 ? kLayoutStand : kLayoutBox, FacilityInputOf(rec),
                        state.block_row, state.transverse, state.longitudinal);
}

namespace {

int RebuildSections(ProjectState& state, const MasterData& md, int flags) {
  ModelRecord& rec = state.records.model;
  return RebuildSectionRecords(state.transverse, state.block_row, md,
                               SectionInputOf(state.model, rec), flags, rec.previous_code_width);
}

}  // namespace

ModelCommit CommitModelInputs(ProjectState& state, const MasterData& md) {
  FormState& f = state.model;
  ModelRecord& rec = state.records.model;
  StructureModel& tm = state.transverse;
  ModelCommit out;
  // The lists are filled from the catalogue when a project has just been read.
  if (f.At("CoBox1").items.empty()) RefillBlockList(f, rec, md);
  if (f.At("CoBox2").items.empty()) RefillSlabList(f, rec, md);

  FieldReader rd{f, out.clamped};
  const double B = rd.Real("Ed_blkB", 0.5, 10);
  const double H = rd.Real("Ed_blkH", 0.5, 10);
  rd.Real("Ed_blkL", 0.5, 10);
  const double W = rd.Real("Ed_slbW", 0.5, 10);
  const int centre = rd.Int("Ed_blkSu", kMinCentreBlocks, kMaxCentreBlocks);
  const int slabs = rd.Int("Ed_slbSu", kMinTopSlabs, kMaxTopSlabs);
  const double invert = rd.Real("Ed_invH", 0.01, 0.5);
  const double mortar = rd.Real("Ed_narH", 0, 0.1);
  const double bottom = rd.Real("Ed_slbH", 0.1, 2);
  const double wall_a = rd.Real("Ed_wl_a", 0.2, 2);
  const double wall_b = rd.Real("Ed_wl_b", 0.2, 5);
  const int tate = rd.Int("Ed_tateSu", 2, 50);
  const int kp = rd.Int("Ed_Kp", 30, 110);
  const int kg = rd.Int("Ed_Kg", 0, 110);

  // The type list position is compared with the stored position: a mini-gate
  // (position 2) is stored as the box type 1 but must not look changed.
  const int type_index = std::clamp(f.Index("CoBox0"), 0, 2);
  const int block_index = f.Index("CoBox1");
  if (type_index != rec.type_list_index || block_index != rec.block_row_index ||
      centre != rec.centre_blocks || slabs != rec.top_slabs) {
    tm.real_block_count = 0;
    out.block_row_invalidated = true;
  }
  if (B != rec.B || H != rec.H) {
    for (int k = 1; k <= tm.real_block_count && k <= kMaxBlocks; ++k) {
      DimensionSet& s = state.block_row.At(k).working_set;
      if (s.kind >= kBlockLeftEnd && s.kind <= kBlockRightEnd) {
        s.B() = B;
        s.H() = H;
      }
    }
    tm.member_count = 0;
    out.member_table_invalidated = true;
  }
  if (W != rec.W) {
    for (int k = 1; k <= tm.real_block_count && k <= kMaxBlocks; ++k) {
      DimensionSet& s = state.block_row.At(k).working_set;
      if (s.kind == kBlockSlab) s.B() = W;
    }
    tm.member_count = 0;
    out.member_table_invalidated = true;
  }
  rec.type_list_index = type_index;
  rec.facility_type = std::min(type_index, 1);
  rec.block_row_index = block_index;
  rec.slab_row_index = f.Index("CoBox2");
  rec.B = B;
  rec.H = H;
  rec.W = W;
  rec.centre_blocks = centre;
  rec.top_slabs = slabs;
  rec.invert = invert;
  rec.mortar = mortar;

  const ProductRecord none{};
  const ProductRecord& block_row =
      (block_index >= 0 && block_index < static_cast<int>(rec.block_table.size()))
          ? rec.block_table[static_cast<std::size_t>(block_index)]
          : none;
  rec.default_end = block_row.set1;
  rec.default_mid = block_row.set2;
  rec.working_end = rec.default_end;
  rec.working_mid = rec.default_mid;
  for (DimensionSet* s : {&rec.working_end, &rec.working_mid}) {
    s->B() = B;
    s->H() = H;
  }
  const int slab_index = rec.slab_row_index;
  const ProductRecord& slab_row =
      (slab_index >= 0 && slab_index < static_cast<int>(rec.slab_table.size()))
          ? rec.slab_table[static_cast<std::size_t>(slab_index)]
          : none;
  rec.default_slab = slab_row.set1;
  rec.working_slab = rec.default_slab;
  rec.working_slab.B() = W;
  rec.working_slab.c() = W - 2 * rec.working_slab.d();

  rec.shear_at_2d = f.Checked("Rb_2d");
  // The name is kept to 64 bytes without splitting a two-byte character.
  rec.name = TruncateBytes(f.Text("EdModelName"), kMaxModelNameBytes);

  int flags = 0;
  if (bottom != rec.bottom_slab) {
    rec.bottom_slab = bottom;
    flags |= kRebuildCovers;
  }
  if (kp != rec.precast_cover || kg != rec.cast_cover) {
    if ((kg == 0) != (rec.cast_cover == 0)) flags |= kRebuildBars;
    rec.precast_cover = kp;
    rec.cast_cover = kg;
    flags |= kRebuildCovers;
  }
  if (flags != 0 && tm.member_table_valid()) {
    RebuildSections(state, md, flags);
    out.section_flags = flags;
  }
  if (flags != 0) ComputeProjectGeometry(state);

  if (wall_a != rec.wall_upper || wall_b != rec.wall_lower || tate != rec.longitudinal_blocks) {
    rec.wall_upper = wall_a;
    rec.wall_lower = wall_b;
    rec.longitudinal_blocks = tate;
    rec.longitudinal_invalid = true;
  }
  rec.longitudinal_check = f.Checked("CbTate");
  rec.ground_water = f.Checked("RbWaterDepthON");
  rec.ground_water_depth = rec.ground_water ? ReadReal(f.Text("EdWaterDepth")) : 999;
  rec.cover_depth = ReadReal(f.Text("EdBlockDepth"));
  const double inner = std::max(0.0, tm.extents[7] - tm.extents[5]);
  const char* levels[3] = {"EdWaterH0", "EdWaterH1", "EdWaterH2"};
  for (int i = 0; i < 3; ++i)
    rec.water_level[i] = std::clamp(ReadReal(f.Text(levels[i])), 0.0, inner);
  return out;
}

const EndWallRecord* ProductEndWallRecord(const ProjectState& state, const MasterData& md) {
  const ModelRecord& rec = state.records.model;
  double previous = rec.previous_code_width;
  const std::string code = ArrangementCode(SectionInputOf(state.model, rec), previous);
  if (md.end_walls.count() == 0) return nullptr;
  int index = 1;
  for (int k = 1; k <= md.end_walls.count(); ++k)
    if (md.end_walls[k].name == code) {
      index = k;
      break;
    }
  return &md.end_walls[index];
}

void ResetEndWallThickness(ProjectState& state, const MasterData& md) {
  const EndWallRecord* wall = ProductEndWallRecord(state, md);
  if (!wall) return;
  SetNumberByTag(state.model, "Ed_wl_a", wall->thickness_upper);
  SetNumberByTag(state.model, "Ed_wl_b", wall->thickness_lower);
}

std::string UpdateModel(ProjectState& state, const MasterData& md, bool from_dimensions_page,
                        ModelSnapshot* last_good) {
  (void)from_dimensions_page;
  ModelRecord& rec = state.records.model;
  const UpdateResult u =
      UpdateModelGeometry(FacilityInputOf(rec), state.block_row, state.transverse);
  if (u.failed) {
    if (last_good && last_good->valid) {
      state.block_row = last_good->row;
      state.transverse = last_good->transverse;
    }
    return u.error;
  }
  if (u.block_row_rebuilt) RebuildSections(state, md, kRebuildBars | kRebuildCovers);
  ComputeProjectGeometry(state);
  if (!from_dimensions_page && (u.block_row_rebuilt || u.members_rebuilt))
    ResetEndWallThickness(state, md);
  // The other-checks page follows the model: a new product brings its joint
  // and end-wall defaults, every rebuilt member table its bar count ns.
  if (!from_dimensions_page && u.block_row_rebuilt) {
    ResetJointDefaults(state, md);
    if (const EndWallRecord* wall = ProductEndWallRecord(state, md))
      ResetEndWallDefaults(state, *wall, ReadReal(state.model.Text("Ed_wl_a")));
  }
  if (u.block_row_rebuilt || u.members_rebuilt) UpdateDistributionBarCount(state);
  if (last_good && state.transverse.member_table_valid()) {
    last_good->valid = true;
    last_good->row = state.block_row;
    last_good->transverse = state.transverse;
  }
  return {};
}

void BuildLongitudinalModel(ProjectState& state) {
  if (!state.transverse.member_table_valid()) return;
  const ModelRecord& rec = state.records.model;
  BuildLongitudinalMembers(rec.facility_type == 0 ? kLayoutStand : kLayoutBox, rec,
                           state.block_row, state.transverse, state.longitudinal);
  ComputeProjectGeometry(state);
}

std::string RegenerateFromBlockRow(ProjectState& state) {
  ModelRecord& rec = state.records.model;
  StructureModel& tm = state.transverse;
  if (!tm.block_row_valid()) return {};
  std::string error;
  const bool ok = rec.facility_type == 0 ? BuildStandMembers(state.block_row, tm, &error)
                                         : BuildBoxMembers(state.block_row, tm, &error);
  if (!ok) tm.member_count = 0;  // the model update rebuilds it from the model page
  ComputeProjectGeometry(state);
  return error;
}

}  // namespace vaultra
