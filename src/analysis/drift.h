#pragma once
// Pair distance and drift: the per-cycle minimum and maximum records of the watched pair, the
// scenario extremes shown by Monkey, the zero blanking of the file's number texts, and Drifter,
// the per-orbit record in "data-drift.txt".
#include <string>
#include <string_view>

namespace orbits {

class MainWindow;

// The minimum and maximum records of the pair measurement, every cycle after pairDist has
// been measured: the orbit's extremes with their moments and positions, and from orbit 1 on
// the scenario's extremes.
void PairRecords(MainWindow& w);

// Shows the scenario extremes ("Min T"/"Max T") or the averaged ones ("Min A"/"Max A") in
// whole kilometres.
void Monkey(MainWindow& w);

void ChAPE_Click(MainWindow& w);
void ChMinMax_Click(MainWindow& w);

// A fixed-width number text with its filler zeros turned into spaces; `withSign` puts the
// sign character ("-", "+", or "0" for a zero value) before the first significant character.
std::string zeroBlank(std::string_view s, bool withSign);

// The zero-blanking family, each from one text of the pair statistics into another.
void ZeroZapMikm(MainWindow& w);
void ZeroZapMakm(MainWindow& w);
void ZeroZapMiDi(MainWindow& w);
void ZeroZapMaDi(MainWindow& w);
void ZeroZapMMi(MainWindow& w);
void ZeroZapMMa(MainWindow& w);

// Per orbit completion, after Quartz and before orbitCount is increased.
void Drifter(MainWindow& w);

void wireDrift(MainWindow& w);

}  // namespace orbits
