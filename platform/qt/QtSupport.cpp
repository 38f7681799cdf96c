#include "platform/qt/QtSupport.h"

namespace korvane {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace korvane
