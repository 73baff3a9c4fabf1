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
#if defined(__GLIBC__)
  // A decoded picture is a megabyte or more and lives for a few screens. Above this size glibc would by itself
  // raise the bar after the first one is freed and carve the next ones out of the heap, which then cannot shrink.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

}  // namespace shiori
