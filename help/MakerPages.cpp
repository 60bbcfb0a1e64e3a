#include "help/MakerPages.h"

#include "core/BuildConfig.h"

namespace MakerPages {

QUrl url(const QString& path)
{
    return QUrl(QStringLiteral("http://") + QLatin1String(BuildConfig::makerHost) + path);
}

}
