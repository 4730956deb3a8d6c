#include "app/pages/section_detail_form.h"

#include "core/cp932.h"
#include "core/format_by_tag.h"

namespace vaultra {

namespace {

struct CheckBoxOf {
  const char* name;
  bool SectionDetailInputs::*field;
};
constexpr CheckBoxOf kBoxes[] = {{"CbFig1", &SectionDetailInputs::cb_fig1},
                                 {"CbFig2", &SectionDetailInputs::cb_fig2},
                                 {"CkTaH2", &SectionDetailInputs::ck_ta_h2}};

}  // namespace

SectionDetailInputs SectionDetailInputsOf(const FormState& form) {
  SectionDetailInputs in = SectionDetailInputs::Initial();
  for (int i = 0; i < kSdFieldCount; ++i)
    if (const Control* c = form.Find(SectionDetailFields()[i].name);
        c && c->kind == ControlKind::kEdit)
      in.text[i] = c->text;
  for (const CheckBoxOf& b : kBoxes)
    if (const Control* c = form.Find(b.name); c && c->kind == ControlKind::kCheckBox)
      in.*b.field = c->checked;
  return in;
}

void StoreSectionDetailInputs(const SectionDetailInputs& in, FormState& form) {
  for (int i = 0; i < kSdFieldCount; ++i)
    if (Control* c = form.Find(SectionDetailFields()[i].name); c && c->kind == ControlKind::kEdit)
      c->text = in.text[i];
  for (const CheckBoxOf& b : kBoxes)
    if (Control* c = form.Find(b.name); c && c->kind == ControlKind::kCheckBox)
      c->checked = in.*b.field;
}

bool TakeProjectMaterials(FormState& form, const MaterialsRecord& materials) {
  const auto& fields = SectionDetailFields();
  auto text = [&](int i) -> std::string* {
    Control* c = form.Find(fields[static_cast<std::size_t>(i)].name);
    return c && c->kind == ControlKind::kEdit ? &c->text : nullptr;
  };
  auto initial = [&](int i) {
    const std::string* t = text(i);
    return t && Trim(*t) == Trim(fields[static_cast<std::size_t>(i)].initial);
  };
  if (!initial(kSdEc) || !initial(kSdEs)) return false;
  const MaterialColumn& m = materials.columns[1];
  if (m.ec <= 0 || m.es <= 0) return false;
  const std::pair<int, double> values[] = {
      {kSdFdck, m.f1ck}, {kSdFyk, m.fyk}, {kSdFwyd, m.fwyd}, {kSdEc, m.ec}, {kSdEs, m.es}};
  for (const auto& [field, v] : values)
    if (std::string* t = text(field); t && v > 0)
      *t = NumberTextByTag(v, fields[static_cast<std::size_t>(field)].tag);
  return true;
}

}  // namespace vaultra
