// Files and dates go through std::filesystem and the program clock, so tests can move
// "today" and the files' times freely.

#include "engine/PageCache.h"

#include <chrono>
#include <ctime>
#include <fstream>
#include <system_error>

#include "platform/Clock.h"
#include "platform/Date.h"

namespace quorvia {

namespace fs = std::filesystem;

namespace {

fs::path& Root() {
    static fs::path root;
    return root;
}

fs::path PageFile(std::string_view engineName, std::string_view queryKey, int pageIndex) {
    return Root() / EncodeCacheName(engineName) /
           (EncodeCacheName(queryKey) + "." + std::to_string(pageIndex));
}

// The local calendar day of the file's last write; the zero date when it cannot be read.
Date LastWriteDay(const fs::path& file) {
    std::error_code error;
    const fs::file_time_type written = fs::last_write_time(file, error);
    if (error)
        return Date();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(
            std::chrono::file_clock::to_sys(written)));
    std::tm local{};
    if (!localtime_r(&seconds, &local))
        return Date();
    return Date(local.tm_year + 1900, unsigned(local.tm_mon + 1), unsigned(local.tm_mday));
}

} // namespace

void SetCacheRoot(fs::path root) {
    Root() = std::move(root);
}

const fs::path& CacheRoot() {
    return Root();
}

void CreateCacheFolder() {
    std::error_code ignored;
    if (!Root().empty())
        fs::create_directory(Root(), ignored);
}

std::string EncodeCacheName(std::string_view text) {
    std::string name;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '+') {
            name += '-';
        } else if (c == '/') {
            name += '_';
        } else if (c == '\\') {
            name += '=';
        } else if (c >= 'a' && c <= 'z') {
            name += ch;
        } else if (c >= 'A' && c <= 'Z') {
            name += '^';
            name += ch;
        } else {
            name += std::to_string(unsigned(c));
            name += ' ';
        }
    }
    if (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

std::string ReadCachedPage(std::string_view engineName, std::string_view queryKey, int pageIndex) {
    if (Root().empty())
        return {};
    const fs::path file = PageFile(engineName, queryKey, pageIndex);
    std::error_code error;
    if (!fs::is_regular_file(file, error))
        return {};
    if (LastWriteDay(file) != Clock::Today()) {
        fs::remove(file, error);
        return {};
    }
    std::ifstream in(file, std::ios::binary);
    const std::uintmax_t size = fs::file_size(file, error);
    if (!in || error)
        return {};
    std::string page(size, '\0');
    if (!in.read(page.data(), std::streamsize(size)))
        return {};
    return page;
}

namespace {

// Writes the page to the file, or leaves no file at all.
bool WritePageFile(const fs::path& file, std::string_view pageText) {
    std::error_code error;
    fs::create_directory(file.parent_path(), error);
    fs::remove(file, error);
    bool written = false;
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(pageText.data(), std::streamsize(pageText.size()));
        out.close();
        written = !out.fail();
    }
    // A half-written copy would read back as a cut page today: drop it.
    if (!written)
        fs::remove(file, error);
    return written;
}

} // namespace

void WriteCachedPage(std::string_view engineName, std::string_view queryKey,
                     std::string_view pageText, int pageIndex) {
    if (engineName.empty() || Root().empty())
        return;
    WritePageFile(PageFile(engineName, queryKey, pageIndex), pageText);
}

std::string KeepOddPage(std::string_view engineName, std::string_view queryKey,
                        std::string_view pageText, int pageIndex) {
    if (engineName.empty() || Root().empty())
        return {};
    fs::path file = PageFile(engineName, queryKey, pageIndex);
    file += ".html";
    return WritePageFile(file, pageText) ? file.string() : std::string();
}

} // namespace quorvia
