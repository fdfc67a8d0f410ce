// Arbitrary bytes as the content of a settings file: loading must never crash, every typed
// reading must hold up, and whatever loads must come back unchanged after a save.
#include "platform/DefaultsFormat.h"
#include "platform/DefaultsStore.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>

using namespace tessora;

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const DefaultsParse parsed = parseDefaults(bytes);
    if (parsed.outcome != DefaultsParse::Outcome::Values) {
        require(parsed.outcome == DefaultsParse::Outcome::Empty ? size == 0
                                                                : !parsed.problem.isEmpty());
        return 0;
    }

    const auto store = DefaultsStore::inMemory(parsed.values);
    for (const QString& key : store->keys()) {
        require(store->contains(key) && store->value(key).has_value());
        // A value reads as one type at most.
        const bool readings[] = {
            store->boolValue(key).has_value(), store->integerValue(key).has_value(),
            store->textValue(key).has_value(), store->textListValue(key).has_value()};
        require(std::count(std::begin(readings), std::end(readings), true) <= 1);
        if (const auto text = store->textValue(key)) {
            require(text->isValidUtf16());
        }
        if (const auto texts = store->textListValue(key)) {
            for (const QString& text : *texts) {
                require(text.isValidUtf16());
            }
        }
        // Writing back what was read is no change.
        store->setValue(key, *store->value(key));
        require(store->value(key) == parsed.values.value(key));
    }

    const DefaultsParse saved = parseDefaults(serializeDefaults(parsed.values));
    require(saved.outcome == DefaultsParse::Outcome::Values && saved.values == parsed.values);
    return 0;
}
