#pragma once

namespace shiori {

// Settles, before the QApplication is made, what the window's process loads and how it keeps its memory, so that
// it stays light: no input method (nothing takes typed text), Qt's own event loop rather than GLib's, frames sent
// to the X server without a round trip each, and large buffers (decoded pictures) taken from and given back to the
// system rather than left as holes in the heap.
void LightenWindowProcess();

}  // namespace shiori
