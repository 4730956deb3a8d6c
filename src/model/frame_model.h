// The frame-model record: the in-memory input of one plane-frame analysis
// (nodes, materials, sections, members, spring and support cases, output
// positions, load cases, combinations). One record per direction; it is
// filled by the frame assembly, written as frame text and solved by the
// internal solver.
#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace vaultra {

// A list numbered from 1 with a fixed capacity. Slot 0 does not exist to
// the caller: At(0) and At(count + 1) throw std::out_of_range, Add refuses
// beyond the capacity. The count is the list's size.
template <class T>
class OneBasedList {
 public:
  explicit OneBasedList(int capacity) : capacity_(capacity) {}

  int Count() const { return static_cast<int>(items_.size()); }
  int Capacity() const { return capacity_; }
  bool Empty() const { return items_.empty(); }
  bool InRange(int i) const { return i >= 1 && i <= Count(); }

  T& At(int i) {
    if (!InRange(i)) throw std::out_of_range("OneBasedList index " + std::to_string(i));
    return items_[static_cast<std::size_t>(i - 1)];
  }
  const T& At(int i) const {
    if (!InRange(i)) throw std::out_of_range("OneBasedList index " + std::to_string(i));
    return items_[static_cast<std::size_t>(i - 1)];
  }
  T& operator[](int i) { return At(i); }
  const T& operator[](int i) const { return At(i); }

  // Appends an entry; false (list unchanged) when the list is full.
  bool Add(const T& item) {
    if (Count() >= capacity_) return false;
    items_.push_back(item);
    return true;
  }
  // Sets the count to n, default entries appended; false when n is outside
  // 0..capacity (list unchanged).
  bool Resize(int n) {
    if (n < 0 || n > capacity_) return false;
    items_.resize(static_cast<std::size_t>(n));
    return true;
  }
  void Clear() { items_.clear(); }

  typename std::vector<T>::iterator begin() { return items_.begin(); }
  typename std::vector<T>::iterator end() { return items_.end(); }
  typename std::vector<T>::const_iterator begin() const { return items_.begin(); }
  typename std::vector<T>::const_iterator end() const { return items_.end(); }

 private:
  int capacity_;
  std::vector<T> items_;
};

// Capacities of the record.
constexpr int kFrameMaxNodes = 503;
constexpr int kFrameMaxDoubleNodes = 100;
constexpr int kFrameMaxMaterials = 503;
constexpr int kFrameMaxSections = 503;
constexpr int kFrameMaxMembers = 503;
constexpr int kFrameMaxRigidZones = 500;
constexpr int kFrameMaxSpringCases = 6;
constexpr int kFrameMaxSpringsPerCase = 160;
constexpr int kFrameMaxSupportCases = 3;
constexpr int kFrameMaxSupportsPerCase = 100;
constexpr int kFrameMaxEqualDivisions = 500;
constexpr int kFrameMaxSpecifiedEntries = 500;
constexpr int kFrameMaxPositionsPerEntry = 22;
constexpr int kFrameMaxLoadCases = 65;
constexpr int kFrameMaxItemsPerCase = 2000;
constexpr int kFrameMaxCombinations = 65;
constexpr int kFrameMaxCombinationEntries = 21;
constexpr int kFrameMaxExtractionCases = 30;
constexpr int kFrameMaxExtractionEntries = 100;

// Byte limits of the texts as the frame text carries them.
constexpr std::size_t kFrameTagBytes = 32;
constexpr std::size_t kFrameTitleBytes = 40;
constexpr std::size_t kFrameMemberNameBytes = 40;
constexpr std::size_t kFrameCaseNameBytes = 48;
constexpr std::size_t kFramePositionNameBytes = 24;

// Member end codes.
constexpr int kEndRigid = 0;
constexpr int kEndPin = 1;

// Load item type codes; d1..d4 as the frame text describes them.
enum LoadItemType : int {
  kLoadDistAxial = 11,
  kLoadDistNormal = 12,
  kLoadDistGlobalX = 13,
  kLoadDistGlobalY = 14,
  kLoadPointAxial = 21,
  kLoadPointNormal = 22,
  kLoadPointGlobalX = 23,
  kLoadPointGlobalY = 24,
  kLoadMoment = 27,
  kLoadTemperature = 31,
};

struct FrameNode {
  int number = 0;
  double x = 0, y = 0;  // m
};

// The double-node entries (40 bytes each in the record) are never used by
// this system; only their count (always 0) is kept.
struct FrameMaterial {
  int number = 0;
  double e = 0;      // elastic modulus, kN/m2
  double alpha = 0;  // thermal expansion coefficient, 1/degC
  double spare = 0;
};

struct FrameSection {
  int number = 0;
  double area = 0;     // m2
  double inertia = 0;  // m4
};

