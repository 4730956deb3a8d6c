#include "app/document/project_file.h"

#include <algorithm>
#include <optional>

#include "core/cp932.h"
#include "core/fileio.h"
#include "core/fixed_fields.h"
#include "core/format_by_tag.h"
#include "core/number.h"

namespace vaultra {

const char* const kOldFormatWarning =
    "旧形式のファイルです。\n\n[地盤入力],[荷重の設定] の画面内容を再設定して下さい。";

namespace {

constexpr const char* kBlockHeaders[] = {"[KZ1_BLKTBL]", "[KZ1_POSTBL]", "[KZ1_BZITBL]",
                                         "[KZ2_POSTBL]", "[KZ2_BZITBL]"};
constexpr const char* kReal3 = " %.3f";
constexpr const char* kReal4 = "%8.4f";

std::string OneLine(std::string_view text) {
  std::string s(text);
  std::replace(s.begin(), s.end(), '\r', ' ');
  std::replace(s.begin(), s.end(), '\n', ' ');
  return s;
}

std::string IntLine(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += IntField(v);
  return s;
}

template <typename It>
std::string RealLine(It first, It last, const char* fmt) {
  std::string s;
  for (It it = first; it != last; ++it) s += RealField(*it, fmt);
  return s;
}

// ---- writing ---------------------------------------------------------------

void WriteDimensionSet(std::vector<std::string>& out, const DimensionSet& set) {
  out.push_back(IntField(set.kind));
  // The filler field after the set is written as zero; readers overwrite it.
  out.push_back(RealLine(set.v.begin(), set.v.end(), kReal3) + RealField(0.0, kReal3));
}

void WriteBlockTable(std::vector<std::string>& out, ProjectState& s) {
  out.push_back(kBlockHeaders[0]);
  const StructureModel& m = s.transverse;
  out.push_back(IntLine({m.real_block_count, m.block_count}));
  for (int k = 1; k <= m.block_count; ++k) {
    BlockRecord& b = s.block_row.At(k);
    b.number = k;
    WriteDimensionSet(out, b.default_set);
    WriteDimensionSet(out, b.working_set);
    const double xz[] = {b.x, b.z};
    out.push_back(RealLine(std::begin(xz), std::end(xz), kReal3));
  }
}

void WriteNodeTable(std::vector<std::string>& out, const char* header, StructureModel& m) {
  out.push_back(header);
  out.push_back(IntField(m.node_count));
  for (int k = 1; k <= m.node_count; ++k) {
    ModelNode& n = m.Node(k);
    n.number = k;
    std::string ints = IntField(n.number);
    for (int c : n.codes) ints += IntField(c);
    out.push_back(ints);
    const double xy[] = {n.x, n.y};
    out.push_back(RealLine(std::begin(xy), std::end(xy), kReal4));
  }
}

void WriteMemberTable(std::vector<std::string>& out, const char* header, StructureModel& m,
                      int entries) {
  out.push_back(header);
  out.push_back(IntField(m.member_count));
  for (int k = 1; k <= entries; ++k) {
    ModelMember& mb = m.Member(k);
    mb.number = k;
    std::string ints = IntLine({mb.number, mb.block, mb.node_i, mb.node_j, mb.code_i, mb.code_j,
                                mb.type, mb.poi_flag, mb.mirrored});
    for (int v : mb.spare) ints += IntField(v);
    out.push_back(ints);
    out.push_back(RealLine(mb.points.begin(), mb.points.end(), kReal3));
    const MemberSection& sec = m.Section(k);
    out.push_back(RealLine(sec.v.begin() + kSectionHalf, sec.v.end(), kReal3));
    out.push_back(RealLine(sec.v.begin(), sec.v.begin() + kSectionHalf, kReal3));
    out.push_back("");
  }
}

// The model page stores its three list selections in hidden edit fields;
// the facility type is the model record's (a mini-gate is kept as a box).
void CopyListIndexesToCarriers(FormState& model) {
  const Control& type = model.At("CoBox0");
  Control& model_index = model.At("ModelIndex");
  model_index.text = NumberTextByTag(std::clamp(type.index, 0, 1), model_index.tag);
  Control& block_index = model.At("BlockIndex");
  block_index.text = NumberTextByTag(model.Index("CoBox1"), block_index.tag);
  Control& slab_index = model.At("SlabuIndex");
  slab_index.text = NumberTextByTag(model.Index("CoBox2"), slab_index.tag);
}

}  // namespace

std::vector<std::string> ProjectFileLines(ProjectState& state, std::string_view path,
                                          PageLogic& logic) {
  for (int i = 0; i < kFormCount; ++i) logic.PrepareWrite(state, static_cast<FormId>(i));
  CopyListIndexesToCarriers(state.model);

  std::vector<std::string> out;
  out.push_back(std::string("Orvane設計書(") + kFacilityTypeNames[FacilityTypeIndex(state)] +
                ") = " + kProjectFormatVersion);
  out.push_back(TruncateBytes(OneLine(path), kMaxPathBytes));
  out.push_back(TruncateBytes(OneLine(state.model.Text("EdModelName")), kMaxModelNameBytes));

  WriteBlockTable(out, state);
  WriteNodeTable(out, kBlockHeaders[1], state.transverse);
  // The transverse table carries one entry behind the last member: the
  // joint record of the cast-in-place bottom slab.
  WriteMemberTable(out, kBlockHeaders[2], state.transverse, state.transverse.member_count + 1);
  WriteNodeTable(out, kBlockHeaders[3], state.longitudinal);
  WriteMemberTable(out, kBlockHeaders[4], state.longitudinal, state.longitudinal.member_count);

  for (const FormState* form : state.Forms()) WriteControls(out, form->section, form->controls);
  return out;
}

bool SaveProjectFile(ProjectState& state, const std::string& path, PageLogic& logic,
                     std::string* error) {
  const std::vector<std::string> lines = ProjectFileLines(state, path, logic);
  return WriteFileAtomic(path, JoinLinesCrLf(lines), error);
}

bool SaveProjectFileUi(ProjectState& state, const std::string& path, PageLogic& logic, Ui& ui) {
  std::string error;
  if (SaveProjectFile(state, path, logic, &error)) return true;
  ui.Tell(MsgKind::kError,
          "ファイル\n" + path + "\nに保存できませんでした。元のファイルはそのままです。\n" + error);
  return false;
}

// ---- reading ---------------------------------------------------------------

namespace {

// Reads the lines of one structure block. A line that is missing (the file
// ends) or that starts another block or section ("[") cuts the block short.
class BlockCursor {
 public:
  BlockCursor(const std::vector<std::string>& lines, std::size_t pos) : lines_(lines), pos_(pos) {}

