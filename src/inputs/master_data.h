// The master catalogue: product dimensions, standard rebar arrangements, end
// walls, material strength classes, bolts, PC bars and rebar areas, read once
// at start-up from the CSV tables of the material master folder (rebuilt from
// the master workbook when one is missing) and read-only afterwards.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/ui.h"
#include "inputs/structure_model.h"

namespace vaultra {

// A list of at most Capacity records with a count beside it. Indexes run from
// Base (0 or 1) to Base + Capacity - 1; any other index, and every unused slot,
// reads as an all-zero record, which is also how consumers find the end of a
// list. Nothing can be written past the capacity.
template <typename T, int Capacity, int Base = 0>
class FixedTable {
 public:
  static constexpr int kCapacity = Capacity;
  static constexpr int kBase = Base;

  FixedTable() : items_(Capacity) {}

  int count() const { return count_; }
  bool full() const { return count_ >= Capacity; }

  const T& operator[](int index) const {
    static const T kEmpty{};
    int slot = index - Base;
    if (slot < 0 || slot >= Capacity) return kEmpty;
    return items_[slot];
  }

  // Appends a record; false (and nothing changed) when the table is full.
  bool Add(const T& item) {
    if (full()) return false;
    items_[count_++] = item;
    return true;
  }

  // The used records, in file order.
  typename std::vector<T>::const_iterator begin() const { return items_.begin(); }
  typename std::vector<T>::const_iterator end() const { return items_.begin() + count_; }

 private:
  std::vector<T> items_;
  int count_ = 0;
};

// One product of a dimension table.
struct ProductRecord {
  std::string name;   // up to 31 bytes
  char sub_kind = 0;  // first character of the sub-kind column, '.' when empty
  DimensionSet set1;  // end-block set (the slab set for slabs)
  DimensionSet set2;  // intermediate-block set (kind 6 only, for slabs)
};

// One entry of a rebar row: two bar sizes, each with its real (bar count per
// metre in the shipped catalogue).
struct RebarEntry {
  int size1 = 0;
  double real1 = 0;
  int size2 = 0;
  double real2 = 0;
  bool operator==(const RebarEntry&) const = default;
};

inline constexpr int kRebarRows = 4;
inline constexpr int kRebarEntries = 8;

// A standard rebar arrangement: four rows of eight entries.
struct RebarArrangement {
  char type = 0;     // 'S', 'B' or 'M'
  std::string name;  // the arrangement code, up to 23 bytes
  std::array<std::array<RebarEntry, kRebarEntries>, kRebarRows> rows{};  // rows[0] is row 1

  // Row 1 .. 4, entry 0 .. 7; out of range reads as an empty entry.
  const RebarEntry& Entry(int row, int entry) const;
};

// An end-wall record.
struct EndWallRecord {
  char type = 0;
  std::string name;                     // the arrangement code, up to 23 bytes
  double thickness_upper = 0;           // column 4 (m)
  double thickness_lower = 0;           // column 5 (m)
  std::array<RebarEntry, 4> entries{};  // entries[0] is entry 1
};

inline constexpr int kMaterialValueCount = 18;

// A material strength class record.
struct MaterialClass {
  int class_number = 0;  // column 1: the member group 1 .. 4, or 5 for mortar
  double strength = 0;   // column 2: design strength (N/mm2)
  std::string name;      // column 3: rebar type, up to 31 bytes
  // Columns 4 .. 18, 20, 19, 21 in this order (19 and 20 exchanged).
  std::array<double, kMaterialValueCount> values{};

