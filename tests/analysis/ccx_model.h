// Writes a frame model as a CalculiX input (B31 beams in the x-y plane,
// out-of-plane motion restrained, every member cut into many elements,
// springs as SPRING1 elements), runs ccx and reads back the section forces
// and displacements. Independent of the solver: loads are lumped onto the
// fine mesh from their own definition here.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "model/frame_model.h"

namespace vaultra::testing {

inline bool HaveCcx() {
  return std::system("command -v ccx >/dev/null 2>&1") == 0;
}

struct CcxMember {
  std::vector<int> nodes;  // ccx node ids from the i-end to the j-end
  double length = 0;
  double c = 1, s = 0;
};

struct CcxRun {
  std::vector<CcxMember> members;                 // 1-based like the model
  std::map<int, std::array<double, 6>> sections;  // node -> section forces
  std::map<int, std::array<double, 3>> disp;      // node -> displacement
  std::string error;

  // Section values at position x of member e, interpolated between the two
  // mesh nodes around x: M, S, N in the sign convention of the solver.
  std::array<double, 3> At(int e, double x) const {
    const CcxMember& m = members[e];
    int n = static_cast<int>(m.nodes.size()) - 1;
    double t = x / m.length * n;
    int k = std::clamp(static_cast<int>(std::floor(t)), 0, n - 1);
    double f = t - k;
    auto get = [&](int node) { return sections.at(node); };
    auto a = get(m.nodes[k]), b = get(m.nodes[k + 1]);
    auto mix = [&](int comp) { return a[comp] * (1 - f) + b[comp] * f; };
    return {mix(4), mix(1), mix(2)};
  }
};

// Builds the ccx input of one load case of the model. nsub elements per
// member; distributed springs of the case's spring case are attached to
// every mesh node with their tributary length when fine_springs is set.
// ccx's beams deform in shear (they are solids underneath); shear_rigid
// gives the material a shear modulus of 100 E (engineering constants,
// Poisson's ratios 0), so that deep, short members bend as Euler-Bernoulli
// beams like the frame solver's.
inline std::string CcxInput(const FrameModel& model, int lc_index, int nsub, bool fine_springs,
                            CcxRun& run, bool shear_rigid = false) {
  std::ostringstream o;
  o.precision(15);
  const FrameLoadCase& lc = model.load_cases[lc_index];
  int next_node = 100000;
  std::vector<std::array<double, 3>> coords;  // for the extra nodes
  o << "*NODE\n";
  for (const auto& n : model.nodes) o << n.number << ", " << n.x << ", " << n.y << ", 0\n";
  run.members.assign(model.members.Count() + 1, {});
  std::ostringstream eq, elems, sect;
  int next_elem = 1;
  for (int e = 1; e <= model.members.Count(); ++e) {
    const FrameMember& fm = model.members[e];
    const FrameNode& a = model.nodes[fm.node_i];
    const FrameNode& b = model.nodes[fm.node_j];
    CcxMember& cm = run.members[e];
    double dx = b.x - a.x, dy = b.y - a.y;
    cm.length = std::hypot(dx, dy);
    cm.c = dx / cm.length;
    cm.s = dy / cm.length;
    for (int k = 0; k <= nsub; ++k) {
      bool end_i = k == 0, end_j = k == nsub;
      if ((end_i && fm.end_i == kEndRigid) || (end_j && fm.end_j == kEndRigid)) {
        cm.nodes.push_back(end_i ? a.number : b.number);
        continue;
      }
      int id = next_node++;
      double x = a.x + dx * k / nsub, y = a.y + dy * k / nsub;
      o << id << ", " << x << ", " << y << ", 0\n";
      cm.nodes.push_back(id);
      if (end_i || end_j) {  // hinge: translations tied to the joint
        int joint = end_i ? a.number : b.number;
        for (int dof = 1; dof <= 2; ++dof)
          eq << "*EQUATION\n2\n"
             << id << ", " << dof << ", 1.0, " << joint << ", " << dof << ", -1.0\n";
      }
    }
    elems << "*ELEMENT, TYPE=B31, ELSET=E" << e << "\n";
    for (int k = 0; k < nsub; ++k)
      elems << next_elem++ << ", " << cm.nodes[k] << ", " << cm.nodes[k + 1] << "\n";
    const FrameSection& sec = model.sections[fm.section];
    double h = std::sqrt(12 * sec.inertia / sec.area), w = sec.area / h;
    const double E = model.materials[fm.material].e;
    sect << "*MATERIAL, NAME=MAT" << e;
    if (shear_rigid)
      sect << "\n*ELASTIC, TYPE=ENGINEERING CONSTANTS\n"
           << E << ", " << E << ", " << E << ", 0, 0, 0, " << 100 * E << ", " << 100 * E << ",\n"
           << 100 * E << "\n";
    else
      sect << "\n*ELASTIC\n" << E << ", 0.0\n";
    sect << "*BEAM SECTION, ELSET=E" << e << ", MATERIAL=MAT" << e << ", SECTION=RECT\n"
         << w << ", " << h << "\n0, 0, 1\n";
  }
  o << elems.str() << sect.str() << eq.str();
  // Springs.
  std::ostringstream springs;
  int spring_set = 0;
  auto spring = [&](int node, int dof, double k) {
    if (k == 0) return;
    ++spring_set;
    springs << "*ELEMENT, TYPE=SPRING1, ELSET=K" << spring_set << "\n"
            << next_elem++ << ", " << node << "\n*SPRING, ELSET=K" << spring_set << "\n"
            << dof << "\n"
            << std::scientific << k << std::defaultfloat << "\n";
  };
  std::ostringstream bc;
  bc << "*NSET, NSET=NALL, GENERATE\n1, " << model.nodes.Count() << ", 1\n";
  if (next_node > 100000) bc << "100000, " << next_node - 1 << ", 1\n";
  if (model.support_cases.InRange(lc.support_case)) {
    for (const auto& su : model.support_cases[lc.support_case].supports) {
      switch (su.type) {
        case 1:
          bc << "*BOUNDARY\n" << su.node << ", 1, 2\n";
          break;
        case 2:
          bc << "*BOUNDARY\n" << su.node << ", 2, 2\n";
          break;
        case 3:
          bc << "*BOUNDARY\n" << su.node << ", 1, 1\n";
          break;
        case 4:
          bc << "*BOUNDARY\n" << su.node << ", 1, 2\n" << su.node << ", 6, 6\n";
          break;
        case 5:
          spring(su.node, 1, su.values[0]);
          spring(su.node, 2, su.values[1]);
          spring(su.node, 6, su.values[2]);
          break;
        default:
          break;
      }
    }
  }
  if (fine_springs && lc.spring_case > 0) {
    const FrameSpringCase& sc = model.spring_cases[lc.spring_case];
    for (const auto& sp : sc.springs) {
      const CcxMember& cm = run.members[sp.member];
      double hseg = cm.length / nsub;
      bool horizontal = std::fabs(cm.s) < 1e-12, vertical = std::fabs(cm.c) < 1e-12;
      if (!horizontal && !vertical) {
        run.error = "fine springs need members along the axes";
        return {};
      }
      for (int k = 0; k <= nsub; ++k) {
        double trib = (k == 0 || k == nsub) ? hseg / 2 : hseg;
        int normal_dof = horizontal ? 2 : 1, tangent_dof = horizontal ? 1 : 2;
        spring(cm.nodes[k], normal_dof, sp.k_normal * trib);
        spring(cm.nodes[k], tangent_dof, sp.k_tangent * trib);
      }
    }
  }
  // A joint where every member is hinged carries no element: its rotation
  // has no stiffness at all, and is held (its translations are tied to the
  // hinges' by the equations above).
  for (const auto& n : model.nodes) {
    bool used = false;
    for (int e = 1; e <= model.members.Count() && !used; ++e)
      used = std::find(run.members[e].nodes.begin(), run.members[e].nodes.end(), n.number) !=
             run.members[e].nodes.end();
    if (!used) bc << "*BOUNDARY\n" << n.number << ", 6, 6\n";
  }
  o << springs.str() << bc.str() << "*BOUNDARY\nNALL, 3, 5\n*STEP\n*STATIC\n";
  // Loads lumped onto the mesh nodes as statically equivalent nodal forces
  // (linear shape functions over each element).
  std::map<std::pair<int, int>, double> cload;
  for (const auto& it : lc.items) {
    int last = it.last_member == 0 ? it.first_member : it.last_member;
    for (int e = it.first_member; e <= last; ++e) {
      const CcxMember& cm = run.members[e];
      double L = cm.length, hseg = L / nsub;
      std::array<double, 2> t{cm.c, cm.s}, nrm{-cm.s, cm.c};
      std::array<double, 2> dir{0, 0};
      switch (it.type % 10) {
        case 1:
          dir = t;
          break;
        case 2:
          dir = nrm;
          break;
        case 3:
          dir = {1, 0};
          break;
        case 4:
          dir = {0, 1};
          break;
        default:
          break;
      }
      if (it.type >= 11 && it.type <= 14) {
        double h0 = it.d3, h1 = L - it.d4, len = h1 - h0;
        auto q = [&](double x) { return it.d1 + (it.d2 - it.d1) * (x - h0) / len; };
        for (int k = 0; k < nsub; ++k) {
          double x0 = std::max(k * hseg, h0), x1 = std::min((k + 1) * hseg, h1);
          if (x1 <= x0) continue;
          double g = 0.5 / std::sqrt(3.0);
          double fl = 0, fr = 0;
          for (double sgn : {-1.0, 1.0}) {
            double x = (x0 + x1) / 2 + sgn * g * (x1 - x0);
            double xi = (x - k * hseg) / hseg;
            fl += q(x) * (1 - xi) * (x1 - x0) / 2;
            fr += q(x) * xi * (x1 - x0) / 2;
          }
          for (int d = 0; d < 2; ++d) {
            cload[{cm.nodes[k], d + 1}] += fl * dir[d];
            cload[{cm.nodes[k + 1], d + 1}] += fr * dir[d];
          }
        }
      } else if (it.type >= 21 && it.type <= 24) {
        double tpos = it.d3 / hseg;
        int k = std::clamp(static_cast<int>(std::floor(tpos)), 0, nsub - 1);
        double xi = tpos - k;
        for (int d = 0; d < 2; ++d) {
          cload[{cm.nodes[k], d + 1}] += it.d1 * (1 - xi) * dir[d];
          cload[{cm.nodes[k + 1], d + 1}] += it.d1 * xi * dir[d];
        }
      } else if (it.type == 27) {
        int k = static_cast<int>(std::lround(it.d3 / hseg));
        cload[{cm.nodes[k], 6}] += it.d1;
      }
    }
  }
  o << "*CLOAD\n";
  for (const auto& [key, v] : cload)
    if (v != 0) o << key.first << ", " << key.second << ", " << v << "\n";
  o << "*NODE FILE\nU\n*EL FILE, SECTION FORCES, OUTPUT=2D\nS\n*END STEP\n";
  return o.str();
}

inline std::map<int, std::array<double, 6>> ParseFrdBlock(const std::string& frd,
                                                          const std::string& name) {
  std::map<int, std::array<double, 6>> out;
  std::istringstream in(frd);
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (line.rfind(" -4  " + name, 0) == 0) {
      inside = true;
      continue;
    }
    if (!inside) continue;
    if (line.rfind(" -3", 0) == 0) break;
    if (line.rfind(" -1", 0) != 0 || line.size() < 13) continue;
    int node = std::atoi(line.substr(3, 10).c_str());
    std::array<double, 6> v{};
    for (int k = 0; k < 6 && 13 + 12 * k + 12 <= static_cast<int>(line.size()); ++k)
      v[k] = std::atof(line.substr(13 + 12 * k, 12).c_str());
    out[node] = v;
  }
  return out;
}

