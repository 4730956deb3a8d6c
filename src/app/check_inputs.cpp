#include "app/check_inputs.h"

#include "core/number.h"

namespace vaultra {

namespace {
double Value(const FormState& f, const char* name, int g) {
  const Control* c = f.Find(Format("%s%d", name, g));
  return c ? ReadReal(c->text) : 0.0;
}
}  // namespace

CheckMaterial CheckMaterialFromForm(const FormState& f, int g) {
  CheckMaterial m;
  const Control* kjn = f.Find(Format("Kjn%d", g));
  m.sigma_ck = kjn ? ReadReal(kjn->SelectedText()) : 0.0;
  m.normal = {Value(f, "nSca", g), Value(f, "nTa", g), Value(f, "nSsa", g)};
  m.seismic = {Value(f, "gSca", g), Value(f, "gTa", g), Value(f, "gSsa", g)};
  m.Ec = Value(f, "Ec", g);
  m.Es = Value(f, "Es", g);
  m.fck = Value(f, "f1ck", g);
  m.fyk = Value(f, "fyk", g);
  m.fwyk = Value(f, "fwyd", g);
  return m;
}

std::array<CheckMaterial, 4> CheckMaterialsFromForm(const FormState& f) {
  std::array<CheckMaterial, 4> out;
  for (int g = 1; g <= 4; ++g) out[static_cast<std::size_t>(g - 1)] = CheckMaterialFromForm(f, g);
  return out;
}

std::array<SafetyFactorRow, 3> SafetyFactorsFromForm(const FormState& f) {
  static constexpr const char* kFactors[13] = {"Cgc", "Gs", "Gb", "Tc", "Ts", "Gf", "Pa",
                                               "Pw",  "Qu", "Pi", "Ip", "Ga", "Gi"};
  std::array<SafetyFactorRow, 3> rows;
  for (int c = 1; c <= 3; ++c)
    for (int i = 0; i < 13; ++i)
      rows[static_cast<std::size_t>(c - 1)].f[static_cast<std::size_t>(i)] =
          Value(f, kFactors[i], c);
  return rows;
}

}  // namespace vaultra
