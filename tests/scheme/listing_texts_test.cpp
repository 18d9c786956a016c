#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>

#include "scheme/folder_entries.h"
#include "scheme/listing_texts.h"
#include "scheme/mime_type.h"
#include "tests/support/qt_printers.h"

namespace {

TEST(SizeText, EveryUnitBoundary) {
    const qint64 KiB = 1024;
    struct Case {
        qint64 size;
        const char* text;
    };
    const Case cases[] = {
        {0, "0 B"},
        {1023, "1023 B"},
        {KiB, "1.0 kB"},
        {1536, "1.5 kB"},
        {KiB * KiB - 1, "1024.0 kB"},
        {KiB * KiB, "1.0 MB"},
        {KiB * KiB * KiB - 1, "1024.0 MB"},
        {KiB * KiB * KiB, "1.0 GB"},
        {3 * KiB * KiB * KiB, "3.0 GB"},
        {(qint64(1) << 40) - 1, "1024.0 GB"},
        {qint64(1) << 40, "1.0 TB"},
        {(qint64(1) << 50) - 1, "1024.0 TB"},
        {qint64(1) << 50, "1.0 PB"},
        {(qint64(1) << 60) - 1, "1024.0 PB"},
        {qint64(1) << 60, "big"},
        {std::numeric_limits<qint64>::max(), "big"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scheme::SizeText(c.size), QLatin1String(c.text)) << c.size;
}

qint64 LocalTime(int hour, int minute, int second, int ms = 0) {
    return QDateTime(QDate(2024, 1, 2), QTime(hour, minute, second, ms), Qt::LocalTime)
        .toMSecsSinceEpoch();
}

TEST(DateText, ShortDateAndLongTimeWithoutZoneAndNoTimeAtMidnight) {
    const scheme::TDateText c{QLocale::c()};
    EXPECT_EQ(c(LocalTime(15, 4, 5)), QStringLiteral("2 Jan 2024 15:04:05"));
    EXPECT_EQ(c(LocalTime(0, 0, 0)), QStringLiteral("2 Jan 2024"));
    // Only exactly midnight drops the time.
    EXPECT_EQ(c(LocalTime(0, 0, 0, 1)), QStringLiteral("2 Jan 2024 00:00:00"));
    EXPECT_EQ(c(scheme::kUnknownTime), QString());
    // The epoch itself is a time like any other.
    EXPECT_FALSE(c(0).isEmpty());
    const scheme::TDateText chinese{QLocale(QStringLiteral("zh_CN"))};
    EXPECT_EQ(chinese(LocalTime(15, 4, 5)), QStringLiteral("2024/1/2 15:04:05"));
    const scheme::TDateText american{QLocale(QStringLiteral("en_US"))};
    EXPECT_EQ(american(LocalTime(15, 4, 5)), QStringLiteral("1/2/24 3:04:05 PM"));
    EXPECT_EQ(american(LocalTime(0, 0, 0)), QStringLiteral("1/2/24"));
}

TEST(MimeType, RegisteredTypeWinsThenPdfRuleThenOctetStream) {
    EXPECT_EQ(scheme::ResponseMimeType(QString(), QStringLiteral(".pdf")),
              QStringLiteral("application/pdf"));
    EXPECT_EQ(scheme::ResponseMimeType(QString(), QStringLiteral(".PdF")),
              QStringLiteral("application/pdf"));
    EXPECT_EQ(scheme::ResponseMimeType(QStringLiteral("application/x-special-pdf"),
                                       QStringLiteral(".pdf")),
              QStringLiteral("application/x-special-pdf"));
    EXPECT_EQ(scheme::ResponseMimeType(QString(), QStringLiteral(".pdfx")),
              QStringLiteral("application/octet-stream"));
    EXPECT_EQ(scheme::ResponseMimeType(QString(), QString()),
              QStringLiteral("application/octet-stream"));

    EXPECT_EQ(scheme::FileExtension(QStringLiteral("/a.b/c.tar.gz")), QStringLiteral(".gz"));
    EXPECT_EQ(scheme::FileExtension(QStringLiteral("/a.b/c")), QString());
    EXPECT_EQ(scheme::FileExtension(QStringLiteral("/a/.profile")), QStringLiteral(".profile"));
    EXPECT_EQ(scheme::FileExtension(QStringLiteral("/a/c.")), QStringLiteral("."));

    EXPECT_EQ(scheme::RegisteredMimeType(QStringLiteral(".HTML")), QStringLiteral("text/html"));
    EXPECT_EQ(scheme::RegisteredMimeType(QStringLiteral(".qvunknown")), QString());
    EXPECT_EQ(scheme::RegisteredMimeType(QStringLiteral(".")), QString());
}

std::vector<scheme::TFileInfo> Entries(const std::vector<std::pair<const char*, bool>>& items) {
    std::vector<scheme::TFileInfo> entries;
    for (const auto& [name, isFolder] : items) {
        scheme::TFileInfo entry;
        entry.Name = QString::fromUtf8(name);
        entry.IsFolder = isFolder;
        entries.push_back(entry);
    }
    return entries;
}

QStringList NamesOf(const std::vector<scheme::TFileInfo>& entries) {
    QStringList names;
    for (const scheme::TFileInfo& entry : entries)
        names << entry.Name;
    return names;
}

TEST(SortEntries, FoldersFirstParentOnTopThenBytesWithLettersAsCapitals) {
    std::vector<scheme::TFileInfo> entries = Entries({
        {"b.txt", false},
        {"zeta", true},
        {"\xe4\xb8\xad", false},
        {"a.txt", false},
        {"Alpha", true},
        {"..", true},
        {"-dash", true},
        {"_under", false},
        {"A.txt", false},
        {"caf\xc3\xa9", false},
        {"CAFE", false},
        {"10", false},
        {"9", false},
        {".hidden", true},
        {"\xc3\xa9", false},
    });
    scheme::SortEntries(entries);
    const QStringList expected = {
        // ".." leads even where its bytes would not ("-" sorts before ".").
        "..",
        "-dash",
        ".hidden",
        "Alpha",
        "zeta",
        // Digits byte-wise, capitals and small letters together, "_" after
        // the letters, then GBK: "é" (A8 A6) before "中" (D6 D0).
        "10",
        "9",
        "A.txt",
        "a.txt",
        "b.txt",
        "CAFE",
        QString::fromUtf8("caf\xc3\xa9"),
        "_under",
        QString::fromUtf8("\xc3\xa9"),
        QString::fromUtf8("\xe4\xb8\xad"),
    };
    EXPECT_EQ(NamesOf(entries), expected);
}

}  // namespace
