#include "logform/FormDownload.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// What a service may suggest, and where the save panel opens with it.
TEST(FormDownload, TheSuggestionIsAPlainNameInTheDownloadsFolder)
{
    for (const auto& [suggested, proposed] : {
             std::pair { u"tapescribe-notes.csv"_s, u"/home/a/Downloads/tapescribe-notes.csv"_s },
             std::pair { u"notes 2016-03-01 “A”.csv"_s, u"/home/a/Downloads/notes 2016-03-01 “A”.csv"_s },
             std::pair { u"../../.bashrc"_s, u"/home/a/Downloads/.bashrc"_s },
             std::pair { u"/etc/passwd"_s, u"/home/a/Downloads/passwd"_s },
             std::pair { u"..\\..\\notes.csv"_s, u"/home/a/Downloads/notes.csv"_s },
             std::pair { u"folder/"_s, u"/home/a/Downloads/download"_s },
             std::pair { u".."_s, u"/home/a/Downloads/download"_s },
             std::pair { QString(), u"/home/a/Downloads/download"_s },
         })
        EXPECT_EQ(FormDownload::proposedPath(u"/home/a/Downloads"_s, suggested), proposed)
            << suggested.toStdString();
}

}
