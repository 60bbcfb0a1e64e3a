#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The service's line for a request: "request METHOD PATH time_offset=VALUE", VALUE being the request's
// time_offset cookie or "-" without one. Nothing else of the request (no other cookie, no body) is written,
// so passwords and session tokens never reach the output; bytes that could break the line or the terminal
// are written as %XX.
QString requestLogLine(
    const QByteArray& method, const QByteArray& path, const std::optional<QByteArray>& timeOffset);
