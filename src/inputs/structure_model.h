// The block row and the structure models of the facility: plain records with
// 1-based, fixed-capacity tables (slot 0 unused) and counts kept beside them.
// The generation algorithms fill them; the project file stores them.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace vaultra {

// Capacities of the tables. A count read from a file or produced by a
// generator never exceeds them.
constexpr int kMaxBlocks = 159;       // block row (real blocks and cast-in-place zones)
constexpr int kMaxNodes = 415;        // nodes of one structure model
constexpr int kMaxMembers = 416;      // members of one structure model
constexpr int kMaxWalls = 160;        // wall list entries
constexpr int kMaxMemberType = 32;    // member type codes 1..32
constexpr int kDimensionValues = 23;  // B, H, L, a..h, r12..r23
constexpr int kSectionValues = 58;    // default half 0..28, current half 29..57
constexpr int kSectionHalf = 29;
constexpr int kNodeCodes = 7;        // support code and six carried ints
constexpr int kMemberSpareInts = 7;  // carried ints of a member
constexpr int kMemberInts = 16;      // the ints the project file saves per member
constexpr int kMemberPoints = 8;     // points of interest, four from each end

// Positions of the 23 lengths of a dimension set.
enum DimIndex : int {
  kDimB = 0,
  kDimH = 1,
  kDimL = 2,
  kDimA = 3,
  kDimB2 = 4,  // the value named "b"
  kDimC = 5,
  kDimD = 6,
  kDimE = 7,
  kDimF = 8,
  kDimG = 9,
  kDimHh = 10,   // the value named "h"
  kDimR12 = 11,  // opening width of an intermediate wall
};

// Block kinds of a dimension set.
enum BlockKind : int {
  kBlockLeftEnd = 1,
  kBlockIntermediate = 2,
  kBlockRightEnd = 3,
  kBlockSlab = 6,
  kBlockCastInPlace = 7,
};

// Support codes of a node.
enum SupportCode : int { kSupportNone = 0, kSupportPinned = 1, kSupportRoller = 2 };

// One block's dimensions in metres: a kind and 23 reals in the order
// B, H, L, a, b, c, d, e, f, g, h, r12 .. r23.
struct DimensionSet {
  int kind = 0;
  std::array<double, kDimensionValues> v{};

  double& B() { return v[0]; }
  double& H() { return v[1]; }
  double& L() { return v[2]; }
  double& a() { return v[3]; }
  double& b() { return v[4]; }
  double& c() { return v[5]; }
  double& d() { return v[6]; }
  double& e() { return v[7]; }
  double& f() { return v[8]; }
  double& g() { return v[9]; }
  double& h() { return v[10]; }
  double B() const { return v[0]; }
  double H() const { return v[1]; }
  double L() const { return v[2]; }
  double a() const { return v[3]; }
  double b() const { return v[4]; }
  double c() const { return v[5]; }
  double d() const { return v[6]; }
  double e() const { return v[7]; }
  double f() const { return v[8]; }
  double g() const { return v[9]; }
  double h() const { return v[10]; }
  // r12 .. r23 by their number (12 .. 23); r12 is the opening width of an
  // intermediate wall.
  double& r(int k) { return v.at(static_cast<std::size_t>(k - 1)); }
  double r(int k) const { return v.at(static_cast<std::size_t>(k - 1)); }

  bool operator==(const DimensionSet&) const = default;
};

struct BlockRecord {
  int number = 0;
  DimensionSet default_set;  // as copied from the master, to show what was changed
  DimensionSet working_set;  // the values used everywhere
  double x = 0;              // horizontal position of the block's reference axis
  double z = 0;              // second position value (level)
  bool operator==(const BlockRecord&) const = default;
};

// The row of blocks, shared by the transverse and the longitudinal model.
// Its counts live in the transverse StructureModel.
struct BlockRow {
  std::vector<BlockRecord> blocks = std::vector<BlockRecord>(kMaxBlocks + 1);  // 1-based

  BlockRecord& At(int k) { return blocks.at(static_cast<std::size_t>(k)); }
  const BlockRecord& At(int k) const { return blocks.at(static_cast<std::size_t>(k)); }
  bool operator==(const BlockRow&) const = default;
};

struct ModelNode {
  int number = 0;
  // codes[0] is the support code (SupportCode); codes[1..6] are carried.
  std::array<int, kNodeCodes> codes{};
  double x = 0;
  double y = 0;

  int& support() { return codes[0]; }
  int support() const { return codes[0]; }
  bool operator==(const ModelNode&) const = default;
};

