#include "core/AsyncLogging.h"

#include <stdexcept>

namespace tessora {

Q_LOGGING_CATEGORY(lcAsync, "tessora.async")

QString describeException(const std::exception_ptr& error) {
    if (!error) {
        return QStringLiteral("no exception");
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("an exception not derived from std::exception");
    }
}

}  // namespace tessora
