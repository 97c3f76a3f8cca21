#pragma once
// Saves a picture of a window when QINGHENG_SHOTS names a folder, so that a person can look at
// what the tests opened (run them with QT_SCALE_FACTOR=2 to see the high-DPI drawing).
#include <QDir>
#include <QWidget>

namespace qingheng::testing {

inline void saveScreenshot(QWidget* window, const QString& name) {
    const QString folder = qEnvironmentVariable("QINGHENG_SHOTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    window->grab().save(QDir(folder).filePath(name + ".png"));
}

}  // namespace qingheng::testing
