#pragma once

#include <string>
#include <vector>

namespace headless {

// Every call the system makes on a component, in order: "Form1.ShockwaveFlash1.SetVariable(soundOn, 1)".
using CallLog = std::vector<std::string>;

// A number as the log shows it: no trailing zeros.
std::string LogNumber(double v);

}  // namespace headless
