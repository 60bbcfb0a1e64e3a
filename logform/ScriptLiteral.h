#pragma once

#include <QString>

// A JavaScript string literal holding exactly `text`, for values put into a script for the log form's
// page: whatever the value holds arrives as literal text, never as source.
QString scriptLiteral(const QString& text);