  const std::string* Next() {
    if (failed_) return nullptr;
    if (pos_ >= lines_.size() || (!lines_[pos_].empty() && lines_[pos_][0] == '[')) {
      failed_ = true;
      return nullptr;
    }
    return &lines_[pos_++];
  }
  bool failed() const { return failed_; }
  std::size_t pos() const { return pos_; }

 private:
  const std::vector<std::string>& lines_;
  std::size_t pos_;
  bool failed_ = false;
};

std::string CountRefused(std::size_t header_line, const char* header, const char* what, int n,
                         int capacity) {
  return Format(
      "%d 行目: %s の%s %d は範囲 0～%d の外にあるため、この表は読み込まず元のままにします",
      static_cast<int>(header_line) + 1, header, what, n, capacity);
}

std::string CutShort(std::size_t header_line, const char* header, std::size_t at) {
  return Format("%d 行目: %s が %d 行目で途切れているため、この表は読み込まず元のままにします",
                static_cast<int>(header_line) + 1, header, static_cast<int>(at) + 1);
}

// A count line that holds more than its fields: the count is too wide for
// its field; shown whole rather than cut to the field.
bool CountFits(const std::string& line, std::size_t fields, std::size_t header_line,
               const char* header, std::vector<std::string>& errors) {
  const std::size_t width = fields * kIntFieldWidth;
  if (line.size() <= width || Trim(std::string_view(line).substr(width)).empty()) return true;
  errors.push_back(Format(
      "%d 行目: %s の数 \"%s\" が %d 桁の欄に収まらないため、この表は読み込まず元のままにします",
      static_cast<int>(header_line) + 2, header, Trim(line).c_str(),
      static_cast<int>(kIntFieldWidth)));
  return false;
}

// The first count real fields of a line are numbers a structure can hold;
// otherwise the block is refused with the line and the field named.
bool PlausibleReals(const std::vector<std::string>& lines, const std::string* line, int count,
                    const char* header, std::vector<std::string>& errors) {
  for (int i = 0; i < count; ++i) {
    if (IsPlausibleInput(ReadRealField(*line, static_cast<std::size_t>(i)))) continue;
    const std::size_t from = static_cast<std::size_t>(i) * kRealFieldWidth;
    errors.push_back(
        Format("%d 行目: %s の %d 番目の値 \"%s\" が有限でないか範囲 ±1e9 を超えるため、"
               "この表は読み込まず元のままにします",
               static_cast<int>(line - lines.data()) + 1, header, i + 1,
               from < line->size() ? line->substr(from, kRealFieldWidth).c_str() : ""));
    return false;
  }
  return true;
}

void ReadDimensionSet(const std::string& kind_line, const std::string& values_line,
                      DimensionSet& set) {
  set.kind = ReadIntField(kind_line, 0);
  for (int i = 0; i < kDimensionValues; ++i)
    set.v[static_cast<std::size_t>(i)] = ReadRealField(values_line, i);
}

// Each reader returns the line after the block, or nullopt with the problem
// recorded; the state is changed only when the whole block was read.
std::optional<std::size_t> ReadBlockTable(const std::vector<std::string>& lines, std::size_t header,
                                          ProjectState& s, std::vector<std::string>& errors) {
  BlockCursor cur(lines, header + 1);
  const std::string* counts = cur.Next();
  if (!counts) {
    errors.push_back(CutShort(header, kBlockHeaders[0], cur.pos()));
    return std::nullopt;
  }
  if (!CountFits(*counts, 2, header, kBlockHeaders[0], errors)) return std::nullopt;
  const int n = ReadIntField(*counts, 0);
  const int n_all = ReadIntField(*counts, 1);
  if (n_all < 0 || n_all > kMaxBlocks) {
    errors.push_back(CountRefused(header, kBlockHeaders[0], "ブロック数", n_all, kMaxBlocks));
    return std::nullopt;
  }
  if (n < 0 || n > n_all) {
    errors.push_back(CountRefused(header, kBlockHeaders[0], "実ブロック数", n, n_all));
    return std::nullopt;
  }
  std::vector<BlockRecord> read(static_cast<std::size_t>(n_all) + 1);
  for (int k = 1; k <= n_all; ++k) {
    BlockRecord& b = read[static_cast<std::size_t>(k)];
    const std::string* l[5];
    for (auto& p : l) p = cur.Next();
    if (cur.failed()) {
      errors.push_back(CutShort(header, kBlockHeaders[0], cur.pos()));
      return std::nullopt;
    }
    if (!PlausibleReals(lines, l[1], kDimensionValues, kBlockHeaders[0], errors) ||
        !PlausibleReals(lines, l[3], kDimensionValues, kBlockHeaders[0], errors) ||
        !PlausibleReals(lines, l[4], 2, kBlockHeaders[0], errors))
      return std::nullopt;
    b.number = k;
    ReadDimensionSet(*l[0], *l[1], b.default_set);
    ReadDimensionSet(*l[2], *l[3], b.working_set);
    b.x = ReadRealField(*l[4], 0);
    b.z = ReadRealField(*l[4], 1);
  }
  for (int k = 1; k <= n_all; ++k) s.block_row.At(k) = read[static_cast<std::size_t>(k)];
  s.transverse.real_block_count = n;
  s.transverse.block_count = n_all;
  return cur.pos();
}

// The count line at the top of a node or member block, checked against
// the capacity of its table.
std::optional<int> ReadCount(BlockCursor& cur, std::size_t header, const char* name,
                             const char* what, int capacity, std::vector<std::string>& errors) {
  const std::string* line = cur.Next();
  if (!line) {
    errors.push_back(CutShort(header, name, cur.pos()));
    return std::nullopt;
  }
  if (!CountFits(*line, 1, header, name, errors)) return std::nullopt;
  const int n = ReadIntField(*line, 0);
  if (n < 0 || n > capacity) {
    errors.push_back(CountRefused(header, name, what, n, capacity));
    return std::nullopt;
  }
  return n;
}

std::optional<std::size_t> ReadNodeTable(const std::vector<std::string>& lines, std::size_t header,
                                         const char* name, StructureModel& m,
                                         std::vector<std::string>& errors) {
  BlockCursor cur(lines, header + 1);
  const std::optional<int> count = ReadCount(cur, header, name, "節点数", kMaxNodes, errors);
  if (!count) return std::nullopt;
  const int n = *count;
  std::vector<ModelNode> read(static_cast<std::size_t>(n) + 1);
  for (int k = 1; k <= n; ++k) {
    const std::string* ints = cur.Next();
    const std::string* reals = cur.Next();
    if (cur.failed()) {
      errors.push_back(CutShort(header, name, cur.pos()));
      return std::nullopt;
    }
    if (!PlausibleReals(lines, reals, 2, name, errors)) return std::nullopt;
    ModelNode& node = read[static_cast<std::size_t>(k)];
    node.number = ReadIntField(*ints, 0);
    for (int c = 0; c < kNodeCodes; ++c)
      node.codes[static_cast<std::size_t>(c)] = ReadIntField(*ints, c + 1);
    node.x = ReadRealField(*reals, 0);
    node.y = ReadRealField(*reals, 1);
  }
  for (int k = 1; k <= n; ++k) m.Node(k) = read[static_cast<std::size_t>(k)];
  m.node_count = n;
  return cur.pos();
}

std::optional<std::size_t> ReadMemberTable(const std::vector<std::string>& lines,
                                           std::size_t header, const char* name, StructureModel& m,
                                           bool with_joint_record,
                                           std::vector<std::string>& errors) {
  BlockCursor cur(lines, header + 1);
  const std::optional<int> count = ReadCount(cur, header, name, "部材数", kMaxMembers, errors);
  if (!count) return std::nullopt;
  const int n = *count;
  const int entries = with_joint_record ? n + 1 : n;
  struct Entry {
    ModelMember member;
    MemberSection section;
  };
  std::vector<Entry> read(static_cast<std::size_t>(entries) + 1);
  for (int k = 1; k <= entries; ++k) {
    const std::string* l[5];
    for (auto& p : l) p = cur.Next();
    if (cur.failed()) {
      errors.push_back(CutShort(header, name, cur.pos()));
      return std::nullopt;
    }
    if (!PlausibleReals(lines, l[1], kMemberPoints, name, errors) ||
        !PlausibleReals(lines, l[2], kSectionHalf, name, errors) ||
        !PlausibleReals(lines, l[3], kSectionHalf, name, errors))
      return std::nullopt;
    Entry& e = read[static_cast<std::size_t>(k)];
    ModelMember& mb = e.member;
    int* ints[] = {&mb.number, &mb.block, &mb.node_i,   &mb.node_j,  &mb.code_i,
                   &mb.code_j, &mb.type,  &mb.poi_flag, &mb.mirrored};
    int field = 0;
    for (int* p : ints) *p = ReadIntField(*l[0], field++);
    for (int& v : mb.spare) v = ReadIntField(*l[0], field++);
    for (int i = 0; i < kMemberPoints; ++i)
      mb.points[static_cast<std::size_t>(i)] = ReadRealField(*l[1], i);
    for (int i = 0; i < kSectionHalf; ++i) {
      e.section.v[static_cast<std::size_t>(kSectionHalf + i)] = ReadRealField(*l[2], i);
      e.section.v[static_cast<std::size_t>(i)] = ReadRealField(*l[3], i);
    }
    // l[4] is the empty line behind each member.
  }
  for (int k = 1; k <= entries; ++k) {
    ModelMember& target = m.Member(k);
    const double length = target.length;
    const int cover_group = target.cover_group;
    target = read[static_cast<std::size_t>(k)].member;
    // Length and cover group are recomputed, not stored.
    target.length = length;
    target.cover_group = cover_group;
    m.Section(k) = read[static_cast<std::size_t>(k)].section;
  }
  m.member_count = n;
  return cur.pos();
}

bool IsKnownHeader(const std::string& line) {
  static const char* const kSections[] = {"[Fm_MAIN]", "[Fm11MDL]", "[Fm12JBN]", "[Fm13SiZ]",
                                          "[Fm14POS]", "[Fm15KAJ]", "[Fm16KYD]", "[Fm31DAN]",
                                          "[Fm32OR1]", "[Fm33OR2]", "[fmUtOryk]"};
  const std::string t = Trim(line);
  for (const char* h : kBlockHeaders)
    if (t == h) return true;
  for (const char* h : kSections)
    if (line == h) return true;
  return false;
}

void ReadStructureBlocks(const std::vector<std::string>& lines, ProjectState& s,
                         LoadResult& result) {
  bool seen[5] = {};
  std::size_t first_repeat = 0;
  int repeats = 0;
  for (std::size_t i = 0; i < lines.size();) {
    const std::string t = Trim(lines[i]);
    int which = -1;
    for (int b = 0; b < 5; ++b)
      if (t == kBlockHeaders[b]) which = b;
    if (which < 0) {
      ++i;
      continue;
    }
    // A table given twice: which one is meant cannot be told. Counted, not
    // told per line, so that a file of repeated headers stays one message.
    if (seen[which]) {
      if (repeats++ == 0) first_repeat = i;
      ++i;
      continue;
    }
    seen[which] = true;
    std::optional<std::size_t> next;
    switch (which) {
      case 0:
        next = ReadBlockTable(lines, i, s, result.errors);
        break;
      case 1:
        next = ReadNodeTable(lines, i, kBlockHeaders[1], s.transverse, result.errors);
        break;
      case 2:
        next = ReadMemberTable(lines, i, kBlockHeaders[2], s.transverse, true, result.errors);
        break;
      case 3:
        next = ReadNodeTable(lines, i, kBlockHeaders[3], s.longitudinal, result.errors);
        break;
      case 4:
        next = ReadMemberTable(lines, i, kBlockHeaders[4], s.longitudinal, false, result.errors);
        break;
    }
    i = next ? *next : i + 1;
  }
  if (repeats > 0)
    result.errors.push_back(Format("%d 行目: 表の見出し \"%s\" がもう一度あります(繰り返し %d 回)",
                                   static_cast<int>(first_repeat) + 1,
                                   Trim(lines[first_repeat]).c_str(), repeats));
  for (int b = 0; b < 5; ++b)
    if (!seen[b])
      result.errors.push_back(Format("%s がないため、この表は元のままです", kBlockHeaders[b]));
}

// Version 1.00 files lack the submerged unit weight of the ground grid:
// shift the columns behind the unit weight one to the right on every row
// that holds a layer and put in 9.00 kN/m3.
void ConvertGroundGridFrom100(GridData& grid) {
  const int cols = grid.col_count();
  for (int r = 1; r < grid.row_count(); ++r) {
    if (ReadReal(grid.Cell(1, r)) == 0) continue;
    for (int c = cols - 2; c >= 4; --c) grid.SetCell(c + 1, r, grid.Cell(c, r));
    grid.SetCell(4, r, "9.00");
  }
}

// A text that is valid UTF-8 with characters beyond ASCII, and that the
// program did not write: it has a byte-order mark, starts with the UTF-8
// form of the header, or is no valid cp932.
bool LooksLikeUtf8Text(std::string_view bytes) {
  if (!IsValidUtf8(bytes) || std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
      }))
    return false;
  const std::string header = Cp932ToUtf8("Orvane設計書");
  return bytes.substr(0, 3) == "\xEF\xBB\xBF" || bytes.substr(0, header.size()) == header ||
         !IsValidCp932(bytes);
}

