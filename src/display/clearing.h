#pragma once
// Clearing the drawing (by hand and every so many seconds), the background pictures, and the
// blinking ring of the body editor.
#include <string>

namespace orbits {

class MainWindow;

// The longest clearing period TXref can hold (three digits), in seconds.
constexpr int kLongestClearSeconds = 999;

// The picture of background option k ("none" 0, "Zodiac" 3); empty for none.
std::string backgroundPicture(int k);
// The clearing interval TXref asks for, in milliseconds; 0 stops the timer from ticking.
int clearingInterval(MainWindow& w);

void Command4_Click(MainWindow& w);
void OpCl_Click(MainWindow& w, int k);
void TXref_LostFocus(MainWindow& w);
void Tiball_Timer(MainWindow& w);
void OpDate_Click(MainWindow& w, int k);
void TiF_Timer(MainWindow& w);

void wireClearing(MainWindow& w);

}  // namespace orbits
