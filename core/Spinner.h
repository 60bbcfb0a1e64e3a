#pragma once

#include <QBasicTimer>
#include <QWidget>

// A small busy indicator: a turning arc while animating, nothing at rest.
class Spinner : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool animating READ isAnimating)

public:
    explicit Spinner(QWidget* parent = nullptr);

    bool isAnimating() const { return timer.isActive(); }
    QSize sizeHint() const override { return { 20, 20 }; }

public slots:
    void startAnimation();
    void stopAnimation();

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QBasicTimer timer;
    int angle = 0;
};