// The line (0-based) of a key in a section, the last one when the key is
// given twice (its value is the one read), or of the header when the key
// is absent; npos when the section is absent.
std::size_t KeyLine(const std::vector<std::string>& lines, const std::string& section,
                    const std::string& key) {
  const std::string header = "[" + section + "]";
  const auto at = std::find(lines.begin(), lines.end(), header);
  if (at == lines.end()) return std::string::npos;
  const std::string prefix = key + " = ";
  std::size_t found = static_cast<std::size_t>(at - lines.begin());
  for (std::size_t i = found + 1; i < lines.size(); ++i) {
    if (!lines[i].empty() && lines[i][0] == '[') break;
    if (lines[i].compare(0, prefix.size(), prefix) == 0) found = i;
  }
  return found;
}

// Checks the numbers the pages read from the file, naming the line, the
// section and the key. An edit field that the page formats as a number
// must hold one number, whole: a text that is none ("abc", empty), that
// carries something behind the number ("1e8abc", "1,5"), that is not
// finite ("nan", "1e999") or beyond any input the program knows ("1e308")
// is an error, so that no calculation runs on a value the page would read
// differently from what the file says. The ground table's cells are
// checked the same way; a blank cell is an empty layer.
void CheckFormNumbers(const std::vector<std::string>& lines, ProjectState& s, LoadResult& result) {
  for (FormState* form : s.Forms()) {
    // The section-detail window is a calculator of its own: its values
    // never reach a verdict of the project, and reading formats them.
    if (form == &s.section_detail) continue;
    for (const Control& c : form->controls) {
      if (c.kind == ControlKind::kEdit && IsNumericTag(c.tag)) {
        const NumberCheck check = CheckNumberText(c.text);
        if (check == NumberCheck::kOk) continue;
        const std::size_t at = KeyLine(lines, form->section, c.name);
        if (at == std::string::npos) continue;  // not in the file: the designed value
        const std::string where = Format("%d 行目: [%s] %s = \"%s\"", static_cast<int>(at) + 1,
                                         form->section.c_str(), c.name.c_str(), c.text.c_str());
        const NumberParse p = ParseFiniteNumber(c.text);
        if (check == NumberCheck::kNotANumber)
          result.errors.push_back(where + ": " + NumberStatusText(p.status));
        else
          result.errors.push_back(where + ": 数値が有限でないか範囲 ±1e9 を超えています");
      } else if (c.kind == ControlKind::kGrid) {
        const std::size_t at = KeyLine(lines, form->section, c.name);
        if (at == std::string::npos) continue;
        const GridData& g = c.grid;
        const bool ground = form == &s.ground && c.name == "Grid1";
        // A ground table of no rows ("Grid1 = 0") would drop every layer the
        // file may have meant; blank rows are a table not yet filled in.
        const std::string prefix = c.name + " = ";
        const NumberParse rows =
            lines[at].compare(0, prefix.size(), prefix) == 0
                ? ParseFiniteNumber(std::string_view(lines[at]).substr(prefix.size()))
                : NumberParse{};
        if (ground && rows.ok() && rows.value <= g.fixed_rows)
          result.errors.push_back(Format("%d 行目: [%s] %s = %s: 地層の行がありません",
                                         static_cast<int>(at) + 1, form->section.c_str(),
                                         c.name.c_str(),
                                         Trim(lines[at].substr(prefix.size())).c_str()));
        for (int r = 0; r < g.row_count(); ++r)
          for (int col = 0; col < g.col_count(); ++col) {
            const std::string& cell = g.Cell(col, r);
            const NumberCheck check = CheckNumberText(cell);
            const NumberParse p = ParseFiniteNumber(cell);
            const bool refused =
                check == NumberCheck::kImplausible || (ground && r >= g.fixed_rows && col >= 1 &&
                                                       p.status != NumberStatus::kEmpty && !p.ok());
            if (!refused) continue;
            result.errors.push_back(Format(
                "%d 行目: [%s] %s の %d 行 %d 列 \"%s\": %s", static_cast<int>(at) + 2 + r,
                form->section.c_str(), c.name.c_str(), r, col, cell.c_str(),
                check == NumberCheck::kImplausible ? "数値が有限でないか範囲 ±1e9 を超えています"
                                                   : NumberStatusText(p.status)));
          }
      }
    }
  }
}

