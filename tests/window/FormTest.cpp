#include "window/Form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace shiori {
namespace {

TEST(Form, StartsInTheDesignState) {
  Scheduler scheduler;
  Form form(scheduler);
  EXPECT_TRUE(form.Picture1.visible());
  EXPECT_TRUE(form.Picture2.visible());
  EXPECT_FALSE(form.Picture3.visible());
  EXPECT_FALSE(form.Picture4.visible());
  EXPECT_EQ(form.Picture1.bounds(), (Rect{0, 0, 640, 536}));
  EXPECT_EQ(form.Picture4.back(), 0x404040u);

  EXPECT_EQ(form.lbl1[0]->bounds(), (Rect{16, 8, 617, 33}));
  EXPECT_EQ(form.lbl1[2]->bounds(), (Rect{16, 72, 616, 33}));
  EXPECT_EQ(form.lbl1[4]->bounds().top, 135);
  EXPECT_EQ(form.lbl1[9]->bounds(), (Rect{16, 295, 616, 33}));
  EXPECT_EQ(form.lbl1[11]->bounds().top, 360);
  EXPECT_TRUE(form.lbl1[0]->bold());
  EXPECT_DOUBLE_EQ(form.lbl1[0]->font(), 20.25);
  EXPECT_EQ(form.lblSEL[0]->bounds(), (Rect{56, 32, 425, 26}));
  EXPECT_FALSE(form.lblSEL[3]->visible());
  EXPECT_EQ(form.lblFRONT->bounds(), (Rect{0, 408, 641, 393}));

  EXPECT_EQ(form.lblMLT[5]->caption(), "タイトル画面に戻る");
  EXPECT_TRUE(form.lblMLT[5]->border());
  EXPECT_EQ(form.lblMLT[0]->fore(), 0xC0C0C0u);
  EXPECT_EQ(form.lblMOJI_N->back(), std::optional<Rgb>(0x404040));
  EXPECT_EQ(form.lblMOJI_N->fore(), 0x808080u);
  EXPECT_EQ(form.lblCG[1]->caption(), "-攻略中-");
  EXPECT_EQ(form.txtDES->caption(), "0001");
  EXPECT_EQ(form.Label3->caption(), "Label3");

  EXPECT_TRUE(form.menuBGM.checked());
  EXPECT_EQ(form.menuNEXT.caption(), "次の選択肢までとばす(&J)");
  EXPECT_TRUE(form.menuNEXT.children().empty());
  EXPECT_EQ(form.menuSAVE[2]->shortcut(), "Ctrl+S");
  EXPECT_EQ(form.FindShortcut("ctrl+x"), form.menuSAVE[3].get());
  std::vector<std::string> quick_save;
  for (const MenuItem* item : form.menuRIGHT.children()) quick_save.push_back(item->name());
  EXPECT_EQ(quick_save, (std::vector<std::string>{"menuSAVE(1)", "menuSAVE(2)", "menuSAVE(3)", "menuEND2"}));

  EXPECT_EQ(form.timEND.interval(), 9000);
  EXPECT_EQ(form.timYAZIRUSI.interval(), 500);
  for (Timer* timer : form.Timers()) EXPECT_FALSE(timer->enabled()) << timer->name();
}

// Records which handler a press reached.
struct PressLog {
  std::vector<std::string> events;
  void Attach(MouseTarget& target, const std::string& name) {
    target.MouseDown = [this, name](int button) { events.push_back(name + " down " + std::to_string(button)); };
    target.Click = [this, name] { events.push_back(name + " click"); };
  }
};

TEST(Form, PressesReachTheTopMostShownWidgetOrTheLayerBeneath) {
  Scheduler scheduler;
  Form form(scheduler);
  PressLog log;
  log.Attach(form.Picture1, "Picture1");
  log.Attach(form.Picture2, "Picture2");
  log.Attach(*form.lbl1[1], "lbl1(1)");
  log.Attach(*form.lblMLT[0], "lblMLT(0)");
  log.Attach(form.window_events, "Form");

  form.PressAt(100, 50, kLeftButton);  // the menu layer covers the story layer
  form.Picture2.SetVisible(false);
  form.PressAt(100, 50, kRightButton);  // a message line
  form.PressAt(5, 5, kLeftButton);      // the story layer itself
  form.lblMLT[0]->SetVisible(true);
  form.Picture2.SetVisible(true);
  form.PressAt(50, 140, kLeftButton);
  form.lblMLT[0]->SetEnabled(false);
  form.PressAt(50, 140, kLeftButton);  // a disabled entry hands the press to its layer
  form.Press(*form.lblMLT[0], kLeftButton);  // and takes none by name
  form.Picture1.SetVisible(false);
  form.Picture2.SetVisible(false);
  form.PressAt(5, 5, kLeftButton);

  EXPECT_EQ(log.events, (std::vector<std::string>{
                            "Picture2 down 1", "Picture2 click", "lbl1(1) down 2", "Picture1 down 1",
                            "Picture1 click", "lblMLT(0) down 1", "lblMLT(0) click", "Picture2 down 1",
                            "Picture2 click", "Form down 1", "Form click"}));
}

TEST(Form, MenuItemsAreChosenOnlyWhileTheyAndTheirParentAreEnabled) {
  Scheduler scheduler;
  Form form(scheduler);
  int saves = 0;
  form.menuSAVE[1]->Click = [&] { ++saves; };
  form.Choose(*form.menuSAVE[1]);
  form.menuRIGHT.SetEnabled(false);
  form.Choose(*form.menuSAVE[1]);
  form.menuRIGHT.SetEnabled(true);
  form.menuSAVE[1]->SetEnabled(false);
  form.Choose(*form.menuSAVE[1]);
  EXPECT_EQ(saves, 1);
}

}  // namespace
}  // namespace shiori
