#pragma once

#include "logservice/HttpMessage.h"

// Where a request was started, as far as the browser says (its Sec-Fetch-Site and Origin headers).
enum class RequestSite {
    // The service's own pages, or the browser itself: an address typed, a bookmark, the program loading a
    // page into its web view.
    Own,
    // A page of another origin, one of the same site included: a sibling host can be anyone's. So is a
    // request whose headers cannot be read.
    Foreign,
    // Neither header: a client other than a browser, or a browser too old to say.
    Unsaid,
};

// The site of `request`: Sec-Fetch-Site where the browser sends it, else its Origin, compared with the
// service's own: https:// and the host the request was sent to (its Host header), so that the service is
// its own origin under whatever name and port it is reached.
RequestSite requestSite(const HttpRequest& request);
