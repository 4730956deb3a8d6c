// Summaries of the member checks for the pages and the report: row labels,
// the governing member per group and row index, the group member tables and
// envelopes, the group row summaries and the required stirrups.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "checks/member_checks.h"
#include "inputs/structure_model.h"

namespace vaultra {

constexpr int kSummaryGroups = 32;  // governing table groups 0 .. 32
constexpr int kTableGroups = 19;    // member tables and envelopes 1 .. 19
constexpr int kGroupMembersMax = 63;
constexpr int kRowBlocks = 7;

// Governing entries in order.
enum GoverningKind : int {
  kGovMaxM,
  kGovMinM,
  kGovMaxAbsM,
  kGovMaxAbsS,
  kGovMinAbsS,
  kGovMaxAbsS2,
  kGovMaxN,
  kGovMinN,
  kGovMaxAbsN,
  kGovKinds
};

struct RowBlock {
  int bits = 0, row = 0;  // row 0: empty block
  double x = 0, M = 0, N = 0, absS = 0;
};

struct GroupMemberEntry {
  int member = 0;
  std::array<RowBlock, kRowBlocks + 1> blocks{};  // 1 .. 7
};

struct EnvelopeM {
  int member = 0, row = 0;
  double x = 0, M = 0, N = 0;
};
struct EnvelopeS {
  int member = 0, row = 0;
  double x = 0, absS = 0;  // the |S| record keeps its own position
};
struct GroupEnvelope {
  EnvelopeM max_M{0, 0, 0, -1e99, 0}, min_M{0, 0, 0, 1e99, 0};
  EnvelopeS max_S{0, 0, 0, -1e99}, min_S{0, 0, 0, 1e99};
};

struct GroupRowSummary {
  bool present = false;
  int a1 = 0, a2 = 0, max_row = 0, b1 = 0, b2 = 0, end_row = 0;
};

struct CheckSummaries {
  // [k][group][row][kind]
  std::vector<std::array<std::array<int, kGovKinds>, kCheckTableRows + 1>> governing =
      std::vector<std::array<std::array<int, kGovKinds>, kCheckTableRows + 1>>(
          kCheckCombinations * (kSummaryGroups + 1));
  std::array<std::array<std::vector<GroupMemberEntry>, kTableGroups + 1>, kCheckCombinations>
      group_members{};
  std::array<std::array<std::array<GroupEnvelope, kRowBlocks + 1>, kTableGroups + 1>,
             kCheckCombinations>
      envelopes{};
  std::array<std::array<GroupRowSummary, kSummaryGroups + 1>, kCheckCombinations> row_summary{};
  // Required stirrup area per combination and member, and the largest of the three.
  std::array<std::vector<double>, kCheckCombinations> req_stirrup;
  std::vector<double> req_stirrup_max;

  int Governing(int k, int group, int row, int kind) const;
};

struct SummaryInput {
  int layout = 0;
  bool two_d_option = false;
};

// Labels the rows of every table, builds every summary and stores the
// required stirrups as k27 of the members' section records.
CheckSummaries BuildCheckSummaries(MemberCheckTables& tables, StructureModel& model,
                                   const BlockRow& row, const SummaryInput& in);

// Name of check group 1 .. 15 (cp932; empty for the others).
const char* CheckGroupName(int group);

// Writes the diagnostic dumps into the working folder (cp932, CR LF):
// "#グループ別の部材力.txt" and "#部材力(OryokuTb)1.txt" (forces per group),
// "#OryokuTb.csv" (per member: inner and outer steel area, largest |M| of
// the normal combination, largest required inner and outer steel areas) and
// "#ForceIdx.csv" (per group: member / row of the four envelope records of
// the normal combination's maximum rows). Returns an empty text, else the
// first write error.
std::string WriteCheckDumps(const std::string& work_dir, const MemberCheckTables& tables,
                            const CheckSummaries& summaries, const StructureModel& model);

}  // namespace vaultra
