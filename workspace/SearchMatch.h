#pragma once

#include <QString>
#include <optional>
#include <string>

namespace tessora {

// Text folded for matching: case- and diacritic-insensitive ("Café" and "cafe" fold alike),
// held as code points so that offsets and lengths count characters, not UTF-16 units.
using FoldedText = std::u32string;

FoldedText foldForMatching(const QString& text);

// The match score of a candidate text against a query, both already folded. Lower is better;
// none means no match. The contract, in order of preference:
//   empty query                          0
//   candidate equals query               0
//   candidate begins with query          10 + (length of candidate − length of query)
//   candidate contains query             100 + offset of the first occurrence
//   query's non-blank characters appear
//   in order (a subsequence)             200 + characters skipped between them + candidate length
// Blank characters of the query count only for the first four rules.
std::optional<int> matchScore(const FoldedText& candidate, const FoldedText& query);

}  // namespace tessora
