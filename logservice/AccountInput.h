#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Why an account name cannot be used, or nothing when it can. The application trims what the logger types
// before it fills the sign-in page, so a name with blanks at either end could never sign in.
std::optional<QString> accountNameProblem(const QString& name);

// The password given on standard input: the whole input with one trailing line end removed.
QByteArray passwordFromInput(const QByteArray& input);

// Why a password cannot be used, or nothing when it can. The sign-in form sends UTF-8, so a password that
// is not valid UTF-8 could never be typed there.
std::optional<QString> passwordProblem(const QByteArray& password);
