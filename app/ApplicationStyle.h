#pragma once

#include <QProxyStyle>

// The desktop's style, with the chevrons of the menu bar's and tool bars' overflow buttons drawn rather
// than read from Qt's images. The menu bar asks for its chevron as it is made, before the window can show,
// and the first image that Qt reads has it load every image format plugin it has: a third of the main
// window's making.
class ApplicationStyle : public QProxyStyle
{
    Q_OBJECT

public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
        const QWidget* widget = nullptr) const override;
};
