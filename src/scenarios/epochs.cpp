#include "scenarios/epochs.h"

namespace orbits {

const std::array<double, 9> kPlanetMass{
    1.0,                // 0 Sun
    1.6600739e-07,      // 1 Mercury
    2.447748359e-06,    // 2 Venus
    3.04032586558e-06,  // 3 Earth
    3.227034774e-07,    // 4 Mars
    0.000956535,        // 5 Jupiter
    0.000285824445,     // 6 Saturn
    4.3660833e-05,      // 7 Uranus
    5.1522667e-05,      // 8 Neptune
};

namespace {

// Axes: x = -Y, y = -X, z = -Z of heliocentric ecliptic coordinates; velocities in km per
// 0.00015 s. Values are used exactly as written.

// clang-format off
// 2 January 1900, 00:08.
const EpochTable k1900{{
    {0, 0, 0, 0, 0, 0},
    {27998042.4224917, 57072248.6793079, -2969704.88884478, 0.00623501537193477, -0.00171123139193458, 0.000666023928106012},  // 1 Mercury
    {26044417.3363954, -105451475.654257, 6444151.14254382, -0.00507628112136223, -0.00123247887994513, 3.27677375978542e-06},  // 2 Venus
    {-143560654.758969, 32026882.1783247, -31912.9107688218, 0.00098946808839975, 0.00443529419384138, 3.15930087468377e-07},  // 3 Earth
    {201497565.523224, -67211213.1462665, 5880378.64960347, -0.00145963490686088, -0.00358553933380355, 5.83783153097304e-05},  // 4 Mars
    {667817758.075912, 450264937.001505, -12817742.751093, 0.00100203492256304, -0.00159997354738091, 3.1821461666577e-05},  // 5 Jupiter
    {1504742246.67174, 54104027.1064011, -28629811.3872253, 5.82624652955482e-05, -0.00136723320245969, 5.31738018123428e-05},  // 6 Saturn
    {2671066684.35819, 968731177.37089, -2649376.04253054, 0.000395890218285037, -0.000952255664832994, 1.38686364059004e-05},  // 7 Uranus
    {-4461866447.73686, -226153681.013123, 97095767.717041, -4.57619994068896e-05, 0.000818838248039506, -1.78988653400844e-05},  // 8 Neptune
}};

// 18 December 1773, 12:53.
const EpochTable k1773{{
    {0, 0, 0, 0, 0, 0},
    {-44733757.3186985, -10397980.7486417, -2680610.44642309, -0.00193672037465729, 0.00857687574873958, -0.000949850057033586},  // 1 Mercury
    {-58351951.6463156, -91149356.3510495, 4516358.99702748, -0.00439944817080729, 0.00284771284470999, -0.000222236814758525},  // 2 Venus
    {-147138872.897878, 477503.613163102, -75721.3447181433, 3.03318216162955e-05, 0.00454041889622179, 1.95171401635711e-07},  // 3 Earth
    {206534727.800252, -53220931.2063585, 5644333.0275518, -0.00121562427043459, -0.0036613701400185, 6.6406780391394e-05},  // 4 Mars
    {-191559472.916034, -714970748.531347, 16841040.6018676, -0.00198451050886537, 0.000528951101205703, -3.99709139618809e-06},  // 5 Jupiter
    {-170708001.73564, 1397769071.1652, -52198076.9583392, 0.00144166095239835, 0.000254952900078463, -3.58043037434599e-05},  // 6 Saturn
    {-2513481045.27537, -1471305340.8637, 9705148.22950554, -0.000469989054431042, 0.000889668415986957, -1.33832135836594e-05},  // 7 Uranus
    {-640719339.290117, 4473441736.91111, -89828383.3886378, 0.000801481712570676, 0.000120861931166838, -1.93164785218417e-05},  // 8 Neptune
}};

// 24 January 1940, 00:00. Mercury's row is the one for the fast time rates.
const EpochTable k1940{{
    {0, 0, 0, 0, 0, 0},
    {64182585.9087826, -19664425.7055777, 7045975.37774363, -0.00251487458280801, -0.0055215600072586, 0.000302409528100469},  // 1 Mercury
    {-47309091.7644335, -97404847.6906059, 4988464.7014909, -0.0046697908760266, 0.00237037592615472, -0.000199983634913395},  // 2 Venus
    {-122521009.476437, 81682166.1363532, -15645.4178289846, 0.00249526682871518, 0.00379069187465756, 3.84299853925236e-07},  // 3 Earth
    {-177668927.93679, -132257632.062074, -450544.247712374, -0.00247746356556418, 0.00277340236502389, -0.000120378881902798},  // 4 Mars
    {-196593889.517728, -713648586.212141, 16809256.4338929, -0.00197898695653345, 0.000546553419147569, -4.1451960087159e-06},  // 5 Jupiter
    {-733677486.150907, -1176809928.48552, 59548910.5364934, -0.00122527149131594, 0.000842673529057291, -1.19716548541497e-05},  // 6 Saturn
    {-2298556340.23868, -1822138935.96292, 15132836.2027054, -0.0005879282766668, 0.000807301463415136, -1.26652680994069e-05},  // 7 Uranus
    {-419521425.134661, 4501281051.80048, -95061636.7772237, 0.000806445023621561, 8.11009320414128e-05, -1.85104560415287e-05},  // 8 Neptune
}};
// clang-format on

bool presetIs(int presetIndex, int a, int b) { return presetIndex == a || presetIndex == b; }

}  // namespace

const EpochTable* epochTable(int16_t epochCode) {
  switch (epochCode) {
    case kEpoch1773:
      return &k1773;
    case kEpoch1900:
      return &k1900;
    case kEpoch1940:
      return &k1940;
    default:
      return nullptr;
  }
}

std::optional<Velocity> alternativeVelocity(int16_t epochCode, int body, int presetIndex,
                                            float timeRateIndex) {
  if (epochCode == kEpoch1940 && body == 1) {
    // Mercury at the slow rates: time-rate index 5 or below.
    if (!(timeRateIndex > 5.0f)) {
      return Velocity{-0.00251486294947062, -0.00552153446555927, 0.000302408129210802};
    }
  } else if (epochCode == kEpoch1900 && body == 1) {
    if (presetIs(presetIndex, 62, 63)) {
      return Velocity{0.0062350738097922, -0.00171124743049907, 0.000666030170434064};
    }
  } else if (epochCode == kEpoch1773 && body == 5) {
    if (presetIs(presetIndex, 29, 39)) {  // 77 orbits
      return Velocity{-0.00198452563273621, 0.000528955132319723, -3.99712185785294e-06};
    }
    if (presetIs(presetIndex, 20, 30)) {  // 20 orbits
      return Velocity{-0.00198450027844639, 0.000528948374391526, -3.99707079064353e-06};
    }
  } else if (epochCode == kEpoch1773 && body == 4) {
    if (presetIs(presetIndex, 34, 80)) {
      return Velocity{-0.00121561926011008, -0.00366135504929269, 6.64065066887972e-05};
    }
    if (presetIndex == 83) {
      return Velocity{-0.00121619582145184, -0.00366309160929066, 6.64380029194463e-05};
    }
  }
  return std::nullopt;
}

namespace {

// s = -(v * m); the Sun's velocity becomes s + its velocity, the planet's v - s.
void momentumStep(double& planetV, double& sunV, double mass) {
  const double share = -(planetV * mass);
  sunV = share + sunV;
  planetV = planetV - share;
}

}  // namespace

bool loadEpoch(SimState& s, int16_t epochCode, int presetIndex) {
  const EpochTable* table = epochTable(epochCode);
  if (table == nullptr) return false;

  s.posX[0] = s.posY[0] = s.posZ[0] = 0;
  s.velX[0] = s.velY[0] = s.velZ[0] = 0;
  s.bodyMass[0] = 1.0;

  for (const int i : kLoadOrder) {
    s.bodyMass[i] = kPlanetMass[i];
    const BodyState& b = (*table)[i];
    s.posX[i] = b.x;
    s.posY[i] = b.y;
    s.posZ[i] = b.z;
    s.velX[i] = b.vx;
    s.velY[i] = b.vy;
    s.velZ[i] = b.vz;
    if (const auto alt = alternativeVelocity(epochCode, i, presetIndex, s.timeRateIndex)) {
      s.velX[i] = alt->vx;
      s.velY[i] = alt->vy;
      s.velZ[i] = alt->vz;
    }
    if (i == kLoadOrder.front()) s.velX[0] = s.velY[0] = s.velZ[0] = 0;
    momentumStep(s.velX[i], s.velX[0], s.bodyMass[i]);
    momentumStep(s.velY[i], s.velY[0], s.bodyMass[i]);
    momentumStep(s.velZ[i], s.velZ[0], s.bodyMass[i]);
  }
  return true;
}

}  // namespace orbits
