// The core keeps every text as 8-bit Latin-1 bytes; widgets hold QStrings.
// Characters outside Latin-1 that a user types become "?".
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace tp {

inline QString FromCore(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToCore(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace tp
