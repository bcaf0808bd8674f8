#include "qt/pictures.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdint>

#include "form/control.h"

namespace orbits::qt {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr const char* kStartHint = "Choose a scenario with the numbered buttons to start a run";

// A small fixed-seed generator: the pictures are the same on every start.
class Stars {
 public:
  explicit Stars(uint32_t seed) : s_(seed) {}
  double next() {
    s_ = s_ * 1664525u + 1013904223u;
    return double(s_ >> 8) / double(1u << 24);
  }

 private:
  uint32_t s_;
};

QFont font(double pt, bool bold = false) {
  QFont f("DejaVu Sans");
  f.setPointSizeF(pt);
  f.setBold(bold);
  return f;
}

void starfield(QPainter& p, const QRect& r, int count, uint32_t seed, double brightness = 1) {
  Stars rnd(seed);
  p.save();
  p.setPen(Qt::NoPen);
  for (int i = 0; i < count; ++i) {
    double x = r.left() + rnd.next() * r.width();
    double y = r.top() + rnd.next() * r.height();
    double m = rnd.next();
    double size = m > 0.97 ? 1.6 : m > 0.85 ? 1.0 : 0.6;
    int level = int((90 + 165 * rnd.next()) * brightness);
    double tint = rnd.next();
    QColor c = tint < 0.15  ? QColor(level, level * 8 / 10, level * 6 / 10)
               : tint < 0.3 ? QColor(level * 8 / 10, level * 9 / 10, level)
                            : QColor(level, level, level);
    p.setBrush(c);
    p.drawEllipse(QPointF(x, y), size, size);
    if (size > 1.5) {  // a few bright stars with a faint cross
      p.setPen(QPen(QColor(c.red(), c.green(), c.blue(), 90), 0.6));
      p.drawLine(QPointF(x - 4, y), QPointF(x + 4, y));
      p.drawLine(QPointF(x, y - 4), QPointF(x, y + 4));
      p.setPen(Qt::NoPen);
    }
  }
  p.restore();
}

void glow(QPainter& p, QPointF c, double r, QColor core, QColor rim) {
  QRadialGradient g(c, r);
  g.setColorAt(0, core);
  g.setColorAt(0.25, core);
  g.setColorAt(0.45, rim);
  rim.setAlpha(0);
  g.setColorAt(1, rim);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawEllipse(c, r, r);
}

void sphere(QPainter& p, QPointF c, double r, QColor base) {
  QRadialGradient g(c + QPointF(-r * 0.35, -r * 0.35), r * 1.4);
  g.setColorAt(0, base.lighter(160));
  g.setColorAt(0.6, base);
  g.setColorAt(1, base.darker(300));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawEllipse(c, r, r);
}

// The Sun and the eight planets on their orbits, seen from slightly above the ecliptic.
QPixmap drawMoon() {
  QPixmap pm(640, 436);
  pm.fill(Qt::black);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 436);
  sky.setColorAt(0, QColor(4, 6, 22));
  sky.setColorAt(1, QColor(0, 0, 0));
  p.fillRect(pm.rect(), sky);
  starfield(p, pm.rect(), 420, 1940);