struct ModelMember {
  int number = 0;
  int block = 0;  // index into the block row (or of a cast-in-place zone)
  int node_i = 0;
  int node_j = 0;
  int code_i = 0;  // 0 rigid, 1 pin
  int code_j = 0;
  int type = 0;                               // member type code 1..32
  int poi_flag = 0;                           // points-of-interest flag 0/1
  int mirrored = 0;                           // laid from the right-hand or upper side of its block
  std::array<int, kMemberSpareInts> spare{};  // carried and saved, not used by generation
  // Points of interest: haunch, outer-bar 2d, inner-bar 2d, h/2 from the
  // i-end, then the same four from the j-end (m).
  std::array<double, kMemberPoints> points{};
  double length = 0;    // recomputed, not saved
  int cover_group = 0;  // recomputed, not saved; 0 for none

  bool operator==(const ModelMember&) const = default;
};

// 58 reals per member: the default copy (0..28) and the current values
// (29..57); the accessors count k within a half.
struct MemberSection {
  std::array<double, kSectionValues> v{};

  double& Default(int k) { return v.at(static_cast<std::size_t>(k)); }
  double& Current(int k) { return v.at(static_cast<std::size_t>(kSectionHalf + k)); }
  double Default(int k) const { return v.at(static_cast<std::size_t>(k)); }
  double Current(int k) const { return v.at(static_cast<std::size_t>(kSectionHalf + k)); }
  bool operator==(const MemberSection&) const = default;
};

struct WallEntry {
  double x = 0;  // axis
  double a = 0;  // top thickness
  double b = 0;  // bottom thickness
  bool operator==(const WallEntry&) const = default;
};

struct StructureModel {
  int real_block_count = 0;  // n; 0 marks the block row invalid
  int block_count = 0;       // n' = real blocks plus cast-in-place zones
  int left_end_block = 0;
  int right_end_block = 0;
  int first_slab_block = 0;
  int second_slab_block = 0;
  int first_zone = 0;          // n + 1
  int last_zone = 0;           // n'
  double cover_depth = 0;      // D
  double depth_of_bottom = 0;  // depth of the structure bottom
  std::array<double, 10> extents{};

  // Nodes 1..node_count.
  std::vector<ModelNode> nodes = std::vector<ModelNode>(kMaxNodes + 1);
  int node_count = 0;
  int bottom_right_node = 0;

  // Members 1..member_count (0 marks the member table invalid). One slot
  // more than the capacity: the transverse table stores the entry behind
  // the last member together with the joint record of its sections.
  std::vector<ModelMember> members = std::vector<ModelMember>(kMaxMembers + 2);
  int member_count = 0;
  std::array<int, kMaxMemberType + 1> last_member_of_type{};
  int left_wall_member = 0;
  int right_wall_member = 0;
  int first_top_slab_member = 0;
  int last_top_slab_member = 0;
  int first_top_member = 0;
  int last_top_member = 0;
  int first_bottom_member = 0;
  int last_bottom_member = 0;
  double depth_of_top_axis = 0;
  double depth_of_bottom_axis = 0;
  double frame_width = 0;  // W
  double frame_height = 0;

  // Section record of member m; record member_count + 1 holds the joint
  // inserts of the cast-in-place bottom slab.
  std::vector<MemberSection> sections = std::vector<MemberSection>(kMaxMembers + 2);

  int span_count = 0;
  double mean_span = 0;
  std::vector<WallEntry> walls = std::vector<WallEntry>(kMaxWalls + 1);  // 1-based
  int wall_count = 0;

  // Bounds-checked access (std::out_of_range past the table).
  ModelNode& Node(int k) { return nodes.at(static_cast<std::size_t>(k)); }
  const ModelNode& Node(int k) const { return nodes.at(static_cast<std::size_t>(k)); }
  ModelMember& Member(int k) { return members.at(static_cast<std::size_t>(k)); }
  const ModelMember& Member(int k) const { return members.at(static_cast<std::size_t>(k)); }
  MemberSection& Section(int k) { return sections.at(static_cast<std::size_t>(k)); }
  const MemberSection& Section(int k) const { return sections.at(static_cast<std::size_t>(k)); }

  bool block_row_valid() const { return real_block_count != 0; }
  bool member_table_valid() const { return member_count != 0; }

  bool operator==(const StructureModel&) const = default;
};

// Clears every table and count of a model to zero.
void ClearStructureModel(StructureModel& model);

// Appends a member between two existing nodes with its number, block and
// type, every other field cleared; returns its number, or 0 when a node is
// missing or the member table is full.
int AppendMember(StructureModel& model, int block, int type, int node_i, int node_j);

}  // namespace vaultra
