// Small widgets of the main window: a label that answers a click, and the
// background panel with its horizontal colour gradient.
#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Fills itself with a gradient from `right` at its right edge to `left` at
// its left edge, and can hold the focus when no field should.
class GradientPanel : public QWidget {
    Q_OBJECT
public:
    GradientPanel(QColor right, QColor left, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor right_;
    QColor left_;
};