  const QPointF sun(320, 236);
  const double tilt = 0.36;
  struct Planet {
    double orbit, angle, size;
    QColor color;
  };
  const Planet planets[] = {
      {34, 2.1, 2.2, QColor(170, 160, 150)},  {52, 4.0, 3.2, QColor(230, 200, 140)},
      {72, 0.8, 3.4, QColor(80, 140, 255)},   {94, 5.5, 2.8, QColor(220, 90, 50)},
      {142, 3.3, 7.5, QColor(215, 170, 120)}, {192, 1.2, 6.5, QColor(225, 200, 140)},
      {240, 4.6, 4.6, QColor(150, 215, 230)}, {288, 0.2, 4.4, QColor(90, 120, 240)},
  };
  // Orbits behind the Sun first, then the Sun, then the near halves and the planets.
  for (const Planet& pl : planets) {
    QRectF e(sun.x() - pl.orbit, sun.y() - pl.orbit * tilt, 2 * pl.orbit, 2 * pl.orbit * tilt);
    p.setPen(QPen(QColor(70, 110, 170, 150), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(e, 0, 180 * 16);
  }
  glow(p, sun, 46, QColor(255, 250, 220), QColor(255, 170, 40, 120));
  sphere(p, sun, 13, QColor(255, 215, 90));
  for (const Planet& pl : planets) {
    QRectF e(sun.x() - pl.orbit, sun.y() - pl.orbit * tilt, 2 * pl.orbit, 2 * pl.orbit * tilt);
    p.setPen(QPen(QColor(70, 110, 170, 170), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(e, 180 * 16, 180 * 16);
  }
  for (const Planet& pl : planets) {
    QPointF at(sun.x() + pl.orbit * std::cos(pl.angle),
               sun.y() + pl.orbit * tilt * std::sin(pl.angle));
    // A short trail of dots behind each planet, as the simulator draws them.
    for (int k = 1; k <= 14; ++k) {
      double a = pl.angle - k * 0.045 * 140 / (pl.orbit + 40);
      QPointF t(sun.x() + pl.orbit * std::cos(a), sun.y() + pl.orbit * tilt * std::sin(a));
      QColor c = pl.color;
      c.setAlpha(220 - k * 14);
      p.setPen(Qt::NoPen);
      p.setBrush(c);
      p.drawEllipse(t, 0.9, 0.9);
    }
    if (pl.orbit == 192) {  // Saturn's rings
      p.setPen(QPen(QColor(235, 215, 170), 1.2));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(at, pl.size * 2.0, pl.size * 0.7);
    }
    sphere(p, at, pl.size, pl.color);
  }

  p.setPen(QColor(225, 230, 255));
  p.setFont(font(17, true));
  p.drawText(QRectF(0, 16, 640, 30), Qt::AlignHCenter, "Solar System Orbits");
  p.setFont(font(8.5));
  p.setPen(QColor(150, 165, 205));
  p.drawText(QRectF(0, 46, 640, 20), Qt::AlignHCenter,
             "Gravity simulator of the Sun and the planets");
  p.drawText(startHintArea(), Qt::AlignCenter, kStartHint);
  return pm;
}

// A zodiac wheel: the twelve signs around the ecliptic, in dim colours that leave the orbits
// drawn over it readable.
QPixmap drawZodiac() {
  QPixmap pm(681, 520);
  pm.fill(Qt::black);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  starfield(p, pm.rect(), 260, 3, 0.55);
  const QPointF c(340.5, 260);
  const double outer = 252, inner = 212, hub = 200;
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(70, 60, 110), 1.2));
  p.drawEllipse(c, outer, outer);
  p.drawEllipse(c, inner, inner);
  p.setPen(QPen(QColor(45, 40, 75), 0.8));
  p.drawEllipse(c, hub, hub);
  p.drawEllipse(c, 120, 120);
  // Degree ticks on the ecliptic.
  for (int d = 0; d < 360; d += 5) {
    double a = d * kPi / 180;
    double len = d % 30 == 0 ? 12 : d % 10 == 0 ? 7 : 4;
    p.setPen(QPen(QColor(80, 70, 120), d % 30 == 0 ? 1.2 : 0.7));
    p.drawLine(QPointF(c.x() + inner * std::cos(a), c.y() - inner * std::sin(a)),
               QPointF(c.x() + (inner - len) * std::cos(a), c.y() - (inner - len) * std::sin(a)));
  }
  static const char16_t* glyphs[12] = {u"\u2648", u"\u2649", u"\u264A", u"\u264B",
                                       u"\u264C", u"\u264D", u"\u264E", u"\u264F",
                                       u"\u2650", u"\u2651", u"\u2652", u"\u2653"};
  static const char* names[12] = {"Aries",       "Taurus",    "Gemini",   "Cancer",
                                  "Leo",         "Virgo",     "Libra",    "Scorpio",
                                  "Sagittarius", "Capricorn", "Aquarius", "Pisces"};
  // Fire, earth, air, water.
  const QColor element[4] = {QColor(150, 70, 50), QColor(70, 120, 60), QColor(90, 110, 160),
                             QColor(60, 90, 140)};
  for (int i = 0; i < 12; ++i) {
    double a0 = i * 30 * kPi / 180;
    p.setPen(QPen(QColor(70, 60, 110), 1.0));
    p.drawLine(QPointF(c.x() + inner * std::cos(a0), c.y() - inner * std::sin(a0)),
               QPointF(c.x() + outer * std::cos(a0), c.y() - outer * std::sin(a0)));
    p.setPen(QPen(QColor(35, 32, 60), 0.6, Qt::DotLine));
    p.drawLine(QPointF(c.x() + 120 * std::cos(a0), c.y() - 120 * std::sin(a0)),
               QPointF(c.x() + hub * std::cos(a0), c.y() - hub * std::sin(a0)));
    double am = (i * 30 + 15) * kPi / 180;
    QPointF g(c.x() + (inner + outer) / 2 * std::cos(am),
              c.y() - (inner + outer) / 2 * std::sin(am));
    p.setPen(element[i % 4]);
    p.setFont(font(15));
    p.drawText(QRectF(g.x() - 15, g.y() - 14, 30, 28), Qt::AlignCenter,
               QString::fromUtf16(glyphs[i]));
    QPointF n(c.x() + (hub - 22) * std::cos(am), c.y() - (hub - 22) * std::sin(am));
    p.save();
    p.translate(n);
    p.rotate(90 - (i * 30 + 15));
    p.setFont(font(6.5));
    p.setPen(QColor(80, 75, 115));
    p.drawText(QRectF(-40, -6, 80, 12), Qt::AlignCenter, names[i]);
    p.restore();
  }
  // The Sun at the centre of the wheel.
  glow(p, c, 16, QColor(120, 100, 40), QColor(60, 40, 10, 80));
  p.setPen(QColor(70, 65, 100));
  p.setFont(font(6.5));
  p.drawText(QRectF(4, 504, 200, 14), Qt::AlignLeft,
             QString::fromUtf8("ecliptic longitude 0\u00B0 = \u2648"));
  return pm;
}

// New-year mode: the year turns at a solstice or equinox; the Earth at the top of its orbit.
QPixmap drawPicoc() {
  QPixmap pm(33, 39);
  pm.fill(Qt::black);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QPointF c(16.5, 24);
  p.setPen(QPen(QColor(90, 120, 170), 1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c, 12, 12);
  p.setPen(QPen(QColor(70, 80, 110), 0.7, Qt::DotLine));
  p.drawLine(QPointF(c.x(), c.y() - 14), QPointF(c.x(), c.y() + 14));
  p.drawLine(QPointF(c.x() - 15, c.y()), QPointF(c.x() + 15, c.y()));
  glow(p, c, 6, QColor(255, 230, 120), QColor(255, 160, 40, 140));
  sphere(p, QPointF(c.x(), c.y() - 12), 3, QColor(80, 150, 255));
  p.setPen(QColor(200, 210, 240));
  p.setFont(font(5.5, true));
  p.drawText(QRectF(0, 0, 33, 8), Qt::AlignCenter, "NY");
  return pm;
}

// Orbit mode: the year counted from perihelion; an ellipse with the Earth at its nearest point.
QPixmap drawPico2() {
  QPixmap pm(51, 34);
  pm.fill(Qt::black);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF orbit(4, 5, 43, 24);
  p.setPen(QPen(QColor(90, 120, 170), 1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(orbit);
  QPointF sun(orbit.center().x() + 8, orbit.center().y());
  glow(p, sun, 5, QColor(255, 230, 120), QColor(255, 160, 40, 140));
  p.setPen(QPen(QColor(120, 120, 150), 0.7, Qt::DashLine));
  p.drawLine(QPointF(orbit.left(), sun.y()), QPointF(orbit.right(), sun.y()));
  sphere(p, QPointF(orbit.right(), sun.y()), 3, QColor(80, 150, 255));
  return pm;
}

// The starship among the stars, bound for a bright double star.
QPixmap drawSplash() {
  QPixmap pm(445, 625);
  pm.fill(Qt::black);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 625);
  sky.setColorAt(0, QColor(2, 2, 14));
  sky.setColorAt(0.6, QColor(6, 4, 26));
  sky.setColorAt(1, QColor(0, 0, 0));
  p.fillRect(pm.rect(), sky);
  // A faint band of the Milky Way.
  p.save();
  p.translate(222, 312);
  p.rotate(-32);
  QLinearGradient band(0, -90, 0, 90);
  band.setColorAt(0, QColor(40, 40, 80, 0));
  band.setColorAt(0.5, QColor(60, 55, 100, 70));
  band.setColorAt(1, QColor(40, 40, 80, 0));
  p.fillRect(QRectF(-500, -90, 1000, 180), band);
  p.restore();
  starfield(p, pm.rect(), 700, 4243);
  // The destination: a bright pair of stars.
  glow(p, QPointF(330, 118), 30, QColor(255, 250, 225), QColor(255, 210, 120, 110));
  glow(p, QPointF(344, 110), 18, QColor(255, 235, 200), QColor(255, 170, 90, 90));

  // The ship, nose towards the stars.
  p.save();
  p.translate(205, 350);
  p.rotate(28);
  // Engine plume.
  QLinearGradient plume(0, 80, 0, 200);
  plume.setColorAt(0, QColor(170, 220, 255, 230));
  plume.setColorAt(0.3, QColor(80, 140, 255, 140));
  plume.setColorAt(1, QColor(40, 60, 200, 0));
  QPainterPath flame;
  flame.moveTo(-16, 88);
  flame.cubicTo(-24, 140, -8, 180, 0, 205);
  flame.cubicTo(8, 180, 24, 140, 16, 88);
  flame.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(plume);
  p.drawPath(flame);
  // Spine.
  QLinearGradient metal(-12, 0, 12, 0);
  metal.setColorAt(0, QColor(70, 78, 95));
  metal.setColorAt(0.45, QColor(200, 208, 222));
  metal.setColorAt(1, QColor(60, 66, 80));
  p.setBrush(metal);
  p.setPen(QPen(QColor(30, 34, 44), 1));
  p.drawRoundedRect(QRectF(-7, -150, 14, 240), 5, 5);
  // Command section.
  QPainterPath nose;
  nose.moveTo(-13, -120);
  nose.cubicTo(-13, -170, -4, -200, 0, -205);
  nose.cubicTo(4, -200, 13, -170, 13, -120);
  nose.closeSubpath();
  p.drawPath(nose);
  p.setBrush(QColor(120, 200, 255));
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 4; ++i) p.drawEllipse(QPointF(0, -175 + i * 12), 2.2, 2.2);
  // Rotating habitat ring.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(40, 44, 56), 9));
  p.drawEllipse(QPointF(0, -60), 62, 18);
  p.setPen(QPen(metal, 6));
  p.drawEllipse(QPointF(0, -60), 62, 18);
  p.setPen(QPen(QColor(255, 220, 140), 1.2));
  for (int i = 0; i < 16; ++i) {
    double a = i * 2 * kPi / 16;
    if (std::sin(a) < 0) continue;  // the lit windows on the near side
    p.drawPoint(QPointF(62 * std::cos(a), -60 + 18 * std::sin(a)));
  }
  p.setPen(QPen(QColor(150, 158, 175), 2));
  p.drawLine(QPointF(-60, -60), QPointF(60, -60));
  // Fuel tanks and radiators.
  p.setPen(QPen(QColor(30, 34, 44), 1));
  p.setBrush(metal);
  p.drawRoundedRect(QRectF(-22, 0, 13, 60), 6, 6);
  p.drawRoundedRect(QRectF(9, 0, 13, 60), 6, 6);
  p.setBrush(QColor(120, 40, 30));
  p.drawRect(QRectF(-70, 20, 40, 6));
  p.drawRect(QRectF(30, 20, 40, 6));
  // Engine bell.
  QPainterPath bell;
  bell.moveTo(-8, 86);
  bell.lineTo(-18, 100);
  bell.lineTo(18, 100);
  bell.lineTo(8, 86);
  bell.closeSubpath();
  p.setBrush(QColor(90, 95, 110));
  p.drawPath(bell);
  p.restore();

  p.setPen(QColor(200, 210, 240));
  p.setFont(font(14, true));
  p.drawText(QRectF(0, 560, 445, 26), Qt::AlignHCenter, "Solar System Orbits");
  p.setFont(font(8));
  p.setPen(QColor(140, 150, 190));
  p.drawText(QRectF(0, 588, 445, 18), Qt::AlignHCenter,
             "Thank you for flying. Next stop: the stars.");
  return pm;
}

// "Go": a start arrow inside an orbit.
QPixmap drawGo() {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(90, 200, 120), 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(12, 12), 10, 10);
  QPainterPath tri;
  tri.moveTo(9, 6.5);
  tri.lineTo(18, 12);
  tri.lineTo(9, 17.5);
  tri.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(110, 230, 140));
  p.drawPath(tri);
  return pm;
}

// The help page: a globe.
QPixmap drawWeb() {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  sphere(p, QPointF(12, 12), 10, QColor(40, 110, 200));
  p.setPen(QPen(QColor(200, 230, 255, 200), 0.9));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(12, 12), 10, 10);
  p.drawEllipse(QPointF(12, 12), 4.5, 10);
  p.drawLine(QPointF(12, 2), QPointF(12, 22));
  p.drawLine(QPointF(2, 12), QPointF(22, 12));
  p.drawLine(QPointF(4, 7), QPointF(20, 7));
  p.drawLine(QPointF(4, 17), QPointF(20, 17));
  return pm;
}

}  // namespace

