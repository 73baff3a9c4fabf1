#include <gtest/gtest.h>

#include "qt/StageChanges.h"

namespace shiori::test {
namespace {

const QRect kStage(0, 0, 640, 400);

TEST(StageChanges, RepaintsOnlyWhatAChangeTouched) {
  Scheduler scheduler;
  Form form(scheduler);
  StageChanges changes;
  EXPECT_EQ(changes.Take(form), std::vector<QRect>{kStage});  // the first frame: everything
  EXPECT_TRUE(changes.Take(form).empty());                    // nothing changed since

  // A typed character: that message line only.
  form.lbl1[3]->SetCaption("あ");
  EXPECT_EQ(changes.Take(form), std::vector<QRect>{QRect(16, 104, 617, 33)});

  // A moved label: where it was and where it is now (clipped to the stage).
  form.lblMLT[0]->SetVisible(true);
  EXPECT_EQ(changes.Take(form), std::vector<QRect>{QRect(40, 128, 249, 25)});
  form.lblMLT[0]->SetTop(380);
  EXPECT_EQ(changes.Take(form), (std::vector<QRect>{QRect(40, 128, 249, 25), QRect(40, 380, 249, 20)}));

  // Layers and pictures change the whole stage.
  form.Picture2.SetPicture("data/op01.rgd", false);
  EXPECT_EQ(changes.Take(form), std::vector<QRect>{kStage});
  form.Picture2.SetVisible(false);
  EXPECT_EQ(changes.Take(form), std::vector<QRect>{kStage});
  form.SetPicture("data/e01.rgd", false);
  EXPECT_EQ(changes.Take(form), std::vector<QRect>{kStage});

  // Nothing on screen: a hidden layer's widgets, the developer controls outside the stage.
  form.lblMOJI_F->SetFore(kWhite);
  form.txtDES->SetCaption("0042");
  form.lblFRONT->SetEnabled(false);  // enabled state draws nothing either
  EXPECT_TRUE(changes.Take(form).empty());
}

}  // namespace
}  // namespace shiori::test
