#include "inputs/master_data.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <unordered_map>

#include "core/comma_text.h"
#include "core/cp932.h"
#include "core/fileio.h"
#include "core/number.h"
#include "inputs/xls_reader.h"

namespace vaultra {

namespace {

constexpr std::size_t kProductNameMax = 31;
constexpr std::size_t kCodeNameMax = 23;
constexpr std::size_t kListNameMax = 31;
constexpr int kExtraCommas = 30;
constexpr double kMmToM = 0.001;

// Field i of a split line; empty beyond its end.
const std::string& Field(const std::vector<std::string>& cols, std::size_t i) {
  static const std::string kEmpty;
  return i < cols.size() ? cols[i] : kEmpty;
}

double Real(const std::vector<std::string>& cols, std::size_t i) {
  return ReadReal(Field(cols, i));
}

// Truncation toward zero, clamped to the int range.
int TruncToInt(double x) {
  if (!(x == x)) return 0;
  if (x >= static_cast<double>(std::numeric_limits<int>::max()))
    return std::numeric_limits<int>::max();
  if (x <= static_cast<double>(std::numeric_limits<int>::min()))
    return std::numeric_limits<int>::min();
  return static_cast<int>(x);
}

bool IsStructureType(const std::string& field) {
  return field == "S" || field == "B" || field == "M";
}

// Tells once per table that its capacity was reached.
class CapacityGuard {
 public:
  CapacityGuard(Ui& ui, const std::string& file_name, const char* what, int capacity)
      : ui_(ui), file_name_(file_name), what_(what), capacity_(capacity) {}

  // Adds the record, or tells (once) that the table is full. The line number
  // is 1-based.
  template <typename Table, typename Record>
  bool Add(Table& table, const Record& record, std::size_t line_index) {
    if (table.Add(record)) return true;
    if (!warned_) {
      warned_ = true;
      ui_.Tell(MsgKind::kWarning,
               Format("%s: %sが表の容量 (%d 件) を超えています。%zu 行目以降の%sは読み込みません。",
                      file_name_.c_str(), what_, capacity_, line_index + 1, what_));
    }
    return false;
  }

 private:
  Ui& ui_;
  const std::string& file_name_;
  const char* what_;
  int capacity_;
  bool warned_ = false;
};

// Checks the cells of a catalogue row against the physical range of what
// they hold; a row out of range is an error naming the file, the line and
// the column (once per row, at most a few per file).
class RangeCheck {
 public:
  RangeCheck(MasterData& md, Ui& ui, const std::string& file_name)
      : md_(md), ui_(ui), file_name_(file_name) {}

  // Column col of line i holds a number in [lo, hi] (an empty cell reads
  // as 0); positive: above 0 too.
  bool Cell(const std::vector<std::string>& cols, std::size_t i, std::size_t col, double lo,
            double hi, bool positive = false) {
    const std::string& text = Field(cols, col);
    const NumberCheck check = CheckNumberText(text);
    const double v = ReadReal(text);
    const bool ok = (check == NumberCheck::kOk || (check == NumberCheck::kNotANumber && lo <= 0 &&
                                                   !positive && Trim(text).empty())) &&
                    v >= lo && v <= hi && (!positive || v > 0);
    if (ok) return true;
    Report(Format("%s: %d 行目 %d 列の値 \"%s\" が範囲 %g～%g の外にあります", file_name_.c_str(),
                  static_cast<int>(i) + 1, static_cast<int>(col) + 1, text.c_str(), lo, hi));
    return false;
  }
  // Every cell of [first, last] in range.
  bool Cells(const std::vector<std::string>& cols, std::size_t i, std::size_t first,
             std::size_t last, double lo, double hi, bool positive = false) {
    for (std::size_t c = first; c <= last; ++c)
      if (!Cell(cols, i, c, lo, hi, positive)) return false;
    return true;
  }
  void Empty(const char* what) { Report(file_name_ + ": " + what + "が 1 件もありません"); }

