#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "common/file_error_text.h"
#include "main/home_page_file.h"
#include "tests/support/qt_printers.h"

namespace {
QString Write(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath("file.txt");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}
}  // namespace

// The first line's URL: all after the first TAB, or the whole line without
// one; nothing for a missing file or an empty first line. A line ends at LF,
// CR LF or the end of the file (the favorites' tests read the other lines).
TEST(HomePageFile, TheUrlOfTheFirstLine) {
    QTemporaryDir dir;
    const std::pair<QByteArray, std::optional<QString>> cases[] = {
        {"T\thttp://x/", "http://x/"},
        {"http://x/\n", "http://x/"},
        {"T\thttp://x/\tmore", "http://x/\tmore"},
        {"T\t\r\n", ""},
        {"\r\nT\thttp://x\r\n", {}},
        {"", {}}};
    for (const auto& [bytes, url] : cases)
        EXPECT_EQ(main_window::ReadHomePageUrl(Write(dir, bytes)), url) << bytes.toStdString();
    EXPECT_FALSE(main_window::ReadHomePageUrl(dir.filePath("none.txt")).has_value());
    // A folder where the file should be cannot be read: the error names it.
    const QString folder = dir.filePath("folder");
    QDir().mkpath(folder);
    try {
        main_window::ReadHomePageUrl(folder);
        ADD_FAILURE() << "a folder was read as a home page file";
    } catch (const common::FileError& error) {
        EXPECT_TRUE(QString(error.what()).startsWith("I/O error") ||
                    QString(error.what()) == "File access denied")
            << error.what();
    }
}
