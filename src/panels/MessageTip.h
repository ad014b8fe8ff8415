#pragma once

#include "TeskVideoSearchExport.h"

#include <QString>

#include <functional>

class QWidget;

namespace TeskVideoSearch {

// The transient message the condition column shows after a refused search. All messages of
// the panels go through here, so that the host's message tips replace one place.
TESKVIDEOSEARCH_EXPORT void ShowMessageTip(QWidget *parent, const QString &text);

using MessageTipHandler = std::function<void(QWidget *parent, const QString &text)>;
// Replaces the handler (a null one restores the default) and returns the previous one.
TESKVIDEOSEARCH_EXPORT MessageTipHandler SetMessageTipHandler(MessageTipHandler handler);

} // namespace TeskVideoSearch
