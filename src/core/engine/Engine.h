#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/PlayState.h"
#include "platform/GameFolder.h"
#include "platform/Services.h"
#include "scenario/ScenarioFile.h"
#include "window/Form.h"
#include "window/Scheduler.h"

namespace shiori {

class PageLoader;
class Typewriter;
class PageAdvance;
class Choices;
class SkipAndReturn;
class MenuList;
class MenuDispatcher;
class TitleAndQuit;
class Bookmarks;
class Settings;
class SeenRecord;
class Gallery;
class CgViewer;
class BgmPlayer;
class Ending;
class Lifecycle;
class Comforts;
class StoryTranslation;

// The whole player without a toolkit: the window as data, the story's state and every handler, wired together.
// A shell constructs it with its services and a scheduler, raises the window's load, then delivers input through
// form() and advances the scheduler's clock. The engine tells the shell when the program has ended.
class Engine {
 public:
  Engine(GameFolder folder, Services services, Scheduler& scheduler);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;
  ~Engine();

  // Start-up: the window's load event. Fails (with a message naming the folder and the file) when the game
  // folder has no scenario file; nothing is then shown or written.
  [[nodiscard]] Status Start();
  // The window's close box: asks first while a story is in progress, then the same unload as every quit command.
  void CloseBox();
  // The unload itself, which every way out ends in.
  void Close();
  // True once the program has ended; `Ended` is called at that moment.
  [[nodiscard]] bool ended() const { return ended_; }
  std::function<void()> Ended;

  [[nodiscard]] Form& form() { return form_; }
  [[nodiscard]] PlayState& state() { return state_; }
  [[nodiscard]] Scheduler& scheduler() { return scheduler_; }
  [[nodiscard]] Services& services() { return services_; }
  [[nodiscard]] const GameFolder& folder() const { return folder_; }
  [[nodiscard]] const ScenarioFile& scenario() const { return scenario_; }

  [[nodiscard]] PageLoader& pages() { return *pages_; }
  [[nodiscard]] Typewriter& typewriter() { return *typewriter_; }
  [[nodiscard]] PageAdvance& advance() { return *advance_; }
  [[nodiscard]] Choices& choices() { return *choices_; }
  [[nodiscard]] SkipAndReturn& skip() { return *skip_; }
  [[nodiscard]] MenuList& menus() { return *menus_; }
  [[nodiscard]] MenuDispatcher& dispatcher() { return *dispatcher_; }
  [[nodiscard]] TitleAndQuit& title() { return *title_; }
  [[nodiscard]] Bookmarks& bookmarks() { return *bookmarks_; }
  [[nodiscard]] Settings& settings() { return *settings_; }
  [[nodiscard]] SeenRecord& seen() { return *seen_; }
  [[nodiscard]] Gallery& gallery() { return *gallery_; }
  [[nodiscard]] CgViewer& viewer() { return *viewer_; }
  [[nodiscard]] BgmPlayer& music() { return *music_; }
  [[nodiscard]] Ending& ending() { return *ending_; }
  [[nodiscard]] Comforts& comforts() { return *comforts_; }
  [[nodiscard]] StoryTranslation& translation() { return *translation_; }

  // Loads a picture of the game folder ("\data\0001.rgd") into a layer, or into the window itself. A missing or
  // undecodable file leaves the layer plain black and is reported once as a warning; the story goes on.
  void ShowPicture(Layer& layer, std::string_view name);
  void ShowWindowPicture(std::string_view name);

  // `PageBuffer` := record `CurrentPage`. False (with a warning) when the scenario file cannot be read; the
  // buffer then keeps what it held.
  [[nodiscard]] bool ReadPageRecord();

  // Ends the program at once, without raising the unload again.
  void EndProgram();

 private:
  void Wire();
  [[nodiscard]] bool CheckPicture(std::string_view relative);

  GameFolder folder_;
  Services services_;
  Scheduler& scheduler_;
  ScenarioFile scenario_;
  Form form_;
  PlayState state_;
  bool ended_ = false;

  std::unique_ptr<PageLoader> pages_;
  std::unique_ptr<Typewriter> typewriter_;
  std::unique_ptr<PageAdvance> advance_;
  std::unique_ptr<Choices> choices_;
  std::unique_ptr<SkipAndReturn> skip_;
  std::unique_ptr<MenuList> menus_;
  std::unique_ptr<MenuDispatcher> dispatcher_;
  std::unique_ptr<TitleAndQuit> title_;
  std::unique_ptr<Bookmarks> bookmarks_;
  std::unique_ptr<Settings> settings_;
  std::unique_ptr<SeenRecord> seen_;
  std::unique_ptr<Gallery> gallery_;
  std::unique_ptr<CgViewer> viewer_;
  std::unique_ptr<BgmPlayer> music_;
  std::unique_ptr<Ending> ending_;
  std::unique_ptr<Lifecycle> lifecycle_;
  std::unique_ptr<Comforts> comforts_;
  std::unique_ptr<StoryTranslation> translation_;
};

}  // namespace shiori
