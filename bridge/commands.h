#pragma once

#include <string>

#include "shell/program.h"

namespace bridge {

// "dirov.getReg": the stored settings into movie variables, the intro panel
// in between when "showHelp" is exactly "1", then the news paths.
void GetReg(shell::Program& program);
// "dirov.setReg": args as "showHelp", and "1" as "soundOn".
void SetReg(shell::Program& program, const std::string& args);
// "dirov.Win": the window keywords.
void Win(shell::Program& program, const std::string& args);
// "startPlay": handed straight back to the movie.
void StartPlay(shell::Program& program);
// The single-page menu: the label, then the page-mode buttons.
void SinglePage(shell::Program& program, const std::string& label);

}  // namespace bridge