 private:
  void Report(const std::string& text) {
    constexpr int kMaxReports = 10;
    ++count_;
    md_.problems.push_back(text);
    if (count_ <= kMaxReports) ui_.Tell(MsgKind::kError, text);
  }
  MasterData& md_;
  Ui& ui_;
  const std::string& file_name_;
  int count_ = 0;
};

// Physical ranges of the catalogue's cells, in the units of the sheets.
constexpr double kMaxDimensionMm = 20000;  // product dimensions
constexpr double kMaxBarsPerMetre = 100;   // bar counts of an arrangement
constexpr double kMaxWallThicknessM = 5;   // end-wall thickness
constexpr double kMaxStrength = 5000;      // N/mm2
constexpr double kMaxModulus = 1e6;        // N/mm2
constexpr double kMaxBarAreaCm2 = 100;     // one bar or bolt
constexpr double kMaxDiameterMm = 200;     // bars, bolts, PC bars
constexpr double kMaxPcAreaMm2 = 1e5;      // one PC bar
constexpr double kMaxForceKn = 1e5;        // a bolt's allowable force

DimensionSet ReadSet(const std::vector<std::string>& cols, int kind) {
  DimensionSet set;
  set.kind = kind;
  for (int k = 0; k < kDimensionValues; ++k) set.v[k] = Real(cols, 5 + k) * kMmToM;
  if (set.v[kDimB2] == 0) set.v[kDimB2] = set.v[kDimA];
  return set;
}

RebarEntry ReadRebarEntry(const std::vector<std::string>& row, int v) {
  RebarEntry e;
  e.size1 = RealToInt(SizeNumber(Field(row, 4 * v + 4)));
  e.real1 = Real(row, 4 * v + 5);
  e.size2 = RealToInt(SizeNumber(Field(row, 4 * v + 6)));
  e.real2 = Real(row, 4 * v + 7);
  if (e.size1 != 0 && e.real1 == 0) e.real1 = e.real2;
  if (e.size2 != 0 && e.real2 == 0) e.real2 = e.real1;
  return e;
}

int ClampBarIndex(int d) {
  if (d > kAreaTableSize - 2) return kAreaTableSize - 1;
  if (d < 0) return 0;
  return d;
}

template <typename Reader>
void ForEachNumberedLine(const std::vector<std::string>& lines, Reader read) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::vector<std::string> cols = SplitMasterLine(lines[i]);
    if (Real(cols, 0) == 0) continue;
    if (!read(cols, i)) break;
  }
}

// A cell's physical range for the range check.
struct CellRange {
  int col;
  double hi;
};

template <typename Table>
void ReadNamedPairs(const std::vector<std::string>& lines, Table& table, MasterData& md, Ui& ui,
                    const std::string& file_name, const char* what, int first_col, int second_col,
                    std::initializer_list<CellRange> ranges) {
  CapacityGuard guard(ui, file_name, what, Table::kCapacity);
  RangeCheck range(md, ui, file_name);
  ForEachNumberedLine(lines, [&](const std::vector<std::string>& cols, std::size_t i) {
    for (const CellRange& c : ranges)
      if (!range.Cell(cols, i, static_cast<std::size_t>(c.col), 0, c.hi, true)) break;
    NamedPair r;
    r.name = TruncateBytes(Field(cols, 1), kListNameMax);
    r.value1 = Real(cols, first_col);
    r.value2 = Real(cols, second_col);
    return guard.Add(table, r, i);
  });
  if (table.count() == 0) range.Empty(what);
}

}  // namespace

const RebarEntry& RebarArrangement::Entry(int row, int entry) const {
  static const RebarEntry kEmpty{};
  if (row < 1 || row > kRebarRows || entry < 0 || entry >= kRebarEntries) return kEmpty;
  return rows[row - 1][entry];
}

double MaterialClass::Column(int csv_column) const {
  if (csv_column >= 4 && csv_column <= 18) return values[csv_column - 4];
  if (csv_column == 19) return values[16];
  if (csv_column == 20) return values[15];
  if (csv_column == 21) return values[17];
  return 0;
}

double MasterData::AreaByDiameter(int d) const {
  return d >= 0 && d < kAreaTableSize ? area_by_diameter[d] : 0.0;
}

