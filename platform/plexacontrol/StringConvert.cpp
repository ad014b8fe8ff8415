#include "StringConvert.h"

#include <QTextCodec>

namespace PlexaControl {

QString StringToQString(const std::string &text, QTextCodec *codec)
{
    if (codec)
        return codec->toUnicode(text.data(), static_cast<int>(text.size()));
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

std::string QStringToString(const QString &text, QTextCodec *codec)
{
    const QByteArray bytes = codec ? codec->fromUnicode(text) : text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace PlexaControl
