#pragma once

#include <QLoggingCategory>

// The log of the X11 backend: connection, protocol errors, unreadable properties, launches.
Q_DECLARE_LOGGING_CATEGORY(lcX11)
