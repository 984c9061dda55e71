// The application object: start-up, the main window until it closes, exit.
#pragma once

#include <string>
#include <vector>

namespace tp {

class MessageBoxes;

class CTidepostApp {
public:
    // Runs the program with the arguments after the program name and returns
    // the exit status. --help and --version print and return without a window.
    int Run(int argc, char** argv);
};

// The text --help prints.
const char* GuiUsageText();

}  // namespace tp
