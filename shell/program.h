#pragma once

#include <functional>
#include <memory>
#include <string>

#include "components/flags.h"
#include "components/system.h"
#include "components/window.h"

namespace shell {

class FlashHook;

// The program: its main window `Form1` with the main window's public values,
// and the one program-wide reference to each other window of the shell.
class Program {
 public:
  using MovieCommandHandler = std::function<void(const std::string& command, const std::string& args)>;
  using ToolbarClickHandler = std::function<void(int firstValue, const std::string& key)>;

  explicit Program(components::System& system);
  ~Program();

  components::System& system() { return system_; }
  components::Window& MainWindow() { return *main_; }
  components::MoviePlayer& Player() { return main_->control("ShockwaveFlash1").Player(); }
  components::Toolbar& ToolbarControl() { return main_->control("asxToolbar1").ToolbarComponent(); }

  // Loads the main window (its load handling is the start-up) and shows it.
  void Start();
  // Another start of the reader came: the main window comes forward,
  // restored when it was minimised; false when there is none (it closed).
  bool BringToFront();

  // Where the other subsystems plug in: the movie's commands, the toolbar's
  // clicks. Set before Start.
  void OnMovieCommand(MovieCommandHandler handler) { movieCommand_ = std::move(handler); }
  void OnToolbarClick(ToolbarClickHandler handler) { toolbarClick_ = std::move(handler); }

  // The single-instance windows of the shell: the About window, the intro
  // panel and the help window. Referring to one does not load it.
  components::Window& AboutWindow() { return *about_; }
  components::Window& IntroPanel() { return *intro_; }
  components::Window& HelpWindow() { return *help_; }
  // The intro panel, modal over the main window; returns once it is closed.
  void ShowIntro();
  // The help window, modeless, owned by the main window.
  void ShowHelp();

  // Keeps the movie's "soundOn" as the setting of the same name.
  void StoreSound();

  // The path of the temporary movie file: TEMP followed directly by the book code.
  std::string TempMoviePath();
  // A path in the program's folder: its parts joined with the platform's separator.
  std::string ProgramPath(std::initializer_list<std::string> parts);

  // Main window public values.
  std::string chapterPath;
  std::string chapterTemp;
  components::Flag endDownload = components::kFalse;
  components::Flag isStartDownload = components::kFalse;
  components::Flag isDownloadOpen = components::kFalse;
  components::Flag isPlaying = components::kFalse;
  components::Flag isAnimation = components::kFalse;

 private:
  void Load();
  bool tempMovieExists();
  void Resize();
  void QueryUnload(bool& cancel);
  void UnloadShell();
  void CloseItem();
  void MakeAboutWindow();
  void MakeIntroPanel();
  void MakeHelpWindow();

  components::System& system_;
  std::unique_ptr<components::Window> main_;   // Form1
  std::unique_ptr<components::Window> about_;  // Form2
  std::unique_ptr<components::Window> intro_;  // leftForm
  std::unique_ptr<components::Window> help_;   // helpForm
  MovieCommandHandler movieCommand_;
  ToolbarClickHandler toolbarClick_;
  std::unique_ptr<FlashHook> hook_;
  components::Lifetime lifetime_;
};

// "確定要離開電子書嗎 ?" with Yes and No, No the default; true on Yes. The
// main window's close and the movie's own close ask it under their captions.
bool AskToLeave(components::Desktop& desktop, const std::string& caption);

// The designs of the shell's windows. Pictures and pages are found in
// programFolder.
components::WindowDesign MainWindowDesign();
components::WindowDesign AboutDesign(const std::string& picture);
components::WindowDesign IntroDesign();
components::WindowDesign HelpDesign();
// The About window's credit text: five lines joined by CR LF.
std::string CreditText();
// Every window of the shell as it is shown.
std::vector<components::DesignAsShown> ShellDesigns();

}  // namespace shell