double MasterData::AreaByBoltSize(int d) const {
  return d >= 0 && d < kAreaTableSize ? area_by_bolt_size[d] : 0.0;
}

const std::string& MasterData::MemberTypeName(int code) const {
  static const std::string kEmpty;
  return code >= 0 && code < kMemberTypeNameCount ? member_type_names[code] : kEmpty;
}

int MasterData::FindRebarArrangement(std::string_view code) const {
  int found = 1;
  for (int i = 1; i <= rebar.count(); ++i)
    if (rebar[i].name == code) found = i;
  return found;
}

int MasterData::FindEndWall(std::string_view code) const {
  for (int i = 1; i <= end_walls.count(); ++i)
    if (end_walls[i].name == code) return i;
  return 1;
}

std::string MasterPrefix(std::string_view folder) {
  return WithTrailingSlash(folder) + "Orvaneﾏｽﾀｰ";
}

std::string MasterCsvPath(std::string_view folder, std::string_view sheet) {
  return MasterPrefix(folder) + std::string(sheet) + ".csv";
}

std::vector<std::string> SplitMasterLine(std::string_view line) {
  std::string text;
  text.reserve(line.size() + kExtraCommas);
  for (std::size_t p = 0; p < line.size();) {
    std::size_t len = CharLengthAt(line, p);
    bool blank = line[p] == ' ' || (len == 2 && static_cast<unsigned char>(line[p]) == 0x81 &&
                                    static_cast<unsigned char>(line[p + 1]) == 0x40);
    if (!blank) text.append(line.substr(p, len));
    p += len;
  }
  text.append(kExtraCommas, ',');
  return SplitCommaText(text);
}

double SizeNumber(std::string_view field) {
  if (field.empty()) return 0;
  std::size_t first = CharLengthAt(field, 0);
  if (first >= field.size()) return 0;
  return ReadReal(field.substr(first, 9));
}

void ReadDimensionTables(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                         const std::string& file_name) {
  CapacityGuard stand(ui, file_name, "スタンド型の製品", decltype(md.stand)::kCapacity);
  CapacityGuard box(ui, file_name, "ボックス型の製品", decltype(md.box)::kCapacity);
  CapacityGuard mini(ui, file_name, "ミニゲートの製品", decltype(md.mini_gate)::kCapacity);
  CapacityGuard slab(ui, file_name, "スラブの製品", decltype(md.slab)::kCapacity);
  RangeCheck range(md, ui, file_name);
  for (std::size_t i = 0; i < lines.size();) {
    std::vector<std::string> cols = SplitMasterLine(lines[i]);
    const std::string& sel = Field(cols, 1);
    if (sel != "S" && sel != "B" && sel != "M" && sel != "T") {
      ++i;
      continue;
    }
    ProductRecord r;
    r.name = TruncateBytes(Field(cols, 3), kProductNameMax);
    r.sub_kind = Field(cols, 4).empty() ? '.' : Field(cols, 4)[0];
    std::size_t at = i;
    range.Cells(cols, i, 5, 4 + kDimensionValues, 0, kMaxDimensionMm);
    if (sel != "T" && i + 1 < lines.size())
      range.Cells(SplitMasterLine(lines[i + 1]), i + 1, 5, 4 + kDimensionValues, 0,
                  kMaxDimensionMm);
    if (sel == "T") {
      r.set1 = ReadSet(cols, kBlockSlab);
      r.set2.kind = kBlockSlab;
      i += 1;
    } else {
      r.set1 = ReadSet(cols, kBlockLeftEnd);
      std::vector<std::string> next = SplitMasterLine(i + 1 < lines.size() ? lines[i + 1] : "");
      r.set2 = ReadSet(next, kBlockIntermediate);
      i += 2;
    }
    switch (sel[0]) {
      case 'S':
        stand.Add(md.stand, r, at);
        break;
      case 'B':
        box.Add(md.box, r, at);
        break;
      case 'M':
        mini.Add(md.mini_gate, r, at);
        break;
      default:
        slab.Add(md.slab, r, at);
        break;
    }
  }
  if (md.stand.count() + md.box.count() + md.mini_gate.count() + md.slab.count() == 0)
    range.Empty("製品");
}