// What each page does around the generic section reader.
void ReadForm(const std::vector<std::string>& lines, ProjectState& s, FormId id, PageLogic& logic,
              LoadResult& result) {
  FormState& form = s.Form(id);
  logic.PrepareRead(s, id);
  if (id == FormId::kLoads) form.At("RgSindoPa3").SetIndex(1);
  const bool found = ReadControls(lines, form.section, form.controls, &result.errors);
  // A section that is not there leaves the page on its previous values: a
  // calculation on them would not be the file's, so it is an error (the
  // window opens the file with the message and the values it has).
  if (!found) {
    const std::string header = "[" + form.section;
    std::string damaged;
    for (std::size_t i = 0; i < lines.size() && damaged.empty(); ++i)
      if (lines[i].compare(0, header.size(), header) == 0)
        damaged = Format("(%d 行目の見出し \"%s\" が壊れています)", static_cast<int>(i) + 1,
                         lines[i].c_str());
    result.errors.push_back("[" + form.section + "] がないため、この画面の内容は元のままです" +
                            damaged);
  }
  // A radio button checked from the file clears the buttons of its group
  // that the file does not store.
  for (const Control& c : form.controls)
    if (c.kind == ControlKind::kRadioButton && c.checked && !c.group.empty())
      for (Control& e : form.extras)
        if (e.kind == ControlKind::kRadioButton && e.group == c.group) e.checked = false;

  switch (id) {
    case FormId::kModel: {
      Control& name = form.At("EdModelName");
      name.text = TruncateBytes(name.text, kMaxModelNameBytes);
      form.At("CoBox0").SetIndex(ReadInt(form.Text("ModelIndex")));
      form.At("CoBox1").SetIndex(ReadInt(form.Text("BlockIndex")));
      form.At("CoBox2").SetIndex(ReadInt(form.Text("SlabuIndex")));
      logic.CommitInputs(s, id);
      break;
    }
    case FormId::kGround:
      ResetGroundGrid(form.At("Grid1").grid);
      logic.CommitInputs(s, id);
      break;
    case FormId::kLoads:
    case FormId::kMaterial:
      logic.CommitInputs(s, id);
      break;
    case FormId::kSectionDetail:
      for (Control& c : form.controls)
        if (c.kind == ControlKind::kEdit) c.text = FormatByTag(c.text, c.tag);
      break;
    default:
      break;
  }
  logic.AfterRead(s, id);
}

}  // namespace

