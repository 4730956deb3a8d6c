#include "app/pages/material_inputs.h"

#include "core/number.h"

namespace vaultra {

void CommitMaterialInputs(const FormState& f, MaterialsRecord& r) {
  auto real = [&](const std::string& name) {
    const Control* c = f.Find(name);
    return c ? ReadReal(c->text) : 0.0;
  };
  for (int g = 1; g <= 4; ++g) {
    MaterialColumn& m = r.columns.at(static_cast<std::size_t>(g));
    const std::string s = std::to_string(g);
    const Control* kind = f.Find("Syurui" + s);
    m.rebar = kind ? kind->SelectedText() : std::string();
    const Control* kjn = f.Find("Kjn" + s);
    m.sigma_ck = kjn ? ReadReal(kjn->SelectedText()) : 0.0;
    m.n_sca = real("nSca" + s);
    m.n_ta = real("nTa" + s);
    m.n_sfa = real("nSfa" + s);
    m.g_sca = real("gSca" + s);
    m.g_ta = real("gTa" + s);
    m.g_sfa = real("gSfa" + s);
    m.f1ck = real("f1ck" + s);
    m.n_ssa = real("nSsa" + s);
    m.g_ssa = real("gSsa" + s);
    m.fyk = real("fyk" + s);
    m.fwyd = real("fwyd" + s);
    m.gamma_c = real("Gc" + s);
    m.ec = real("Ec" + s);
    m.es = real("Es" + s);
  }
  r.gamma_plain = real("Gcm");
  const Control* rule = f.Find("RgMudRule");
  r.flexure_rule = rule && rule->index == 1 ? 1 : 0;
  for (int c = 1; c <= kSafetyFactorColumns; ++c)
    for (int k = 1; k <= kSafetyFactors; ++k)
      r.factors.at(static_cast<std::size_t>(c)).at(static_cast<std::size_t>(k)) =
          real(std::string(kSafetyFactorNames[k - 1]) + std::to_string(c));
}

}  // namespace vaultra