void ReadRebarArrangements(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                           const std::string& file_name) {
  CapacityGuard guard(ui, file_name, "配筋", decltype(md.rebar)::kCapacity);
  RangeCheck range(md, ui, file_name);
  const std::size_t n = lines.size();
  for (std::size_t i = 0; i + 3 < n;) {
    std::vector<std::string> cols = SplitMasterLine(lines[i]);
    if (!IsStructureType(Field(cols, 1))) {
      ++i;
      continue;
    }
    RebarArrangement r;
    r.type = Field(cols, 1)[0];
    r.name = TruncateBytes(Field(cols, 2), kCodeNameMax);
    for (int t = 0; t < kRebarRows; ++t) {
      std::vector<std::string> row = t == 0 ? cols : SplitMasterLine(lines[i + t]);
      for (int v = 0; v < kRebarEntries; ++v)
        if (!range.Cell(row, i + t, 4 * v + 5, 0, kMaxBarsPerMetre) ||
            !range.Cell(row, i + t, 4 * v + 7, 0, kMaxBarsPerMetre))
          break;
      auto& entries = r.rows[t];
      for (int v = 0; v < kRebarEntries; ++v) entries[v] = ReadRebarEntry(row, v);
      RebarEntry& e5 = entries[5];
      e5 = RebarEntry{e5.size2, e5.real2, e5.size1, e5.real1};
      // An empty intermediate bottom slab takes the end block's; an empty
      // cast-in-place slab takes the end block's bottom slab.
      if (r.rows[2][3].real1 == 0) {
        r.rows[2][3] = r.rows[0][3];
        r.rows[3][3] = r.rows[1][3];
      }
      if (r.rows[0][6].real1 == 0) r.rows[0][6] = r.rows[0][3];
    }
    guard.Add(md.rebar, r, i);
    i += kRebarRows;
  }
  if (md.rebar.count() == 0) range.Empty("配筋");
}

void ReadEndWalls(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                  const std::string& file_name) {
  CapacityGuard guard(ui, file_name, "端壁", decltype(md.end_walls)::kCapacity);
  RangeCheck range(md, ui, file_name);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::vector<std::string> cols = SplitMasterLine(lines[i]);
    if (!IsStructureType(Field(cols, 1))) continue;
    range.Cells(cols, i, 4, 5, 0, kMaxWallThicknessM, true);
    for (int k = 0; k < 4; ++k) {
      range.Cell(cols, i, 7 + 4 * k, 0, kMaxBarsPerMetre);
      range.Cell(cols, i, 9 + 4 * k, 0, kMaxBarsPerMetre);
    }
    EndWallRecord r;
    r.type = Field(cols, 1)[0];
    r.name = TruncateBytes(Field(cols, 2), kCodeNameMax);
    r.thickness_upper = Real(cols, 4);
    r.thickness_lower = Real(cols, 5);
    for (int k = 0; k < 4; ++k) {
      RebarEntry& e = r.entries[k];
      e.size1 = TruncToInt(SizeNumber(Trim(Field(cols, 6 + 4 * k))));
      e.real1 = Real(cols, 7 + 4 * k);
      e.size2 = TruncToInt(SizeNumber(Trim(Field(cols, 8 + 4 * k))));
      e.real2 = Real(cols, 9 + 4 * k);
    }
    if (!guard.Add(md.end_walls, r, i)) break;
  }
  if (md.end_walls.count() == 0) range.Empty("端壁");
}