LoadResult LoadProjectText(ProjectState& state, std::string_view bytes, const std::string& path,
                           PageLogic& logic) {
  LoadResult result;
  std::string converted;
  if (LooksLikeUtf8Text(bytes)) {
    // A project file edited with a UTF-8 editor: read in cp932, as the
    // program writes it on the next save.
    std::string_view body = bytes;
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    converted = Utf8ToCp932(body);
    const auto unknown = std::count(converted.begin(), converted.end(), '?') -
                         std::count(body.begin(), body.end(), '?');
    result.warnings.push_back(
        unknown > 0
            ? Format("UTF-8 のファイルを cp932 に変換して読み込みました(cp932 にない文字 %d 個は"
                     " \"?\" になります)",
                     static_cast<int>(unknown))
            : std::string("UTF-8 のファイルを cp932 に変換して読み込みました"));
    bytes = converted;
  }
  const std::vector<std::string> lines = SplitLines(bytes);
  if (lines.empty()) {
    result.errors.push_back("ファイルが空です");
    return result;
  }
  if (std::none_of(lines.begin(), lines.end(), IsKnownHeader)) {
    result.errors.push_back("設計書ファイル(.vt1)ではありません: 表も画面の区分も見つかりません");
    return result;
  }
  result.loaded = true;
  if (bytes.back() != '\n' && bytes.back() != '\r')
    result.errors.push_back(
        Format("%d 行目でファイルが行の途中で終わっています(途中で切れたファイル)",
               static_cast<int>(lines.size())));

  const std::size_t eq = lines[0].find('=');
  if (eq != std::string::npos)
    result.version = Trim(TruncateBytes(std::string_view(lines[0]).substr(eq + 1), 99));

  {
    // A section given twice: only the first is read, which may not be the
    // one meant.
    std::vector<std::string> sections;
    std::size_t first_repeat = 0;
    int repeats = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].empty() || lines[i][0] != '[' || !IsKnownHeader(lines[i]) ||
          Trim(lines[i]).compare(0, 3, "[KZ") == 0)
        continue;
      if (std::find(sections.begin(), sections.end(), lines[i]) == sections.end()) {
        sections.push_back(lines[i]);
      } else if (repeats++ == 0) {
        first_repeat = i;
      }
    }
    if (repeats > 0)
      result.errors.push_back(Format("%d 行目: 見出し %s がもう一度あります(繰り返し %d 回)",
                                     static_cast<int>(first_repeat) + 1,
                                     lines[first_repeat].c_str(), repeats));
  }
  logic.ClearFixedState(state);
  state.project_path = path;

  for (int i = 0; i < kFormCount; ++i)
    ReadForm(lines, state, static_cast<FormId>(i), logic, result);
  // A missing section leaves its controls as they were (ReadForm warned);
  // only a block or line cut short inside is an error.
  CheckFormNumbers(lines, state, result);

  ReadStructureBlocks(lines, state, result);
  logic.RecomputeStructure(state);
  if (result.version == "1.00") ConvertGroundGridFrom100(state.ground.At("Grid1").grid);
  logic.FinishLoad(state);
  result.errors = BoundedMessages(result.errors);
  result.warnings = BoundedMessages(result.warnings);
  return result;
}

