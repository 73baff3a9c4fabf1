#pragma once

#include <QObject>

class QMainWindow;

namespace shiori {

// In full screen the menu bar steps aside, so the stage fills the screen: it comes back while the pointer rests
// at the top edge of the screen, until it moves back onto the stage, or after Alt alone is pressed, until Alt is
// pressed again or a command is chosen. Out of full screen it is always shown. The menus' keys keep working while
// it is hidden: they go to the core's host like every other key.
class FullScreenMenuBar : public QObject {
 public:
  // Watches `window` and its central widget, which must exist already.
  explicit FullScreenMenuBar(QMainWindow& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Reveal(bool shown);
  [[nodiscard]] bool BarShown() const;
  void FollowPointer(int y);

  QMainWindow& window_;
  bool alt_alone_ = false;   // Alt went down with nothing else since
  bool by_pointer_ = false;  // the pointer called the bar back, rather than Alt
};

}  // namespace shiori
