#include "app/pages/material_inputs.h"
#include "app/pages/material_page.h"

#include <cmath>

#include "core/cp932.h"
#include "core/format_by_tag.h"
#include "core/number.h"

namespace vaultra {


namespace {

std::string WithoutBlanks(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ') out += c;
  return out;
}

// The master records up to the first one of class 0.
template <typename F>
void ForEachClass(const MasterData& md, F f) {
  for (const MaterialClass& m : md.materials) {
    if (m.class_number == 0) break;
    f(m);
  }
}

struct FieldColumn {
  const char* name;
  int column_2d;
  int column_h2;
};
constexpr FieldColumn kFields[] = {
    {"nSca", 4, 5},   {"nTa", 6, 7},    {"nSfa", 8, 8},   {"gSca", 9, 10},  {"gTa", 11, 12},
    {"gSfa", 13, 13}, {"f1ck", 14, 14}, {"nSsa", 15, 15}, {"gSsa", 16, 16}, {"fyk", 17, 17},
    {"fwyd", 18, 18}, {"Ec", 19, 19},   {"Gc", 20, 20},   {"Es", 21, 21},
};

}  // namespace

std::vector<std::string> StrengthList(const MasterData& md, int group) {
  std::vector<double> seen;
  std::vector<std::string> items;
  ForEachClass(md, [&](const MaterialClass& m) {
    if (m.class_number != group || static_cast<int>(items.size()) >= kMaxMaterialListEntries)
      return;
    for (double s : seen)
      if (std::fabs(s - m.strength) < 0.001) return;
    seen.push_back(m.strength);
    items.push_back(Format("%6.2f", m.strength));
  });
  return items;
}

std::vector<std::string> RebarTypeList(const MasterData& md, int group) {
  std::vector<std::string> items;
  ForEachClass(md, [&](const MaterialClass& m) {
    if (m.class_number != group || static_cast<int>(items.size()) >= kMaxMaterialListEntries)
      return;
    const std::string item = std::string(" ").append(TruncateBytes(m.name, kMaxRebarTypeBytes));
    for (const std::string& s : items)
      if (s == item) return;
    items.push_back(item);
  });
  return items;
}

void SetConcList(FormState& form, const MasterData& md) {
  for (int g = 1; g <= kMaterialGroups; ++g) {
    Control& k = form.At(Format("Kjn%d", g));
    const int ki = k.index;
    k.items = StrengthList(md, g);
    k.index = ki;
    Control& s = form.At(Format("Syurui%d", g));
    const int si = s.index;
    s.items = RebarTypeList(md, g);
    s.index = si;
  }
}

bool ViewKyoudo(FormState& form, const MasterData& md, int group, bool shear_at_2d) {
  const std::string strength = WithoutBlanks(form.At(Format("Kjn%d", group)).SelectedText());
  const std::string type = WithoutBlanks(form.At(Format("Syurui%d", group)).SelectedText());
  if (strength.empty() || type.empty()) return false;
  const double value = ReadReal(strength);
  const MaterialClass* found = nullptr;
  ForEachClass(md, [&](const MaterialClass& m) {
    if (!found && m.class_number == group && std::fabs(m.strength - value) < 0.001 &&
        TruncateBytes(m.name, kMaxRebarTypeBytes) == type)
      found = &m;
  });
  if (!found) return false;
  for (const FieldColumn& f : kFields) {
    Control& c = form.At(Format("%s%d", f.name, group));
    c.text = NumberTextByTag(found->Column(shear_at_2d ? f.column_2d : f.column_h2), c.tag);
  }
  return true;
}

void ResetMaterialDefaults(FormState& form, const MasterData& md, bool shear_at_2d) {
  for (int g = 1; g <= kMaterialGroups; ++g) ViewKyoudo(form, md, g, shear_at_2d);
}

void CommitMaterialInputs(ProjectState& state) {
  CommitMaterialInputs(state.material, state.records.materials);
}

}  // namespace vaultra
