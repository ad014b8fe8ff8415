#pragma once

#include <QString>

namespace TestSupport {

// A directory private to this test process, removed when the process ends.
QString ScratchDir();

} // namespace TestSupport
