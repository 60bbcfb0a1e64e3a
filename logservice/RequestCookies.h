#pragma once

#include <QByteArray>
#include <QByteArrayList>

#include <optional>

// The value of the named cookie in a request's Cookie headers ("a=1; b=2"), the first one when the name
// comes twice; nothing when the request does not carry it.
std::optional<QByteArray> cookieValue(const QByteArrayList& cookieHeaders, const QByteArray& name);
