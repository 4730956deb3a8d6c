// The model page's logic without its window: the product lists from the
// catalogue, the model record taken from the controls with its clamps, the
// rules that invalidate the block row or the member table, and the model
// update that regenerates the transverse structure model.
#pragma once

#include <string>
#include <vector>

#include "inputs/input_records.h"
#include "inputs/master_data.h"
#include "app/document/project_state.h"
#include "model/geometry.h"
#include "model/section_records.h"

namespace vaultra {

// Colours of a committed field's text.
constexpr int kColourClamped = 255;
constexpr int kColourNormal = 0;

// What one commit of the model page did.
struct ModelCommit {
  std::vector<std::string> clamped;  // names of fields whose value was clamped (shown red)
  bool block_row_invalidated = false;
  bool member_table_invalidated = false;
  int section_flags = 0;  // RebuildSectionRecords bits run by the commit
};

// The listed rows of the block table of a facility type (0 stand, 1 box,
// 2 mini-gate, which lists the box rows) and their item texts.
std::vector<ProductRecord> BlockTableRows(const MasterData& md, int type_index);
std::string BlockListItem(int n, int type_index, const ProductRecord& row);
// The slab rows for the chosen block row's length and the layout.
std::vector<ProductRecord> SlabTableRows(const MasterData& md, int type_index, double block_length);
std::string SlabListItem(int n, const ProductRecord& row);

// Refill the lists (CoBox1, CoBox2) and the current tables, keeping the
// list indexes as they stand.
void RefillBlockList(FormState& form, ModelRecord& rec, const MasterData& md);
void RefillSlabList(FormState& form, ModelRecord& rec, const MasterData& md);

// Events of the page.
void TypeChanged(ProjectState& state, const MasterData& md);   // CoBox0Change
void BlockChanged(ProjectState& state, const MasterData& md);  // CoBox1Change
void SlabChanged(ProjectState& state);                         // CoBox2Change
// Rb_2dClick: the shear check position changed; the geometry is recomputed
// and the material page's master values of the new position are restored.
void ShearPositionChanged(ProjectState& state, const MasterData& md);
// What the page shows for the layout and the lock (captions as the system
// writes them, cp932).
struct ModelPageView {
  bool locked = false;
  int lock_caption_colour = 0;         // red (255) when locked, silver (12632256) otherwise
  bool product_groups_enabled = true;  // CoBox0 and the block and slab groups
  bool show_blkB = false, show_blkH = true, show_blkL = false;
  bool show_blkSu = false, show_slbSu = false;
  std::string label_first;        // over the first shown of Ed_blkB / Ed_blkH
  std::string label_second;       // over the second
  std::string block_list_header;  // "寸法(B×H)" or "寸法(H×L)"
  std::string depth_note;         // lbDepth2
  std::string precast_cover_label;
};
ModelPageView ModelPageState(const FormState& form);

// Enter (FormShow 2): the lists show the record's choices.
void EnterModelPage(ProjectState& state);

// CommitInputs of the model page.
ModelCommit CommitModelInputs(ProjectState& state, const MasterData& md);

// The facility input the generation reads, from the model record.
FacilityInput FacilityInputOf(const ModelRecord& rec);
SectionInput SectionInputOf(const FormState& model_form, const ModelRecord& rec);

// UpdateModel: rebuilds the block row when it is invalid (then every section
// record), the members when the table is invalid, and the geometry; after a
// rebuild from the model page the end-wall thicknesses follow the product. When
// the generation refuses, the previous model is restored from `last_good`
// and the reason returned (cp932); an empty text means success.
struct ModelSnapshot {
  bool valid = false;
  BlockRow row;
  StructureModel transverse;
};
std::string UpdateModel(ProjectState& state, const MasterData& md, bool from_dimensions_page,
                        ModelSnapshot* last_good);

// The end-wall thicknesses of the model page from the end-wall record of the
// product's arrangement code (record 1 when none matches).
void ResetEndWallThickness(ProjectState& state, const MasterData& md);
// That end-wall record; null when the master has no end-wall table.
const EndWallRecord* ProductEndWallRecord(const ProjectState& state, const MasterData& md);

// The longitudinal model from the block row and the transverse model (after
// a project file was read, so that it is shown and saved without a run).
void BuildLongitudinalModel(ProjectState& state);

// Regenerates the members from the block row as read from a file, then the
// geometry (loading).
std::string RegenerateFromBlockRow(ProjectState& state);

// ComputeMemberGeometry for the project.
void ComputeProjectGeometry(ProjectState& state);

}  // namespace vaultra
