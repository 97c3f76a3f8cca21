#pragma once
// Driving windows in Qt tests: finding a named control (the test stops when it is missing),
// clicking a named button, answering the next modal dialog, and saving a picture.
#include <QAbstractButton>
#include <QApplication>
#include <QInputMethodEvent>
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

// Saves a picture of the widget when QH_SCREENSHOT_DIR names a folder.
inline void screenshot(QWidget* widget, const char* name) {
    const QByteArray dir = qgetenv("QH_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    widget->grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
}

}  // namespace qingheng::testing
