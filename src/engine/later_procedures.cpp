#include "engine/later_procedures.h"

namespace orbits {


}  // namespace orbits
