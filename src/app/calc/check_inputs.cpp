#include "app/pages/material_inputs.h"
#include "app/calc/check_inputs.h"

namespace vaultra {

namespace {
MaterialsRecord Committed(const FormState& f) {
  MaterialsRecord rec;
  CommitMaterialInputs(f, rec);
  return rec;
}
}  // namespace

CheckMaterial CheckMaterialOf(const MaterialColumn& c) {
  CheckMaterial m;
  m.sigma_ck = c.sigma_ck;
  m.normal = {c.n_sca, c.n_ta, c.n_ssa};
  m.seismic = {c.g_sca, c.g_ta, c.g_ssa};
  m.Ec = c.ec;
  m.Es = c.es;
  m.fck = c.f1ck;
  m.fyk = c.fyk;
  m.fwyk = c.fwyd;
  return m;
}

std::array<CheckMaterial, 4> CheckMaterialsOf(const MaterialsRecord& rec) {
  std::array<CheckMaterial, 4> out;
  for (int g = 1; g <= 4; ++g)
    out[static_cast<std::size_t>(g - 1)] = CheckMaterialOf(rec.Column(g));
  return out;
}

std::array<SafetyFactorRow, 3> SafetyFactorsOf(const MaterialsRecord& rec) {
  std::array<SafetyFactorRow, 3> rows;
  for (int c = 1; c <= kSafetyFactorColumns; ++c)
    for (int k = 1; k <= kSafetyFactors; ++k)
      rows[static_cast<std::size_t>(c - 1)].f[static_cast<std::size_t>(k - 1)] =
          rec.factors.at(static_cast<std::size_t>(c)).at(static_cast<std::size_t>(k));
  return rows;
}

CheckMaterial CheckMaterialFromForm(const FormState& f, int g) {
  return CheckMaterialOf(Committed(f).Column(g));
}

std::array<CheckMaterial, 4> CheckMaterialsFromForm(const FormState& f) {
  return CheckMaterialsOf(Committed(f));
}

std::array<SafetyFactorRow, 3> SafetyFactorsFromForm(const FormState& f) {
  return SafetyFactorsOf(Committed(f));
}

}  // namespace vaultra
