#include "qt/FullScreenMenuBar.h"

#include <QAction>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

namespace shiori {
namespace {

// How close to the top of the screen the pointer must come to call the menu bar back, and how far below the bar
// it must then go to send it away: the stage moves down under a pointer that stays put when the bar appears.
constexpr int kRevealEdge = 2;
constexpr int kHideDistance = 16;

}  // namespace

FullScreenMenuBar::FullScreenMenuBar(QMainWindow& window) : QObject(&window), window_(window) {
  window_.installEventFilter(this);
  window_.centralWidget()->installEventFilter(this);
  window_.centralWidget()->setMouseTracking(true);
  window_.menuBar()->installEventFilter(this);  // after Alt it takes the keys, for its own keyboard navigation
  // A command chosen from the bar is all the reader called it back for.
  connect(window_.menuBar(), &QMenuBar::triggered, this, [this] {
    if (window_.isFullScreen()) Reveal(false);
  });
  // The window carries every menu action as well, so that their shortcuts work while the bar is hidden.
  for (QAction* top : window_.menuBar()->actions()) {
    window_.addAction(top);
    if (top->menu() != nullptr) window_.addActions(top->menu()->actions());
  }
}

bool FullScreenMenuBar::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::WindowStateChange:
      if (watched == &window_) Reveal(!window_.isFullScreen());
      break;
    case QEvent::MouseMove:
      if (watched == window_.centralWidget()) FollowPointer(static_cast<QMouseEvent*>(event)->position().y());
      break;
    // Keys are watched where they arrive, on the stage or the bar, not on the window they go on to from there.
    case QEvent::KeyPress:
      if (watched != &window_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        alt_alone_ = key->key() == Qt::Key_Alt && !key->isAutoRepeat();
      }
      break;
    case QEvent::KeyRelease:
      if (watched != &window_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Alt && alt_alone_ && window_.isFullScreen()) {
          by_pointer_ = false;
          Reveal(!BarShown());
        }
        alt_alone_ = false;
      }
      break;
    default:
      break;
  }
  return false;
}

// The stage lies below the bar while it is shown: a move well down the stage has left the bar behind.
void FullScreenMenuBar::FollowPointer(int y) {
  if (!window_.isFullScreen()) return;
  if (!BarShown() && y <= kRevealEdge) {
    by_pointer_ = true;
    Reveal(true);
  } else if (BarShown() && by_pointer_ && y > kHideDistance && window_.menuBar()->activeAction() == nullptr) {
    Reveal(false);
  }
}

// Whether the bar is to be shown, even before the window itself is (a start in full screen).
bool FullScreenMenuBar::BarShown() const { return !window_.menuBar()->isHidden(); }

void FullScreenMenuBar::Reveal(bool shown) {
  if (BarShown() != shown) window_.menuBar()->setVisible(shown);
}

}  // namespace shiori
