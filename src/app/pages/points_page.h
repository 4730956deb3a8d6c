// The points-of-interest page's logic without its window: the node and the
// member tables as rows of cell texts, the member highlight flags and the
// member picked from the drawing.
#pragma once

#include <array>
#include <cstdint>

#include "app/document/project_state.h"

namespace vaultra {

// One flag per member number; sized from the member capacity (the joint
// record behind the last member included) and bounds-checked.
class MemberHighlight {
 public:
  void Clear() { flags_.fill(0); }
  // False (nothing set) for a number outside 1 .. capacity.
  bool Set(int member);
  bool IsSet(int member) const;
  static constexpr int kCapacity = kMaxMembers + 1;

 private:
  std::array<std::uint8_t, kCapacity + 1> flags_{};
};

// True for member types laid from the right or from above, whose j-end is
// shown as the I' end.
bool ShownReversed(int member_type);

// Fill Grid_Pos and Grid_Bzi of the page from the transverse model.
void FillNodeTable(const StructureModel& model, GridData& grid);
void FillMemberTable(const StructureModel& model, GridData& grid);
void FillPointsTables(ProjectState& state);

// Distance from (x, y) to the segment a-b: perpendicular when its foot lies
// on the segment, else to the nearer end.
double PointSegmentDistance(double x, double y, double ax, double ay, double bx, double by);
// The member whose centre line is nearest to (x, y), counting distances
// below limit (m); a later member wins only when strictly nearer. 0 when none.
int NearestMember(const StructureModel& model, double x, double y, double limit);
// The points page's pick: distances below 300 m.
int PickMember(const StructureModel& model, double x, double y);

// The member table row that shows member m (0 when none).
int RowOfMember(const GridData& grid, int member);

}  // namespace vaultra
