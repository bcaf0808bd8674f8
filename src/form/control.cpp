#include "form/control.h"

#include <algorithm>

#include "form/panel.h"
#include "text/number_text.h"

namespace orbits {

const std::string& LazyText::get() const {
  if (pending_) {
    switch (form_) {
      case NumForm::Plain:
        s_ = text::plain(v_);
        break;
      case NumForm::Signed:
        s_ = text::signedText(v_);
        break;
      case NumForm::Pattern:
        s_ = text::patterned(v_, pattern_ ? pattern_ : "0");
        break;
    }
    s_ += suffix_;
    pending_ = false;
  }
  return s_;
}

bool LazyText::set(std::string s) {
  if (get() == s) return false;
  s_ = std::move(s);
  return true;
}

bool LazyText::setNumber(double v, NumForm form, const char* pattern, const char* suffix) {
  if (pending_ && form_ == form && pattern_ == pattern && suffix_ == suffix &&
      (v_ == v || (v_ != v_ && v != v)))
    return false;
  pending_ = true;
  v_ = v;
  form_ = form;
  pattern_ = pattern;
  suffix_ = suffix ? suffix : "";
  return true;
}

std::string Control::ref() const {
  return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::markChanged() { revision_ = panel_ ? panel_->nextRevision() : revision_ + 1; }

void Control::setText(std::string s) {
  if (!text_.set(std::move(s))) return;
  markChanged();
  if (kind_ == Kind::TextBox) run(onChange);
}

void Control::setNumber(double v, NumForm form, const char* pattern, const char* suffix) {
  if (onChange && kind_ == Kind::TextBox) {
    // Someone listens to changes: the text must exist now.
    LazyText t;
    t.setNumber(v, form, pattern, suffix);
    setText(t.get());
    return;
  }
  if (text_.setNumber(v, form, pattern, suffix)) markChanged();
}

void Control::typeText(std::string s) {
  if (locked_ || !enabled_) return;
  if (maxLength_ > 0 && int(s.size()) > maxLength_) s.resize(size_t(maxLength_));
  setText(std::move(s));
}

void Control::setTooltip(std::string s) {
  if (tip_.set(std::move(s))) markChanged();
}

void Control::setTooltipNumber(double v, NumForm form, const char* pattern, const char* suffix) {
  if (tip_.setNumber(v, form, pattern, suffix)) markChanged();
}

void Control::setValue(int v) {
  switch (kind_) {
    case Kind::Option:
      if (v != 0) {
        if (value_ != 0) return;
        if (panel_)
          for (Control* m : panel_->members(name_))
            if (m != this && m->value_ != 0) {
              m->value_ = 0;
              m->markChanged();
            }
        value_ = 1;
        markChanged();
        run(onClick);
      } else if (value_ != 0) {
        value_ = 0;
        markChanged();
      }
      return;
    case Kind::CheckBox:
      v = std::clamp(v, 0, 2);
      if (v == value_) return;
      value_ = v;
      markChanged();
      run(onClick);
      return;
    case Kind::HScroll:
      v = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
      if (v == value_) return;
      value_ = v;
      markChanged();
      run(onChange);
      return;
    case Kind::Button:
      if (v) press();
      return;
    default:
      if (v == value_) return;
      value_ = v;
      markChanged();
  }
}

void Control::press() { run(onClick); }
void Control::lostFocus() { run(onLostFocus); }
void Control::tick() {
  if (enabled_) run(onTick);
}

#define ORBITS_SETTER(fn, field) \
  if (field == v) return;        \
  field = v;                     \
  markChanged();

void Control::setVisible(bool v) { ORBITS_SETTER(setVisible, visible_) }
void Control::setEnabled(bool v) { ORBITS_SETTER(setEnabled, enabled_) }
void Control::setForeColor(Color v) { ORBITS_SETTER(setForeColor, fore_) }
void Control::setBackColor(Color v) { ORBITS_SETTER(setBackColor, back_) }
void Control::setLeft(int v) { ORBITS_SETTER(setLeft, left_) }
void Control::setTop(int v) { ORBITS_SETTER(setTop, top_) }
void Control::setLocked(bool v) { ORBITS_SETTER(setLocked, locked_) }
void Control::setMaxLength(int v) { ORBITS_SETTER(setMaxLength, maxLength_) }
void Control::setInterval(int v) { ORBITS_SETTER(setInterval, interval_) }
void Control::setBorderless(bool v) { ORBITS_SETTER(setBorderless, borderless_) }
#undef ORBITS_SETTER

void Control::setWidth(int v) { move(left_, top_, v, height_); }
void Control::setHeight(int v) { move(left_, top_, width_, v); }

void Control::move(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (kind_ == Kind::Picture) {
    if (!surface_) surface_ = std::make_unique<Surface>();
    Color back = surface_->background();
    surface_->resize(width_ / kUnitsPerPixel, height_ / kUnitsPerPixel, back);
  }
  markChanged();
}

void Control::setRange(int min, int max) {
  if (min == min_ && max == max_) return;
  min_ = min;
  max_ = max;
  markChanged();
  int lo = std::min(min_, max_), hi = std::max(min_, max_);
  if (value_ < lo || value_ > hi) setValue(std::clamp(value_, lo, hi));
}

void Control::setSteps(int small, int large) {
  small_ = small;
  large_ = large;
  markChanged();
}

void Control::setPicture(std::string p) {
  if (p == picture_) return;
  picture_ = std::move(p);
  markChanged();
}

}  // namespace orbits