  // The value that stood in CSV column 4 .. 21; 0 for any other column.
  double Column(int csv_column) const;
};

// A name with two reals (bolt types, PC-bar strengths, bolt sizes, rebar sizes).
struct NamedPair {
  std::string name;  // up to 31 bytes
  double value1 = 0;
  double value2 = 0;
};

// A PC-bar size: nominal diameter (mm) and nominal area (mm2).
struct PcBarSize {
  double value1 = 0;
  double value2 = 0;
};

inline constexpr int kAreaTableSize = 64;
inline constexpr int kMemberTypeNameCount = 33;
inline constexpr std::size_t kMemberTypeNameMax = 63;

struct MasterData {
  FixedTable<ProductRecord, 80> stand;
  FixedTable<ProductRecord, 50> box;
  FixedTable<ProductRecord, 50> mini_gate;
  FixedTable<ProductRecord, 20> slab;
  FixedTable<RebarArrangement, 199, 1> rebar;
  FixedTable<EndWallRecord, 199, 1> end_walls;
  FixedTable<MaterialClass, 99> materials;
  FixedTable<NamedPair, 20> bolt_types;
  FixedTable<NamedPair, 20> pc_strengths;
  FixedTable<NamedPair, 20> bolt_sizes;
  FixedTable<NamedPair, 40> rebar_sizes;
  FixedTable<PcBarSize, 20> pc_sizes;
  // Indexed by bar diameter / bolt size 0 .. 63: the catalogue's area in cm2,
  // as the rebar-size table holds it (consumers take 100 times it as mm2).
  std::array<double, kAreaTableSize> area_by_diameter{};
  std::array<double, kAreaTableSize> area_by_bolt_size{};
  std::array<std::string, kMemberTypeNameCount> member_type_names;
  // Errors met while loading (a table missing or unreadable, a row out of
  // its physical range, a table empty), each also told through the Ui; a
  // calculation refuses to run on a catalogue that has any (cp932).
  std::vector<std::string> problems;

  // Bounds-checked lookups: 0 (or an empty text) outside the table.
  double AreaByDiameter(int d) const;  // cm2
  double AreaByBoltSize(int d) const;  // cm2
  double BarAreaMm2(int d) const { return 100.0 * AreaByDiameter(d); }
  double BoltAreaMm2(int d) const { return 100.0 * AreaByBoltSize(d); }
  const std::string& MemberTypeName(int code) const;

  // The arrangement the section records use for a code: the last record of
  // that name, record 1 when none has it.
  int FindRebarArrangement(std::string_view code) const;
  // The end-wall record of a code: the first record of that name, else 1.
  int FindEndWall(std::string_view code) const;
};

// The nine worksheets of the master workbook, in the order they are rebuilt.
inline constexpr int kMasterSheetCount = 9;
inline constexpr std::array<const char*, kMasterSheetCount> kMasterSheetNames = {
    "寸法表",       "鉄筋表",       "端壁",           "材料強度",      "ボルトの種類",
    "PC鋼棒の強度", "鉄筋の断面積", "PC鋼棒のサイズ", "ボルトのサイズ"};

// Folder + "Orvaneﾏｽﾀｰ": the common prefix of the workbook and its CSV files.
std::string MasterPrefix(std::string_view folder);
// The CSV file of a worksheet.
std::string MasterCsvPath(std::string_view folder, std::string_view sheet);

// Reads the whole catalogue from the material master folder (cp932 path):
// missing CSV files are first rebuilt from the workbook when it exists; then
// every table is read. Problems are told through ui; the tables they concern
// stay empty or stop at their capacity.
MasterData LoadMasterData(std::string_view folder, Ui& ui);
// Reads the CSV text of worksheet `sheet` (an index into kMasterSheetNames)
// into its tables, with the range checks: the step LoadMasterData takes for
// every file it could read. Other sheet numbers read nothing.
void ReadMasterSheet(int sheet, std::string_view bytes, MasterData& md, Ui& ui,
                     const std::string& file_name);

// The reading rules shared by all tables, exposed for the tests: blanks
// (half- and full-width) removed, 30 commas appended, comma-text split.
std::vector<std::string> SplitMasterLine(std::string_view line);
// The field without its first character, next up to nine characters read as a number.
double SizeNumber(std::string_view field);

// The table readers, each over the lines of its CSV file. file_name names the
// file in messages (capacity overflow is told once per table).
void ReadDimensionTables(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                         const std::string& file_name);
void ReadRebarArrangements(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                           const std::string& file_name);
void ReadEndWalls(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                  const std::string& file_name);
void ReadRebarSizes(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                    const std::string& file_name);
void ReadMaterialClasses(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                         const std::string& file_name);
void ReadBoltTypes(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                   const std::string& file_name);
void ReadPcStrengths(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                     const std::string& file_name);
void ReadBoltSizes(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                   const std::string& file_name);
void ReadPcSizes(const std::vector<std::string>& lines, MasterData& md, Ui& ui,
                 const std::string& file_name);

// The 33 member-type names (codes 0 .. 32).
std::array<std::string, kMemberTypeNameCount> MemberTypeNames();

}  // namespace vaultra
