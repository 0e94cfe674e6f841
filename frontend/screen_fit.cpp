#include "frontend/screen_fit.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QEvent>
#include <QWidget>
#include <algorithm>

void FitInto(QWidget& window, const QRect& room) {
    if (room.isEmpty()) return;
    // Before the first showing there is no frame yet: allow for a title bar.
    QSize frame = window.frameGeometry().size() - window.geometry().size();
    if (!window.testAttribute(Qt::WA_WState_Created) || frame.isEmpty()) frame = frame.expandedTo(QSize(8, 32));
    const QSize most = room.size() - frame;
    const QSize size = window.size().boundedTo(most).expandedTo(window.minimumSize());
    if (size != window.size()) window.resize(size);
    const int x =
        std::clamp(window.x(), room.left(), std::max(room.left(), room.right() + 1 - size.width() - frame.width()));
    const int y =
        std::clamp(window.y(), room.top(), std::max(room.top(), room.bottom() + 1 - size.height() - frame.height()));
    if (x != window.x() || y != window.y()) window.move(x, y);
}

void FitToScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen) FitInto(window, screen->availableGeometry());
}

namespace {

class ScreenFitter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            const Qt::WindowType type = widget->windowType();
            if (widget->isWindow() && type != Qt::Popup && type != Qt::ToolTip &&
                !(widget->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
                FitToScreen(*widget);
        }
        return false;
    }
};

}  // namespace

void KeepWindowsOnScreen() {
    static QPointer<ScreenFitter> fitter;  // gone with the application
    if (fitter || !QCoreApplication::instance()) return;
    fitter = new ScreenFitter;
    fitter->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(fitter);
}
