#include "analysis/frame_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "analysis/number_writer.h"
#include "core/comma_text.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"

namespace vaultra {

namespace {

// Overwrites line from column with text, padding with blanks first.
void PutAt(std::string& line, std::size_t column, const std::string& text) {
  if (line.size() < column) line.resize(column, ' ');
  if (line.size() < column + text.size()) line.resize(column + text.size(), ' ');
  line.replace(column, text.size(), text);
}

// The value as "%16.7E" prints it with a two-digit exponent, built from
// the mantissa and the exponent so that the C library's exponent width
// does not matter. Also returns the exponent. "%E" is "%e" in capitals.
std::string SixteenE(double value, int* exponent) {
  std::string s;
  AppendExp(s, 0, 7, value);
  for (char& ch : s)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  std::size_t e = s.find('E');
  int exp = 0;
  if (e != std::string::npos) {
    exp = std::atoi(s.c_str() + e + 1);
    s.resize(e);
  }
  *exponent = exp;
  s += exp < 0 ? "E-" : "E+";
  AppendInt(s, 0, std::abs(exp) / 10);
  AppendInt(s, 0, std::abs(exp) % 10);
  if (s.size() < 16) s.insert(0, 16 - s.size(), ' ');
  return s;
}

// printf's "%-*s": text left-aligned in w columns.
void Left(std::string& line, std::size_t w, std::string_view text) {
  line.append(text);
  if (text.size() < w) line.append(w - text.size(), ' ');
}

// printf's "%10d" followed by blanks.
std::string NumberAndBlanks(int number, std::size_t blanks) {
  std::string line;
  AppendInt(line, 10, number);
  line.append(blanks, ' ');
  return line;
}

// A list of "%Wd" fields with one blank before each after the first.
void Ints(std::string& line, std::initializer_list<std::pair<int, int>> fields) {
  bool first = true;
  for (const auto& [w, v] : fields) {
    if (!first) line += ' ';
    first = false;
    AppendInt(line, w, v);
  }
}

}  // namespace

void FormatSplitReal(std::string& line, int column, int mantissa_width, int exponent_width,
                     double value) {
  int w = std::clamp(mantissa_width, 4, 10);
  int n = std::clamp(exponent_width, 2, 5);
  int exponent = 0;
  std::string printed = SixteenE(value, &exponent);
  std::size_t old_end = line.size();
  std::size_t c = static_cast<std::size_t>(std::max(column, 0));
  printed.resize(static_cast<std::size_t>(w));
  PutAt(line, c, printed);
  std::string exp_text;
  AppendInt(exp_text, n, exponent);
  exp_text += ' ';
  PutAt(line, c + w, exp_text);
  line.resize(std::max(old_end, c + w + n));
}

void WriteFrameText(const FrameModel& m, std::vector<std::string>& lines) {
  lines.clear();
  auto add = [&](std::string s) { lines.push_back(std::move(s)); };
  add(Format("%-10s%s", "FRAME", m.format_tag.c_str()));
  add(Format("%-10s%s", "TITLE", m.title.c_str()));
  add(Format("%-10s 格点 部材 材質 断面 バＣ バネ 支Ｃ 支点", "CONTROL1"));
  add(Format("%15d %4d %4d %4d %4d %4d %4d %4d", m.nodes.Count(), m.members.Count(),
             m.materials.Count(), m.sections.Count(), m.spring_cases.Count(), m.MaxSpringCount(),
             m.support_cases.Count(), m.MaxSupportCount()));
  add(Format("%-10s 荷重 組合 抽出 二重 剛Ｓ 剛Ｂ", "CONTROL2"));
  add(Format("%15d %4d %4d %4d %4d %4d", m.load_cases.Count(), m.combinations.Count(),
             m.extraction_cases.Count(), m.double_node_count, m.rigid_s_count, m.rigid_b_count));
  add(Format("%-10s リナ Mmax 着点 割増 プレ", "CONTROL3"));
  add(Format("%15d %4d %4d %4d %4d", m.opt_linear, m.opt_mmax, m.opt_landing, m.opt_increase,
             m.opt_prestress));
  add(Format("%-10s %4d", "POINT", m.nodes.Count()));
  for (const auto& n : m.nodes) {
    std::string line;
    AppendInt(line, 10, n.number);
    AppendFixed(line, 10, 4, n.x);
    AppendFixed(line, 10, 4, n.y);
    add(std::move(line));
  }
  add(Format("%-10s %4d", "MATERIAL", m.materials.Count()));
  for (const auto& mat : m.materials) {
    std::string line = NumberAndBlanks(mat.number, 30);
    FormatSplitReal(line, 10, 10, 5, mat.e);
    FormatSplitReal(line, 25, 10, 5, mat.alpha);
    add(line);
  }
  add(Format("%-10s %4d", "SECTION", m.sections.Count()));
  for (const auto& s : m.sections) {
    std::string line = NumberAndBlanks(s.number, 30);
    FormatSplitReal(line, 10, 10, 5, s.area < 1e-9 ? 1e-9 : s.area);
    FormatSplitReal(line, 25, 10, 5, s.inertia < 1e-9 ? 1e-9 : s.inertia);
    add(line);
  }
  add(Format("%-10s %4d", "MEMBER", m.members.Count()));
  for (const auto& e : m.members) {
    std::string line;
    Ints(line, {{10, e.number},
                {4, e.node_i},
                {4, e.node_j},
                {4, e.section},
                {4, e.material},
                {4, e.end_i},
                {4, e.end_j}});
    line += "     ";
    AppendFixed(line, 9, 3, e.real1);
    line += ' ';
    AppendFixed(line, 9, 3, e.real2);
    line += ' ';
    line += e.name.c_str();  // as "%s" prints it
    add(std::move(line));
  }
  for (const auto& sc : m.spring_cases) {
    add(Format("%-10s %4d %4d %18s %s", "BANE-CASE", sc.number, sc.springs.Count(), "",
               sc.name.c_str()));
    for (const auto& sp : sc.springs) {
      std::string line = NumberAndBlanks(sp.member, 30);
      FormatSplitReal(line, 10, 10, 3, sp.k_normal);
      FormatSplitReal(line, 30, 10, 3, sp.k_tangent);
      add(line);
    }
  }
  for (int c = 1; c <= m.support_cases.Count(); ++c) {
    const auto& sc = m.support_cases[c];
    add(Format("%-10s %4d %4d %18s %s", "SUPT-CASE", c, sc.supports.Count(), "", sc.name.c_str()));
    for (const auto& su : sc.supports) {
      std::string line = NumberAndBlanks(su.node, 60);
      line += ' ';
      AppendInt(line, 4, su.type);
      for (int k = 0; k < 6; ++k) FormatSplitReal(line, 10 + 10 * k, 8, 2, su.values[k]);
      add(line);
    }
  }
  add(Format("%-10s %4d", "VIEW-1", m.equal_divisions.Count()));
  for (const auto& d : m.equal_divisions) {
    std::string line;
    Ints(line, {{10, d.first_member}, {4, d.last_member}, {4, d.parts}});
    add(std::move(line));
  }
  add(Format("%-10s %4d", "VIEW-2", m.specified.Count()));
  for (const auto& sp : m.specified) {
    std::string head;
    Ints(head, {{10, sp.member}, {4, sp.positions.Count()}});
    add(std::move(head));
    if (sp.positions.Count() > 0) {
      std::string line;
      for (const auto& p : sp.positions) AppendFixed(line, 10, 3, p.x);
      add(std::move(line));
    }
  }
  for (const auto& lc : m.load_cases) {
    add(Format("%-10s %4d %4d %4d %4d %8s %s", "LOAD-CASE", lc.number, lc.items.Count(),
               lc.spring_case, lc.support_case, "", lc.name.c_str()));
    for (const auto& it : lc.items) {
      std::string line;
      Ints(line, {{10, it.type}, {4, it.first_member}, {4, it.last_member}});
      for (double v : {it.d1, it.d2, it.d3, it.d4}) {
        line += ' ';
        AppendFixed(line, 9, 3, v);
      }
      add(std::move(line));
    }
  }
  for (const auto& co : m.combinations) {
    add(Format("%-10s %4d %4d %9.4f %8s %s", "KUMI-CASE", co.number, co.entries.Count(), co.factor,
               "", co.name.c_str()));
    for (const auto& en : co.entries) {
      std::string line;
      AppendInt(line, 15, en.load_case);
      AppendFixed(line, 15, 4, en.factor);
      add(std::move(line));
    }
  }
  for (const auto& ex : m.extraction_cases) {
    add(Format("%-10s %4d %4d %8s %s", "PICK-CASE", ex.number, ex.entries.Count(), "",
               ex.name.c_str()));
    for (const auto& en : ex.entries) {
      std::string line;
      Ints(line, {{15, en.a}, {4, en.b}});
      add(std::move(line));
    }
  }
  add("END");
  add(Format("%-10s %4d", "V2-NAME", m.specified.Count()));
  for (const auto& sp : m.specified) {
    std::string line;
    Ints(line, {{4, sp.member}, {4, sp.positions.Count()}});
    line += ' ';
    for (int k = 1; k <= sp.positions.Count(); ++k) {
      std::string name;
      Left(name, 20, sp.positions[k].name.c_str());
      PutAt(line, 10 + 20 * (k - 1), name);
    }
    add(std::move(line));
  }
  add("END");
}

std::string SaveFrameText(const FrameModel& model, const std::string& path, WriteMode mode) {
  std::vector<std::string> lines;
  WriteFrameText(model, lines);
  std::string error;
  if (!WriteFileAtomic(path, JoinLinesCrLf(lines), &error, mode)) return path + "に保存できません";
  return {};
}

namespace {

constexpr double kMaxCoordinate = 1e4;  // m
// Shorter than this a member has no length: its ends are at one place.
constexpr double kMinMemberLength = 1e-6;  // m
constexpr double kMaxSplitReal = 1e15;     // kN/m2, m2, m4, kN/m2 per m

// Strict, line-by-line reader of a frame text into a model.
class TextReader {
 public:
  TextReader(const std::vector<std::string>& lines, const std::string& file)
      : lines_(lines), file_(file) {}