// Runs ccx on one load case in a fresh temporary folder.
inline CcxRun RunCcx(const FrameModel& model, int lc_index, int nsub, bool fine_springs,
                     bool shear_rigid = false) {
  CcxRun run;
  std::string inp = CcxInput(model, lc_index, nsub, fine_springs, run, shear_rigid);
  if (!run.error.empty()) return run;
  char tmpl[] = "/tmp/vaultra_ccx_XXXXXX";
  if (!mkdtemp(tmpl)) {
    run.error = "mkdtemp";
    return run;
  }
  std::filesystem::path dir(tmpl);
  std::ofstream(dir / "f.inp") << inp;
  std::string cmd = "cd " + dir.string() + " && ccx -i f > log.txt 2>&1";
  if (std::system(cmd.c_str()) != 0) {
    run.error = "ccx failed in " + dir.string();
    return run;
  }
  std::ifstream frd_in(dir / "f.frd");
  std::stringstream buf;
  buf << frd_in.rdbuf();
  std::string frd = buf.str();
  run.sections = ParseFrdBlock(frd, "STRESS");
  for (const auto& [node, v] : ParseFrdBlock(frd, "DISP")) run.disp[node] = {v[0], v[1], v[2]};
  if (run.sections.empty() || run.disp.empty())
    run.error = "no results in " + dir.string();
  else
    std::filesystem::remove_all(dir);
  return run;
}

}  // namespace vaultra::testing
