#include "app/ApplicationStyle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QToolButton>
#include <QTransform>

namespace {

QImage drawn(const QIcon& icon)
{
    return icon.pixmap(QSize(16, 16), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The menu bar of tapeScribe's style shows the drawn chevron when its items overflow (drawn in the
// buttons' text colour, as the player's icons are); the chevron points the way the hidden items lie: after
// the last item in either writing direction, and down in a vertical tool bar.
TEST(ApplicationStyle, OverflowChevronsAreDrawnAndPointWhereTheHiddenItemsLie)
{
    ASSERT_TRUE(qobject_cast<ApplicationStyle*>(QApplication::style()))
        << "the application's style is not set";
    const QStyle* style = QApplication::style();
    const QImage right = drawn(style->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton));

    QMenuBar menuBar;
    const auto* overflow = menuBar.findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
    ASSERT_TRUE(overflow);
    EXPECT_EQ(drawn(overflow->icon()), right);

    // Drawn, and pointing one way: neither a blank nor a symmetric image.
    EXPECT_NE(right, right.mirrored(true, false));

    QWidget rightToLeft;
    rightToLeft.setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(drawn(style->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, nullptr, &rightToLeft)),
        right.mirrored(true, false));
    EXPECT_EQ(drawn(style->standardIcon(QStyle::SP_ToolBarVerticalExtensionButton)),
        right.transformed(QTransform().rotate(90)));
    // Every other icon is the desktop style's own.
    EXPECT_FALSE(style->standardIcon(QStyle::SP_MessageBoxWarning).isNull());
}

}
