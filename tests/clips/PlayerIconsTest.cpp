#include "clips/PlayerIcons.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPalette>

namespace {

QImage drawn(const QIcon& icon, int side, qreal scale, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(side, side), scale, mode).toImage();
}

// The colour the icon is drawn in: that of its most opaque pixel.
QColor inkOf(const QImage& image)
{
    QColor ink(Qt::transparent);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QColor pixel = image.pixelColor(x, y); pixel.alpha() > ink.alpha())
                ink = pixel;
    return ink;
}

// Each icon is a shape of its own, drawn in the buttons' text colour at the size and scale asked for, and
// in the disabled text colour while the buttons wait for a clip.
TEST(PlayerIcons, AreDistinctShapesInTheButtonsTextColourAtEverySizeAndScale)
{
    const QIcon icons[] { PlayerIcons::play(), PlayerIcons::pause(), PlayerIcons::volume(),
        PlayerIcons::muted() };
    const QPalette palette = QGuiApplication::palette();
    for (const auto& [side, scale] : { std::pair { 16, 1.0 }, { 24, 2.0 }, { 13, 1.5 } }) {
        std::vector<QImage> images;
        for (const QIcon& icon : icons) {
            const QImage image = drawn(icon, side, scale);
            EXPECT_EQ(image.size(), QSize(side, side) * scale) << side << " @" << scale;
            const QColor ink = inkOf(image);
            EXPECT_EQ(ink.alpha(), 255) << "nothing opaque drawn at " << side << " @" << scale;
            EXPECT_EQ(ink.rgb(), palette.color(QPalette::Active, QPalette::ButtonText).rgb());
            EXPECT_EQ(inkOf(drawn(icon, side, scale, QIcon::Disabled)).rgb(),
                palette.color(QPalette::Disabled, QPalette::ButtonText).rgb());
            images.push_back(image);
        }
        for (size_t a = 0; a < images.size(); ++a)
            for (size_t b = a + 1; b < images.size(); ++b)
                EXPECT_NE(images[a], images[b]) << "icons " << a << " and " << b << " look alike";
    }
}

}
