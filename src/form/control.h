#pragma once
// The kinds of control of the panel. A control is plain state: the view shows it, the
// core reads and writes it, and changing a value runs the handler a user's action would.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "form/color.h"
#include "form/surface.h"

namespace orbits {

class Panel;

enum class Kind {
  Button,
  CheckBox,
  Option,
  TextBox,
  Label,
  Frame,
  HScroll,
  Picture,
  Image,
  Shape,
  Timer
};

// How a number is turned into text when a lazy text is first read.
enum class NumForm : uint8_t { Plain, Signed, Pattern };

// A text that may hold a number not yet formatted: per-cycle texts that nobody reads before
// the next cycle overwrites them cost no formatting at all.
class LazyText {
 public:
  const std::string& get() const;
  // Both return whether the text changed (a number is assumed changed unless it is the
  // same number with the same form).
  bool set(std::string s);
  bool setNumber(double v, NumForm form, const char* pattern = nullptr, const char* suffix = "");

 private:
  mutable std::string s_;
  mutable bool pending_ = false;
  double v_ = 0;
  NumForm form_ = NumForm::Plain;
  const char* pattern_ = nullptr;
  const char* suffix_ = "";
};

using Handler = std::function<void(int index)>;

class Control {
 public:
  Control(Kind kind, std::string name, int index = -1)
      : kind_(kind), name_(std::move(name)), index_(index) {}

  Kind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  int index() const { return index_; }
  std::string ref() const;  // "OpDist(3)" or "Chend"

  // Caption of buttons, labels, check boxes, options and frames; text of text boxes.
  const std::string& text() const { return text_.get(); }
  // From code: runs the change handler of a text box when the text changes.
  void setText(std::string s);
  void setNumber(double v, NumForm form, const char* pattern = nullptr, const char* suffix = "");
  // As a user types: refused when locked, cut to the maximum length; runs the change handler.
  void typeText(std::string s);
  const std::string& tooltip() const { return tip_.get(); }
  void setTooltip(std::string s);
  void setTooltipNumber(double v, NumForm form, const char* pattern = nullptr,
                        const char* suffix = "");

  // Check box: 0, 1, 2 (greyed). Option: 0 or 1 (selected). Scroll bar: its value.
  int value() const { return value_; }
  bool checked() const { return value_ == 1; }
  bool selected() const { return value_ != 0; }
  // As the user's action: a changed check box runs its click handler, an option selected
  // runs its click handler (and deselects the rest of its array), a changed scroll value
  // runs its change handler. An unchanged value runs nothing.
  void setValue(int v);
  // A push button pressed (from code or by the user): runs the click handler at once.
  void press();
  // The user leaves a text box.
  void lostFocus();
  // A timer's tick.
  void tick();

  bool visible() const { return visible_; }
  void setVisible(bool v);
  bool enabled() const { return enabled_; }
  void setEnabled(bool e);
  Color foreColor() const { return fore_; }
  void setForeColor(Color c);
  Color backColor() const { return back_; }
  void setBackColor(Color c);

  // Place in drawing units, relative to the container (a frame, or the window).
  int left() const { return left_; }
  int top() const { return top_; }
  int width() const { return width_; }
  int height() const { return height_; }
  void setLeft(int v);
  void setTop(int v);
  void setWidth(int v);
  void setHeight(int v);
  void move(int left, int top, int width, int height);
  const std::string& container() const { return container_; }
  void setContainer(std::string frame) { container_ = std::move(frame); }

  // Text box.
  bool locked() const { return locked_; }
  void setLocked(bool l);
  int maxLength() const { return maxLength_; }
  void setMaxLength(int n);
  // Scroll bar.
  int min() const { return min_; }
  int max() const { return max_; }
  int smallChange() const { return small_; }
  int largeChange() const { return large_; }
  void setRange(int min, int max);
  void setMin(int v) { setRange(v, max_); }
  void setMax(int v) { setRange(min_, v); }
  void setSteps(int small, int large);
  // Timer.
  int interval() const { return interval_; }
  void setInterval(int ms);
  // Frame drawn without border and caption.
  bool borderless() const { return borderless_; }
  void setBorderless(bool b);
  // Image: the name of the picture shown; picture box: its drawing surface.
  const std::string& picture() const { return picture_; }
  void setPicture(std::string p);
  Surface* surface() { return surface_.get(); }
  const Surface* surface() const { return surface_.get(); }

  Handler onClick, onChange, onLostFocus, onTick;

  // Revision stamp of the last change, for the view's refresh.
  uint64_t revision() const { return revision_; }
  void markChanged();

 private:
  friend class Panel;
  void run(const Handler& h) {
    if (h) h(index_);
  }

  Kind kind_;
  std::string name_;
  int index_;
  Panel* panel_ = nullptr;
  LazyText text_, tip_;
  int value_ = 0;
  bool visible_ = true, enabled_ = true;
  Color fore_ = kBlack, back_ = rgb(192, 192, 192);
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  std::string container_;
  bool locked_ = false;
  int maxLength_ = 0;
  int min_ = 0, max_ = 32767, small_ = 1, large_ = 1;
  int interval_ = 0;
  bool borderless_ = false;
  std::string picture_;
  std::unique_ptr<Surface> surface_;
  uint64_t revision_ = 0;
};

}  // namespace orbits
