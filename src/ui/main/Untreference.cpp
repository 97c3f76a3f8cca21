// The main window's reference-tool menu items.
#include "ui/calendar/Untwnl.h"
#include "ui/main/Untmain.h"
#include "ui/reference/Untchang.h"
#include "ui/reference/Untduanyu.h"
#include "ui/reference/Untheluo.h"
#include "ui/reference/Untliuren.h"
#include "ui/reference/Untzazhan.h"

namespace qingheng {
namespace {

// Creates a modeless single window when none is open, else brings the open one forward.
// Closing the window destroys it, which clears the reference.
template <class Window>
void showSingleWindow(QPointer<Window>& window, QWidget* owner) {
    if (!window) {
        window = new Window(owner);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

void TFrmMain::openCalendar() { showSingleWindow(wnl_, this); }

void TFrmMain::openPhraseBook() { showSingleWindow(duanyu_, this); }

void TFrmMain::openHeLuo() {
    TFrmHeLuo dialog(this);
    dialog.exec();
}

void TFrmMain::openHourLesson() {
    TFrmLiuRen dialog(TFrmLiuRen::kLessonMode, this);
    dialog.exec();
}

void TFrmMain::openLots() {
    TFrmLiuRen dialog(TFrmLiuRen::kLotMode, this);
    dialog.exec();
}

void TFrmMain::openZaZhan() {
    TFrmZaZhan dialog(this);
    dialog.exec();
}

void TFrmMain::openStrokeEditor() {
    TFrmChange dialog(this);
    dialog.exec();
}

}  // namespace qingheng
