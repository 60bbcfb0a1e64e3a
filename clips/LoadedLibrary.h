#pragma once

#include <QLibrary>
#include <QStringList>

#include <type_traits>

// A C library loaded when it is first needed rather than with the program, and the functions found in it.
// It stays loaded until the end: threads it started and callbacks into it may outlive any one user.
class LoadedLibrary
{
public:
    // Loads the library `name` ("mpv" for libmpv.so) of major version `version`.
    LoadedLibrary(const QString& name, int version)
        : library(name, version)
    {
        if (!library.load())
            loadError = library.errorString();
    }

    // Points `function` at `symbol` in the library; a symbol that is not there is noted.
    template <typename Function> void find(Function*& function, const char* symbol)
    {
        static_assert(std::is_function_v<Function>);
        function = library.isLoaded() ? reinterpret_cast<Function*>(library.resolve(symbol)) : nullptr;
        if (!function && library.isLoaded())
            missing.append(QString::fromLatin1(symbol));
    }

    // Why the library cannot be used: it did not load, or it lacks a function; empty when all is there.
    QString error() const
    {
        if (!loadError.isEmpty())
            return loadError;
        if (!missing.isEmpty())
            return QStringLiteral("%1 has no %2").arg(library.fileName(), missing.join(QStringLiteral(", ")));
        return {};
    }

private:
    QLibrary library;
    QString loadError;
    QStringList missing;
};
