#pragma once
// The gravitational constant: the text TXTgravity and the options opGee(0..4) that fill it.
#include <string>

namespace orbits {

class MainWindow;

constexpr int kGravityOptions = 5;  // opGee(0..4)

// The text an option puts into TXTgravity; nullptr for opGee(0), where the user types it.
const char* gravityOptionText(int k);

// Puts a G into TXTgravity from code (an option, a reload): the text a refused edit goes back to.
void setGravityText(MainWindow& w, const std::string& text);
// The user leaves TXTgravity: a G the run could not compute with, or a save not keep, is
// refused with the reason, and the text goes back to the last one accepted.
void TXTgravity_LostFocus(MainWindow& w);

// An option chosen: fills TXTgravity and sets the constant in force at once.
void opGee_Click(MainWindow& w, int k);

// The relativity option: the Sun's first post-Newtonian term on or off, at once.
void ChRelativity_Click(MainWindow& w);

void wireGravitySettings(MainWindow& w);

}  // namespace orbits
