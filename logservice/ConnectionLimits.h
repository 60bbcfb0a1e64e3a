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
    qsizetype maximumHeaderSize = 16 * 1024;
    qsizetype maximumBodySize = 64 * 1024;
};