  const std::string& error() const { return error_; }
  bool failed() const { return !error_.empty(); }

  // The next line; a missing line is an error.
  const std::string* Next(const char* what) {
    if (failed()) return nullptr;
    if (pos_ >= lines_.size()) {
      Fail(pos_ + 1, std::string(what) + " の行が有りません");
      return nullptr;
    }
    return &lines_[pos_++];
  }
  int LineNo() const { return static_cast<int>(pos_); }

  void Fail(std::size_t line, const std::string& why) {
    if (error_.empty())
      error_ = Format("%s の %d 行目: ", file_.c_str(), static_cast<int>(line)) + why;
  }
  void Fail(const std::string& why) { Fail(pos_, why); }

  // Tokens of a line; fails when fewer than n.
  std::vector<std::string> Tokens(const std::string& line, std::size_t n) {
    auto t = SplitCommaText(line);
    if (t.size() < n) Fail(Format("項目が %d 個必要です", static_cast<int>(n)));
    return t;
  }
  int Int(const std::vector<std::string>& t, std::size_t i) {
    if (failed() || i >= t.size()) return 0;
    auto v = ParseRealStrict(t[i]);
    if (!v || *v != std::floor(*v) || std::fabs(*v) > 1e9) {
      Fail("整数ではありません: " + t[i]);
      return 0;
    }
    return static_cast<int>(*v);
  }
  double Real(const std::vector<std::string>& t, std::size_t i) {
    if (failed() || i >= t.size()) return 0;
    auto v = ParseRealStrict(t[i]);
    if (!v) {
      Fail("数値ではありません: " + t[i]);
      return 0;
    }
    if (!IsPlausibleInput(*v)) {
      Fail("数値が大きすぎます: " + t[i]);
      return 0;
    }
    return *v;
  }
  // A node coordinate: the column of 10 characters holds no more than
  // this, and a frame of this system is far smaller.
  double Coordinate(const std::vector<std::string>& t, std::size_t i) {
    const double v = Real(t, i);
    if (!failed() && std::fabs(v) > kMaxCoordinate) {
      Fail(Format("座標 %s が範囲 ±%g m を外れています", t[i].c_str(), kMaxCoordinate));
      return 0;
    }
    return v;
  }
  // A split real read by its columns: mantissa [c, c+w), exponent [c+w, c+w+n).
  double Split(const std::string& line, std::size_t c, std::size_t w, std::size_t n) {
    if (failed()) return 0;
    if (line.size() < c + w) {
      Fail("数値の桁が足りません");
      return 0;
    }
    auto mant = ParseRealStrict(line.substr(c, w));
    auto exp = ParseRealStrict(line.substr(c + w, std::min(n, line.size() - c - w)));
    if (!mant || !exp || *exp != std::floor(*exp) || std::fabs(*exp) > 300) {
      Fail("数値ではありません: " + line.substr(c, w + n));
      return 0;
    }
    const double v = *mant * std::pow(10.0, *exp);
    // Moduli, section values and spring constants stay far below this.
    if (!std::isfinite(v) || std::fabs(v) > kMaxSplitReal) {
      Fail("数値が大きすぎます: " + line.substr(c, w + n));
      return 0;
    }
    return v;
  }
  // A count bounded by 0..capacity.
  int Count(int value, int capacity, const char* what) {
    if (failed()) return 0;
    if (value < 0 || value > capacity) {
      Fail(Format("%s の数 %d が範囲 0..%d を外れています", what, value, capacity));
      return 0;
    }
    return value;
  }
  static std::string From(const std::string& line, std::size_t c,
                          std::size_t n = std::string::npos) {
    if (line.size() <= c) return {};
    return line.substr(c, n);
  }

