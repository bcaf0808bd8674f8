#include "sweep/results_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace orbits::sweep {

namespace {

constexpr double kWidth = 760, kHeight = 460;
constexpr double kLeft = 100, kTop = 50, kBottom = 70;
constexpr double kRightAlone = 30, kRightWithLegend = 230;
constexpr const char* kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd",
                                    "#ff7f0e", "#17becf", "#8c564b", "#e377c2"};

struct Point {
  double x, y;
};

std::string escaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  return buf;
}

bool numberText(const std::string& s, double& out) {
  char* end = nullptr;
  out = std::strtod(s.c_str(), &end);
  return !s.empty() && end == s.c_str() + s.size() && std::isfinite(out);
}

// An axis over [lo, hi]: its ticks at a step of 1, 2 or 5 times a power of ten.
struct Axis {
  double lo = 0, hi = 1, step = 1;

  static Axis over(double lo, double hi) {
    if (!(hi > lo)) {
      const double pad = lo != 0 ? std::abs(lo) * 1e-3 : 1;
      lo -= pad, hi += pad;
    }
    // A little room on either side, so that no point lies on the frame.
    const double margin = (hi - lo) * 0.04;
    Axis a{lo - margin, hi + margin};
    const double raw = (a.hi - a.lo) / 5, unit = std::pow(10, std::floor(std::log10(raw)));
    a.step = unit * (raw / unit < 1.5 ? 1 : raw / unit < 3.5 ? 2 : raw / unit < 7.5 ? 5 : 10);
    return a;
  }
  std::vector<double> ticks() const {
    std::vector<double> t;
    for (double v = std::ceil(lo / step) * step; v <= hi + step * 1e-9; v += step)
      t.push_back(std::abs(v) < step * 1e-9 ? 0 : v);
    return t;
  }
  std::string label(double v) const {
    char buf[40];
    const int decimals = std::max(0, int(-std::floor(std::log10(step))));
    if (std::abs(v) >= 1e9 || (v != 0 && std::abs(v) < 1e-4))
      std::snprintf(buf, sizeof buf, "%.4g", v);
    else
      std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
  }
  double at(double v, double from, double to) const {
    return from + (v - lo) / (hi - lo) * (to - from);
  }
};

// The points of each line: x from the first varied control (its values' positions when they
// are not all numbers), one line per combination of the other controls' values.
struct Lines {
  std::vector<std::string> names;
  std::vector<std::vector<Point>> points;
  std::vector<std::string> categories;  // x labels when x is no number
};

Lines linesOf(const Results& r, const Plan& plan, size_t figure) {
  Lines lines;
  const bool numericX = std::all_of(plan.runs.begin(), plan.runs.end(), [&](const PlannedRun& run) {
    double x;
    return run.values.empty() || numberText(run.values[0], x);
  });
  std::map<std::string, size_t> lineOf, categoryOf;
  for (size_t i = 0; i < plan.runs.size(); ++i) {
    const PlannedRun& run = plan.runs[i];
    std::string name;
    for (size_t v = 1; v < run.values.size(); ++v) {
      if (v > 1) name += ", ";
      name += plan.varied[v].name + "=" + run.values[v];
    }
    auto [line, added] = lineOf.try_emplace(name, lines.names.size());
    if (added) lines.names.push_back(name), lines.points.emplace_back();
    double x = run.index;
    if (!run.values.empty() && !(numericX && numberText(run.values[0], x))) {
      auto [c, fresh] = categoryOf.try_emplace(run.values[0], lines.categories.size());
      if (fresh) lines.categories.push_back(run.values[0]);
      x = double(c->second);
    }
    const auto& cell = r.rows[i][figure];
    if (cell.is_number()) lines.points[line->second].push_back({x, cell.get<double>()});
  }
  return lines;
}

std::string polyline(const std::vector<Point>& pts, const Axis& xa, const Axis& ya, double x0,
                     double x1, double y0, double y1, const char* colour) {
  std::string out, path;
  for (const Point& p : pts) {
    const std::string cx = num(xa.at(p.x, x0, x1)), cy = num(ya.at(p.y, y0, y1));
    path += cx + "," + cy + " ";
    out += "<circle cx=\"" + cx + "\" cy=\"" + cy + "\" r=\"3.5\" fill=\"" + colour + "\"/>\n";
  }
  return "<polyline fill=\"none\" stroke=\"" + std::string(colour) +
         "\" stroke-width=\"1.5\" points=\"" + path + "\"/>\n" + out;
}

