#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/Form.h"

namespace shiori {
namespace {

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
  form.PressAt(50, 140, kLeftButton);        // a disabled entry hands the press to its layer
  form.Press(*form.lblMLT[0], kLeftButton);  // and takes none by name
  form.Picture1.SetVisible(false);
  form.Picture2.SetVisible(false);
  form.PressAt(5, 5, kLeftButton);

  EXPECT_EQ(log.events,
            (std::vector<std::string>{"Picture2 down 1", "Picture2 click", "lbl1(1) down 2", "Picture1 down 1",
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
