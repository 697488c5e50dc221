// The program: its windows, the subsystems' hooks, its paths.
#include "shell/program.h"
#include "components/errors.h"
#include "shell/book.h"
#include "shell/settings_store.h"
#include "shell/window_hook.h"

namespace shell {

using namespace components;

Program::Program(System& system) : system_(system) {
  system_.desktop.SetAppTitle(kBookTitle);
  main_ = std::make_unique<Window>(system_.desktop, MainWindowDesign());
  main_->OnLoad([this] { Load(); });
  main_->OnResize([this] { Resize(); });
  main_->OnQueryUnload([this](bool& cancel, CloseKind) { QueryUnload(cancel); });
  main_->OnUnload([this] { UnloadShell(); });
  main_->OnMenu("close", [this] { CloseItem(); });
  main_->OnMenu("About", [this] { about_->Show(); });
  MakeAboutWindow();
  MakeIntroPanel();
  MakeHelpWindow();
}

Program::~Program() = default;  // FlashHook is complete here

void Program::Start() {
  system_.desktop.RunHandler([this] {
    main_->Load();
    if (main_->IsLoaded()) main_->Show();
  });
}

bool Program::BringToFront() {
  if (!main_->IsLoaded()) return false;
  if (main_->State() == WindowState::Minimized) main_->SetState(WindowState::Normal);
  main_->Show();
  return true;
}

std::string Program::TempMoviePath() {
  // No separator in between: with TEMP=/a/b the file is /a/bK19990317045.
  return system_.environment.Environ("TEMP").value_or("") + kBookCode;
}

std::string Program::ProgramPath(std::initializer_list<std::string> parts) {
  std::string path = system_.environment.ProgramFolder();
  for (const auto& p : parts) path += system_.environment.PathSeparator() + p;
  return path;
}

std::vector<DesignAsShown> ShellDesigns() {
  return {{MainWindowDesign(), {}},
          {AboutDesign(""), {{"Label1", CreditText()}}},
          {IntroDesign(), {}},
          {HelpDesign(), {}}};
}

bool Program::tempMovieExists() { return !system_.files.Dir(TempMoviePath()).empty(); }

void Program::StoreSound() {
  std::string sound = Player().GetVariable("soundOn");
  lastRegValue = WriteRegValue(system_.registry, HKEY_LOCAL_MACHINE, BookKey(), "soundOn", sound);
}

}  // namespace shell
