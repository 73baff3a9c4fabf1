#include "gallery/Gallery.h"

#include "engine/Engine.h"
#include "gallery/CgViewer.h"
#include "persistence/RouteCgTable.h"
#include "persistence/SeenRecord.h"

namespace shiori {

void Gallery::RefreshGalleryProgress() {
  PlayState& s = engine_.state();
  s.RouteSeenCount = {0, 0, 0};
  for (int route = 1; route <= 3; ++route) {
    const auto& steps = RouteCgTable()[route - 1];
    for (const CgStep& step : steps) engine_.seen().CountIfSeen(step.page, route);
    const std::size_t seen = s.RouteSeenCount[route - 1];
    engine_.form().lblCG[route - 1]->SetCaption(seen == 0             ? "まだ１枚も見ていません"
                                                : seen < steps.size() ? "－攻略中－"
                                                                      : "全てのＣＧを見ました");
  }
  for (Widget* progress : engine_.form().lblCG) progress->SetVisible(true);
}

bool Gallery::AllCgsSeen() const {
  const PlayState& s = engine_.state();
  for (int route = 0; route < 3; ++route) {
    if (s.RouteSeenCount[route] != RouteCgTable()[route].size()) return false;
  }
  return true;
}

void Gallery::ChooseRoute(int route) {
  PlayState& s = engine_.state();
  if (s.RouteSeenCount[route - 1] == 0) return;
  s.ViewerRoute = static_cast<std::uint8_t>(route);
  s.ViewerStep = 1;
  ShowLabels(false);
  engine_.viewer().Picture4_Click();
}

void Gallery::ShowLabels(bool visible) {
  Form& form = engine_.form();
  for (Widget* area : {form.lblRUI, form.lblNAGI, form.lblSUMI}) area->SetVisible(visible);
  for (Widget* progress : form.lblCG) progress->SetVisible(visible);
}

void Gallery::Picture4_MouseDown(int button) {
  if (button != kRightButton) return;
  Form& form = engine_.form();
  for (Widget* area : {form.lblRUI, form.lblNAGI, form.lblSUMI}) area->SetVisible(true);
  form.Picture2.SetVisible(true);
  form.Picture4.SetVisible(false);
}

}  // namespace shiori
