#pragma once
// The body editor shown while a run is paused: one body at a time is shown in the fields
// TXTp(0..6) and the position scroll bars, can be moved, given a new motion or mass, and
// switched off or on; the ring Shark marks it on the drawing.
#include <optional>
#include <string>

namespace orbits {

class MainWindow;

// The body number in TXTOden, when it names a body of the table (0..9).
std::optional<int> editedBody(MainWindow& w);

// Shows body n in the fields and the position scroll bars.
void SetBody(MainWindow& w, int n);
// Places the marker around body n and shows the body's name and colour.
void Ocean(MainWindow& w, int n);
// The body of TXTOden shown in the fields, marked, and its on/off box set.
void Asgard(MainWindow& w);
// Writes the seven fields back into the body of TXTOden. False when the fields hold nothing
// usable (no body, a mass that is not a number): then nothing changes.
bool Bifrost(MainWindow& w);

// The mass, in solar masses, that a text typed into the mass box TXTp(4) gives when Bifrost
// takes it: the whole text one number (blanks around it allowed), 0 or within the range a run
// computes with and a save keeps. Nothing for a text Bifrost refuses.
std::optional<double> acceptedMass(const std::string& text);

// The messages when Bifrost refuses values the state cannot hold: a position, a motion, a mass.
extern const char* const kEditRefusedText;
extern const char* const kMotionRefusedText;
extern const char* const kMassRefusedText;

// Handlers.
void Qui_Change(MainWindow& w);
void TXTp_LostFocus(MainWindow& w, int k);
void Hsp_Change(MainWindow& w, int k);
void Opadd_Click(MainWindow& w, int k);
void Chon_Click(MainWindow& w);

void wireBodyEditor(MainWindow& w);

}  // namespace orbits
