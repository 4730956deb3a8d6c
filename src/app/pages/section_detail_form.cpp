#include "app/pages/section_detail_form.h"

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

}  // namespace vaultra
