// The charts' series of the lab: per-quantity extremes over buckets of consecutive orbits, thinned
// by merging neighbours as the run grows (lab_state.h).
#include <cmath>

#include "window/lab_state.h"

namespace orbits {

void Extent::take(double x, double y) {
  if (!std::isfinite(y)) return;
  if (empty()) {
    loX = hiX = x;
    lo = hi = y;
    return;
  }
  if (y < lo) lo = y, loX = x;
  if (y > hi) hi = y, hiX = x;
}

void Extent::merge(const Extent& later) {
  if (later.empty()) return;
  if (empty()) {
    *this = later;
    return;
  }
  if (later.lo < lo) lo = later.lo, loX = later.loX;
  if (later.hi > hi) hi = later.hi, hiX = later.hiX;
}

void SeriesBucket::merge(const SeriesBucket& b) {
  lastOrbit = b.lastOrbit;
  lastDays = b.lastDays;
  records += b.records;
  for (size_t c = 0; c < kLabChannels; ++c) channels[c].merge(b.channels[c]);
}

void ThinnedSeries::add(const SeriesBucket& orbit) {
  if (!buckets.empty() && buckets.back().records < perBucket) {
    buckets.back().merge(orbit);
    return;
  }
  if (buckets.size() >= kMaxBuckets) halve();
  if (buckets.capacity() < kMaxBuckets) buckets.reserve(kMaxBuckets);
  buckets.push_back(orbit);
}

void ThinnedSeries::halve() {
  size_t kept = 0;
  for (size_t i = 0; i < buckets.size(); i += 2, ++kept) {
    SeriesBucket b = buckets[i];
    if (i + 1 < buckets.size()) b.merge(buckets[i + 1]);
    buckets[kept] = b;
  }
  buckets.resize(kept);
  perBucket *= 2;
}

}  // namespace orbits
