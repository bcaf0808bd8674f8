#pragma once
// The watched pair: the first body (alpha) and the second (beta), chosen with the hidden scroll
// bars HSalpha and HSbeta, and the recolouring and relabelling that shows them.
namespace orbits {

class MainWindow;

// Change handlers of the two scroll bars.
void HSalpha_Change(MainWindow& w);
void HSbeta_Change(MainWindow& w);

// The first body taken from HSalpha, the second from HSbeta, with their colours and names.
void ALPHAalpha(MainWindow& w);
void BETAbeta(MainWindow& w);

// Restarts the orbit's and the previous orbit's extremes at the pair's distance in the X-Y
// plane.
void CalibrateDist(MainWindow& w);

// Shows the orbit's extremes in TXmin and TXmax (the minimal-detail turbo mode).
void Slick(MainWindow& w);

void wirePairSelection(MainWindow& w);

}  // namespace orbits
