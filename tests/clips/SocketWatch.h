#pragma once

// How many sockets the test program has asked for: its own socket() stands in for the C library's in every
// library it loads (FFmpeg's network protocols included), counts the call and passes it on.
namespace SocketWatch {
int opened();
}