void ReadRebarSizes(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                    const std::string& file_name) {
  CapacityGuard guard(ui, file_name, "鉄筋・ボルトのサイズ", decltype(md.rebar_sizes)::kCapacity);
  RangeCheck range(md, ui, file_name);
  ForEachNumberedLine(lines, [&](const std::vector<std::string>& cols, std::size_t i) {
    range.Cell(cols, i, 2, 0, kMaxBarAreaCm2, true);
    range.Cell(cols, i, 3, 0, kMaxDiameterMm);
    NamedPair r;
    const std::string& name = Field(cols, 1);
    r.name = TruncateBytes(name, kListNameMax);
    r.value1 = Real(cols, 2);
    r.value2 = Real(cols, 3);
    if (!guard.Add(md.rebar_sizes, r, i)) return false;
    if (!name.empty() && (name[0] == 'D' || name[0] == 'M')) {
      int d = ClampBarIndex(RealToInt(SizeNumber(name)));
      (name[0] == 'D' ? md.area_by_diameter : md.area_by_bolt_size)[d] = r.value1;
    }
    return true;
  });
  if (md.rebar_sizes.count() == 0) range.Empty("鉄筋の断面積");
}

void ReadMaterialClasses(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                         const std::string& file_name) {
  CapacityGuard guard(ui, file_name, "材料強度", decltype(md.materials)::kCapacity);
  RangeCheck range(md, ui, file_name);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::vector<std::string> cols = SplitMasterLine(lines[i]);
    if (ReadInt(Field(cols, 1)) == 0) continue;
    // The first cell out of range is reported; the row is kept, so the
    // classes keep their places in the list. Joint mortars have no moduli.
    [[maybe_unused]] const bool in_range =
        range.Cell(cols, i, 2, 0, kMaxStrength, true) &&
        range.Cells(cols, i, 4, 18, 0, kMaxStrength) && range.Cell(cols, i, 19, 0, kMaxModulus) &&
        range.Cell(cols, i, 20, 0, kMaxStrength) && range.Cell(cols, i, 21, 0, kMaxModulus);
    MaterialClass r;
    r.class_number = TruncToInt(Real(cols, 1));
    r.strength = Real(cols, 2);
    r.name = TruncateBytes(Field(cols, 3), kListNameMax);
    for (int k = 0; k < 15; ++k) r.values[k] = Real(cols, 4 + k);
    r.values[15] = Real(cols, 20);
    r.values[16] = Real(cols, 19);
    r.values[17] = Real(cols, 21);
    if (!guard.Add(md.materials, r, i)) break;
  }
  if (md.materials.count() == 0) range.Empty("材料強度");
}

void ReadBoltTypes(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                   const std::string& file_name) {
  ReadNamedPairs(lines, md.bolt_types, md, ui, file_name, "ボルトの種類", 2, 3,
                 {{2, kMaxStrength}, {3, kMaxStrength}});
}

void ReadPcStrengths(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                     const std::string& file_name) {
  ReadNamedPairs(lines, md.pc_strengths, md, ui, file_name, "PC鋼棒の強度", 3, 2,
                 {{2, kMaxStrength}, {3, kMaxStrength}});
}

void ReadBoltSizes(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                   const std::string& file_name) {
  ReadNamedPairs(lines, md.bolt_sizes, md, ui, file_name, "ボルトのサイズ", 2, 4,
                 {{2, kMaxBarAreaCm2}, {3, kMaxDiameterMm}, {4, kMaxForceKn}});
}

void ReadPcSizes(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                 const std::string& file_name) {
  CapacityGuard guard(ui, file_name, "PC鋼棒のサイズ", decltype(md.pc_sizes)::kCapacity);
  RangeCheck range(md, ui, file_name);
  ForEachNumberedLine(lines, [&](const std::vector<std::string>& cols, std::size_t i) {
    [[maybe_unused]] const bool in_range = range.Cell(cols, i, 1, 0, kMaxDiameterMm, true) &&
                                           range.Cell(cols, i, 2, 0, kMaxPcAreaMm2, true);
    return guard.Add(md.pc_sizes, PcBarSize{Real(cols, 1), Real(cols, 2)}, i);
  });
  if (md.pc_sizes.count() == 0) range.Empty("PC鋼棒のサイズ");
}

