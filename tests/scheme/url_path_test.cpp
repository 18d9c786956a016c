#include <gtest/gtest.h>

#include "scheme/script_escape.h"
#include "scheme/url_path.h"
#include "tests/support/qt_printers.h"

namespace {

TEST(PercentDecode, EscapesPlusAndMalformedEscapes) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"abc", "abc"},
        {"a%41b", "aAb"},
        {"%2b%2B", "++"},  // either case of hexadecimal digits
        {"a+b", "a b"},    // "+" is a space...
        {"a%20b", "a b"},  // ...and so is %20
        {"%%", "%"},       // "%%" is a single "%"
        {"%%41", "%41"},   // and what follows it is not an escape
        {"%e4%b8%ad", "\xe4\xb8\xad"},
        {"/a%4", ""},   // a "%" with one character after it
        {"/a%", ""},    // a "%" at the very end
        {"/a%G1", ""},  // not hexadecimal
        {"/a%1G", ""},
        {"%41%4", ""},  // a bad escape empties everything decoded before it
    };
    for (const Case& c : cases)
        EXPECT_EQ(scheme::PercentDecode(QByteArray(c.in)), QByteArray(c.out)) << c.in;
}

TEST(UrlToPath, AddressesMapToAbsolutePathsOrFail) {
    struct Case {
        const char* url;
        const char* path;
    };
    const Case cases[] = {
        {"local://c/", "/"},
        {"local://c/etc/", "/etc/"},
        {"local://c/etc", "/etc"},
        {"local://c/a/b.txt", "/a/b.txt"},
        {"local://d/a", "/a"},  // the host is required but names no drive
        {"local://c/a%20b.txt", "/a b.txt"},
        {"local://c/a+b.txt", "/a b.txt"},
        {"local://c/a%2Bb.txt", "/a+b.txt"},
        {"local://c/x.txt?v=1", "/x.txt"},   // the query is cut
        {"local://c/x.txt?a%4", "/x.txt"},   // and never decoded
        {"local://c/x.txt#part", "/x.txt"},  // so is a fragment
        {"local://c/a%3Fb%23c", "/a?b#c"},   // escaped "?" and "#" belong to the name
        {"local://c/a%25b", "/a%b"},
        {"local://c/a%%b", "/a%b"},
        {"local://c/%22q%22%5Cb", "/\"q\"\\b"},
        {"local://c/%E4%B8%AD%E6%96%87/caf%C3%A9", "/中文/café"},
        {"local://c/中文", "/中文"},  // characters the address carries unescaped
        // Names are bytes: those of a GBK name reach the same bytes.
        {"local://c/%D6%D0%CE%C4.txt", "/\xd6\xd0\xce\xc4.txt"},
        {"local://c/%FF", "/\xff"},
        // Failures: an empty path, answered as not found.
        {"local://c/a%4", ""},
        {"local://c/a%4?v=1", ""},
        {"local://c/a%", ""},
        {"local://c/%ZZ", ""},
        {"local://c/a%00b", ""},  // no file name holds a NUL
        {"local:///etc", ""},     // no host
        {"local://c", ""},        // nothing after the host
        {"local:/c/etc", ""},
        {"local//c/etc", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scheme::UrlToPath(QString::fromUtf8(c.url)), QByteArray(c.path)) << c.url;
}

TEST(ScriptEscape, OutputIsAsciiAndSafeInsideAQuotedScriptString) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"plain name.txt", "plain name.txt"},
        {"a\"b", "a\\\"b"},
        {"a\\b", "a\\\\b"},
        {"caf\xc3\xa9", "caf\\u00E9"},  // U+00E9 is escaped too, never squeezed to "?"
        {"\xc3\xbf", "\\u00FF"},
        {"\xe4\xb8\xad", "\\u4E2D"},
        {"\xf0\x9f\x98\x80", "\\uD83D\\uDE00"},  // beyond U+FFFF: its two UTF-16 units
        {"a\nb\tc", "a\\u000Ab\\u0009c"},        // a line break would end the script line
        {"\x7f", "\\u007F"},
        {"</script><b>&", "\\u003C/script\\u003E\\u003Cb\\u003E\\u0026"},
        {"'$&`", "'$\\u0026`"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scheme::ScriptEscape(QString::fromUtf8(c.in)), QByteArray(c.out)) << c.in;
}

TEST(LinkTarget, EveryNameComesBackThroughTheHandlersDecoding) {
    EXPECT_EQ(scheme::LinkTarget("a+b c"), QByteArray("a%2Bb%20c"));
    EXPECT_EQ(scheme::LinkTarget("x-1_2.~"), QByteArray("x-1_2.~"));
    const char* names[] = {
        "quote\"d.txt",
        "back\\slash.txt",
        "hash#1.txt",
        "percent%41.txt",
        "100%",
        "plus+sign.txt",
        "with space.txt",
        "what?.txt",
        "%%",
        "+",
        "\xe4\xb8\xad\xe6\x96\x87.txt",
        "caf\xc3\xa9.txt",
        "\xf0\x9f\x98\x80",
        "semi;colon&amp=1",
        "<tag>",
        "'apos'",
        "line\nbreak",
    };
    for (const char* raw : names) {
        const QByteArray target = scheme::LinkTarget(raw);
        for (const char c : target)
            EXPECT_TRUE(QByteArray("%-._~").contains(c) || (c >= '0' && c <= '9') ||
                        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
                << raw << " gives " << target.constData();
        const QString url = QStringLiteral("local://c/dir/") + QString::fromLatin1(target);
        EXPECT_EQ(scheme::UrlToPath(url), "/dir/" + QByteArray(raw)) << raw;
    }
}

}  // namespace
