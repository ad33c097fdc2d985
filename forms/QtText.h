// Text crossing between the core's 8-bit strings and Qt's strings. Paths and
// names are bytes in the system's 8-bit encoding; the core never sees Qt.
#pragma once

#include <QByteArray>
#include <QString>

#include <string>

namespace velmora {

inline QString FromLocal(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToLocal(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

inline QByteArray ToBytes(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string FromBytes(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace velmora
