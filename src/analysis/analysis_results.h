// The analysis-results record of one direction: node and member tables and,
// per case (load cases first, then combinations), node displacements and
// member values at the output points. Lists are 1-based and bounded.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

namespace vaultra {

constexpr int kResultMaxNodes = 407;
constexpr int kResultMaxMembers = 407;
constexpr int kResultMaxCases = 31;
constexpr int kResultMaxPoints = 21;     // output points of a member in a case
constexpr int kResultMaxPositions = 31;  // a member's position list

// Components of an output point.
enum ResultComponent : int { kCompX = 0, kCompM = 1, kCompS = 2, kCompN = 3, kCompDefl = 4 };

struct ResultNode {
  double x = 0, y = 0;  // m
};

struct ResultMember {
  int node_i = 0, node_j = 0;
  int end_i = 0, end_j = 0;
  int count = 0;                                            // positions 1..count
  std::array<double, kResultMaxPositions + 1> positions{};  // m from the i-end
  double length = 0;
};

// Displacements in m, rotation in rad, whichever solver produced them.
struct NodeDisplacement {
  double dx = 0, dy = 0, rot = 0;
};

// One member in one case: points 1..count (a maximum point may be appended
// at count + 1). Components: position (m), M (kN·m), S (kN), N (kN),
// deflection (mm).
struct MemberCaseResult {
  int count = 0;
  std::array<std::array<double, 5>, kResultMaxPoints + 2> points{};
  int max_index = 0;
  std::array<double, 6> refined{};
  bool merged = false;
};

// What the supports of one node exert on the frame: kN in x and y, kN·m.
struct SupportReaction {
  int node = 0;  // node number
  std::array<double, 3> values{};
};

// What the distributed springs of one member exert on it at its output
// points 1..count, kN/m in member axes: [0] normal (along the member's y,
// 90 degrees counter-clockwise from i->j), [1] axial (along i->j). They are
// the spring pressures the second pass applies to the member (the first
// pass's displacements, with the deflection correction), so a member
// pressed into its springs sees a reaction opposite to its displacement.
struct MemberSpringReaction {
  int member = 0;  // member index
  int count = 0;
  std::array<std::array<double, 2>, kResultMaxPoints + 1> points{};
};

struct CaseResult {
  std::vector<NodeDisplacement> nodes;    // index 0 unused
  // Index 0 unused; empty until a member value of the case is written (see
  // AnalysisResults::At): a search run writes a few cases, and a whole
  // table is a third of a megabyte.
  std::vector<MemberCaseResult> members;
  std::array<double, 4> envelope{};
  std::vector<SupportReaction> reactions;  // internal solver only, in support order
  // Internal solver only: per member with distributed springs in the
  // case's spring case, in the order the springs name them.
  std::vector<MemberSpringReaction> springs;
};

struct AnalysisResults {
  int node_count = 0;
  std::vector<ResultNode> nodes;  // index 0 unused
  double max_x = 0, max_y = 0;
  int member_count = 0;
  std::vector<ResultMember> members;  // index 0 unused
  int max_load_case = 0;              // combinations are stored after it
  int load_case_count = 0;
  int combination_count = 0;
  std::vector<CaseResult> cases;  // 1..kResultMaxCases, index 0 unused
  bool failed = false;

  void Clear() { *this = AnalysisResults(); }
  // Clear for a record filled again at once: the case tables keep their
  // storage for the next Allocate, which resets all of them.
  void ClearForAllocate() {
    std::vector<CaseResult> kept = std::move(cases);
    std::vector<unsigned char> written = std::move(written_);
    Clear();
    cases = std::move(kept);
    written_ = std::move(written);
  }
  // Sizes the tables for n nodes and m members (both within the record's
  // bounds) and every case, every value zero; false when a count is out of
  // bounds. A case's member table is made by the first writing At; a
  // record filled again with as many members resets only the member values
  // handed out for writing since: a search run fills a few members of a
  // few cases, and all tables together are megabytes.
  bool Allocate(int n, int m) {
    if (n < 0 || n > kResultMaxNodes || m < 0 || m > kResultMaxMembers) return false;
    const std::size_t per = static_cast<std::size_t>(m) + 1;
    const bool reuse = written_.size() == (kResultMaxCases + 1) * per;
    node_count = n;
    member_count = m;
    nodes.assign(static_cast<std::size_t>(n) + 1, {});
    members.assign(per, {});
    cases.resize(kResultMaxCases + 1);
    for (std::size_t c = 0; c < cases.size(); ++c) {  // in place: storage is reused
      CaseResult& cr = cases[c];
      cr.nodes.assign(static_cast<std::size_t>(n) + 1, {});
      if (reuse && cr.members.size() == per) {
        unsigned char* w = &written_[c * per];
        for (std::size_t e = 0; e < per; ++e)
          if (w[e]) cr.members[e] = MemberCaseResult{};
      } else {
        cr.members.clear();
      }
      cr.envelope = {};
      cr.reactions.clear();
      cr.springs.clear();
    }
    written_.assign((kResultMaxCases + 1) * per, 0);
    return true;
  }
  bool HasCase(int c) const { return c >= 1 && c < static_cast<int>(cases.size()); }
  bool HasMember(int m) const { return m >= 1 && m <= member_count; }
  bool HasNode(int n) const { return n >= 1 && n <= node_count; }

  // Member values for writing: remembered, so that Allocate resets them.
  MemberCaseResult& At(int c, int m) {
    if (!HasCase(c) || !HasMember(m)) throw std::out_of_range("AnalysisResults case/member");
    const std::size_t per = static_cast<std::size_t>(member_count) + 1;
    const std::size_t slot = static_cast<std::size_t>(c) * per + static_cast<std::size_t>(m);
    if (slot < written_.size()) written_[slot] = 1;
    std::vector<MemberCaseResult>& table = cases[static_cast<std::size_t>(c)].members;
    if (table.size() != per) table.resize(per);
    return table[static_cast<std::size_t>(m)];
  }
  // A case no value was written to reads as all zero.
  const MemberCaseResult& At(int c, int m) const {
    if (!HasCase(c) || !HasMember(m)) throw std::out_of_range("AnalysisResults case/member");
    const std::vector<MemberCaseResult>& table = cases[static_cast<std::size_t>(c)].members;
    static const MemberCaseResult kNone{};
    return table.empty() ? kNone : table[static_cast<std::size_t>(m)];
  }
  NodeDisplacement& Disp(int c, int n) {
    if (!HasCase(c) || !HasNode(n)) throw std::out_of_range("AnalysisResults case/node");
    return cases[static_cast<std::size_t>(c)].nodes[static_cast<std::size_t>(n)];
  }
  const NodeDisplacement& Disp(int c, int n) const {
    if (!HasCase(c) || !HasNode(n)) throw std::out_of_range("AnalysisResults case/node");
    return cases[static_cast<std::size_t>(c)].nodes[static_cast<std::size_t>(n)];
  }

 private:
  // Per case and member (case * (member_count + 1) + member): handed out
  // by the writing At since the last Allocate.
  std::vector<unsigned char> written_;
};

}  // namespace vaultra
