#include "workspace/SearchMatch.h"

#include <QChar>
#include <QList>

namespace tessora {

namespace {

bool isBlank(char32_t c) {
    return QChar::isSpace(c);
}

}  // namespace

FoldedText foldForMatching(const QString& text) {
    // Fold case, decompose, and drop the combining marks (the diacritics). Folding before
    // decomposing also catches marks that folding itself introduces ("İ" → "i" + dot).
    const QString decomposed = text.toCaseFolded().normalized(QString::NormalizationForm_D);
    QString stripped;
    stripped.reserve(decomposed.size());
    for (QChar c : decomposed) {
        const QChar::Category category = c.category();
        if (category != QChar::Mark_NonSpacing && category != QChar::Mark_Enclosing) {
            stripped.append(c);
        }
    }
    const QList<uint> codePoints = stripped.normalized(QString::NormalizationForm_C).toUcs4();
    return FoldedText(codePoints.begin(), codePoints.end());
}

std::optional<int> matchScore(const FoldedText& candidate, const FoldedText& query) {
    if (query.empty() || candidate == query) {
        return 0;
    }
    const int candidateLength = static_cast<int>(candidate.size());
    if (candidate.starts_with(query)) {
        return 10 + candidateLength - static_cast<int>(query.size());
    }
    if (const size_t at = candidate.find(query); at != FoldedText::npos) {
        return 100 + static_cast<int>(at);
    }
    int skipped = 0;
    size_t position = 0;
    for (const char32_t c : query) {
        if (isBlank(c)) {
            continue;
        }
        const size_t found = candidate.find(c, position);
        if (found == FoldedText::npos) {
            return std::nullopt;
        }
        skipped += static_cast<int>(found - position);
        position = found + 1;
    }
    return 200 + skipped + candidateLength;
}

}  // namespace tessora
