#pragma once

#include <QString>
#include <QUrl>

// Pages of the maker's web site, over plain http.
namespace MakerPages {

inline const QString help = QStringLiteral("/tapescribe.html");
inline const QString glossary = QStringLiteral("/glossary.html");
inline const QString about = QStringLiteral("/about.html");

QUrl url(const QString& path);

}
