// Fills a frame model from a structure model: materials, sections, nodes,
// members, output positions, spring and support cases, load cases.
#pragma once

#include "model/frame_model.h"
#include "model/load_cases.h"

namespace vaultra {

void FillFrameModel(FrameModel& frame, const StructureModel& model, Direction dir, int format_index,
                    const LoadInputs& in);

}  // namespace vaultra