std::string text(double x, double y, const std::string& s, const char* anchor,
                 const std::string& extra = "") {
  return "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" text-anchor=\"" + anchor + "\"" + extra +
         ">" + escaped(s) + "</text>\n";
}

}  // namespace

std::optional<std::string> resultsSvg(const Results& r, const Plan& plan,
                                      const std::string& figure) {
  const auto column = std::find(r.columns.begin(), r.columns.end(), figure);
  if (column == r.columns.end() && r.columns.size() > r.firstFigure) return std::nullopt;
  const Lines lines = column == r.columns.end()
                          ? Lines{{""}, {{}}, {}}
                          : linesOf(r, plan, size_t(column - r.columns.begin()));
  double xlo = INFINITY, xhi = -INFINITY, ylo = INFINITY, yhi = -INFINITY;
  for (const auto& pts : lines.points)
    for (const Point& p : pts)
      xlo = std::min(xlo, p.x), xhi = std::max(xhi, p.x), ylo = std::min(ylo, p.y),
      yhi = std::max(yhi, p.y);
  const bool any = xlo <= xhi;
  const Axis xa = any ? Axis::over(xlo, xhi) : Axis::over(0, 1);
  const Axis ya = any ? Axis::over(ylo, yhi) : Axis::over(0, 1);
  const bool legend = lines.names.size() > 1;
  const double x0 = kLeft, x1 = kWidth - (legend ? kRightWithLegend : kRightAlone);
  const double y0 = kHeight - kBottom, y1 = kTop;
  const std::string xName = plan.varied.empty() ? "run" : plan.varied[0].name;

  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(kWidth) +
                    "\" height=\"" + num(kHeight) +
                    "\" font-family=\"sans-serif\" font-size=\"12\">\n"
                    "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  svg += text(kWidth / 2, 24, figure + " against " + xName, "middle", " font-size=\"15\"");
  svg += "<rect x=\"" + num(x0) + "\" y=\"" + num(y1) + "\" width=\"" + num(x1 - x0) +
         "\" height=\"" + num(y0 - y1) + "\" fill=\"none\" stroke=\"#444\"/>\n";
  for (double t : ya.ticks()) {
    const double y = ya.at(t, y0, y1);
    svg += "<line x1=\"" + num(x0) + "\" y1=\"" + num(y) + "\" x2=\"" + num(x1) + "\" y2=\"" +
           num(y) + "\" stroke=\"#ddd\"/>\n" + text(x0 - 6, y + 4, ya.label(t), "end");
  }
  if (lines.categories.empty()) {
    for (double t : xa.ticks()) svg += text(xa.at(t, x0, x1), y0 + 18, xa.label(t), "middle");
  } else {
    for (size_t c = 0; c < lines.categories.size(); ++c)
      svg += text(xa.at(double(c), x0, x1), y0 + 18, lines.categories[c], "middle");
  }
  svg += text((x0 + x1) / 2, kHeight - 24, xName, "middle");
  svg += text(24, (y0 + y1) / 2, figure, "middle",
              " transform=\"rotate(-90 24 " + num((y0 + y1) / 2) + ")\"");
  if (!any) svg += text((x0 + x1) / 2, (y0 + y1) / 2, "no run has this figure yet", "middle");
  for (size_t l = 0; l < lines.points.size(); ++l) {
    const char* colour = kColours[l % std::size(kColours)];
    svg += polyline(lines.points[l], xa, ya, x0, x1, y0, y1, colour);
    if (legend)
      svg += "<rect x=\"" + num(x1 + 16) + "\" y=\"" + num(y1 + 18 * double(l)) +
             "\" width=\"12\" height=\"12\" fill=\"" + colour + "\"/>\n" +
             text(x1 + 34, y1 + 18 * double(l) + 10, lines.names[l], "start");
  }
  return svg + "</svg>\n";
}

}  // namespace orbits::sweep
