#include "window/Lifecycle.h"

#include "engine/Engine.h"
#include "gallery/Gallery.h"
#include "menus/MenuList.h"
#include "persistence/Bookmarks.h"
#include "persistence/Settings.h"

namespace shiori {

void Lifecycle::Form_Load() {
  Form& form = engine_.form();
  engine_.menus().ResetPlayState();
  engine_.settings().Load();
  engine_.bookmarks().LabelQuickSaveItems();
  engine_.ShowPicture(form.Picture2, "\\data\\op01.rgd");
  engine_.ShowPicture(form.Picture4, "\\log\\0000.log");
  engine_.menus().ShowTitleMenu();
  engine_.gallery().RefreshGalleryProgress();
}

void Lifecycle::Form_Unload() {
  if (engine_.ended()) return;
  WaveDevice& wave = engine_.services().wave;
  wave.SetDeviceType("waveaudio");
  wave.Command("stop");
  wave.Command("close");
  engine_.settings().Save();
  engine_.EndProgram();
}

}  // namespace shiori
