// Random sections and forces, including zero, negative and crossing values:
// every routine must return finite numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "checks/capacity.h"
#include "checks/check_point.h"
#include "checks/section_stress.h"

namespace vaultra {
namespace {

TEST(FiniteResults, RandomSectionsNeverGiveNaNOrInfinity) {
  std::mt19937 rng(20261209);
  auto pick = [&](std::initializer_list<double> special, double lo, double hi) {
    std::uniform_int_distribution<int> which(0, static_cast<int>(special.size()));
    const int i = which(rng);
    if (i < static_cast<int>(special.size())) return *(special.begin() + i);
    return std::uniform_real_distribution<double>(lo, hi)(rng);
  };
  for (int iter = 0; iter < 4000; ++iter) {
    const double H = pick({0, 1, 300}, -10, 3000);
    const double b = pick({0, 1000}, -10, 3000);
    const double cc = pick({0, 50, H / 2, H}, -10, 400);
    const double ct = pick({0, 50, H / 2, H}, -10, 400);
    const double Asc = pick({0, 0.5, 2000}, 0, 20000);
    const double Ast = pick({0, 0.5, 2000}, 0, 20000);
    const double M = pick({0, 1e-3, -1e-3}, -2000, 2000);    // kN·m
    const double N = pick({0, 1e-3, -1e-3}, -20000, 20000);  // kN
    const double S = pick({0}, -3000, 3000);                 // kN

    SectionStressInput in{H, H, b, 15, cc, Asc, ct, Ast, M * 1e6, S * 1e3, N * 1e3, iter % 2 == 0};
    const SectionStressResult st = SectionStress(in);
    for (double v : {st.sigma_c, st.sigma_s, st.tau, st.x, st.j}) {
      ASSERT_TRUE(std::isfinite(v)) << iter;
    }
    UltimateParams p;
    const UltimateFlexureResult uf = UltimateFlexure(p, H, b, cc, Asc, ct, Ast, M, N);
    ASSERT_TRUE(std::isfinite(uf.Nud) && std::isfinite(uf.Mud)) << iter;
    const ShearCapacityResult sc =
        ShearCapacity(p, Asc / 10, H, b, cc, Asc, ct, Ast, M, N, 345, 150);
    ASSERT_TRUE(std::isfinite(sc.Vcd) && std::isfinite(sc.Vsd)) << iter;

    CheckPointRecord row;
    row.k[1] = row.k[2] = H;
    row.k[4] = b;
    row.k[10] = cc;
    row.k[12] = Asc;
    row.k[18] = ct;
    row.k[20] = Ast;
    row.k[23] = 150;
    row.k[25] = Asc / 10;
    row.M = M;
    row.S = S;
    row.N = N;
    row.shear_correction = iter % 3 == 0;
    row.l2_shear_check = true;
    CheckPointContext ctx;
    ctx.Cs = 0.45;
    CheckPoint(row, iter % 3, ctx);
    for (double v : {row.ratio, row.ratio_flexure, row.ratio_shear, row.req_stirrup, row.Vmu,
                     row.tau_a, row.Mrd}) {
      ASSERT_TRUE(std::isfinite(v)) << iter;
    }
  }
}

}  // namespace
}  // namespace vaultra