std::array<std::string, kMemberTypeNameCount> MemberTypeNames() {
  std::array<std::string, kMemberTypeNameCount> names;
  for (int i = 0; i <= 31; ++i) names[i] = Format("(%d)", i);
  static constexpr struct {
    int code;
    const char* name;
  } kNames[] = {
      {1, "左端ﾌﾞﾛｯｸ側壁"},
      {2, "右端ﾌﾞﾛｯｸ側壁"},
      {3, "端部ﾌﾞﾛｯｸ頂版"},
      {4, "中間ﾌﾞﾛｯｸ頂版"},
      {5, "ﾌﾞﾛｯｸ左肩落部"},
      {6, "ﾌﾞﾛｯｸ右肩落部"},
      {7, "ｽﾗﾌﾞ掛部(左)"},
      {8, "ｽﾗﾌﾞ掛部(右)"},
      {9, "端部ﾌﾞﾛｯｸ上内壁"},
      {10, "中間ﾌﾞﾛｯｸの上壁"},
      {11, "端部ﾌﾞﾛｯｸ内壁"},
      {12, "中間ﾌﾞﾛｯｸの壁"},
      {13, "端部ﾌﾞﾛｯｸ底版"},
      {14, "中間ﾌﾞﾛｯｸ底版"},
      {15, "左側壁底版張出部"},
      {16, "中壁底版左張出部"},
      {17, "中壁底版右張出部"},
      {18, "右側壁底版張出部"},
      {19, "頂版ｽﾗﾌﾞ"},
      {20, "頂版ｽﾗﾌﾞ(2)"},
      {21, "現場打ちｽﾗﾌﾞ"},
      {22, "現場打ちｽﾗﾌﾞ(2)"},
      {23, "現場打ちｽﾗﾌﾞ(3)"},
      {24, "ハンチ"},
      {25, "ﾌﾞﾛｯｸ下ｲﾝﾊﾞｰﾄｺﾝｸﾘｰﾄ"},
      {26, "ﾌﾞﾛｯｸ間ｲﾝﾊﾞｰﾄｺﾝｸﾘｰﾄ"},
      {27, "ﾌﾞﾛｯｸ間ｲﾝﾊﾞｰﾄｺﾝ.(2)"},
      {28, "柱底(0.1mm)"},
      {30, "底版インサート"},
      {31, "(頂 版 部 材)"},
      {32, "(底 版 部 材)"},
  };
  for (const auto& n : kNames) names[n.code] = TruncateBytes(n.name, kMemberTypeNameMax);
  return names;
}

void ReadMasterSheet(int sheet, std::string_view bytes, MasterData& md, Ui& ui,
                     const std::string& file_name) {
  using Reader = void (*)(const std::vector<std::string>&, MasterData&, Ui&, const std::string&);
  static constexpr Reader kReaders[kMasterSheetCount] = {
      ReadDimensionTables, ReadRebarArrangements, ReadEndWalls, ReadMaterialClasses, ReadBoltTypes,
      ReadPcStrengths,     ReadRebarSizes,        ReadPcSizes,  ReadBoltSizes};
  if (sheet < 0 || sheet >= kMasterSheetCount) return;
  kReaders[sheet](SplitLines(bytes), md, ui, file_name);
}

namespace {

// What the rows of a catalogue CSV cannot hold whatever the sheet: a last
// line without its line break (the file was cut), a control character (it
// would split or drop a cell), a row number given twice (the rows behind
// would shift in the lists). One text per problem, naming file and line.
std::vector<std::string> CsvTextProblems(std::string_view bytes, const std::string& name) {
  std::vector<std::string> out;
  const std::vector<std::string> lines = SplitLines(bytes);
  if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r')
    out.push_back(Format("%s: %d 行目で行の途中で終わっています(途中で切れたファイル)",
                         name.c_str(), static_cast<int>(lines.size())));
  std::unordered_map<std::string, std::size_t> numbers;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto bad = std::find_if(lines[i].begin(), lines[i].end(), [](char c) {
      const unsigned char u = static_cast<unsigned char>(c);
      return u < 0x20 && u != '\t';
    });
    if (bad != lines[i].end()) {
      out.push_back(Format("%s: %d 行目に制御文字 0x%02X があります", name.c_str(),
                           static_cast<int>(i) + 1, static_cast<unsigned char>(*bad)));
      continue;
    }
    const std::vector<std::string> cols = SplitMasterLine(lines[i]);
    if (Real(cols, 0) == 0) continue;  // a heading or an empty row
    const auto [at, fresh] = numbers.emplace(Trim(Field(cols, 0)), i);
    if (!fresh)
      out.push_back(Format("%s: %d 行目: 番号 %s の行が %d 行目にもあります", name.c_str(),
                           static_cast<int>(i) + 1, Trim(Field(cols, 0)).c_str(),
                           static_cast<int>(at->second) + 1));
  }
  return out;
}

}  // namespace

