// The material page's logic without its window: the strength-class and
// rebar-type lists of each member group from the catalogue, the master values
// of a group (ViewKyoudo), "既定値に戻す" and the materials record.
#pragma once

#include <string>
#include <vector>

#include "inputs/master_data.h"
#include "inputs/material_record.h"
#include "app/document/project_state.h"

namespace vaultra {

constexpr int kMaterialGroups = 4;
constexpr int kMaxMaterialListEntries = 32;
constexpr std::size_t kMaxRebarTypeBytes = 15;

// The lists of group g (1 .. 4).
std::vector<std::string> StrengthList(const MasterData& md, int group);
std::vector<std::string> RebarTypeList(const MasterData& md, int group);
// SetConcList: refills the eight lists, keeping the selected indexes.
void SetConcList(FormState& form, const MasterData& md);

// Fills group g's fields from the master record of its list choices; false
// (nothing changed) when no record matches.
bool ViewKyoudo(FormState& form, const MasterData& md, int group, bool shear_at_2d);
// "既定値に戻す": ViewKyoudo for the four groups.
void ResetMaterialDefaults(FormState& form, const MasterData& md, bool shear_at_2d);

// CommitInputs of the material page.
void CommitMaterialInputs(ProjectState& state);


}  // namespace vaultra
