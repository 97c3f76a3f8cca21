#pragma once
// Driving windows in Qt tests: finding a named control (the test stops when it is missing),
// clicking a named button, finding a menu item, answering modal dialogs, and saving a picture.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace qingheng::testing {

template <typename T>
T* child(const QWidget* parent, const char* name) {
    T* w = parent->findChild<T*>(QString::fromLatin1(name));
    if (!w) qFatal("no control %s", name);
    return w;
}

template <typename T>
T* child(const QWidget& parent, const char* name) {
    return child<T>(&parent, name);
}

inline void click(const QWidget* parent, const char* button) { child<QAbstractButton>(parent, button)->click(); }
inline void click(const QWidget& parent, const char* button) { click(&parent, button); }

// Types text into a box as an input method commits it, one character at a time (the way
// Chinese reaches a box, and what QTest's key clicks cannot send).
inline void typeText(QWidget* box, const QString& text) {
    for (const QChar ch : text) {
        QInputMethodEvent commit;
        commit.setCommitString(QString(ch));
        QApplication::sendEvent(box, &commit);
    }
}

// Runs handler on the next modal dialog that opens (dialogs that are real windows, not
// prompts: the prompt service scripts those).
inline void onNextDialog(std::function<void(QWidget*)> handler) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, handler] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            handler(dialog);
        }
    });
    timer->start(10);
}

// Runs handler on the next popup menu that opens (a context menu runs its own event loop).
inline void onNextPopup(std::function<void(QMenu*)> handler) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, handler] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            timer->stop();
            timer->deleteLater();
            handler(menu);
        }
    });
    timer->start(10);
}

// Runs open, which shows a modal dialog and returns once it is closed, and handler on that
// dialog while it is up; the dialog is closed after the handler unless the handler closed it.
// False when no modal dialog came up.
inline bool inModalDialog(const std::function<void()>& open, const std::function<void(QWidget*)>& handler) {
    bool seen = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const QPointer<QWidget> dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        timer.stop();
        seen = true;
        handler(dialog);
        if (dialog && dialog->isVisible()) dialog->close();
    });
    timer.start(10);
    open();
    timer.stop();
    return seen;
}

// The drop-down menu of the menu bar titled title (with its "&" shortcut mark), or null.
inline QMenu* menuNamed(const QMainWindow& window, const QString& title) {
    for (QAction* top : window.menuBar()->actions()) {
        if (top->text() == title && top->menu()) return top->menu();
    }
    return nullptr;
}

// The item text of a menu of the menu bar, or null when the menu or the item is missing.
inline QAction* menuItem(const QMainWindow& window, const QString& menu, const QString& text) {
    const QMenu* dropDown = menuNamed(window, menu);
    if (!dropDown) return nullptr;
    for (QAction* item : dropDown->actions()) {
        if (item->text() == text) return item;
    }
    return nullptr;
}

// Saves a picture of the widget into the folder QH_SCREENSHOT_DIR names, when it is set (run
// with QT_SCALE_FACTOR=2 to see the high-DPI drawing).
inline void screenshot(QWidget* widget, const char* name) {
    const QString folder = qEnvironmentVariable("QH_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    widget->grab().save(QDir(folder).filePath(QString::fromUtf8(name) + ".png"));
}

}  // namespace qingheng::testing
