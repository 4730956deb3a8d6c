#include "inputs/structure_model.h"

namespace vaultra {

void ClearStructureModel(StructureModel& model) {
  model = StructureModel{};
}

}  // namespace vaultra