MasterData LoadMasterData(std::string_view folder, Ui& ui) {
  MasterData md;
  ui.Hourglass(true);
  const std::string workbook = MasterPrefix(folder) + ".xls";
  // Sheets whose rebuild failed were already reported; their missing CSV is
  // not told a second time.
  std::array<bool, kMasterSheetCount> reported{};
  if (FileExists(workbook)) {
    for (int k = 0; k < kMasterSheetCount; ++k) {
      const std::string csv = MasterCsvPath(folder, kMasterSheetNames[k]);
      if (FileExists(csv)) continue;
      ui.Tell(MsgKind::kInfo, FileNameOf(csv) + "を更新します.");
      std::vector<std::string> lines;
      std::string error;
      if (!ReadXlsFile(lines, workbook, kMasterSheetNames[k], &error)) {
        md.problems.push_back("マスターブック " + FileNameOf(workbook) + " を読めません: " + error +
                              "。" + FileNameOf(csv) + " は作成しません。");
        ui.Tell(MsgKind::kError, md.problems.back());
        reported[k] = true;
        continue;
      }
      // The rebuilt table is read as the CSV would be before it is
      // written: a damaged workbook leaves no CSV that a later start
      // would take without a word.
      const std::string text = JoinLinesCrLf(lines);
      MasterData probe;
      RecordingUi quiet;
      ReadMasterSheet(k, text, probe, quiet, FileNameOf(csv));
      std::vector<std::string> refused = CsvTextProblems(text, FileNameOf(csv));
      refused.insert(refused.end(), probe.problems.begin(), probe.problems.end());
      if (!refused.empty()) {
        for (const std::string& r : refused) {
          md.problems.push_back("マスターブック " + FileNameOf(workbook) + " から作った " + r +
                                "。" + FileNameOf(csv) + " は作成しません。");
          ui.Tell(MsgKind::kError, md.problems.back());
        }
        reported[k] = true;
        continue;
      }
      if (!WriteFileAtomic(csv, text, &error)) {
        md.problems.push_back(FileNameOf(csv) + " を書き込めません: " + error);
        ui.Tell(MsgKind::kError, md.problems.back());
        reported[k] = true;
      }
    }
  }

  const bool have_workbook = FileExists(workbook);
  for (int k = 0; k < kMasterSheetCount; ++k) {
    const std::string csv = MasterCsvPath(folder, kMasterSheetNames[k]);
    const std::string name = FileNameOf(csv);
    std::string error;
    std::optional<std::string> bytes = ReadFileBytes(csv, &error);
    if (!bytes && !FileExists(csv) && !DirExists(csv)) {
      if (reported[k]) continue;
      md.problems.push_back(
          name + " がありません (" + std::string(folder) + ")。" +
          (have_workbook ? "" : "マスターブック " + FileNameOf(workbook) + " もないため、") +
          "この表は空のままです。");
      ui.Tell(MsgKind::kError, md.problems.back());
      continue;
    }
    if (!bytes) {
      md.problems.push_back(name + " を読めません: " + error);
      ui.Tell(MsgKind::kError, md.problems.back());
      continue;
    }
    const std::vector<std::string> damaged = CsvTextProblems(*bytes, name);
    if (!damaged.empty()) {
      for (const std::string& d : damaged) {
        md.problems.push_back(d);
        ui.Tell(MsgKind::kError, d);
      }
      continue;
    }
    ReadMasterSheet(k, *bytes, md, ui, name);
  }
  md.member_type_names = MemberTypeNames();
  ui.Hourglass(false);
  return md;
}

}  // namespace vaultra
