#include "widgets/field_events.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "widgets/error_report.h"

namespace {

class LeaveFilter final : public QObject {
public:
    LeaveFilter(QLineEdit* field, std::function<void()> handler) : QObject(field), handler_(std::move(handler)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            // Another window (a message box among them) taking the focus is
            // no leaving of the field.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) Fire();
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                Fire();
                return true;  // Enter acts on the field, not on the window's default button
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Fire() {
        if (busy_) return;  // a message shown by the handler must not start it again
        busy_ = true;
        Guarded(handler_);
        busy_ = false;
    }

    std::function<void()> handler_;
    bool busy_ = false;
};

}  // namespace

void OnLeave(QLineEdit* field, std::function<void()> handler) {
    field->installEventFilter(new LeaveFilter(field, std::move(handler)));
}
