#include "qt/LightProcess.h"

#include <QByteArray>
#include <QtGlobal>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace shiori {

void LightenWindowProcess() {
  qputenv("QT_IM_MODULE", QByteArrayLiteral("none"));
  // GLib's loop would only matter to a GLib-based plugin sharing it, and wakes up at more cost per event.
  qputenv("QT_NO_GLIB", QByteArrayLiteral("1"));
  // Through shared memory, drawing over a part of the window that the X server has not yet copied out needs a
  // round trip to it first, and a typed character's cell always meets the one before. Sent with the request, a
  // cell is a few kilobytes and costs neither side a wake-up more.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", QByteArrayLiteral("1"));
#if defined(__GLIBC__)
  // A decoded picture is a megabyte or more and lives for a few screens. Above this size glibc would by itself
  // raise the bar after the first one is freed and carve the next ones out of the heap, which then cannot shrink.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

}  // namespace shiori
