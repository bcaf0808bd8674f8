#pragma once
// Changing a control from the command line the way a user changes it in the window:
// "Chuser=1" ticks a check box, "Optime(7)=1" selects an option, "TXTgravity=6.674" types
// into a text box and leaves it, "HStheta=5" moves a scroll bar.
#include <string>

namespace orbits {

class Control;
class Panel;

struct Setting {
  Control* control = nullptr;
  std::string value;  // as given
  int number = 0;     // check box, option and scroll bar values
};

// Finds the control of "NAME=VALUE" and checks that the value suits its kind. On failure
// returns false with a message that names what is wrong.
bool resolveSetting(Panel& panel, const std::string& arg, Setting& out, std::string& error);

// Finds the control of "--show NAME": one with a text or a caption.
Control* resolveShown(Panel& panel, const std::string& ref, std::string& error);

// Performs the change as the user's action would: the control's handlers run. False when the
// control takes no change now (a text box that is disabled or locked).
bool applySetting(const Setting& s);

}  // namespace orbits
