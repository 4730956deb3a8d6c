#include "checks/summaries.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "analysis/number_writer.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"

namespace vaultra {

int CheckSummaries::Governing(int k, int group, int row, int kind) const {
  if (k < 0 || k >= kCheckCombinations || group < 0 || group > kSummaryGroups || row < 1 ||
      row > kCheckTableRows || kind < 0 || kind >= kGovKinds)
    return 0;
  return governing[static_cast<std::size_t>(k * (kSummaryGroups + 1) + group)]
                  [static_cast<std::size_t>(row)][static_cast<std::size_t>(kind)];
}

namespace {

bool Valid(int r, int n) {
  return r >= 1 && r <= std::min(n + 1, kCheckTableRows);
}

void Label(MemberCheckTable& tb, int model_layout, int block_kind) {
  const int n = tb.count;
  const auto& s = tb.s;
  auto put = [&](int r, const char* text) {
    if (Valid(r, n)) tb.Row(r).label = text;
  };
  for (int p = 0; p <= std::min(n + 1, kCheckTableRows); ++p) tb.Row(p).label.clear();
  if (tb.max_index != 0) put(tb.max_index, "Ｍmax");
  for (int r = 1; r <= std::min(n, kCheckTableRows); ++r) {
    if (r == s[0] || r == s[4]) put(r, "ハンチ");
    if (r == s[2] || r == s[6]) put(r, "2･d");
    if (r == s[1] || r == s[5]) put(r, "2･d");
    if (r == s[3] || r == s[7]) put(r, "h/2");
  }
  const int t = tb.type_code;
  const bool box = model_layout == 1;
  if ((t >= 1 && t <= 2) || (t >= 5 && t <= 6) || (t >= 9 && t <= 12)) {
    put(1, "下端部");
    put(n, "上端部");
  } else if (t == 7 || t == 8) {
    put(1, "端部");
  } else if (t >= 15 && t <= 18) {
    put(1, "端部");
    put(n, "端部");
  } else if (t == 3) {
    if (box) {
      put(1, block_kind == 1 ? "外端部" : "内端部");
      put(n, block_kind == 1 ? "内端部" : "外端部");
    }
  } else if (t == 13) {
    if (box) {
      put(1, block_kind == 1 ? "内端部" : "外端部");
      put(n, block_kind == 1 ? "外端部" : "内端部");
    }
  } else if (t >= 21 && t <= 23) {
    put(1, "左端部");
    // The inner rows exist only when the member has them all.
    if (n >= 6) {
      put(2, "Mmin");
      put(3, "Smax");
      put(n - 2, "Smax");
      put(n - 1, "Mmin");
    }
    put(n, "右端部");
  } else {
    put(1, "左端部");
    put(n, "右端部");
  }
}

RowBlock BlockOf(const MemberCheckTable& tb, int r) {
  RowBlock b;
  if (!Valid(r, tb.count)) return b;
  const CheckPointRecord& x = tb.Row(r);
  b.bits = x.check_bits;
  b.row = r;
  b.x = x.x;
  b.M = x.M;
  b.N = x.N;
  b.absS = std::fabs(x.S);
  return b;
}

}  // namespace

CheckSummaries BuildCheckSummaries(MemberCheckTables& tables, StructureModel& model,
                                   const BlockRow& block_row, const SummaryInput& in) {
  CheckSummaries out;
  const int members = tables.member_count;
  const bool d2 = in.two_d_option;
  for (auto& v : out.req_stirrup) v.assign(static_cast<std::size_t>(members) + 1, 0.0);
  out.req_stirrup_max.assign(static_cast<std::size_t>(members) + 1, 0.0);

  for (int k = 0; k < kCheckCombinations; ++k) {
    // Labels.
    for (int m = 1; m <= members; ++m) {
      const int b = model.Member(m).block;
      const int kind = b >= 0 && b <= kMaxBlocks ? block_row.At(b).working_set.kind : 0;
      Label(tables.At(k, m), in.layout, kind);
    }
    // Group member tables.
    for (int m = 1; m <= members; ++m) {
      const MemberCheckTable& tb = tables.At(k, m);
      const int g = CheckGroupOf(tb.type_code);
      if (g < 1 || g > kTableGroups) continue;
      auto& list = out.group_members[static_cast<std::size_t>(k)][static_cast<std::size_t>(g)];
      if (static_cast<int>(list.size()) >= kGroupMembersMax) continue;
      GroupMemberEntry e;
      e.member = m;
      const auto& s = tb.s;
      const int n = tb.count;
      e.blocks[1] = BlockOf(tb, 1);
      e.blocks[2] = BlockOf(tb, s[0]);
      if (g != 13) {
        e.blocks[4] = BlockOf(tb, tb.max_index);
        e.blocks[6] = BlockOf(tb, s[4]);
        e.blocks[7] = BlockOf(tb, n);
        auto check_row = [&](int s2, int s1, int s3) {
          if (!d2) return s3;
          return Valid(s2, n) && tb.Row(s2).M > 0 ? s2 : s1;
        };
        e.blocks[3] = BlockOf(tb, check_row(s[2], s[1], s[3]));
        e.blocks[5] = BlockOf(tb, check_row(s[6], s[5], s[7]));
      }
      if (g == 14) {
        e.blocks[2] = BlockOf(tb, s[3]);
        e.blocks[6] = BlockOf(tb, s[7]);
      }
      list.push_back(e);
    }
    // Group envelopes (first member wins ties; empty blocks are skipped).
    for (int g = 1; g <= kTableGroups; ++g) {
      const auto& list =
          out.group_members[static_cast<std::size_t>(k)][static_cast<std::size_t>(g)];
      for (int kind = 1; kind <= kRowBlocks; ++kind) {
        GroupEnvelope& env = out.envelopes[static_cast<std::size_t>(k)][static_cast<std::size_t>(g)]
                                          [static_cast<std::size_t>(kind)];
        for (const GroupMemberEntry& e : list) {
          const RowBlock& b = e.blocks[static_cast<std::size_t>(kind)];
          if (b.row == 0) continue;
          const EnvelopeM mrec{e.member, b.row, b.x, b.M, b.N};
          const EnvelopeS srec{e.member, b.row, b.x, b.absS};
          if (kind == 3 || kind == 5) {
            if (b.absS > env.max_S.absS) {
              env.max_S = srec;
              env.max_M = mrec;
            }
            if (b.absS < env.min_S.absS) {
              env.min_S = srec;
              env.min_M = mrec;
            }
          } else {
            if (b.M > env.max_M.M) env.max_M = mrec;
            if (b.M < env.min_M.M) env.min_M = mrec;
            // Each envelope keeps its own position.
            if (b.absS > env.max_S.absS) env.max_S = srec;
            if (b.absS < env.min_S.absS) env.min_S = srec;
          }
        }
      }
    }
    // Governing table.
    for (int m = 1; m <= members; ++m) {
      const MemberCheckTable& tb = tables.At(k, m);
      const int g = CheckGroupOf(tb.type_code);
      auto& gov = out.governing[static_cast<std::size_t>(k * (kSummaryGroups + 1) + g)];
      for (int r = 1; r <= std::min(tb.count + 1, kCheckTableRows); ++r) {
        const CheckPointRecord& x = tb.Row(r);
        auto& e = gov[static_cast<std::size_t>(r)];
        auto other = [&](int kind) -> const CheckPointRecord* {
          const int c = e[static_cast<std::size_t>(kind)];
          if (c == 0) return nullptr;
          const MemberCheckTable& ct = tables.At(k, c);
          return Valid(r, ct.count) ? &ct.Row(r) : nullptr;
        };
        auto take = [&](int kind, auto better) {
          const CheckPointRecord* c = other(kind);
          if (c == nullptr || better(*c)) e[static_cast<std::size_t>(kind)] = m;
        };
        const double M = RoundTo2(x.M), aM = RoundTo2(std::fabs(x.M)),
                     aS = RoundTo2(std::fabs(x.S));
        take(kGovMaxM, [&](const CheckPointRecord& c) {
          return M > RoundTo2(c.M) || (M == RoundTo2(c.M) && x.N > c.N);
        });
        take(kGovMinM, [&](const CheckPointRecord& c) {
          return M < RoundTo2(c.M) || (M == RoundTo2(c.M) && x.N > c.N);
        });
        take(kGovMaxAbsM, [&](const CheckPointRecord& c) {
          return aM > RoundTo2(std::fabs(c.M)) || (M == RoundTo2(c.M) && x.N > c.N);
        });
        for (int kind : {kGovMaxAbsS, kGovMaxAbsS2})
          take(kind, [&](const CheckPointRecord& c) {
            const double cS = RoundTo2(std::fabs(c.S));
            return aS > cS || (aS == cS && x.N > c.N);
          });
        take(kGovMinAbsS, [&](const CheckPointRecord& c) {
          const double cS = RoundTo2(std::fabs(c.S));
          return aS < cS || (aS == cS && x.N > c.N);
        });
        take(kGovMaxN, [&](const CheckPointRecord& c) { return x.N >= c.N; });
        take(kGovMinN, [&](const CheckPointRecord& c) { return x.N <= c.N; });
        take(kGovMaxAbsN,
             [&](const CheckPointRecord& c) { return std::fabs(x.N) >= std::fabs(c.N); });
      }
    }
    // Group row summaries.
    for (int m = 1; m <= members; ++m) {
      const MemberCheckTable& tb = tables.At(k, m);
      const int g = CheckGroupOf(tb.type_code);
      const int n = tb.count;
      const auto& s = tb.s;
      GroupRowSummary& sum =
          out.row_summary[static_cast<std::size_t>(k)][static_cast<std::size_t>(g)];
      sum.present = true;
      auto ok = [&](int r) { return Valid(r, n) ? r : 0; };
      if (g == 13) sum.a1 = d2 ? ok(2) : ok(s[0]);
      if (d2 || g != 14) {
        sum.max_row = ok(tb.max_index);
        sum.end_row = ok(n);
        auto end_pair = [&](int h, int s1, int s2, int s3, int& lo, int& hi) {
          int c = s3;
          if (d2) {
            c = s1;
            const int gm = out.Governing(k, g, s1, kGovMaxAbsM);
            if (gm != 0 && Valid(s1, tables.At(k, gm).count) && tables.At(k, gm).Row(s1).M > 0)
              c = s2;
          }
          h = ok(h);
          c = ok(c);
          if (h == 0) {
            h = c;
            c = 0;
          }
          lo = c == 0 ? h : std::min(h, c);
          hi = c == 0 ? 0 : std::max(h, c);
        };
        if (g != 13) {
          end_pair(s[0], s[1], s[2], s[3], sum.a1, sum.a2);
          end_pair(s[4], s[5], s[6], s[7], sum.b1, sum.b2);
        }
        if (g == 6 || g == 11) sum.end_row = 0;
        if (g == 15) {
          // The inner rows of a cast-in-place member, only when it has them.
          auto inner = [&](int r) { return r >= 1 && r <= n ? r : 0; };
          sum.a1 = inner(2);
          sum.a2 = inner(3);
          sum.b1 = inner(n - 2);
          sum.b2 = inner(n - 1);
        }
      } else {
        sum.a1 = ok(s[3]);
        sum.max_row = ok(tb.max_index);
        sum.b2 = ok(s[7]);
        sum.end_row = ok(n);
      }
    }
    // Required stirrups.
    for (int m = 1; m <= members; ++m) {
      const MemberCheckTable& tb = tables.At(k, m);
      double best = 0;
      for (int r = 1; r <= std::min(tb.count + 1, kCheckTableRows); ++r) {
        const CheckPointRecord& x = tb.Row(r);
        if ((x.check_bits & kCheckShear) && !Trim(x.label).empty())
          best = std::max(best, x.req_stirrup);
      }
      out.req_stirrup[static_cast<std::size_t>(k)][static_cast<std::size_t>(m)] = best;
    }
  }
  for (int m = 1; m <= members; ++m) {
    double best = 0;
    for (int k = 0; k < kCheckCombinations; ++k)
      best =
          std::max(best, out.req_stirrup[static_cast<std::size_t>(k)][static_cast<std::size_t>(m)]);
    out.req_stirrup_max[static_cast<std::size_t>(m)] = best;
    model.Section(m).Current(27) = best;
  }
  return out;
}

const char* CheckGroupName(int g) {
  static constexpr const char* kNames[16] = {"",
                                             "端部ﾌﾞﾛｯｸ側壁",
                                             "端部ﾌﾞﾛｯｸ頂版",
                                             "ﾐﾆｹﾞｰﾄ端部内壁上部",
                                             "端部ﾌﾞﾛｯｸ内壁",
                                             "端部ﾌﾞﾛｯｸ底版",
                                             "端部ﾌﾞﾛｯｸ底版",
                                             "中間ﾌﾞﾛｯｸ頂版",
                                             "ﾐﾆｹﾞｰﾄ中間上部",
                                             "中間ﾌﾞﾛｯｸ中壁",
                                             "中間ﾌﾞﾛｯｸ底版",
                                             "中間ﾌﾞﾛｯｸ底版",
                                             "肩落部(ﾎﾞｯｸｽ)",
                                             "スラブ掛部",
                                             "頂版スラブ",
                                             "底版現場打ち部"};
  return g >= 1 && g <= 15 ? kNames[g] : "";
}

std::string WriteCheckDumps(const std::string& work_dir, const MemberCheckTables& tables,
                            const CheckSummaries& sum, const StructureModel& model) {
  const std::string dir = WithTrailingSlash(work_dir);
  const int members = tables.member_count;
  std::vector<std::string> forces;
  static constexpr const char* kQuantity[3] = {"Mz", "Sy", "Nx"};
  static constexpr const char* kCombination[3] = {"常", "L1", "L2"};
  static constexpr int kGov[3][3] = {{kGovMaxM, kGovMinM, kGovMaxAbsM},
                                     {kGovMaxAbsS, kGovMinAbsS, kGovMaxAbsS2},
                                     {kGovMaxN, kGovMinN, kGovMaxAbsN}};
  auto value = [](const CheckPointRecord& r, int q) { return q == 0 ? r.M : q == 1 ? r.S : r.N; };
  for (int q = 0; q < 3; ++q)
    for (int k = 0; k < kCheckCombinations; ++k)
      for (int g = 1; g <= 15; ++g) {
        const auto& list =
            sum.group_members[static_cast<std::size_t>(k)][static_cast<std::size_t>(g)];
        if (list.empty()) continue;
        forces.push_back(
            Format("(%2d) %-19s, %s, %s", g, CheckGroupName(g), kQuantity[q], kCombination[k]));
        // Rows 1 .. 5 and the last five rows of the group's first member.
        const MemberCheckTable& first = tables.At(k, list.front().member);
        std::vector<int> rows;
        const int n = std::min(first.count, kCheckTableRows);
        for (int r = 1; r <= std::min(5, n); ++r) rows.push_back(r);
        for (int r = std::max(6, n - 4); r <= n; ++r) rows.push_back(r);
        std::string line;
        for (int r : rows) {
          line += '<';
          AppendFixed(line, 7, 3, first.Row(r).x);
          line += ">,";
        }
        forces.push_back(line);
        for (const GroupMemberEntry& e : list) {
          const MemberCheckTable& tb = tables.At(k, e.member);
          // "%4d,(%2d)," and "%8.3f ," per row, " Mpk.x=%5.3f,%7.3f".
          line.clear();
          AppendInt(line, 4, e.member);
          line += ",(";
          AppendInt(line, 2, tb.type_code);
          line += "),";
          for (int r : rows) {
            AppendFixed(line, 8, 3, Valid(r, tb.count) ? value(tb.Row(r), q) : 0.0);
            line += " ,";
          }
          if (Valid(tb.max_index, tb.count)) {
            line += " Mpk.x=";
            AppendFixed(line, 5, 3, tb.Row(tb.max_index).x);
            line += ',';
            AppendFixed(line, 7, 3, value(tb.Row(tb.max_index), q));
          }
          forces.push_back(line);
        }
        static constexpr const char* kHead[3] = {" max ,", " min ,", "|max|,"};
        for (int h = 0; h < 3; ++h) {
          line = kHead[h];
          for (int r : rows) {
            const int m = sum.Governing(k, g, r, kGov[q][h]);
            const double v =
                m != 0 && Valid(r, tables.At(k, m).count) ? value(tables.At(k, m).Row(r), q) : 0.0;
            AppendFixed(line, 8, 3, v);
            line += " ,";
          }
          forces.push_back(line);
        }
      }
  std::vector<std::string> oryoku;
  for (int m = 1; m <= members; ++m) {
    const MemberCheckTable& tb = tables.At(0, m);
    double Mz = 0, iAm = 0, oAm = 0;
    for (int k = 0; k < kCheckCombinations; ++k) {
      const MemberCheckTable& t = tables.At(k, m);
      for (int r = 1; r <= std::min(t.count + 1, kCheckTableRows); ++r) {
        if (k == 0) Mz = std::max(Mz, std::fabs(t.Row(r).M));
        iAm = std::max(iAm, t.Row(r).req_steel_inner);
        oAm = std::max(oAm, t.Row(r).req_steel_outer);
      }
    }
    const MemberSection& sec = model.Section(m);
    std::string line =
        Format("%2d,[%2d],%-20s", m, tb.type_code, CheckGroupName(CheckGroupOf(tb.type_code)));
    const std::pair<const char*, int> amounts[] = {{",iAs=,", RealToInt(sec.Current(20))},
                                                   {",oAs=,", RealToInt(sec.Current(12))},
                                                   {", Mz=,", RealToInt(Mz)},
                                                   {",iAm=,", RealToInt(iAm)},
                                                   {",oAm=,", RealToInt(oAm)}};
    for (const auto& [label, amount] : amounts) {  // "%4d" each
      line += label;
      AppendInt(line, 4, amount);
    }
    oryoku.push_back(std::move(line));
  }
  std::vector<std::string> idx;
  for (int g = 1; g <= 15; ++g) {
    const GroupEnvelope& e = sum.envelopes[0][static_cast<std::size_t>(g)][4];
    idx.push_back(Format("%2d) %-20s", g, CheckGroupName(g)) +
                  Format(",,G%d/B%d", e.max_M.member, e.max_M.row) +
                  Format(",,G%d/B%d", e.min_M.member, e.min_M.row) +
                  Format(",,G%d/B%d", e.max_S.member, e.max_S.row) +
                  Format(",,G%d/B%d", e.min_S.member, e.min_S.row));
  }
  const std::pair<const char*, const std::vector<std::string>*> files[] = {
      {"#グループ別の部材力.txt", &forces},
      {"#部材力(OryokuTb)1.txt", &forces},
      {"#OryokuTb.csv", &oryoku},
      {"#ForceIdx.csv", &idx}};
  for (const auto& [name, lines] : files) {
    std::string error;
    // Diagnostic dumps of this run, written again by every run. When one
    // cannot be written none is left: a dump of an earlier project beside
    // this run's would read as this run's.
    if (!WriteFileAtomic(dir + name, JoinLinesCrLf(*lines), &error, WriteMode::kScratch)) {
      for (const auto& f : files) RemoveFile(dir + f.first);
      return error.empty() ? std::string(name) : error;
    }
  }
  return {};
}

}  // namespace vaultra
