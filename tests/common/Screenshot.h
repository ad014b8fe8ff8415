#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QWidget>

namespace TestSupport {

// Saves a picture of `widget` as `name` when TVS_SCREENSHOT_DIR names a folder, for a person to
// look at; nothing is written otherwise.
inline void SaveShot(QWidget *widget, const QString &name)
{
    const QString dir = qEnvironmentVariable("TVS_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        EXPECT_TRUE(widget->grab().save(QDir(dir).filePath(name))) << name.toStdString();
    }
}

} // namespace TestSupport
