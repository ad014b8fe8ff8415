#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace Lattice {

// An SVG rendered sharp for the screen: `size` in device-independent pixels (the SVG's own
// size when empty), drawn at the device pixel ratio of the application or, without one, of the
// primary screen. A null pixmap, with a log line, when the SVG cannot be read. Needs a
// QGuiApplication and runs on the user-interface thread.
QPixmap GetHighDpiSvgPixmap(const QString &path, const QSize &size = {});

} // namespace Lattice