LoadResult LoadProjectFile(ProjectState& state, const std::string& path, PageLogic& logic) {
  std::string error;
  std::optional<std::string> bytes = ReadFileBytes(path, &error);
  if (!bytes) {
    LoadResult result;
    result.errors.push_back("ファイル\n" + path + "\nを開けません: " + error);
    return result;
  }
  LoadResult result = LoadProjectText(state, *bytes, path, logic);
  for (std::string& e : result.errors) e = FileNameOf(path) + ": " + e;
  for (std::string& w : result.warnings) w = FileNameOf(path) + ": " + w;
  return result;
}

LoadResult OpenProjectFile(ProjectState& state, const std::string& path, PageLogic& logic, Ui& ui) {
  LoadResult result = LoadProjectFile(state, path, logic);
  if (!result.errors.empty()) {
    std::string text;
    for (const std::string& e : result.errors) text += e + "\n";
    ui.Tell(result.loaded ? MsgKind::kWarning : MsgKind::kError, text);
  }
  if (result.loaded && result.OldFormat()) ui.Tell(MsgKind::kWarning, kOldFormatWarning);
  return result;
}

// ---- file commands ---------------------------------------------------------------

bool SaveResumeFile(ProjectState& state, const std::string& resume_file, PageLogic& logic, Ui& ui) {
  return SaveProjectFileUi(state, resume_file, logic, ui);
}

