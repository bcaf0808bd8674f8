#pragma once
// The load handler of the main window: constants, body names and colours, the drift file's
// path, and the options and positions that differ from the window's design.
namespace orbits {

class MainWindow;

void Form_Load(MainWindow& w);

}  // namespace orbits
