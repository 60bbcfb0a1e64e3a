#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

using FormFields = QList<QPair<QString, QString>>;

// Reads an application/x-www-form-urlencoded body strictly: a '%' without two hexadecimal digits after it,
// or bytes that do not decode as UTF-8, make the body malformed (nothing) rather than silently mangled.
std::optional<FormFields> parseFormBody(const QByteArray& body);

// The first value of the field, or nothing when the form lacks it.
std::optional<QString> formField(const FormFields& fields, const QString& name);

// Whether a Content-Type header names a urlencoded form (parameters such as a charset allowed).
bool isFormContentType(const QByteArray& contentType);
