#include "core/AsciiText.h"

QString asciiText(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = static_cast<unsigned char>(byte) < 0x80 ? QChar(byte) : QChar(QChar::ReplacementCharacter);
    return text;
}
