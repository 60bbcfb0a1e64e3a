#pragma once

#include <QWidget>

// The video player pane.
class PlayerView : public QWidget {
    Q_OBJECT

public:
    explicit PlayerView(QWidget* parent = nullptr)
        : QWidget(parent)
    {
    }
};
