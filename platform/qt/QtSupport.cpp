#include "platform/qt/QtSupport.h"

#include "platform/RuntimeError.h"

namespace korvane {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace korvane
