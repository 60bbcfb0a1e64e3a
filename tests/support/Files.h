#pragma once

#include <QByteArray>
#include <QString>

namespace Files {

// What the file holds; empty when it cannot be read (the assertions on its contents then say so).
QByteArray contents(const QString& path);
QString text(const QString& path);

}
