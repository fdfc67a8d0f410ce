#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace tessora {

// The forms of a locale name that a translation may be filed under, most specific first, with
// the encoding left out (translations name none): "sr_RS.UTF-8@latin" gives sr_RS@latin,
// sr_RS, sr@latin, sr. Empty for the C and POSIX locales, which have no translations.
QList<QByteArray> localeVariants(QByteArrayView locale);

// The languages the user reads messages in, most preferred first, each followed by its more
// general forms: from LANGUAGE (a colon-separated list), else from the first of LC_ALL,
// LC_MESSAGES and LANG that is set. Read from the environment at each call, which is cheap:
// the list is kept for as long as the variables hold the same values.
QList<QByteArray> messageLanguages();

}  // namespace tessora
