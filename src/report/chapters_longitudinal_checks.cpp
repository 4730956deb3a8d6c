// Longitudinal chapters 3 to 9: loads, model and results of the
// longitudinal frame, the longitudinal joint checks and the end walls. Not
// written yet: the report has none of them until they are.
#include "report/chapters.h"

namespace vaultra {

void PrintLongitudinalCheckChapters(ReportContext&) {}

}  // namespace vaultra
