#include "platform/MessageLanguages.h"

#include <QtGlobal>

namespace tessora {

namespace {

QByteArray firstSetVariable() {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        QByteArray value = qgetenv(name);
        if (!value.isEmpty()) {
            return value;
        }
    }
    return {};
}

}  // namespace

QList<QByteArray> localeVariants(QByteArrayView locale) {
    // language[_TERRITORY][.CODESET][@MODIFIER]
    const qsizetype at = locale.indexOf('@');
    const QByteArrayView modifier = at < 0 ? QByteArrayView() : locale.sliced(at);
    QByteArrayView rest = at < 0 ? locale : locale.first(at);
    if (const qsizetype dot = rest.indexOf('.'); dot >= 0) {
        rest = rest.first(dot);
    }
    const qsizetype underscore = rest.indexOf('_');
    const QByteArrayView language = underscore < 0 ? rest : rest.first(underscore);
    if (language.isEmpty() || language == "C" || language == "POSIX") {
        return {};
    }

    QList<QByteArray> variants;
    const auto add = [&](QByteArrayView name, QByteArrayView suffix) {
        variants.append(name.toByteArray() + suffix.toByteArray());
    };
    if (underscore >= 0) {
        if (!modifier.isEmpty()) {
            add(rest, modifier);
        }
        add(rest, {});
    }
    if (!modifier.isEmpty()) {
        add(language, modifier);
    }
    add(language, {});
    return variants;
}

QList<QByteArray> messageLanguages() {
    // Each thread keeps its own copy, so that readers on a thread pool never wait for another.
    thread_local QByteArray knownValue;
    thread_local QList<QByteArray> known;
    thread_local bool computed = false;

    const QByteArray value = firstSetVariable();
    if (computed && value == knownValue) {
        return known;
    }
    QList<QByteArray> languages;
    for (const QByteArray& locale : value.split(':')) {
        for (QByteArray& variant : localeVariants(locale)) {
            if (!languages.contains(variant)) {
                languages.append(std::move(variant));
            }
        }
    }
    knownValue = value;
    known = languages;
    computed = true;
    return languages;
}

}  // namespace tessora