LoadResult LoadResumeFile(ProjectState& state, const std::string& resume_file,
                          const std::string& default_resume_file, PageLogic& logic, Ui& ui) {
  // Without a default resume file the pages keep their designed values.
  const std::string& path = FileExists(resume_file) ? resume_file : default_resume_file;
  if (!FileExists(path)) return {};
  return OpenProjectFile(state, path, logic, ui);
}

LoadResult OpenCommand(ProjectState& state, const std::string& chosen,
                       const std::string& resume_file, PageLogic& logic, Ui& ui) {
  SaveResumeFile(state, resume_file, logic, ui);
  const std::string path = ChangeExtension(chosen, ".vt1");
  LoadResult result = OpenProjectFile(state, path, logic, ui);
  if (result.loaded) state.project_path = path;
  return result;
}

bool SaveAsCommand(ProjectState& state, const std::string& chosen, PageLogic& logic, Ui& ui) {
  const std::string path = ChangeExtension(chosen, ".vt1");
  if (!SaveProjectFileUi(state, path, logic, ui)) return false;
  state.project_path = path;
  return true;
}

bool SaveCommand(ProjectState& state, PageLogic& logic, Ui& ui,
                 const std::function<std::optional<std::string>()>& save_dialog) {
  const std::string target = ChangeExtension(state.project_path, ".vt1");
  if (!state.project_path.empty() && FileExists(target)) {
    if (!ui.Ask(Format("ファイル\n%s\nに上書きします、よろしいですか？", target.c_str())))
      return false;
    return SaveProjectFileUi(state, target, logic, ui);
  }
  std::optional<std::string> chosen = save_dialog ? save_dialog() : std::nullopt;
  if (!chosen || chosen->empty()) return false;
  return SaveAsCommand(state, *chosen, logic, ui);
}

}  // namespace vaultra
