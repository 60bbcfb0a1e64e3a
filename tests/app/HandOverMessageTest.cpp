#include "app/HandOverMessage.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(HandOverMessage, CarriesAnyPathsAndReadsOnlyArraysOfStrings)
{
    const QStringList paths { QStringLiteral("/clips/A001 \"take\"\n2.MOV"), QStringLiteral("/ä/🔑\\x"),
        QStringLiteral("/") };
    const QByteArray line = HandOverMessage::encoded(paths);
    EXPECT_TRUE(line.endsWith('\n'));
    EXPECT_EQ(line.count('\n'), 1) << "one line, whatever the paths hold";
    EXPECT_EQ(HandOverMessage::paths(line), paths);
    EXPECT_EQ(HandOverMessage::paths(HandOverMessage::encoded({})), QStringList());

    const std::tuple<QByteArray, std::optional<QStringList>> received[] {
        { R"(["/a", 3, null, "", ["/b"], "/c"])", QStringList { "/a", "/c" } },
        { R"({"paths": ["/a"]})", std::nullopt },
        { R"(["/a")", std::nullopt },
        { "", std::nullopt },
        { "\xff\xfe", std::nullopt },
    };
    for (const auto& [bytes, expected] : received)
        EXPECT_EQ(HandOverMessage::paths(bytes), expected) << bytes.constData();
}

}
