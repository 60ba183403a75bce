// Program entry: the command line, the display check and the start-up
// sequence up to the message loop.
#pragma once

#include <string>

namespace torvex {

// The command line after the program name, arguments joined by blanks.
std::string commandLineOf(int argc, char** argv);
// Started-back mode: the command line begins with the character 0 (the
// sibling module starts this program again this way).
bool isStartedBack(const std::string& commandLine);

// What the start-up check looks at.
struct DisplaySettings {
    int width = 0;           // pixels across
    int height = 0;          // pixels down
    int colourDepth = 0;     // bits per pixel
    int baseUnitHeight = 0;  // dialog base unit height, pixels
};

// The windows are laid out for a display of 1024 x 768 pixels; only a smaller
// one (in either direction) earns the Caution dialog. Colour depth and font
// size do not matter on this platform: every current display has more than
// enough colours, and the dialogs scale with their font.
bool displayNeedsCaution(const DisplaySettings& d);
DisplaySettings currentDisplay();

// Runs the program; returns its exit code.
int runProgram(int argc, char** argv);

}  // namespace torvex