struct FrameMember {
  int number = 0;
  int node_i = 0, node_j = 0;
  int section = 0, material = 0;
  int end_i = kEndRigid, end_j = kEndRigid;  // 0 rigid, 1 pin
  int spare = 0;
  double real1 = 0, real2 = 0;  // written with the member, always 0 here
  std::string name;             // at most 40 bytes
  double length = 0;            // set by the internal solver
  double angle = 0;             // rad, set by the internal solver
};

struct FrameSpring {
  int member = 0;
  double k_normal = 0;   // per unit length, normal to the member
  double k_tangent = 0;  // per unit length, along the member
};

struct FrameSpringCase {
  int number = 0;
  OneBasedList<FrameSpring> springs{kFrameMaxSpringsPerCase};
  std::string name;  // at most 48 bytes
};

struct FrameSupport {
  int node = 0;
  std::array<double, 6> values{};  // restraint codes or spring constants
  int type = 0;                    // 1 x+y, 2 y, 3 x, 4 x+y+rotation, 5 springs
};

struct FrameSupportCase {
  int number = 0;
  OneBasedList<FrameSupport> supports{kFrameMaxSupportsPerCase};
  std::string name;
};

struct FrameEqualDivision {
  int first_member = 0;
  int last_member = 0;  // 0: same as the first
  int parts = 0;
};

struct FramePosition {
  double x = 0;      // m from the i-end
  std::string name;  // at most 23 bytes
};

struct FrameSpecifiedPositions {
  int member = 0;
  OneBasedList<FramePosition> positions{kFrameMaxPositionsPerEntry};
};

struct FrameLoadItem {
  int type = 0;
  int first_member = 0;
  int last_member = 0;  // 0: same as the first
  int spare = 0;
  double d1 = 0, d2 = 0, d3 = 0, d4 = 0;
  std::array<double, 3> spare_reals{};
};

struct FrameLoadCase {
  int number = 0;
  int spring_case = 0;   // 0: none
  int support_case = 0;  // 0: none
  std::string name;
  OneBasedList<FrameLoadItem> items{kFrameMaxItemsPerCase};
  double max_intensity = 0;  // largest absolute item intensity
  // Longitudinal self weight (case 1): the model's own vertical load and the
  // balancing reaction spread over the bottom members (kN, negative down),
  // their sum 0 within rounding; both 0 elsewhere.
  double own_weight = 0, balancing_reaction = 0;
};

struct FrameCombinationEntry {
  int load_case = 0;
  double factor = 0;
};

struct FrameCombination {
  int number = 0;
  double factor = 0;
  std::string name;
  OneBasedList<FrameCombinationEntry> entries{kFrameMaxCombinationEntries};
};

struct FrameExtractionEntry {
  int a = 0, b = 0;
};

struct FrameExtractionCase {
  int number = 0;
  std::string name;
  OneBasedList<FrameExtractionEntry> entries{kFrameMaxExtractionEntries};
};

struct FrameModel {
  std::string format_tag = "FRAME-03";
  std::string title;  // at most 40 bytes

  // Option flags リナ, Mmax, 着点, 割増, プレ.
  int opt_linear = 0;
  int opt_mmax = 1;
  int opt_landing = 0;
  int opt_increase = 0;
  int opt_prestress = 0;

  OneBasedList<FrameNode> nodes{kFrameMaxNodes};
  int double_node_count = 0;
  OneBasedList<FrameMaterial> materials{kFrameMaxMaterials};
  OneBasedList<FrameSection> sections{kFrameMaxSections};
  OneBasedList<FrameMember> members{kFrameMaxMembers};
  int rigid_s_count = 0;  // 剛Ｓ
  int rigid_b_count = 0;  // 剛Ｂ
  OneBasedList<FrameSpringCase> spring_cases{kFrameMaxSpringCases};
  OneBasedList<FrameSupportCase> support_cases{kFrameMaxSupportCases};
  OneBasedList<FrameEqualDivision> equal_divisions{kFrameMaxEqualDivisions};
  OneBasedList<FrameSpecifiedPositions> specified{kFrameMaxSpecifiedEntries};
  OneBasedList<FrameLoadCase> load_cases{kFrameMaxLoadCases};
  OneBasedList<FrameCombination> combinations{kFrameMaxCombinations};
  OneBasedList<FrameExtractionCase> extraction_cases{kFrameMaxExtractionCases};

  // Passes of a load case that uses a spring case (internal solver; 1..2).
  int solver_mode = 2;

  // The largest spring count of any spring case, the largest support count
  // of any support case (the counts of the CONTROL1 line).
  int MaxSpringCount() const;
  int MaxSupportCount() const;

  // Clears the record to its initial state (format tag, Mmax = 1).
  void Clear();
};

// Index of the entry numbered `number`: the entry at index = number when
// its number matches, else the first entry with that number; 0 when none.
template <class T>
int FindByNumber(const OneBasedList<T>& list, int number) {
  if (list.InRange(number) && list.At(number).number == number) return number;
  for (int i = 1; i <= list.Count(); ++i)
    if (list.At(i).number == number) return i;
  return 0;
}

}  // namespace vaultra
