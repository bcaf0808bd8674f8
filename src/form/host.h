#pragma once
// The few services the core asks of its platform: the window, the runner and tests each
// provide one.
#include <string>

#include "text/date.h"

namespace orbits {

class Control;

enum class MessageIcon { None, Critical };

class Host {
 public:
  virtual ~Host() = default;
  // Lets the platform handle pending events (clicks, edits, timer ticks) once.
  virtual void yield() = 0;
  // A modal message box with an OK button; returns when it is answered.
  virtual void messageBox(const std::string& text, const std::string& title,
                          MessageIcon icon = MessageIcon::None) = 0;
  // Opens an address with the desktop's default way; false when that is not possible.
  virtual bool openAddress(const std::string& address) = 0;
  virtual text::DateTime now() = 0;
  // Ends the program (the platform decides how; the core does nothing after this).
  virtual void quit() = 0;
  // The directory where data files go, without a trailing separator.
  virtual std::string dataDir() = 0;
  // Shows the lab's charts, where the platform has a window for them.
  virtual void showCharts() {}
  // Puts the keyboard's input focus into a control of the main window (none without a window).
  virtual void focus(const Control&) {}
};

}  // namespace orbits
