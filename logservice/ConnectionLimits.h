#pragma once

#include <QtGlobal>

#include <chrono>

// What one listener allows its clients. The defaults are the service's; tests shorten the times.
struct ConnectionLimits
{
    // From the connection's start until the TLS handshake is done.
    std::chrono::milliseconds handshakeDeadline { 10000 };
    // A connection whose client sends nothing for this long is closed, unless it waits for an answer.
    std::chrono::milliseconds idleTimeout { 30000 };
    // Open at once; past that the connection idle for longest makes room for the new one.
    qsizetype maximumConnections = 256;
    // Kept for connections whose latest request is not a sign-in: once sign-ins hold all the others, a new
    // connection makes room by dropping one of them, so a flood of sign-ins never locks the pages out.
    qsizetype reservedForPages = 64;
    qsizetype maximumHeaderSize = 16 * 1024;
    qsizetype maximumBodySize = 64 * 1024;
};
