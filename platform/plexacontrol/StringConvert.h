#pragma once

#include <QString>

#include <string>

class QTextCodec;

namespace PlexaControl {

// Conversions between the services' byte strings and Qt's texts; UTF-8 unless `codec` names
// another encoding.
QString StringToQString(const std::string &text, QTextCodec *codec = nullptr);
std::string QStringToString(const QString &text, QTextCodec *codec = nullptr);

} // namespace PlexaControl
