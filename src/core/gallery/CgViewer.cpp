#include "gallery/CgViewer.h"

#include "engine/Engine.h"
#include "gallery/Gallery.h"
#include "persistence/RouteCgTable.h"
#include "persistence/SeenRecord.h"

namespace shiori {

void CgViewer::Picture4_Click() {
  PlayState& s = engine_.state();
  if (s.ViewerRoute < 1 || s.ViewerRoute > 3) return;  // the gallery screen, with no route chosen
  const auto& steps = RouteCgTable()[s.ViewerRoute - 1];
  // The end step is one past the route's last CG; unseen CGs are passed over within the same click.
  while (s.ViewerStep >= 1 && s.ViewerStep <= steps.size()) {
    const CgStep& step = steps[s.ViewerStep - 1];
    ++s.ViewerStep;
    if (engine_.seen().IsPageSeen(step.page)) {
      engine_.ShowPicture(engine_.form().Picture4, step.picture);
      return;
    }
  }
  EndOfRoute();
}

void CgViewer::ShowPreviousCg() {
  PlayState& s = engine_.state();
  if (s.ViewerRoute < 1 || s.ViewerRoute > 3) return;
  const auto& steps = RouteCgTable()[s.ViewerRoute - 1];
  // The CG on show is the step before `ViewerStep`; look further back from there.
  for (int step = static_cast<int>(s.ViewerStep) - 2; step >= 1 && step <= static_cast<int>(steps.size()); --step) {
    if (engine_.seen().IsPageSeen(steps[step - 1].page)) {
      engine_.ShowPicture(engine_.form().Picture4, steps[step - 1].picture);
      s.ViewerStep = static_cast<std::uint8_t>(step + 1);
      return;
    }
  }
}

void CgViewer::EndOfRoute() {
  PlayState& s = engine_.state();
  s.ViewerStep = PlayState::kViewerIdle;
  s.ViewerRoute = PlayState::kViewerIdle;
  engine_.gallery().ShowLabels(true);
  engine_.ShowPicture(engine_.form().Picture4, "\\log\\0000.log");
}

}  // namespace shiori
