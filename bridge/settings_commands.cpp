// "dirov.getReg" and "dirov.setReg": the settings the movie keeps.
#include "bridge/commands.h"
#include "shell/book.h"
#include "shell/settings_store.h"

namespace bridge {

using namespace components;

void GetReg(shell::Program& program) {
  struct Row {
    const char* value;
    const char* variable;
  };
  const Row rows[] = {{"windowTrans", "transfer"},      {"showHelp", "showHelp"},
                      {"helpMe", "firstRun"},           {"productCode", "installString"},
                      {"uninstall", "uninstallString"}, {"kindOfMouse", "kindOfMouse"}};
  Registry& registry = program.system().registry;
  for (const Row& row : rows) {
    shell::lastRegValue = shell::ReadRegValue(registry, HKEY_LOCAL_MACHINE, shell::BookKey(), row.value);
    program.Player().SetVariable(row.variable, shell::lastRegValue);
    // The rest waits until the panel is closed.
    if (std::string(row.value) == "showHelp" && shell::lastRegValue == "1") program.ShowIntro();
  }
  program.Player().SetVariable("news", program.ProgramPath({"news.ezy"}));
  program.Player().SetVariable("news2", program.ProgramPath({"news2.ezy"}));
}

void SetReg(shell::Program& program, const std::string& args) {
  Registry& registry = program.system().registry;
  shell::lastRegValue =
      shell::WriteRegValue(registry, HKEY_LOCAL_MACHINE, shell::BookKey(), "showHelp", args);
  shell::lastRegValue = shell::WriteRegValue(registry, HKEY_LOCAL_MACHINE, shell::BookKey(), "soundOn", "1");
}

}  // namespace bridge
