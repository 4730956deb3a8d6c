#include "analysis/frame_file.h"

#include <cstring>

#include "analysis/frame_text.h"
#include "analysis/number_writer.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "model/frame_model.h"

namespace vaultra {

namespace {

// Copies at most 40 bytes of text (never half a character) into a 44-byte
// NUL-terminated field.
void CopyName(char (&out)[44], const std::string& text) {
  std::string t = TruncateBytes(text, 40);
  std::memset(out, 0, sizeof out);
  std::memcpy(out, t.data(), t.size());
}

template <class T>
T* DataOrNull(std::vector<T>& v) {
  return v.empty() ? nullptr : v.data();
}

}  // namespace

bool FrameTextFile::LoadFromFile(const std::string& path, FR_SDK_MAINDATA& data) {
  std::memset(&data, 0, sizeof data);
  error_.clear();
  FrameModel m;
  std::string msg = LoadFrameTextFile(path, m);
  if (!msg.empty()) {
    error_ = msg;
    return false;
  }
  CopyName(data.title, m.title);
  nodes_.clear();
  for (const auto& n : m.nodes) nodes_.push_back({n.number, n.x, n.y});
  materials_.clear();
  for (const auto& x : m.materials) materials_.push_back({x.number, x.e, x.alpha});
  sections_.clear();
  for (const auto& s : m.sections) sections_.push_back({s.number, s.area, s.inertia});
  members_.clear();
  for (const auto& e : m.members)
    members_.push_back(
        {e.number, e.node_i, e.node_j, e.section, e.section, e.material, e.end_i, e.end_j});
  springs_.clear();
  for (const auto& c : m.spring_cases) {
    springs_.emplace_back();
    for (const auto& s : c.springs) springs_.back().push_back({s.member, s.k_normal, s.k_tangent});
  }
  spring_cases_.clear();
  for (int c = 1; c <= m.spring_cases.Count(); ++c) {
    auto& list = springs_[static_cast<std::size_t>(c - 1)];
    spring_cases_.push_back(
        {m.spring_cases[c].number, static_cast<int32_t>(list.size()), DataOrNull(list)});
  }
  supports_.clear();
  for (const auto& c : m.support_cases) {
    supports_.emplace_back();
    for (const auto& s : c.supports) {
      FR_SDK_INSUP su{};
      su.node = s.node;
      for (int k = 0; k < 6; ++k) su.values[k] = s.values[static_cast<std::size_t>(k)];
      su.type = s.type;
      supports_.back().push_back(su);
    }
  }
  support_cases_.clear();
  for (int c = 1; c <= m.support_cases.Count(); ++c) {
    auto& list = supports_[static_cast<std::size_t>(c - 1)];
    support_cases_.push_back(
        {m.support_cases[c].number, static_cast<int32_t>(list.size()), DataOrNull(list)});
  }
  equal_.clear();
  for (const auto& d : m.equal_divisions)
    equal_.push_back({d.first_member, d.last_member, d.parts});
  positions_.clear();
  for (const auto& sp : m.specified) {
    positions_.emplace_back();
    for (const auto& p : sp.positions) positions_.back().push_back(p.x);
  }
  spec_.clear();
  for (int i = 1; i <= m.specified.Count(); ++i) {
    auto& list = positions_[static_cast<std::size_t>(i - 1)];
    spec_.push_back({m.specified[i].member, static_cast<int32_t>(list.size()), DataOrNull(list)});
  }
  aimed_.assign(1, FR_SDK_AIMEDPOINT{static_cast<int32_t>(equal_.size()), DataOrNull(equal_),
                                     static_cast<int32_t>(spec_.size()), DataOrNull(spec_)});
  items_.clear();
  for (const auto& lc : m.load_cases) {
    items_.emplace_back();
    for (const auto& it : lc.items)
      items_.back().push_back(
          {it.type, it.first_member, it.last_member, it.d1, it.d2, it.d3, it.d4});
  }
  load_cases_.clear();
  for (int c = 1; c <= m.load_cases.Count(); ++c) {
    const auto& lc = m.load_cases[c];
    auto& list = items_[static_cast<std::size_t>(c - 1)];
    FR_SDK_INLOADCASE rec{};
    rec.number = lc.number;
    rec.count = static_cast<int32_t>(list.size());
    rec.items = DataOrNull(list);
    rec.spring_case = lc.spring_case;
    rec.support_case = lc.support_case;
    CopyName(rec.name, lc.name);
    load_cases_.push_back(rec);
  }
  entries_.clear();
  for (const auto& co : m.combinations) {
    entries_.emplace_back();
    for (const auto& en : co.entries) entries_.back().push_back({en.load_case, en.factor});
  }
  combinations_.clear();
  for (int c = 1; c <= m.combinations.Count(); ++c) {
    const auto& co = m.combinations[c];
    auto& list = entries_[static_cast<std::size_t>(c - 1)];
    FR_SDK_INCOMBCASE rec{};
    rec.number = co.number;
    rec.count = static_cast<int32_t>(list.size());
    rec.entries = DataOrNull(list);
    rec.factor = co.factor;
    CopyName(rec.name, co.name);
    combinations_.push_back(rec);
  }
  extraction_entries_.clear();
  for (const auto& ex : m.extraction_cases) {
    extraction_entries_.emplace_back();
    for (const auto& en : ex.entries) extraction_entries_.back().push_back({en.a, en.b});
  }
  extractions_.clear();
  for (int c = 1; c <= m.extraction_cases.Count(); ++c) {
    const auto& ex = m.extraction_cases[c];
    auto& list = extraction_entries_[static_cast<std::size_t>(c - 1)];
    FR_SDK_INEXTRCASE rec{};
    rec.number = ex.number;
    rec.count = static_cast<int32_t>(list.size());
    rec.entries = DataOrNull(list);
    CopyName(rec.name, ex.name);
    extractions_.push_back(rec);
  }
  data.node_count = static_cast<int32_t>(nodes_.size());
  data.nodes = DataOrNull(nodes_);
  data.member_count = static_cast<int32_t>(members_.size());
  data.members = DataOrNull(members_);
  data.material_count = static_cast<int32_t>(materials_.size());
  data.materials = DataOrNull(materials_);
  data.section_count = static_cast<int32_t>(sections_.size());
  data.sections = DataOrNull(sections_);
  data.spring_case_count = static_cast<int32_t>(spring_cases_.size());
  data.spring_cases = DataOrNull(spring_cases_);
  data.support_case_count = static_cast<int32_t>(support_cases_.size());
  data.support_cases = DataOrNull(support_cases_);
  data.aimed_count = 1;
  data.aimed = aimed_.data();
  data.load_case_count = static_cast<int32_t>(load_cases_.size());
  data.load_cases = DataOrNull(load_cases_);
  data.combination_count = static_cast<int32_t>(combinations_.size());
  data.combinations = DataOrNull(combinations_);
  data.extraction_count = static_cast<int32_t>(extractions_.size());
  data.extractions = DataOrNull(extractions_);
  data.option_bits = (m.opt_linear == 1 ? 2 : 0) + (m.opt_mmax == 1 ? 4 : 0) +
                     (m.opt_landing == 1 ? 8 : 0) + (m.opt_increase == 1 ? 48 : 0);
  return true;
}

bool FrameTextFile::Save(const std::string& ext, const std::string& text, WriteMode mode) {
  std::string path = base_name_ + ext;
  if (!WriteFileAtomic(path, text, nullptr, mode)) {
    error_ = path + "に保存できません";
    return false;
  }
  return true;
}

namespace {

// Case records of one list, with a null array read as empty.
template <class Case>
int CountOf(int32_t count, const Case* cases) {
  return cases == nullptr || count < 0 ? 0 : count;
}

const char kCrLf[] = "\r\n";

// The usual length of an item's lines.
std::size_t PointsBytes(int32_t count, std::size_t per_point) {
  return 30 + (count > 0 ? static_cast<std::size_t>(count) * per_point : 0);
}
std::size_t ItemBytes(const FR_SDK_REACTION&) {
  return 52;
}
std::size_t ItemBytes(const FR_SDK_DISPLACEMENT&) {
  return 52;
}
std::size_t ItemBytes(const FR_SDK_MEMBERFORCE& it) {
  return PointsBytes(it.count, 82);
}
std::size_t ItemBytes(const FR_SDK_MEMBERSPRING& it) {
  return PointsBytes(it.count, 37);
}
std::size_t ItemBytes(const FR_SDK_MEMBEREXTR& it) {
  return PointsBytes(it.count, 72);
}
std::size_t ItemBytes(const FR_SDK_MMAXMIN&) {
  return 134;
}

// One result file in one buffer: per case the header line, "CASE  %4d %4d"
// and the item lines, each ended by CR LF.
template <class Case, class ItemFn>
std::string CaseText(const char* header, int32_t count, const Case* cases, ItemFn&& item_lines) {
  std::string out;
  // Reserved ahead: the member-force files run to megabytes.
  std::size_t bytes = 0;
  for (int c = 0; c < CountOf(count, cases); ++c) {
    const Case& cs = cases[c];
    bytes += 48;
    for (int i = 0; cs.items && i < cs.count; ++i) bytes += ItemBytes(cs.items[i]);
  }
  out.reserve(bytes);
  for (int c = 0; c < CountOf(count, cases); ++c) {
    const Case& cs = cases[c];
    int n = cs.items == nullptr || cs.count < 0 ? 0 : cs.count;
    out += header;
    out += kCrLf;
    out += "CASE  ";
    AppendInt(out, 4, cs.number);
    out += ' ';
    AppendInt(out, 4, n);
    out += kCrLf;
    for (int i = 0; i < n; ++i) item_lines(cs.items[i], out);
  }
  return out;
}

// "MEMBR %Nd %4d %4d %4d" with the member number's width N.
void MemberLine(std::string& out, int member_width, int member, int node_i, int node_j, int n) {
  out += "MEMBR ";
  AppendInt(out, member_width, member);
  out += ' ';
  AppendInt(out, 4, node_i);
  out += ' ';
  AppendInt(out, 4, node_j);
  out += ' ';
  AppendInt(out, 4, n);
  out += kCrLf;
}

// " %14.Pf" for each value.
void Fixed14(std::string& out, int p, double v) {
  out += ' ';
  AppendFixed(out, 14, p, v);
}

}  // namespace

bool FrameTextFile::SaveToFile(const std::string& base_name, const FR_SDK_MAINRES* result,
                                 unsigned files, WriteMode mode) {
  error_.clear();
  if (result == nullptr) {
    error_ = base_name + "に保存できません";
    return false;
  }
  base_name_ = base_name;
  result_ = result;
  const FR_SDK_MAINRES& r = *result;
  // "%5d %14.3f %14.3f %14.3f"
  auto reaction = [](const FR_SDK_REACTION& it, std::string& out) {
    AppendInt(out, 5, it.node);
    for (int k = 0; k < 3; ++k) Fixed14(out, 3, it.values[k]);
    out += kCrLf;
  };
  // "%5d %14.6e %14.5e %14.6e"
  auto disp = [](const FR_SDK_DISPLACEMENT& it, std::string& out) {
    AppendInt(out, 5, it.node);
    out += ' ';
    AppendExp(out, 14, 6, it.dx);
    out += ' ';
    AppendExp(out, 14, 5, it.dy);
    out += ' ';
    AppendExp(out, 14, 6, it.rotation);
    out += kCrLf;
  };
  // "MEMBR %3d %4d %4d %4d", then "%5d %14.3f %14.3f %14.3f %14.3f %14.5f"
  auto force = [](const FR_SDK_MEMBERFORCE& it, std::string& out) {
    int n = it.points == nullptr || it.count < 0 ? 0 : it.count;
    MemberLine(out, 3, it.member, it.node_i, it.node_j, n);
    for (int k = 0; k < n; ++k) {
      const auto& p = it.points[k];
      AppendInt(out, 5, p.number);
      Fixed14(out, 3, p.x);
      Fixed14(out, 3, p.m);
      Fixed14(out, 3, p.s);
      Fixed14(out, 3, p.n);
      Fixed14(out, 5, p.deflection);
      out += kCrLf;
    }
  };
  // "MEMBR %4d %4d %4d %4d", then "%5d %14.3f %14.3f"
  auto spring = [](const FR_SDK_MEMBERSPRING& it, std::string& out) {
    int n = it.points == nullptr || it.count < 0 ? 0 : it.count;
    MemberLine(out, 4, it.member, it.node_i, it.node_j, n);
    for (int k = 0; k < n; ++k) {
      AppendInt(out, 5, it.points[k].number);
      Fixed14(out, 3, it.points[k].values[0]);
      Fixed14(out, 3, it.points[k].values[1]);
      out += kCrLf;
    }
  };
  // "MEMBR %4d %4d %4d %4d", then "%5d %14.3f %14.3f %14.3f %14.3f %4d"
  auto extr = [](const FR_SDK_MEMBEREXTR& it, std::string& out) {
    int n = it.points == nullptr || it.count < 0 ? 0 : it.count;
    MemberLine(out, 4, it.member, it.node_i, it.node_j, n);
    for (int k = 0; k < n; ++k) {
      const auto& p = it.points[k];
      AppendInt(out, 5, p.number);
      for (int c = 0; c < 4; ++c) Fixed14(out, 3, p.values[c]);
      out += ' ';
      AppendInt(out, 4, p.flag);
      out += kCrLf;
    }
  };
  // "%5d Mmax %9.3f %14.3f %14.3f %14.3f" and the same for Mmin
  auto mmaxmin = [](const FR_SDK_MMAXMIN& it, std::string& out) {
    auto line = [&out](int index, const char* tag, const auto& v) {
      AppendInt(out, 5, index);
      out += tag;
      AppendFixed(out, 9, 3, v[0]);
      for (int c = 1; c < 4; ++c) Fixed14(out, 3, v[c]);
      out += kCrLf;
    };
    line(it.max_index, " Mmax ", it.max_values);
    line(it.min_index, " Mmin ", it.min_values);
  };
  // Each text is built only when its file is written.
  auto text = [&](int file) -> std::string {
    switch (file) {
      case 0:
        return CaseText("支点反力", r.reaction_count, r.reactions, reaction);
      case 1:
        return CaseText("支点反力（組み合せ）", r.reaction_comb_count, r.reactions_comb, reaction);
      case 2:
        return CaseText("格点変位", r.disp_count, r.disps, disp);
      case 3:
        return CaseText("格点変位（組み合せ）", r.disp_comb_count, r.disps_comb, disp);
      case 4:
        return CaseText("部材力", r.force_count, r.forces, force);
      case 5:
        return CaseText("部材力（組み合せ）", r.force_comb_count, r.forces_comb, force);
      case 6:
        return CaseText("分布バネ反力", r.spring_count, r.springs, spring);
      case 7:
        return CaseText("部材力（Mmax抽出）", r.mmax_count, r.mmax, extr);
      case 8:
        return CaseText("部材力（Mmin抽出）", r.mmin_count, r.mmin, extr);
      case 9:
        return CaseText("部材力（Smax抽出）", r.smax_count, r.smax, extr);
      case 10:
        return CaseText("部材力（Smin抽出）", r.smin_count, r.smin, extr);
      case 11:
        return CaseText("部材力（Nmax抽出）", r.nmax_count, r.nmax, extr);
      case 12:
        return CaseText("部材力（Nmin抽出）", r.nmin_count, r.nmin, extr);
      default:
        return CaseText("部材力（Mmax,Mmin）", r.mmaxmin_count, r.mmaxmin, mmaxmin);
    }
  };
  for (int file = 0; file < kResultFileCount; ++file)
    if ((files >> file & 1u) != 0 && !Save(kResultFileExtensions[file], text(file), mode))
      return false;
  return true;
}

}  // namespace vaultra
