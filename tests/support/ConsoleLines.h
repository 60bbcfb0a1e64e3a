#pragma once

#include <QStringList>

#include <functional>

// The console lines that `call` writes to standard output, empty ones included.
QStringList consoleLinesOf(const std::function<void()>& call);
