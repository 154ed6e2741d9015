#pragma once
// The result page cache: one plain file per engine, query key and page index under the cache
// root, valid on the local calendar day of its last write. Stale and future-dated files are
// deleted when asked for. Every failure is silent: a read gives the empty text, a write
// stores nothing, and the page is fetched again.

#include <filesystem>
#include <string>
#include <string_view>

namespace quorvia {

// The "Cache" folder; set once at start-up. While it is empty the cache stores nothing.
void SetCacheRoot(std::filesystem::path root);
const std::filesystem::path& CacheRoot();
// Creates the cache root if it is missing; silent on failure.
void CreateCacheFolder();

// File-name form of a text: "+" -> "-", "/" -> "_", "\" -> "=", a-z as they are, A-Z as "^"
// and the letter, any other byte as its decimal value and a blank; one final blank dropped.
std::string EncodeCacheName(std::string_view text);

// Today's copy of the page, or the empty text. An out-of-date copy is deleted.
std::string ReadCachedPage(std::string_view engineName, std::string_view queryKey, int pageIndex);
// Keeps a page that is not a result list (a captcha, a refusal, a page no definition reads)
// for engine-check, beside the cached pages as "<query key>.<page index>.html", which the
// cache never reads. Gives the file's path, or the empty text when it could not be written.
std::string KeepOddPage(std::string_view engineName, std::string_view queryKey,
                        std::string_view pageText, int pageIndex);
// Stores the page bytes as today's copy; nothing for an empty engine name.
void WriteCachedPage(std::string_view engineName, std::string_view queryKey,
                     std::string_view pageText, int pageIndex);

} // namespace quorvia
