#include "logservice/Pages.h"

#include "logservice/Html.h"
#include "logservice/RecordingTime.h"
#include "logservice/Secrets.h"

#include <QFile>
#include <QHash>

namespace {

QString resourceText(const QString& name)
{
    QFile file(QStringLiteral(":/pages/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the page resource %s is missing from the binary", qPrintable(name));
    return QString::fromUtf8(file.readAll());
}

const QString& styleSheet()
{
    static const QString style = resourceText(QStringLiteral("site.css"));
    return style;
}

const QString& formScript()
{
    static const QString script = resourceText(QStringLiteral("form.js"));
    return script;
}

QByteArray page(const QString& name, QHash<QString, QString> values)
{
    values.insert(QStringLiteral("style"), styleSheet());
    return fillTemplate(resourceText(name), values).toUtf8();
}

QString sourceHash(const QString& source)
{
    return QStringLiteral("'sha256-%1'").arg(QString::fromLatin1(sha256(source.toUtf8()).toBase64()));
}

QString noteItem(const Note& note)
{
    const QDateTime written = note.writtenAt.toLocalTime();
    QString recorded = QStringLiteral("<span class=\"recorded none\">no clip</span>");
    if (note.recordedAt) {
        const QDateTime moment = note.recordedAt->toLocalTime();
        recorded = QStringLiteral("<time class=\"recorded\" datetime=\"%1\" title=\"recorded %2\">%3</time>")
                       .arg(isoLocalTime(moment), moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                           moment.toString(QStringLiteral("HH:mm:ss")));
    }
    return QStringLiteral(
        "<li>%1<p class=\"text\">%2</p><time class=\"written\" datetime=\"%3\" title=\"written %4\">"
        "written %5</time></li>")
        .arg(recorded, htmlEscaped(note.text), isoLocalTime(written),
            written.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            written.toString(QStringLiteral("HH:mm")));
}

}

QByteArray signInPage(const QString& message, const QString& identity)
{
    const QString messageHtml = message.isEmpty()
        ? QString()
        : QStringLiteral("<p class=\"message\" role=\"alert\">%1</p>").arg(htmlEscaped(message));
    return page(QStringLiteral("login.html"),
        { { QStringLiteral("message"), messageHtml },
            { QStringLiteral("identity"), htmlEscaped(identity) } });
}

QByteArray signOutPage()
{
    return page(QStringLiteral("signout.html"), {});
}

QByteArray notesSection(const QList<Note>& notes, bool hasOlderNotes)
{
    QString items;
    for (const Note& note : notes)
        items += noteItem(note);
    const QString older = hasOlderNotes
        ? QStringLiteral(
            "<p class=\"older\">Older notes are in the <a href=\"/index.php/logger/notes.csv\">CSV "
            "download</a>.</p>")
        : QString();
    // An empty list stays truly empty (no white space), so the style sheet can say "No notes yet".
    return QStringLiteral("<div id=\"notes\"><ol class=\"notes\">%1</ol>%2</div>").arg(items, older).toUtf8();
}

QByteArray logFormPage(const QString& userName, const QList<Note>& notes, bool hasOlderNotes)
{
    return page(QStringLiteral("form.html"),
        { { QStringLiteral("user"), htmlEscaped(userName) },
            { QStringLiteral("notes"), QString::fromUtf8(notesSection(notes, hasOlderNotes)) },
            { QStringLiteral("script"), formScript() } });
}

QByteArray makerSitePage(const QString& fileName)
{
    return page(fileName, {});
}

QByteArray pageSecurityPolicy()
{
    static const QByteArray policy
        = QStringLiteral("default-src 'none'; style-src %1; script-src %2; "
                         "connect-src 'self'; form-action 'self'; base-uri 'none'; "
                         "frame-ancestors 'none'")
              .arg(sourceHash(styleSheet()), sourceHash(formScript()))
              .toUtf8();
    return policy;
}
