#pragma once

#include <QHash>
#include <QString>

// Text made safe to stand in HTML content and in quoted attribute values.
QString htmlEscaped(const QString& text);

// Replaces each {{name}} in the template by its value, in one pass: a value is never searched for
// placeholders itself, so text that a logger typed cannot pull other values in. Values are HTML already
// (escape text with htmlEscaped first); a name without a value becomes empty.
QString fillTemplate(const QString& pageTemplate, const QHash<QString, QString>& values);
