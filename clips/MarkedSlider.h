#pragma once

#include <QList>
#include <QSlider>

// The player's position bar with the logger's notes on it: a short tick above and below the groove at each
// marked position, in the slider's own units, so that a note can be found by eye while the clip plays.
class MarkedSlider : public QSlider
{
    Q_OBJECT

public:
    explicit MarkedSlider(QWidget* parent = nullptr);

    // Replaces the marks; positions outside the slider's range are kept and drawn once the range holds them.
    void setMarks(const QList<int>& positions);
    const QList<int>& marks() const { return markPositions; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<int> markPositions;
};
