#pragma once

#include <QLoggingCategory>
#include <QString>
#include <exception>

namespace tessora {

// Messages of the coroutine, clock and background-work machinery.
Q_DECLARE_LOGGING_CATEGORY(lcAsync)

// "what()" of a std::exception, or a placeholder for anything else that was thrown.
QString describeException(const std::exception_ptr& error);

}  // namespace tessora
