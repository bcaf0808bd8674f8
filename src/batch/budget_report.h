#pragma once
// The runner's report of a precession budget: one JSON object, or a table for reading.
#include <ostream>

#include "budget/budget.h"

namespace orbits::batch {

void writeBudgetJson(std::ostream& out, const budget::BudgetResult& r);
void writeBudgetText(std::ostream& out, const budget::BudgetResult& r);

// The epoch as its year (the 1940 set is coded 19402).
int epochYear(int16_t epochCode);

}  // namespace orbits::batch
