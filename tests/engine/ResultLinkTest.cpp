#include "engine/ResultLink.h"

#include <gtest/gtest.h>

#include <utility>

using namespace quorvia;

using Cases = std::vector<std::pair<std::string, std::string>>;

TEST(ResultLink, ExtractFirstUrl) {
    const Cases cases = {
        {"<a>sh<b>op</b>.example.com/page</a>", "http://shop.example.com/page"},
        {"<B>HTTP://WWW.EXAMPLE.COM/A</B>", "HTTP://WWW.EXAMPLE.COM/A"},
        {"example.com&nbsp;-&nbsp;12k", "http://example.com-12k"},
        {"x &NBSP;y", ""},
        {"https://secure.example.com/a then http://plain.example.org/b",
         "http://plain.example.org/b"},
        {"only https://secure.example.com/a", "http://secure.example.com/a"},
        {"http://host.example.com:8080/x", "http://host.example.com"},
        {"\"http://host.example.com/\"", "http://host.example.com"},
        {"\"http://host.example.com/dir/\"", "http://host.example.com/dir/"},
        {"ftp://files.example.net/pub/a~b.txt#frag", "ftp://files.example.net/pub/a~b.txt"},
        {"see index.html", "http://index.html"},
        {"http://localhost/x", ""},
        {"no dotted word here", ""},
        {"", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ExtractFirstUrl(text), expected) << text;
}

TEST(ResultLink, ExtractResultLink) {
    const Cases cases = {
        {"", ""},
        {"shop.example.com/ more", "http://shop.example.com"},
        {"http://shop.example.com/dir/\"", "http://shop.example.com/dir"},
        {"HTTP://Shop.Example.com/Dir/x", "HTTP://Shop.Example.com/Dir/x"},
        {"\">Title</a><cite>http://a.example.org/p.html</cite>", "http://a.example.org/p.html"},
        {"https://secure.example.com/login\"", "http://secure.example.com/login"},
    };
    for (const auto& [snippet, expected] : cases)
        EXPECT_EQ(ExtractResultLink(snippet), expected) << snippet;
}

TEST(ResultLink, GetSiteRoot) {
    const Cases cases = {
        {"http://example.com/dir/page.html", "http://example.com/"},
        {"http://example.com", "http://example.com/"},
        {"example.com/dir/", "example.com/"},
        {"example.com:8080/x", "example.com:8080/"},
        {"/dir/page", "/dir/"},
        {"http:/example.com/x", "http:/example.com/"},
        {"a//b/c", "a/"},
        {"", "/"},
    };
    for (const auto& [address, expected] : cases)
        EXPECT_EQ(GetSiteRoot(address), expected) << address;
}

TEST(ResultLink, GetHostKey) {
    const Cases cases = {
        {"http://EXAMPLE.COM/", "www.example.com"},
        {"WWW.EXAMPLE.COM", "www.example.com"},
        {"ftp://example.com/", "www.example.com"},
        {"http://www.example.com/dir/", "www.example.com/dir"},
        {"http://example.com//", "www.example.com/"},
        {"http://http://example.com", "www.http://example.com"},
        {"", "www."},
    };
    for (const auto& [address, expected] : cases)
        EXPECT_EQ(GetHostKey(address), expected) << address;
}

TEST(ResultLink, GetSiteKey) {
    const Cases cases = {
        {"example.com", "www.example.com"},
        {"example.com/", "www.example.com"},
        {"http://www.example.com/dir/page.html", "www.example.com"},
        {"ftp://EXAMPLE.COM", "www.example.com"},
        {"shop.example.com", "www.shop.example.com"},
        {"example.com:8080", "www.example.com:8080"},
        {"", "www."},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(GetSiteKey(name), expected) << name;
}

TEST(ResultLink, IsSiteLink) {
    struct Case {
        std::string site, link;
        bool same;
    };
    const Case cases[] = {
        {"example.com", "http://WWW.EXAMPLE.COM/Page", true},
        {"http://www.example.com/only/here/", "http://example.com/elsewhere", true},
        {"EXAMPLE.com/", "ftp://www.example.com", true},
        {"example.com", "http://shop.example.com/", false},
        {"shop.example.com", "http://example.com/", false},
        {"example.com", "http://example.com.au/", false},
        {"example.com:8080", "http://example.com/x", false},
        {"example.com", "http://other.org/", false},
        {"", "http://example.com", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSiteLink(c.site, c.link), c.same) << c.site << " / " << c.link;
}
