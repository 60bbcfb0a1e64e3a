#include "logservice/RequestSite.h"

#include <gtest/gtest.h>

namespace {

TEST(RequestSite, SecFetchSiteDecidesWhereSentElseTheOriginAgainstTheHost)
{
    const HttpHeaders ownHost { { "Host", "logs.tapescribe.test" } };
    struct Case
    {
        HttpHeaders headers;
        RequestSite site;
    };
    const Case cases[] {
        { {}, RequestSite::Unsaid },
        { ownHost, RequestSite::Unsaid },
        { { { "Sec-Fetch-Site", "none" } }, RequestSite::Own },
        { { { "sec-fetch-site", "same-origin" } }, RequestSite::Own },
        { { { "Sec-Fetch-Site", "same-site" } }, RequestSite::Foreign },
        { { { "Sec-Fetch-Site", "cross-site" } }, RequestSite::Foreign },
        { { { "Sec-Fetch-Site", "Same-Origin" } }, RequestSite::Foreign },
        { { { "Sec-Fetch-Site", "" } }, RequestSite::Foreign },
        { { { "Sec-Fetch-Site", "none" }, { "Sec-Fetch-Site", "none" } }, RequestSite::Foreign },
        { { { "Host", "logs.tapescribe.test" }, { "Origin", "https://logs.tapescribe.test" } },
            RequestSite::Own },
        { { { "Host", "Logs.Tapescribe.Test:443" }, { "Origin", "https://logs.tapescribe.test" } },
            RequestSite::Own },
        { { { "Host", "127.0.0.1:8443" }, { "Origin", "https://127.0.0.1:8443" } }, RequestSite::Own },
        { { { "Host", "[::1]:8443" }, { "Origin", "https://[::1]:8443" } }, RequestSite::Own },
        { { { "Host", "127.0.0.1:8443" }, { "Origin", "https://127.0.0.1:8444" } }, RequestSite::Foreign },
        { { { "Host", "127.0.0.1:8443" }, { "Origin", "https://127.0.0.1" } }, RequestSite::Foreign },
        { { { "Host", "logs.tapescribe.test" }, { "Origin", "https://evil.example" } },
            RequestSite::Foreign },
        { { { "Host", "logs.tapescribe.test" }, { "Origin", "http://logs.tapescribe.test" } },
            RequestSite::Foreign },
        { { { "Host", "logs.tapescribe.test" }, { "Origin", "https://www.tapescribe.test" } },
            RequestSite::Foreign },
        { { { "Host", "logs.tapescribe.test" }, { "Origin", "null" } }, RequestSite::Foreign },
        { { { "Host", "logs.tapescribe.test" }, { "Origin", "https://logs.tapescribe.test/" } },
            RequestSite::Foreign },
        { { { "Host", "logs.tapescribe.test" }, { "Origin", "https://x@logs.tapescribe.test" } },
            RequestSite::Foreign },
        { { { "Origin", "https://logs.tapescribe.test" } }, RequestSite::Foreign },
        { { { "Host", "a" }, { "Host", "a" }, { "Origin", "https://a" } }, RequestSite::Foreign },
        { { { "Host", "a" }, { "Origin", "https://a" }, { "Origin", "https://a" } }, RequestSite::Foreign },
        // The service's own pages send no referrer, and with it an Origin of "null" on a form they post.
        { { { "Host", "logs.tapescribe.test" }, { "Sec-Fetch-Site", "same-origin" }, { "Origin", "null" } },
            RequestSite::Own },
        { { { "Host", "logs.tapescribe.test" }, { "Sec-Fetch-Site", "cross-site" },
              { "Origin", "https://logs.tapescribe.test" } },
            RequestSite::Foreign },
    };
    for (const auto& [headers, site] : cases) {
        const HttpRequest request { "POST", "/index.php/logger/notes", headers, {}, {} };
        QByteArrayList shown;
        for (const auto& [name, value] : headers)
            shown.append(name + ": " + value);
        EXPECT_EQ(requestSite(request), site) << shown.join(" | ").constData();
    }
}

}