QRect startHintArea() {
  // Below the subtitle and above the orbits, where no control stands.
  QRect r = QFontMetrics(font(8.5)).boundingRect(kStartHint).adjusted(-4, -2, 4, 2);
  r.moveCenter(QPoint(320, 74));
  return r;
}

const QPixmap& picture(const QString& name) {
  static QHash<QString, QPixmap> cache;
  static const QPixmap none;
  if (name.isEmpty()) return none;
  auto it = cache.find(name);
  if (it != cache.end()) return *it;
  QPixmap pm;
  if (name == "moon")
    pm = drawMoon();
  else if (name == "zodiac")
    pm = drawZodiac();
  else if (name == "picoc")
    pm = drawPicoc();
  else if (name == "pico2")
    pm = drawPico2();
  else if (name == "splash")
    pm = drawSplash();
  else if (name == "go")
    pm = drawGo();
  else if (name == "web")
    pm = drawWeb();
  else
    return none;
  return *cache.insert(name, pm);
}

QString pictureNameOf(const Control& c) {
  if (!c.picture().empty()) return QString::fromStdString(c.picture());
  const std::string& n = c.name();
  if (c.index() >= 0) return {};
  if (n == "ImMoon") return "moon";
  if (n == "Picoc") return "picoc";
  if (n == "Pico2") return "pico2";
  if (n == "Command2") return "go";
  if (n == "Command3") return "web";
  return {};
}

}  // namespace orbits::qt
