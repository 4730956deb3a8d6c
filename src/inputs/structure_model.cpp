#include "inputs/structure_model.h"

namespace vaultra {

void ClearStructureModel(StructureModel& model) {
  model = StructureModel{};
}

int AppendMember(StructureModel& model, int block, int type, int node_i, int node_j) {
  if (node_i == 0 || node_j == 0 || model.member_count >= kMaxMembers) return 0;
  const int k = ++model.member_count;
  ModelMember& mb = model.Member(k);
  mb = ModelMember{};
  mb.number = k;
  mb.block = block;
  mb.type = type;
  mb.node_i = node_i;
  mb.node_j = node_j;
  return k;
}

}  // namespace vaultra