 private:
  const std::vector<std::string>& lines_;
  std::string file_;
  std::size_t pos_ = 0;
  std::string error_;
};

bool Expect(TextReader& r, const std::string* line, const char* keyword) {
  if (!line) return false;
  std::string k(keyword);
  if (line->compare(0, k.size(), k) != 0) {
    r.Fail(std::string(keyword) + " の行ではありません");
    return false;
  }
  return true;
}

// The header count of a "%-10s %4d" line.
int HeaderCount(TextReader& r, const char* keyword) {
  const std::string* line = r.Next(keyword);
  if (!Expect(r, line, keyword)) return 0;
  auto t = r.Tokens(*line, 2);
  return r.Int(t, 1);
}

}  // namespace

std::string ReadFrameText(const std::vector<std::string>& lines, const std::string& file_name,
                          FrameModel& out) {
  TextReader r(lines, file_name);
  FrameModel m;
  m.opt_mmax = 0;
  const std::string* line = r.Next("FRAME");
  if (Expect(r, line, "FRAME")) m.format_tag = TextReader::From(*line, 10);
  line = r.Next("TITLE");
  if (Expect(r, line, "TITLE")) m.title = TextReader::From(*line, 10);

  int counts[8] = {};
  line = r.Next("CONTROL1");
  Expect(r, line, "CONTROL1");
  line = r.Next("CONTROL1");
  if (line) {
    auto t = r.Tokens(*line, 8);
    for (int k = 0; k < 8; ++k) counts[k] = r.Int(t, k);
  }
  int nodes = r.Count(counts[0], kFrameMaxNodes, "格点");
  int members = r.Count(counts[1], kFrameMaxMembers, "部材");
  int materials = r.Count(counts[2], kFrameMaxMaterials, "材質");
  int sections = r.Count(counts[3], kFrameMaxSections, "断面");
  int spring_cases = r.Count(counts[4], kFrameMaxSpringCases, "バネケース");
  int support_cases = r.Count(counts[6], kFrameMaxSupportCases, "支点ケース");

  int c2[6] = {};
  line = r.Next("CONTROL2");
  Expect(r, line, "CONTROL2");
  line = r.Next("CONTROL2");
  if (line) {
    auto t = r.Tokens(*line, 6);
    for (int k = 0; k < 6; ++k) c2[k] = r.Int(t, k);
  }
  int load_cases = r.Count(c2[0], kFrameMaxLoadCases, "荷重ケース");
  int combinations = r.Count(c2[1], kFrameMaxCombinations, "組合せ");
  int extractions = r.Count(c2[2], kFrameMaxExtractionCases, "抽出ケース");
  if (!r.failed() && (c2[3] != 0 || c2[4] != 0 || c2[5] != 0)) r.Fail("二重格点と剛域は扱えません");

  line = r.Next("CONTROL3");
  Expect(r, line, "CONTROL3");
  line = r.Next("CONTROL3");
  if (line) {
    auto t = r.Tokens(*line, 5);
    m.opt_linear = r.Int(t, 0);
    m.opt_mmax = r.Int(t, 1);
    m.opt_landing = r.Int(t, 2);
    m.opt_increase = r.Int(t, 3);
    m.opt_prestress = r.Int(t, 4);
  }

  auto check_header = [&](const char* keyword, int expected) {
    int n = HeaderCount(r, keyword);
    if (!r.failed() && n != expected)
      r.Fail(Format("%s の数 %d が CONTROL 行の %d と違います", keyword, n, expected));
  };

  // Numbers read so far, for the references of the later lines.
  std::set<int> node_numbers, material_numbers, section_numbers, member_numbers;
  // Node coordinates by number: a member between two points at one place
  // has no length and no stiffness the solver could use.
  std::map<int, std::pair<double, double>> node_at;
  check_header("POINT", nodes);
  for (int i = 0; i < nodes && !r.failed(); ++i) {
    line = r.Next("格点");
    if (!line) break;
    auto t = r.Tokens(*line, 3);
    FrameNode n;
    n.number = r.Int(t, 0);
    n.x = r.Coordinate(t, 1);
    n.y = r.Coordinate(t, 2);
    if (!r.failed() && !node_numbers.insert(n.number).second)
      r.Fail(Format("格点番号 %d が重複しています", n.number));
    node_at[n.number] = {n.x, n.y};
    m.nodes.Add(n);
  }
  check_header("MATERIAL", materials);
  for (int i = 0; i < materials && !r.failed(); ++i) {
    line = r.Next("材質");
    if (!line) break;
    auto t = r.Tokens(*line, 1);
    FrameMaterial mat;
    mat.number = r.Int(t, 0);
    mat.e = r.Split(*line, 10, 10, 5);
    mat.alpha = r.Split(*line, 25, 10, 5);
    if (!r.failed() && !(mat.e > 0))
      r.Fail(Format("材質 %d の弾性係数 %g は 0 より大きい値が必要です", mat.number, mat.e));
    material_numbers.insert(mat.number);
    m.materials.Add(mat);
  }
  check_header("SECTION", sections);
  for (int i = 0; i < sections && !r.failed(); ++i) {
    line = r.Next("断面");
    if (!line) break;
    auto t = r.Tokens(*line, 1);
    FrameSection s;
    s.number = r.Int(t, 0);
    s.area = r.Split(*line, 10, 10, 5);
    s.inertia = r.Split(*line, 25, 10, 5);
    if (!r.failed() && !(s.area > 0))
      r.Fail(Format("断面 %d の断面積 %g は 0 より大きい値が必要です", s.number, s.area));
    if (!r.failed() && !(s.inertia > 0))
      r.Fail(Format("断面 %d の断面二次モーメント %g は 0 より大きい値が必要です", s.number,
                    s.inertia));
    section_numbers.insert(s.number);
    m.sections.Add(s);
  }
  check_header("MEMBER", members);
  for (int i = 0; i < members && !r.failed(); ++i) {
    line = r.Next("部材");
    if (!line) break;
    auto t = r.Tokens(*line, 9);
    FrameMember e;
    e.number = r.Int(t, 0);
    e.node_i = r.Int(t, 1);
    e.node_j = r.Int(t, 2);
    e.section = r.Int(t, 3);
    e.material = r.Int(t, 4);
    e.end_i = r.Int(t, 5);
    e.end_j = r.Int(t, 6);
    e.real1 = r.Real(t, 7);
    e.real2 = r.Real(t, 8);
    e.name = TextReader::From(*line, 65);
    if (!r.failed()) {
      if (!node_numbers.count(e.node_i) || !node_numbers.count(e.node_j))
        r.Fail(Format("部材 %d の格点 %d が有りません", e.number,
                      node_numbers.count(e.node_i) ? e.node_j : e.node_i));
      else if (e.node_i == e.node_j)
        r.Fail(Format("部材 %d の両端が同じ格点 %d です", e.number, e.node_i));
      else if (std::hypot(node_at[e.node_i].first - node_at[e.node_j].first,
                          node_at[e.node_i].second - node_at[e.node_j].second) < kMinMemberLength)
        r.Fail(Format("部材 %d の格点 %d と %d が同じ位置にあります(長さ 0 の部材)", e.number,
                      e.node_i, e.node_j));
      else if (!section_numbers.count(e.section))
        r.Fail(Format("部材 %d の断面 %d が有りません", e.number, e.section));
      else if (!material_numbers.count(e.material))
        r.Fail(Format("部材 %d の材質 %d が有りません", e.number, e.material));
      else if ((e.end_i != 0 && e.end_i != 1) || (e.end_j != 0 && e.end_j != 1))
        r.Fail(Format("部材 %d の端部条件 %d %d は 0 か 1 です", e.number, e.end_i, e.end_j));
      else if (!member_numbers.insert(e.number).second)
        r.Fail(Format("部材番号 %d が重複しています", e.number));
    }
    m.members.Add(e);
  }
  for (int c = 0; c < spring_cases && !r.failed(); ++c) {
    line = r.Next("BANE-CASE");
    if (!Expect(r, line, "BANE-CASE")) break;
    auto t = r.Tokens(*line, 3);
    FrameSpringCase sc;
    sc.number = r.Int(t, 1);
    int n = r.Count(r.Int(t, 2), kFrameMaxSpringsPerCase, "バネ");
    sc.name = TextReader::From(*line, 40);
    for (int i = 0; i < n && !r.failed(); ++i) {
      line = r.Next("バネ");
      if (!line) break;
      auto tt = r.Tokens(*line, 1);
      FrameSpring sp;
      sp.member = r.Int(tt, 0);
      sp.k_normal = r.Split(*line, 10, 10, 3);
      sp.k_tangent = r.Split(*line, 30, 10, 3);
      if (!r.failed() && !member_numbers.count(sp.member))
        r.Fail(Format("バネの部材 %d が有りません", sp.member));
      sc.springs.Add(sp);
    }
    m.spring_cases.Add(sc);
  }
  for (int c = 0; c < support_cases && !r.failed(); ++c) {
    line = r.Next("SUPT-CASE");
    if (!Expect(r, line, "SUPT-CASE")) break;
    auto t = r.Tokens(*line, 3);
    FrameSupportCase sc;
    sc.number = r.Int(t, 1);
    int n = r.Count(r.Int(t, 2), kFrameMaxSupportsPerCase, "支点");
    sc.name = TextReader::From(*line, 40);
    for (int i = 0; i < n && !r.failed(); ++i) {
      line = r.Next("支点");
      if (!line) break;
      auto tt = r.Tokens(*line, 1);
      FrameSupport su;
      su.node = r.Int(tt, 0);
      for (int k = 0; k < 6; ++k) su.values[k] = r.Split(*line, 10 + 10 * k, 8, 2);
      auto type = ParseRealStrict(TextReader::From(*line, 70));
      const bool type_ok = type && *type == std::floor(*type) && std::fabs(*type) <= 1e6;
      if (!r.failed() && !type_ok) r.Fail("支点の種別が読めません");
      su.type = type_ok ? static_cast<int>(*type) : 0;
      if (!r.failed() && !node_numbers.count(su.node))
        r.Fail(Format("支点の格点 %d が有りません", su.node));
      sc.supports.Add(su);
    }
    m.support_cases.Add(sc);
  }
  int n_div = r.Count(HeaderCount(r, "VIEW-1"), kFrameMaxEqualDivisions, "等分割");
  for (int i = 0; i < n_div && !r.failed(); ++i) {
    line = r.Next("等分割");
    if (!line) break;
    auto t = r.Tokens(*line, 3);
    m.equal_divisions.Add({r.Int(t, 0), r.Int(t, 1), r.Int(t, 2)});
  }
  int n_spec = r.Count(HeaderCount(r, "VIEW-2"), kFrameMaxSpecifiedEntries, "着目点");
  for (int i = 0; i < n_spec && !r.failed(); ++i) {
    line = r.Next("着目点");
    if (!line) break;
    auto t = r.Tokens(*line, 2);
    FrameSpecifiedPositions sp;
    sp.member = r.Int(t, 0);
    int n = r.Count(r.Int(t, 1), kFrameMaxPositionsPerEntry, "着目位置");
    if (n > 0) {
      line = r.Next("着目位置");
      if (!line) break;
      auto tt = r.Tokens(*line, static_cast<std::size_t>(n));
      if (!r.failed() && tt.size() != static_cast<std::size_t>(n)) r.Fail("着目位置の数が違います");
      for (int k = 0; k < n && !r.failed(); ++k) sp.positions.Add({r.Real(tt, k), {}});
    }
    m.specified.Add(sp);
  }
  std::set<int> load_case_numbers;
  for (int c = 0; c < load_cases && !r.failed(); ++c) {
    line = r.Next("LOAD-CASE");
    if (!Expect(r, line, "LOAD-CASE")) break;
    auto t = r.Tokens(*line, 5);
    FrameLoadCase lc;
    lc.number = r.Int(t, 1);
    int n = r.Count(r.Int(t, 2), kFrameMaxItemsPerCase, "荷重");
    lc.spring_case = r.Int(t, 3);
    lc.support_case = r.Int(t, 4);
    lc.name = TextReader::From(*line, 40);
    // The results are kept by load case number, the combinations name them.
    if (!r.failed() && (lc.number < 1 || lc.number > kFrameMaxLoadCases))
      r.Fail(
          Format("荷重ケース番号 %d が範囲 1..%d を外れています", lc.number, kFrameMaxLoadCases));
    if (!r.failed() && !load_case_numbers.insert(lc.number).second)
      r.Fail(Format("荷重ケース番号 %d が重複しています", lc.number));
    for (int i = 0; i < n && !r.failed(); ++i) {
      line = r.Next("荷重");
      if (!line) break;
      auto tt = r.Tokens(*line, 7);
      FrameLoadItem it;
      it.type = r.Int(tt, 0);
      it.first_member = r.Int(tt, 1);
      it.last_member = r.Int(tt, 2);
      it.d1 = r.Real(tt, 3);
      it.d2 = r.Real(tt, 4);
      it.d3 = r.Real(tt, 5);
      it.d4 = r.Real(tt, 6);
      lc.items.Add(it);
    }
    m.load_cases.Add(lc);
  }
  for (int c = 0; c < combinations && !r.failed(); ++c) {
    line = r.Next("KUMI-CASE");
    if (!Expect(r, line, "KUMI-CASE")) break;
    auto t = r.Tokens(*line, 4);
    FrameCombination co;
    co.number = r.Int(t, 1);
    int n = r.Count(r.Int(t, 2), kFrameMaxCombinationEntries, "組合せ荷重");
    co.factor = r.Real(t, 3);
    co.name = TextReader::From(*line, 40);
    for (int i = 0; i < n && !r.failed(); ++i) {
      line = r.Next("組合せ荷重");
      if (!line) break;
      auto tt = r.Tokens(*line, 2);
      const int load_case = r.Int(tt, 0);
      if (!r.failed() && !load_case_numbers.count(load_case))
        r.Fail(Format("組合せ %d の荷重ケース %d が有りません", co.number, load_case));
      co.entries.Add({load_case, r.Real(tt, 1)});
    }
    m.combinations.Add(co);
  }
  for (int c = 0; c < extractions && !r.failed(); ++c) {
    line = r.Next("PICK-CASE");
    if (!Expect(r, line, "PICK-CASE")) break;
    auto t = r.Tokens(*line, 3);
    FrameExtractionCase ex;
    ex.number = r.Int(t, 1);
    int n = r.Count(r.Int(t, 2), kFrameMaxExtractionEntries, "抽出");
    ex.name = TextReader::From(*line, 30);
    for (int i = 0; i < n && !r.failed(); ++i) {
      line = r.Next("抽出");
      if (!line) break;
      auto tt = r.Tokens(*line, 2);
      ex.entries.Add({r.Int(tt, 0), r.Int(tt, 1)});
    }
    m.extraction_cases.Add(ex);
  }
  line = r.Next("END");
  if (line && !r.failed() && *line != "END") r.Fail("END の行ではありません");
  int n_names = HeaderCount(r, "V2-NAME");
  if (!r.failed() && n_names != m.specified.Count())
    r.Fail(Format("V2-NAME の数 %d が VIEW-2 の %d と違います", n_names, m.specified.Count()));
  for (int i = 1; i <= n_names && !r.failed(); ++i) {
    line = r.Next("V2-NAME");
    if (!line) break;
    auto& sp = m.specified[i];
    int count = sp.positions.Count();
    for (int k = 1; k <= count; ++k) {
      std::size_t col = 10 + 20 * static_cast<std::size_t>(k - 1);
      std::string name =
          k < count ? TextReader::From(*line, col, 20) : TextReader::From(*line, col);
      sp.positions[k].name = TrimRight(name);
    }
  }
  line = r.Next("END");
  if (line && !r.failed() && *line != "END") r.Fail("END の行ではありません");
  if (r.failed()) return r.error();
  out = std::move(m);
  return {};
}

std::string LoadFrameTextFile(const std::string& path, FrameModel& model) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return path + "を正常に読めません";
  return ReadFrameText(SplitLines(*bytes), path, model);
}

}  // namespace vaultra
