#include "panel/panel_table.h"

#include <string>
#include <string_view>
#include <vector>

#include "form/surface.h"

// The main window as it is designed: every control with its kind, place, caption, tip and
// state before the load handler runs. Places are written in pixels of the window's client
// area (1024 x 768) and stored in drawing units; a control inside a frame is placed relative
// to that frame. Controls are created in the order below, so a frame created later lies over
// one created earlier.
//
// The window is arranged around the central viewing area (188..828, 112..548):
//   top left       Exit, Go/Stop/Continue, saving, "Select Scenario:"     x 0..137,  y 0..107
//   left column    Frame4 (clearing), FrameRing (body data), Fra12 (orbit data)
//   presets        two columns at x 140 and 166 (groups "1940" and "1773"), two short rows
//                  at y 536 and 576 below the viewing area, two columns at x 784 and 813 ("1900")
//   top strip      the body editor (208..844, 0..35), shown only while a run is paused
//   above the view the scenario title, the editing hint and the side-view switches
//   right column   trail options; background image; G; perihelion switches; Frame6, Frame5,
//                  Frame9 (messages)
//   bottom row     FraDrift, FraDist, FraTime, FraDate, Frame3; the movement errors above them

namespace orbits {
namespace {

enum Flag : unsigned {
  kHidden = 1u << 0,
  kChecked = 1u << 1,   // check box value 1
  kGreyed = 1u << 2,    // check box value 2
  kSelected = 1u << 3,  // option button
  kLocked = 1u << 4,    // read-only text box
  kDisabled = 1u << 5,
  kBorderless = 1u << 6,  // frame without border and caption
  kDark = 1u << 7,        // the side views' dark blue-green background
};

struct Row {
  Kind kind;
  const char* name;
  int index;         // -1 for a single control
  const char* in;    // containing frame, "" for the window
  int x, y, w, h;    // pixels
  const char* text;  // caption or text
  const char* tip;
  unsigned flags;
};

constexpr Kind B = Kind::Button, CK = Kind::CheckBox, OP = Kind::Option, TX = Kind::TextBox,
               LA = Kind::Label, FR = Kind::Frame, HS = Kind::HScroll, PI = Kind::Picture,
               IM = Kind::Image, SH = Kind::Shape, TI = Kind::Timer;

constexpr const char* kErrTip =
    "The movement error % is proportional to the movement and the distance between the pair (per "
    "unit of time). Slowing the time rate improves the error margin.";
constexpr const char* kMarkerDiffTip =
    "Difference in theta between Marker Perihelion and Latest Perihelion.";
constexpr const char* kGravTip = "Gravitational Constant (effected at start of each scenario)";
constexpr const char* kEndErrTip =
    "If the movement error% reaches above this amount, the scenario ends";

// clang-format off
const Row kRows[] = {
  // --- Top left: leaving, run control, saving -------------------------------------------
  {B,  "Command1", -1, "", 2, 2, 40, 22, "Exit", "", 0},
  // Go, Stop and Continue share one place: at most one of them is ever visible.
  {B,  "Command2", -1, "", 72, 2, 64, 22, "Go", "", kHidden},
  {B,  "CDstop", -1, "", 72, 2, 64, 22, "Stop", "", kHidden},
  {B,  "CDcont", -1, "", 72, 2, 64, 22, "Continue", "", kHidden},
  {LA, "Label1", -1, "", 2, 26, 134, 14, "", "", 0},
  {B,  "CDcon", -1, "", 2, 42, 134, 22, "Load Previous Data",
       "Load then click 'Continue'. (You can pick up from where you left off last time.)", 0},
  {CK, "ChorbSave", -1, "", 2, 66, 134, 17, "Save orbital data",
       "Save algorithm data at end of each orbit. Select 'Load Previous Data', then 'Continue' for "
       "multiple sessions of one scenario. Program data in files \"orbit-save.txt\" and \"orbit-pp.txt\"",
       kChecked},
  {LA, "Label7", -1, "", 2, 86, 134, 17, "Select Scenario:", "Default 1940", 0},
  // Never shown: the preset procedure reads the number of the last body from it.
  {TX, "TXn", -1, "", 110, 86, 26, 17, "8", "", kHidden},
  // Never shown: it only holds the highlight colours of the selected distance option.
  {LA, "Label3", -1, "", 2, 86, 60, 17, "Options", "", kHidden},
  // Never shown: the preset procedure copies its background colour to CDcon.
  {B,  "CDrepair", -1, "", 2, 42, 134, 22, "", "", kHidden},
  // Never shown: its caption carries a figure from the pair selection to the precession.
  {LA, "LaOrb", -1, "", 2, 26, 40, 14, "0000", "", kHidden},

  // --- Screen clearing ----------------------------------------------------------------------
  {FR, "Frame4", -1, "", 2, 108, 137, 53, "", "", kBorderless},
  {OP, "OpCl", 0, "Frame4", 0, 1, 90, 17, "Clear here->", "", kSelected},
  {B,  "Command4", -1, "Frame4", 92, 0, 44, 18, "Clear", "Clear Screen", 0},
  {OP, "OpCl", 1, "Frame4", 0, 18, 137, 17, "Clear screen each orbit", "", 0},
  {OP, "OpCl", 2, "Frame4", 0, 35, 137, 17, "Clear every                  seconds", "", 0},
  // Sits in the blank of OpCl(2)'s caption: "Clear every [6] seconds".
  {TX, "TXref", -1, "Frame4", 72, 35, 24, 17, "6", "Clear Screen Time", 0},

  // --- Body data and pair selection -----------------------------------------------------------
  {FR, "FrameRing", -1, "", 0, 160, 137, 413, "Body Data", "", 0},
  {LA, "Label5", 0, "FrameRing", 4, 14, 130, 14, "Velocity as Light (C)",
       "Velocity of body as a proportion of the velocity of light", 0},
  // LabWH, TXvolight (y 30..165), Label5(5), LabMA, TXmass (y 184..319): see buildPanel.
  {LA, "Label5", 5, "FrameRing", 4, 168, 130, 14, "Solar Mass", "", 0},
  // The pair markers beside the mass column; the pair selection moves them to a body's row.
  {PI, "PiAlpha", -1, "FrameRing", 120, 199, 6, 15, "", "", 0},
  {PI, "PiBeta", -1, "FrameRing", 128, 199, 6, 15, "", "", 0},
  {LA, "Label2", -1, "FrameRing", 4, 322, 130, 28, "Selected orbit distances for:", "", 0},
  {TX, "TXname", 1, "FrameRing", 4, 352, 64, 17, "x", "", kLocked},
  {TX, "TXname", 2, "FrameRing", 70, 352, 64, 17, "x", "", kLocked},
  {TX, "TXalpha", -1, "FrameRing", 4, 371, 30, 17, "1", "", kLocked},
  {HS, "HSalpha", -1, "FrameRing", 36, 371, 30, 17, "", "", kHidden},
  {TX, "TXbeta", -1, "FrameRing", 70, 371, 30, 17, "1", "", kLocked},
  {HS, "HSbeta", -1, "FrameRing", 102, 371, 32, 17, "", "", kHidden},
  // Covers the speed column while turbo time suppresses the detail.
  {FR, "FrameDark", -1, "FrameRing", 24, 28, 110, 140, "",
       "Changing velocities only available in slow scenarios. These also update the other data each "
       "iteration. That is why they are so slow.", kHidden | kBorderless},
  {LA, "Label9", -1, "FrameDark", 0, 0, 110, 140,
       "Detail surpressed due to Turbo Time. To reveal velocities: alter the turbo-time option (bottom right)",
       "", 0},

  // --- Orbit data ---------------------------------------------------------------------------
  {FR, "Fra12", -1, "", 0, 592, 137, 169, "Orbit Data", "", 0},
  {LA, "Lablap", -1, "Fra12", 4, 14, 40, 15, "Orbit #", "", 0},
  {TX, "TXlaps", -1, "Fra12", 46, 14, 76, 15, "x", "", kLocked},
  {LA, "LaQuart", -1, "Fra12", 126, 14, 7, 14, "", "Quarter orbit indicator", 0},
  {LA, "Label5", 1, "Fra12", 4, 30, 40, 15, "Calcs", "Number of computational loops", 0},
  {TX, "TXiterations", -1, "Fra12", 46, 30, 88, 15, "x",
       "Complettion of algorithmic cycle in the timer function", kLocked},
  {LA, "Label5", 9, "Fra12", 4, 46, 72, 15, "Calcs/ orbit",
       "Number of computational loops per orbit - low average due to partial orbits.", 0},
  {TX, "TXcalorb", -1, "Fra12", 78, 46, 56, 15, "x",
       "Calculations per orbit - greatly effects accuracy - the more the better", kLocked},
  {CK, "ChNum", -1, "Fra12", 4, 62, 130, 15, "Exact or simple",
       "Use exact amounts to the km, or simplify to thousands or millions. Hover over any amounts to "
       "get decimal precision.", 0},
  {LA, "Label5", 20, "Fra12", 4, 78, 60, 15, "km   apart", "Current distance between binary pair in km", 0},
  {TX, "TXapart", -1, "Fra12", 66, 78, 68, 15, "x", "", kLocked},
  {LA, "Label5", 18, "Fra12", 4, 94, 36, 15, "Max O", "Max distance between binary pair in km for this orbit", 0},
  {TX, "TXmax", -1, "Fra12", 42, 94, 92, 15, "x", "", kLocked},
  {LA, "Label5", 19, "Fra12", 4, 110, 36, 15, "Min O", "Min distance between binary pair in km for this orbit", 0},
  {TX, "TXmin", -1, "Fra12", 42, 110, 92, 15, "x", "", kLocked},
  {LA, "LaMax", -1, "Fra12", 4, 126, 36, 15, "Max T", "Max distance between pair for total scenario", 0},
  {TX, "TxTmax", -1, "Fra12", 42, 126, 76, 15, "x", "", kLocked},
  // A bare box: the default caption is kept but the box is too narrow to show it.
  {CK, "ChAPE", -1, "Fra12", 120, 126, 15, 15, "Check1", "Max and Min: Total or Average for scenario", 0},
  {LA, "LaMin", -1, "Fra12", 4, 142, 36, 15, "Min T", "Min distance between pair for total scenario", 0},
  {TX, "TxTmin", -1, "Fra12", 42, 142, 76, 15, "x", "", kLocked},
  {TX, "TXperdif", -1, "Fra12", 120, 142, 15, 15, "x", "Min is this % less than Max for entire scenario",
       kHidden | kLocked},

  // --- Above the viewing area -------------------------------------------------------------------
  {LA, "LaChirp", 0, "", 208, 38, 396, 30, "Optimum screen size 1024 x 768", "", 0},
  {LA, "LabTab", -1, "", 208, 70, 396, 17,
       "Tip: Hit TAB after making changes to the numbers in the textboxes ", "", kHidden},
  {CK, "ChZAxis", -1, "", 210, 90, 88, 17, "View ZY-axis", "", 0},
  {CK, "ChZX", -1, "", 300, 90, 88, 17, "View ZX-axis", "", 0},
  {CK, "ChLR", -1, "PiZZ", 2, 2, 137, 17, "ZY-axis   side-view of orbit", "switch left or right position", kChecked},

  // --- Viewing area: pictures and side views ----------------------------------------------------
  {IM, "ImZod", -1, "", 147, 99, 681, 520, "", "", kHidden},
  {IM, "ImMoon", -1, "", 188, 112, 640, 436, "", "", 0},
  {PI, "PiZZ", -1, "", 608, 80, 139, 473, "", "", kDark},
  {PI, "PiZX", -1, "", 992, 728, 697, 137, "", "", kHidden | kDark},
  {IM, "Pico2", -1, "", 454, 470, 51, 34, "", "", 0},
  {PI, "Picoc", -1, "", 462, 466, 33, 39, "", "", kHidden},
  // The blinking ring around the body being edited; the editor moves it onto the body.
  {SH, "Shark", -1, "", 0, 0, 15, 15, "", "", kHidden},
  {TX, "TXyearLeap", -1, "", 752, 532, 72, 17, "0", "Proximity limit (can be altered)", kHidden},

  // --- Body editor (top strip) ------------------------------------------------------------------
  {LA, "La", 0, "", 208, 1, 56, 17, "Planet", "", kHidden},
  {TX, "TXTOden", -1, "", 266, 1, 30, 17, "0", "Planetary Body Number", kHidden | kLocked},
  {HS, "Qui", -1, "", 298, 1, 70, 17, "", "", kHidden},
  {CK, "Chon", -1, "", 372, 1, 80, 17, "Planet off", "", kHidden | kGreyed},
  {FR, "Frame2", -1, "", 456, 0, 100, 18, "", "", kHidden | kBorderless},
  {OP, "Opadd", 0, "Frame2", 0, 1, 44, 17, "num", "Move Planet with Decimal Accuracy", 0},
  {OP, "Opadd", 1, "Frame2", 46, 1, 54, 17, "visual", "Move Planet with Scrollbars", 0},
  {LA, "La", 8, "", 560, 1, 26, 17, "Tag", "", kHidden},
  {HS, "Hsp", 0, "", 590, 1, 124, 17, "", "", kHidden},
  {HS, "Hsp", 1, "", 716, 1, 124, 17, "", "", kHidden},
  // Never shown: shares Hsp(1)'s place.
  {HS, "Hsp", 2, "", 716, 1, 124, 17, "", "", kHidden},
  // The seven fields with their labels, paired by meaning: X, Y, Z, Xv, Yv, Zv, m, right of
  // "Fast  Slow". Each shows about eleven characters; a longer value shows shortened, and
  // whole in its tooltip.
  {LA, "Label6", 1, "", 220, 18, 14, 17, "X", "", kHidden},
  {TX, "TXTp", 0, "", 234, 18, 72, 17, "0", "Horizontal Position", kHidden},
  {LA, "Label6", 0, "", 308, 18, 14, 17, "Y", "", kHidden},
  {TX, "TXTp", 1, "", 322, 18, 72, 17, "0", "Vertical Position", kHidden},
  {LA, "Label6", 5, "", 396, 18, 14, 17, "Z", "", kHidden},
  {TX, "TXTp", 6, "", 410, 18, 72, 17, "0", "Vertical Position", kHidden},
  {LA, "Label6", 3, "", 484, 18, 14, 17, "Xv", "", kHidden},
  {TX, "TXTp", 2, "", 498, 18, 72, 17, "0", "Horizontal motion", kHidden},
  {LA, "Label6", 2, "", 572, 18, 14, 17, "Yv", "", kHidden},
  {TX, "TXTp", 3, "", 586, 18, 72, 17, "0", "Vertical motion", kHidden},
  {LA, "Label6", 6, "", 660, 18, 14, 17, "Zv", "", kHidden},
  {TX, "TXTp", 5, "", 674, 18, 72, 17, "0", "Depth motion", kHidden},
  {LA, "Label6", 4, "", 748, 18, 14, 17, "m", "", kHidden},
  {TX, "TXTp", 4, "", 762, 18, 72, 17, "123456789", "Gravity of Planet", kHidden},

  // --- Right column: trails, background image, G ------------------------------------------------
  {CK, "Chend", -1, "", 846, 2, 60, 17, "Expand",
       "If any object leaves the edge of the visible screen then the screen scales outwards.", kChecked},
  {CK, "CHquick", -1, "", 908, 2, 84, 17, "Orbit lines",
       "Not drawing the orbit lines applies only to turbo time. This may speed things up a bit.", kChecked},
  {CK, "Chsunny", -1, "", 996, 2, 20, 17, "", "Sun glows, or just a simple dot.", kChecked},
  {CK, "Chalt", -1, "", 846, 20, 174, 17, "Alternate color each orbit",
       "Alternate the color darker/lighter for successive orbits", kChecked},
  {FR, "FrameBGI", -1, "", 840, 40, 97, 47, "Background image", "", 0},
  {OP, "OpDate", 0, "FrameBGI", 4, 14, 88, 15, "none", "", 0},
  {OP, "OpDate", 3, "FrameBGI", 4, 30, 88, 15, "Zodiac", "", 0},
  {FR, "Frame7", -1, "", 936, 40, 85, 47, "G", kGravTip, 0},
  // Five bare option buttons in a row: their default captions are kept but not shown.
  {OP, "opGee", 0, "Frame7", 3, 13, 15, 15, "Option1", "user edit G", 0},
  {OP, "opGee", 1, "Frame7", 19, 13, 15, 15, "Option1", "CODATA 2018AD", 0},
  {OP, "opGee", 2, "Frame7", 35, 13, 15, 15, "Option1", "", 0},
  {OP, "opGee", 3, "Frame7", 51, 13, 15, 15, "Option1", "", 0},
  {OP, "opGee", 4, "Frame7", 67, 13, 15, 15, "Option1", "Horizon Ephemeris 2018AD", 0},
  {TX, "TXTgravity", -1, "Frame7", 3, 29, 60, 16, "6.67", kGravTip, 0},
  {TX, "TXgexp", -1, "Frame7", 3, 29, 60, 16, "2", "Gravitational Exponent:   g=m/r^[?]  Normally = 2", kHidden},
  {B,  "Command5", -1, "Frame7", 65, 29, 17, 16, "X", "", 0},

  // --- Right column: perihelion switches (between the G row and Frame6) -------------------------
  {CK, "ChEach", -1, "", 752, 90, 268, 17, "Markers recorded each orbit (see below)",
       "Record Aphelion/Perihelion Markers at each orbit or only at extremity. {USE WITH CAUTION}", 0},
  {B,  "CDdot", -1, "", 752, 108, 134, 20, "Draw perihelion lines",
       "Display Perihelion Precession. White = latest, bright = individual selected. (This will occur "
       "automatically, but if you have cleared the screen you can redraw them)", 0},
  {CK, "ChDraw", -1, "", 890, 109, 130, 17, "Autodraw perihelion",
       "Auto-draw perihelion markers after each orbit completes. White = latest, bright = individual selected.",
       kChecked},
  {CK, "ChAvg", -1, "", 752, 130, 44, 17, "AVG", "Average Perihelion Precession (or single measurements)", 0},
  {CK, "ChAfile", -1, "", 798, 130, 44, 17, "APP",
       "APP = Average Perihelion Precession to file: data-drift.txt ", kChecked},
  {CK, "ChThor", -1, "", 844, 130, 66, 17, "orb file",
       "See \"orb.txt\" file containing only individual perihelion angles per earth-year, and orbit #. (Easy "
       "to extract this file to a graph)", kChecked},
  {CK, "ChAAuto", -1, "", 912, 130, 20, 17, "", "Autoclear when autodraw aphelion markers", 0},
  {CK, "ChRelativity", -1, "", 934, 130, 86, 17, "Relativity",
       "Adds the first relativistic correction of the Sun's gravity (perihelion advance).", 0},
  {B,  "CDcharts", -1, "", 768, 38, 64, 20, "Charts",
       "Charts of the watched pair per orbit: perihelion direction, distances, period, error (Ctrl+K)", 0},

  // --- Individual perihelion markers ------------------------------------------------------------
  {FR, "Frame6", -1, "", 840, 152, 181, 243, "Individual Perihelion Markers", "", 0},
  {LA, "Label11", -1, "Frame6", 4, 14, 108, 16, "Perihelion Markers", "", 0},
  {TX, "TXperihelis", -1, "Frame6", 114, 14, 62, 16, "~", "Numer of times that Perihelion has moved", kLocked},
  // Shown instead of TXperihelis while markers are recorded only at extremities.
  {TX, "TXpersephone", -1, "Frame6", 114, 14, 62, 16, "~~", "Numer of times that Perihelion has moved", kHidden},
  {LA, "Label10", 6, "Frame6", 4, 31, 70, 16, "Latest Radians", "", 0},
  {TX, "TXlatest", -1, "Frame6", 76, 31, 102, 16, "~", "Latest Angle of Aphelion in Radians.", kLocked},
  {LA, "Label10", 4, "Frame6", 4, 48, 86, 16, "Angle of Perihelion", "", 0},
  {TX, "TXthenum", -1, "Frame6", 90, 48, 88, 16, "~", "Angle of Perihelion for Marker Perihelion", kLocked},
  {LA, "Label10", 8, "Frame6", 4, 65, 50, 16, "Marker #", "", 0},
  {TX, "TXmarker", -1, "Frame6", 56, 65, 36, 16, "1",
       "Marker of Perihelion (change this using scroll-bar below). Any of the Perihelion changes can be the Marker.", 0},
  {CK, "ChSnap", -1, "Frame6", 96, 65, 40, 16, "<-:",
       "At each orbit snap to difference between latest and previous marker (or not)", 0},
  {LA, "Label10", 2, "Frame6", 4, 82, 48, 16, "Orbit #:", "", 0},
  {TX, "TXorbitnum", -1, "Frame6", 54, 82, 62, 16, "~", "Orbit Number of this Marker of Aphelion", kLocked},
  {HS, "HStheta", -1, "Frame6", 4, 99, 172, 15, "", "", 0},
  {LA, "Label10", 5, "Frame6", 4, 115, 150, 15, "Select Perihelion Marker", "", 0},
  {LA, "Lashift", -1, "Frame6", 4, 132, 172, 26, "Shift in angle between latest and marker", "", 0},
  {LA, "Label10", 10, "Frame6", 4, 158, 56, 16, "radians =", "", 0},
  {TX, "TXtheta", -1, "Frame6", 62, 158, 114, 16, "~", kMarkerDiffTip, kLocked},
  {LA, "Label10", 7, "Frame6", 4, 175, 56, 16, "degrees =", "", 0},
  {TX, "TXdegrees", -1, "Frame6", 62, 175, 114, 16, "~", kMarkerDiffTip, kLocked},
  {LA, "Label10", 13, "Frame6", 4, 192, 80, 16, "+- ERR arcsec", "", 0},
  {TX, "TXasER", -1, "Frame6", 86, 192, 90, 16, "0",
       "Error-margin in arc-sec/year for one orbit. Decreases by dividing by number of orbits.", 0},
  {LA, "LaAnnum", -1, "Frame6", 4, 209, 172, 15, "arcsec  dif:  current  -  marker", "", 0},
  {TX, "TXannum", -1, "Frame6", 4, 225, 172, 15, "~",
       "Difference in arc-seconds per Earth-year between Marker Perihelion and Latest Perihelion. "
       "Individual changes per orbit are on the data-drift.txt file.", kLocked},
  // The averages: shown over the lower part of Frame6 while "AVG" is ticked.
  {FR, "FraaaA", -1, "Frame6", 0, 99, 181, 142, "Avg Perihelion Precession", "", kHidden},
  {LA, "LaIN", -1, "FraaaA", 4, 12, 173, 39,
       "Complete 2 full orbits to effect. Changes for each orbit on file: data-drift.txt", "", 0},
  // The resolution figures replace the LaIN note once two orbits are complete.
  {LA, "LaJunk", -1, "FraaaA", 4, 12, 114, 13, "SAS = seconds / arc sec", "", kHidden},
  {LA, "LaJunkers", -1, "FraaaA", 120, 12, 58, 13, "0000", "Seconds of time per Arc second of orbit", kHidden},
  {LA, "LaBad", -1, "FraaaA", 4, 25, 114, 13, "quanta / arc-second", "Quantum jumps per arc-second (or per SAS)",
       kHidden},
  {LA, "LaBadder", -1, "FraaaA", 120, 25, 58, 13, "0000", "Quantum jumps per arc-second (or per SAS)", kHidden},
  {LA, "LaErr", -1, "FraaaA", 4, 38, 121, 13, "Est. error +- arcsec / yr =", "", kHidden},
  {LA, "LaArcErr", -1, "FraaaA", 126, 38, 52, 13, "0000",
       "Error margin caused by jumps in quantum time. Computationally this is often larger than the amount "
       "trying to be measured, but APP uses the law of averages to work around that.", kHidden},
  {LA, "LaSH", -1, "FraaaA", 4, 52, 173, 26, "Average shift in angle between orbits", "", 0},
  {LA, "Label10", 12, "FraaaA", 4, 79, 80, 15, "rad / orbit =", "", 0},
  {TX, "TXradAA", -1, "FraaaA", 86, 79, 92, 15, "~", "Difference in theta between Perihelions in Radians", kLocked},
  {LA, "Label10", 11, "FraaaA", 4, 95, 80, 15, "deg / orb =", "", 0},
  {TX, "TXdegAA", -1, "FraaaA", 86, 95, 92, 15, "~", "Difference in theta between Perihelions in degrees", kLocked},
  {LA, "LaARCs", -1, "FraaaA", 4, 111, 100, 26, "Avg shift in arc sec / E-year =",
       "average precession in arc-seconds per Earth-year", 0},
  {TX, "TXarc", -1, "FraaaA", 106, 115, 70, 17, "~", "Difference in arc-seconds per year of Earth", kLocked},

  // --- Aphelion markers ---------------------------------------------------------------------------
  {FR, "Frame5", -1, "", 840, 396, 181, 49, "Aphelion Markers - Extreme max dist.", "", 0},
  {LA, "Label12", -1, "Frame5", 4, 14, 116, 16, "# Aphelion Changes:", "", 0},
  {TX, "TXaphMove", -1, "Frame5", 122, 14, 54, 16, "~", "Numer of times that Aphelion has moved", kLocked},
  {LA, "Label10", 0, "Frame5", 4, 31, 116, 16, "Latest Orbit #:", "", 0},
  {TX, "TXaphNumber", -1, "Frame5", 122, 31, 54, 16, "~", "Orbit number of latest extreme Aphelion", kLocked},

  // --- Message panel and proximity ----------------------------------------------------------------
  {FR, "Frame9", -1, "", 840, 448, 181, 177, "", "", 0},
  // Five lines each: the off-screen report may name all nine planets.
  {LA, "LaChirp", 1, "Frame9", 4, 12, 173, 62, "Scenario information may appear here.", "", 0},
  {LA, "LaChirp", 2, "Frame9", 4, 76, 173, 60, "", "", 0},
  {TX, "TXproximity", -1, "Frame9", 4, 138, 90, 17, "0", "Proximity limit in km (can be altered)", 0},
  {CK, "CHproximity", -1, "Frame9", 4, 156, 120, 17, "Proximity Pause",
       "Pause if planets are too close. (See amount above)", kChecked},

  // --- Movement error of the pair (above the time frame) ------------------------------------------
  {LA, "LaDark", 1, "", 630, 556, 12, 17, "1", "Body 1", 0},
  {LA, "Label8", 4, "", 644, 556, 92, 17, "Movement err %", kErrTip, 0},
  {TX, "TXtimErr", 1, "", 738, 556, 100, 17, "0", "", kLocked},
  {LA, "Label8", 6, "", 644, 573, 92, 17, "Max err %", kErrTip, 0},
  {TX, "TxMerr", 1, "", 738, 573, 100, 17, "0", "", kLocked},
  {LA, "LaDark", 2, "", 630, 590, 12, 17, "2", "Body 2", 0},
  {LA, "Label8", 5, "", 644, 590, 92, 17, "Movement err %", kErrTip, 0},
  {TX, "TXtimErr", 2, "", 738, 590, 100, 17, "0", "", kLocked},
  {LA, "Label8", 7, "", 644, 607, 92, 17, "Max err %", kErrTip, 0},
  {TX, "TxMerr", 2, "", 738, 607, 100, 17, "0", "", kLocked},

  // --- Preset headings (the buttons themselves: see buildPanel) -----------------------------------
  {LA, "Label10", 17, "", 140, 4, 52, 14, "1940", "", 0},
  {LA, "Label10", 9, "", 140, 18, 78, 14, "Fast     Slow",
       "If you do not pause before adjusting time scale, there will be a marginal movement error%. "
       "Increasing the time scale causes large margins of error; or in extremes, even overflow errors", 0},
  {LA, "Label10", 16, "", 140, 252, 52, 14, "1773", "", 0},
  {LA, "Label10", 20, "", 140, 520, 80, 16, "Control Tests", "", 0},
  {LA, "Label10", 19, "", 226, 520, 98, 16, "Jupiter 77orb   ", "", 0},
  {LA, "Label10", 22, "", 330, 520, 140, 16, "/ 20 orb avg      >spd", "", 0},
  {LA, "Label10", 23, "", 140, 560, 104, 16, "Mars Rogue", "", 0},
  {LA, "Label10", 1, "", 252, 560, 156, 16, "Extreme Scenarios 1940", "", 0},
  {LA, "Label10", 21, "", 416, 560, 208, 16, "Extreme 1900", "", 0},
  {LA, "Label10", 3, "", 784, 154, 56, 14, "1900", "The 1900 scenarios are most accurate comparitive to the Earth", 0},
  {B,  "Command3", -1, "", 140, 601, 264, 22, "wwwebsite help files and discussion article", "^ Go to the website ^", 0},
  {LA, "Label10", 14, "PiZX", 263, 2, 170, 14, "ZX-axis   edge-view of orbit", "", 0},

  // --- Bottom row: drift ----------------------------------------------------------------------------
  {FR, "FraDrift", -1, "", 144, 624, 145, 137, "Drift",
       "Max and Min distances for each orbit. After more than 8 orbits, see the 'file' option to retrieve "
       "the data for all orbits.", 0},
  {CK, "ChMinMax", -1, "FraDrift", 4, 12, 64, 16, "Max dist",
       "Min or Max distance between the selected bodies for first 8 orbits", kChecked},
  {CK, "CHfile", -1, "FraDrift", 70, 12, 44, 16, "File", "", kChecked},
  {CK, "ChStore", -1, "FraDrift", 118, 12, 20, 16, "", "Store AVG max/min to file", kChecked},
  // LaDrift(0..16): see buildPanel.

  // --- Bottom row: distance scale (OpDist: see buildPanel) -------------------------------------------
  {FR, "FraDist", -1, "", 296, 624, 201, 137, "Distance Scale", "", 0},

  // --- Bottom row: time rate (Optime: see buildPanel) ------------------------------------------------
  // FraDate, created later, lies over the right end of this frame (from x 712), so its controls
  // keep to the left 208 pixels.
  {FR, "FraTime", -1, "", 504, 624, 329, 137, "",
       "Increasing the time scale causes large margins of error; or in extremes, even overflow errors", 0},
  {TX, "Text2", -1, "FraTime", 4, 6, 58, 17, "Time Rate", "Pause or stop before altering time rate", kLocked},
  {CK, "Chuser", -1, "FraTime", 64, 6, 140, 17, "Scenario Time (user)",
       "Current selected time-scale will overide scenario time, if this is ticked by user.  {USE WITH CAUTION}", 0},
  {CK, "ChReset", -1, "FraTime", 4, 112, 70, 17, "Reset max", "Reset max error when 'Time Scale' changes", kChecked},
  {CK, "Chender", -1, "FraTime", 76, 112, 70, 17, "End err %", kEndErrTip, kChecked},
  {TX, "TXender", -1, "FraTime", 148, 112, 40, 17, "5", kEndErrTip, 0},

  // --- Bottom row: dates ------------------------------------------------------------------------------
  {FR, "FraDate", -1, "", 712, 624, 129, 137, "Dates", "", 0},
  {LA, "Label5", 6, "FraDate", 4, 12, 52, 16, "Start", "", 0},
  {TX, "TXstartdate", -1, "FraDate", 57, 12, 70, 16, "0000/00/00", "", kLocked},
  {LA, "LaNY", -1, "FraDate", 4, 29, 52, 16, "New year", "", 0},
  {TX, "TXnewyear", -1, "FraDate", 57, 29, 70, 16, "0000/00/00", "", kLocked},
  {LA, "Label5", 3, "FraDate", 4, 46, 52, 16, "Aphelion", "", 0},
  {TX, "TXdateAPHE", -1, "FraDate", 57, 46, 70, 16, "0000/00/00", "", kLocked},
  {LA, "Label5", 4, "FraDate", 4, 63, 52, 16, "Perihelion", "", 0},
  {TX, "TXdatePERI", -1, "FraDate", 57, 63, 70, 16, "0000/00/00", "", kLocked},
  {LA, "LaWatch", -1, "FraDate", 4, 80, 52, 16, "Recent",
       "Most recent info udated on: (Click here fore current date in process)", 0},
  {TX, "TXcurrent", -1, "FraDate", 57, 80, 70, 16, "0000/00/00", "", kLocked},
  {CK, "ChNY", -1, "FraDate", 4, 99, 121, 16, "New year", "Solstice or Equinox", kChecked},
  {CK, "Chdate", -1, "FraDate", 4, 116, 121, 16, "DATES (errs)", "Display dates or error margins", kChecked},

  // --- Bottom row: elapsed time and orbit period ------------------------------------------------------
  {FR, "Frame3", -1, "", 840, 624, 181, 137, "Elapsed Time", "", 0},
  {FR, "FraTi", -1, "Frame3", 4, 12, 150, 13, "", "", kBorderless},
  {OP, "OptimT", 4, "FraTi", 0, 0, 15, 13, "", "Turbo Time, slowed a bit by detail", 0},
  {OP, "OptimT", 5, "FraTi", 16, 0, 15, 13, "", "Turbo Time with minimal detail", 0},
  {LA, "Label4", 1, "FraTi", 33, 0, 117, 13, "Turbo-time / detail", "", 0},
  {LA, "Label4", 0, "Frame3", 4, 25, 28, 13, "Secs", "", 0},
  {LA, "LaTT", -1, "Frame3", 34, 25, 82, 13, "0", "Seconds", 0},
  {LA, "Laadd", -1, "Frame3", 118, 25, 60, 13, "0000000", "Added time per iteration", 0},
  {LA, "LaTime", -1, "Frame3", 34, 38, 48, 13, "00000", "", 0},
  {CK, "Chfiti", -1, "Frame3", 130, 38, 46, 13, "File", "", kChecked},
  {LA, "Label4", 3, "Frame3", 4, 51, 46, 13, "In days", "", 0},
  {LA, "Laday", -1, "Frame3", 52, 51, 124, 13, "0", "Days", 0},
  {LA, "Label4", 2, "Frame3", 4, 64, 50, 13, "In years",
       "Any year that includes actual dates is a tropical year. When the year is a fraction, its a sidereal "
       "year. See main article.", 0},
  {LA, "LaYears", -1, "Frame3", 56, 64, 120, 13, "0", "Years", 0},
  {FR, "FraMil", -1, "Frame3", 4, 77, 173, 13, "", "", kHidden | kBorderless},
  {LA, "LaYonks", -1, "FraMil", 0, 0, 86, 13, "Million Years:", "Time is on your side!", 0},
  {LA, "Lamil", -1, "FraMil", 88, 0, 84, 13, "0", "years", 0},
  {FR, "FraYear", -1, "Frame3", 2, 90, 175, 30, "", "", kBorderless},
  // Bare option buttons: their default captions are kept but not shown.
  {OP, "OpAnnual", 0, "FraYear", 0, 0, 15, 15, "Option1", "Orbital Frequency of last orbit", 0},
  {LA, "LaQd", -1, "FraYear", 15, 0, 71, 15, "Orbit days (last)", "Orbital period in days", 0},
  {TX, "TXdayFreq", -1, "FraYear", 86, 0, 89, 15, "x", "Orbital period in days", 0},
  {OP, "OpAnnual", 1, "FraYear", 0, 15, 15, 15, "Option1", "Orbital Frequency of average year", 0},
  {LA, "LaQy", -1, "FraYear", 15, 15, 71, 15, "Orbit years (last)", "Orbital period in years", 0},
  {TX, "TXyearFreq", -1, "FraYear", 86, 15, 89, 15, "x", "Orbital period in years", 0},
  // Covers the period figures until two orbits are complete: the load handler places it at
  // x 88, where the figures begin, so that their captions stay whole beside it.
  {FR, "FraNo", -1, "Frame3", 88, 90, 92, 33, "", "", kBorderless},
  {LA, "LaPlanet", -1, "FraNo", 0, 0, 92, 33, "Planet: No complete orbits yet", "", 0},
  {LA, "Laborb", -1, "Frame3", 4, 123, 138, 13, "Orbit count for planet:", "", 0},
  {CK, "CheckZero", -1, "Frame3", 156, 123, 15, 13, "Check1",
       "Ignore orbit ZERO as it is incomplete when calculating average duration of orbit.", kChecked | kDisabled},

  // --- Timers --------------------------------------------------------------------------------------
  {TI, "TimTalk", -1, "", 0, 0, 0, 0, "", "", 0},
  {TI, "Tiball", -1, "", 0, 0, 0, 0, "", "", kDisabled},
  {TI, "TiF", -1, "", 0, 0, 0, 0, "", "", kDisabled},
  {TI, "Tr", -1, "", 0, 0, 0, 0, "", "", kDisabled},
};
// clang-format on

constexpr int px(int v) { return v * kUnitsPerPixel; }

Control& place(Panel& p, Kind kind, const char* name, int index, const char* in, int x, int y,
               int w, int h) {
  Control& c = p.add(kind, name, index);
  if (*in) c.setContainer(in);
  c.move(px(x), px(y), px(w), px(h));
  return c;
}

void addRow(Panel& p, const Row& r) {
  Control& c = place(p, r.kind, r.name, r.index, r.in, r.x, r.y, r.w, r.h);
  if (*r.text) c.setText(r.text);
  if (*r.tip) c.setTooltip(r.tip);
  if (r.flags & kHidden) c.setVisible(false);
  if (r.flags & kDisabled) c.setEnabled(false);
  if (r.flags & kChecked) c.setValue(1);
  if (r.flags & kGreyed) c.setValue(2);
  if (r.flags & kSelected) c.setValue(1);
  if (r.flags & kLocked) c.setLocked(true);
  if (r.flags & kBorderless) c.setBorderless(true);
  if (r.flags & kDark) {
    constexpr Color kSideViewBack = rgb(8, 16, 20);
    c.setBackColor(kSideViewBack);
    if (Surface* s = c.surface()) {
      s->setBackground(kSideViewBack);
      s->clear();
    }
  }
}

// The body table of FrameRing: a colour label and a read-only figure per body 0..8.
void addBodyRows(Panel& p) {
  for (int i = 0; i <= 8; ++i) {
    int y = 30 + 15 * i;
    place(p, LA, "LabWH", i, "FrameRing", 4, y, 12, 15).setText("x");
    // Exactly under FrameDark, which the load handler places at x 24 over the speeds.
    Control& v = place(p, TX, "TXvolight", i, "FrameRing", 24, y, 110, 15);
    v.setText("0");
    v.setLocked(true);
  }
  for (int i = 0; i <= 8; ++i) {
    int y = 184 + 15 * i;
    place(p, LA, "LabMA", i, "FrameRing", 4, y, 12, 15).setText("x");
    Control& m = place(p, TX, "TXmass", i, "FrameRing", 18, y, 100, 15);
    m.setText("0");
    m.setLocked(true);
  }
}

// The drift table: eight rows of a row number and a value; LaDrift(0) is a hidden spare.
void addDriftRows(Panel& p) {
  Control& spare = place(p, LA, "LaDrift", 0, "FraDrift", 4, 29, 14, 13);
  spare.setText("0");
  spare.setVisible(false);
  for (int k = 1; k <= 8; ++k) {
    int y = 29 + 13 * (k - 1);
    place(p, LA, "LaDrift", k, "FraDrift", 20, y, 120, 13).setText("0");
  }
  for (int k = 1; k <= 8; ++k) {
    int y = 29 + 13 * (k - 1);
    int index =
        k == 8 ? 9 : 9 + k;  // rows 1..7 are numbered by LaDrift(10..16), row 8 by LaDrift(9)
    place(p, LA, "LaDrift", index, "FraDrift", 4, y, 14, 13).setText(std::to_string(k));
  }
}

void addDistanceOptions(Panel& p) {
  static const char* const kCaptions[17] = {
      "1 px = 15km",    "1 px = 150km", "1 px = 1500km", "1 px = 15kkm",   "1 px = 150kkm",
      "1 px = 1500kkm", "1 px = 15mkm", "1 px = 150mkm", "1 px = 1500mkm", "1 px = 30km",
      "1 px = 300km",   "1 px = 3kkm",  "1 px = 30kkm",  "1 px = 300kkm",  "1 px = 3mkm",
      "1 px = 30mkm",   "1 px = 300mkm"};
  for (int k = 0; k <= 16; ++k) {
    bool left = k <= 8;
    int row = left ? k : k - 9;
    // The left column holds the longer captions ("1 px = 1500mkm").
    place(p, OP, "OpDist", k, "FraDist", left ? 2 : 103, 14 + 13 * row, left ? 101 : 96, 13)
        .setText(kCaptions[k]);
  }
}

// The time-rate options, slowest to fastest in three columns of six. The load handler replaces
// these captions with the seconds per calculation ("0.00015" ... "1.5x10 ^ 13") before the
// window is first shown, so the columns are sized for those.
void addTimeRateOptions(Panel& p) {
  static const char* const kCaptions[19] = {"1 user sec = 0.01 virtual s",
                                            "1s = 0.1s",
                                            "1 user sec = 1 virtual sec",
                                            "1s = 10s",
                                            "1 user sec = 100 v secs",
                                            "1s = 17min",
                                            "1 user sec = 167 mins",
                                            "1s = 1day",
                                            "1 user sec = 12 days",
                                            "1s = 4mo",
                                            "1 user sec = 3 years",
                                            "1s = 32 yrs",
                                            "1 user sec = 317 years",
                                            "1s = 3174 yrs",
                                            "1 user sec = 32 kyears",
                                            "1s = 317 kyrs",
                                            "1 user sec = 3 million yrs",
                                            "1s = 32 myrs",
                                            "18"};
  static const char* const kTips[19] = {"1: 0.01",
                                        "1: 0.1",
                                        "1: 1",
                                        "1: 10",
                                        "1: 100",
                                        "1: 1000",
                                        "1: 10 000",
                                        "1: 100 000",
                                        "1: 1 million",
                                        "1: 10 million ",
                                        "1: 100 million - this will murder mercury's orbit",
                                        "1: 1000 million",
                                        "1: 10 000 million",
                                        "1: 100 billion",
                                        "1: 1trillion",
                                        "1: 10 trillion",
                                        "1: 100 trillion",
                                        "1: 1000 trillion",
                                        ""};
  static const int kColX[3] = {2, 59, 129}, kColW[3] = {57, 70, 77};
  for (int i = 0; i <= 17; ++i) {
    int col = i / 6, row = i % 6;
    Control& c = place(p, OP, "Optime", i, "FraTime", kColX[col], 25 + 14 * row, kColW[col], 14);
    c.setText(kCaptions[i]);
    c.setTooltip(kTips[i]);
  }
  // Never shown: the preset procedure selects it to deselect every visible rate.
  Control& none = place(p, OP, "Optime", 18, "FraTime", 190, 112, 16, 17);
  none.setText(kCaptions[18]);
  none.setVisible(false);
}

// The preset buttons CDp(0..83). Each group stands under its Label10 heading.
void addPresets(Panel& p) {
  struct At {
    int index, x, y;
  };
  constexpr int L = 140, R = 166;    // left-hand columns
  constexpr int RL = 784, RR = 813;  // right-hand columns
  std::vector<At> at;
  // "1940": left column 1..8 (faster rates), right column 11..18 (slower), then 9 and 10.
  for (int r = 0; r < 8; ++r) {
    at.push_back({1 + r, L, 32 + 24 * r});
    at.push_back({11 + r, R, 32 + 24 * r});
  }
  at.push_back({9, L, 32 + 24 * 8});
  at.push_back({10, R, 32 + 24 * 8});
  // "1773": the same layout, left 21..28, right 31..38, then 19.
  for (int r = 0; r < 8; ++r) {
    at.push_back({21 + r, L, 266 + 24 * r});
    at.push_back({31 + r, R, 266 + 24 * r});
  }
  at.push_back({19, L, 266 + 24 * 8});
  // Short row at y 536: "Control Tests", "Jupiter 77orb", "/ 20 orb avg >spd".
  int x = L;
  for (int n : {71, 72, 78}) at.push_back({n, x, 536}), x += 26;
  x = 226;
  for (int n : {29, 39}) at.push_back({n, x, 536}), x += 26;
  x = 330;
  for (int n : {20, 30, 40}) at.push_back({n, x, 536}), x += 26;
  // Short row at y 576: "Mars Rogue", "Extreme Scenarios 1940", "Extreme 1900".
  x = L;
  for (int n : {80, 81, 82, 83}) at.push_back({n, x, 576}), x += 26;
  x = 252;
  for (int n : {41, 42, 43, 44, 45, 46}) at.push_back({n, x, 576}), x += 26;
  x = 416;
  for (int n : {49, 50, 61, 62, 63, 64, 65, 66}) at.push_back({n, x, 576}), x += 26;
  // "1900" on the right: 51..54 and 59 left, 55..58 right.
  for (int r = 0; r < 4; ++r) {
    at.push_back({51 + r, RL, 168 + 24 * r});
    at.push_back({55 + r, RR, 168 + 24 * r});
  }
  at.push_back({59, RL, 168 + 24 * 4});
  // Never offered: created hidden, all in one place out of the way.
  for (int n : {0, 47, 48, 60, 67, 68, 69, 70, 73, 74, 75, 76, 77, 79}) at.push_back({n, L, 32});

  std::vector<const At*> byIndex(84, nullptr);
  for (const At& a : at) byIndex[size_t(a.index)] = &a;
  for (int n = 0; n <= 83; ++n) {
    const At& a = *byIndex[size_t(n)];
    int h = (n == 57) ? 23 : (n == 71 || n == 72 || n == 78) ? 16 : 24;
    Control& c = place(p, B, "CDp", n, "", a.x, a.y, 26, h);
    c.setText(std::to_string(n));
    c.setTooltip("Preset Parameters");
    switch (n) {
      case 0:
      case 47:
      case 48:
      case 60:
      case 67:
      case 68:
      case 69:
      case 70:
      case 73:
      case 74:
      case 75:
      case 76:
      case 77:
      case 79:
        c.setVisible(false);
        break;
      default:
        break;
    }
  }
}

void setDesignDetails(Panel& p) {
  // Scroll bars: range first, so that the value is within it.
  auto bar = [&](Control& c, int min, int max, int value, int small, int large) {
    c.setRange(min, max);
    c.setSteps(small, large);
    c.setValue(value);
  };
  bar(p("HStheta"), 1, 9999, 2, 1, 100);
  for (int i = 0; i <= 2; ++i) bar(p("Hsp", i), 0, 32767, 0, 15, 300);
  bar(p("Qui"), 0, 32767, 1, 1, 1);
  bar(p("HSalpha"), 0, 8, 1, 1, 1);
  bar(p("HSbeta"), 0, 8, 1, 1, 1);

  p("TXref").setMaxLength(3);
  p("TXmarker").setMaxLength(4);
  p("TXTOden").setMaxLength(3);

  // Timers: enabled means running.
  p("TimTalk").setInterval(1000);
  p("Tiball").setInterval(1000);
  p("TiF").setInterval(500);

  p("CDrepair").setBackColor(rgb(80, 112, 112));
  // The scale and rate options take the colours of these two: unselected, selected.
  p("TXperdif").setForeColor(rgb(96, 96, 96));
  p("TXperdif").setBackColor(rgb(16, 8, 0));
  p("Label3").setForeColor(rgb(208, 192, 176));
  p("Label3").setBackColor(rgb(64, 32, 32));
  // The white that labels of the precession read-outs take from it.
  p("Command1").setBackColor(kWhite);
  // The body editor shows the body's name and "Planet ON/OFF" in pale body colours: on dark.
  for (const char* pale : {"La", "TXTOden", "Chon"})
    p(pale, std::string_view(pale) == "La" ? 0 : -1).setBackColor(rgb(24, 24, 28));

  p("ImMoon").setPicture("moon");
  p("ImZod").setPicture("zodiac");
  p("Pico2").setPicture("pico2");
  p("Picoc").setPicture("picoc");
}

}  // namespace

void buildPanel(Panel& panel) {
  for (const Row& r : kRows) {
    addRow(panel, r);
    // The tables generated in code go where their frame's rows are.
    std::string_view name = r.name;
    if (name == "Label5" && r.index == 0) addBodyRows(panel);
    if (name == "ChStore") addDriftRows(panel);
    if (name == "FraDist") addDistanceOptions(panel);
    if (name == "Text2") addTimeRateOptions(panel);
    if (name == "Label10" && r.index == 17) addPresets(panel);
  }
  setDesignDetails(panel);
}

}  // namespace orbits
