#include "model/frame_model.h"

#include <algorithm>

namespace vaultra {

int FrameModel::MaxSpringCount() const {
  int n = 0;
  for (const auto& c : spring_cases) n = std::max(n, c.springs.Count());
  return n;
}

int FrameModel::MaxSupportCount() const {
  int n = 0;
  for (const auto& c : support_cases) n = std::max(n, c.supports.Count());
  return n;
}

void FrameModel::Clear() {
  *this = FrameModel();
}

}  // namespace vaultra
