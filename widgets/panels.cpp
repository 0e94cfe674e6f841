#include "widgets/panels.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QLabel::mouseReleaseEvent(event);
}

GradientPanel::GradientPanel(QColor right, QColor left, QWidget* parent)
    : QWidget(parent), right_(right), left_(left) {
    setFocusPolicy(Qt::ClickFocus);
    setAutoFillBackground(false);
}

void GradientPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(rect().topRight(), rect().topLeft());
    gradient.setColorAt(0.0, right_);
    gradient.setColorAt(1.0, left_);
    painter.fillRect(rect(), gradient);
}
