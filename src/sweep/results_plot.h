#pragma once
// A sweep's figure drawn against its first varied control: one line per combination of the
// other varied controls, as an SVG picture.
#include <optional>
#include <string>

#include "sweep/merge.h"

namespace orbits::sweep {

// The picture of `figure`; nullopt when some run has reported and none has that figure.
std::optional<std::string> resultsSvg(const Results& results, const Plan& plan,
                                      const std::string& figure);

}  // namespace orbits::sweep
