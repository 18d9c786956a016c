// The favorites and home page files and the way the shell replaces its files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "common/file_error_text.h"
#include "common/text_codec.h"
#include "main/favorites_file.h"
#include "main/file_replace.h"
#include "main/home_page_file.h"
#include "main/readable_address.h"
#include "tests/support/file_contents.h"
#include "tests/support/qt_printers.h"
#include "tests/support/restricted_folder.h"

using main_window::AddFavorite;
using main_window::AddFavoriteResult;

namespace {

QString ErrorOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const common::FileError& error) {
        return QString::fromUtf8(error.what());
    }
    return "no error";
}

}  // namespace

// The home page is the first line's URL: all after the first TAB, or the
// whole line without one; nothing for a missing file or an empty first line.
// A line ends at LF, CR LF or the end of the file (the favorites' tests read
// the other lines). A favorite is refused for an exact URL only.
TEST(ShellLineFiles, TheHomePagesFirstLineAndTheFavoritesExactUrls) {
    QTemporaryDir dir;
    const std::pair<QByteArray, std::optional<QString>> cases[] = {
        {"T\thttp://x/", "http://x/"},
        {"http://x/\n", "http://x/"},
        {"T\thttp://x/\tmore", "http://x/\tmore"},
        {"T\t\r\n", ""},
        {"\r\nT\thttp://x\r\n", {}},
        {"", {}}};
    const QString path = dir.filePath("home.txt");
    for (const auto& [bytes, url] : cases) {
        test_support::WriteFile(path, bytes);
        EXPECT_EQ(main_window::ReadHomePageUrl(path), url) << bytes.toStdString();
    }
    EXPECT_FALSE(main_window::ReadHomePageUrl(dir.filePath("none.txt")).has_value());
    // A folder where the file should be cannot be read.
    EXPECT_EQ(ErrorOf([&] { main_window::ReadHomePageUrl(dir.path()); }), "I/O error 21");

    const QString favorites = dir.filePath("favorites.txt");
    // A title is no URL: a line "http://t/ TAB u" does not hold http://t/.
    // A URL alone on its line is held as well.
    test_support::WriteFile(favorites, "http://t/\tu\r\nv\r\n");
    EXPECT_EQ(AddFavorite(favorites, "", "http://t/"), AddFavoriteResult::Added);
    EXPECT_EQ(AddFavorite(favorites, "", "u"), AddFavoriteResult::AlreadyThere);
    EXPECT_EQ(AddFavorite(favorites, "", "v"), AddFavoriteResult::AlreadyThere);
    // An entry written with a title that only GB18030 holds comes back the same.
    EXPECT_EQ(AddFavorite(favorites, QStringLiteral("€ 😀"), "http://e/"), AddFavoriteResult::Added);
    EXPECT_EQ(main_window::ReadFavorites(favorites).first().title, QStringLiteral("€ 😀"));
}

TEST(FileReplace, NewContentWholeOrNotAtAll) {
    QTemporaryDir dir;
    const QString path = dir.filePath("file.txt");
    main_window::ReplaceFileContent(path, "first");
    EXPECT_EQ(test_support::ReadFile(path), "first");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    main_window::ReplaceFileContent(path, "");
    EXPECT_EQ(test_support::ReadFile(path), "");
    const auto userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    EXPECT_EQ(QFile::permissions(path) & ~userBits,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    main_window::ReplaceFileContent(path, QByteArray(1 << 20, 'x'));
    EXPECT_EQ(test_support::ReadFile(path).size(), 1 << 20);

    // A folder that is missing, a folder that cannot be written: the error of
    // the system, nothing left beside the file (a folder in the file's place
    // and a read-only file are the shell's tests).
    EXPECT_EQ(ErrorOf([&] { main_window::ReplaceFileContent(dir.filePath("no/file.txt"), "x"); }),
              "File not found");
    // A folder that takes no new file: a writable file is rewritten in place.
    {
        test_support::RestrictedFolder readOnly(dir.path(), 0222);
        EXPECT_EQ(ErrorOf([&] { main_window::ReplaceFileContent(path, "in place"); }), "no error");
        EXPECT_EQ(test_support::ReadFile(path), "in place");
        EXPECT_EQ(ErrorOf([&] { main_window::CreateFileIfMissing(dir.filePath("new.txt")); }),
                  "File access denied");
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"file.txt"});
    main_window::ReplaceFileContent(path, QByteArray(1 << 20, 'x'));

    main_window::CreateFileIfMissing(dir.filePath("new.txt"));
    EXPECT_TRUE(QFile::exists(dir.filePath("new.txt")) &&
                test_support::ReadFile(dir.filePath("new.txt")).isEmpty());
    main_window::CreateFileIfMissing(path);
    EXPECT_EQ(test_support::ReadFile(path).size(), 1 << 20);
}

// What the address box shows for an address the engine gives.
TEST(ReadableAddress, DecodesWhatReadsTheSameAndNothingThatMisleads) {
    const struct {
        const char* encoded;
        QString shown;
    } rows[] = {
        {"http://h/%E9%97%AE%E5%8D%B7?%E5%9F%8E%E5%B8%82=%E5%8C%97%E4%BA%AC#%E7%AD%94",
         "http://h/问卷?城市=北京#答"},
        // Delimiters and bytes that are no UTF-8 (a GBK name) stay escaped.
        {"http://h/a%2Fb?q=%26%3D&r=%D6%D0", "http://h/a%2Fb?q=%26%3D&r=%D6%D0"},
        {"local://c/tmp/%E6%96%87%E4%BB%B6/", "local://c/tmp/文件/"},
        {"http://user:secret@h/", "http://user@h/"},
        // A right-to-left override, a zero-width space, a line break.
        {"http://h/%E2%80%AEfdp.exe", "http://h/%E2%80%AEfdp.exe"},
        {"http://h/a%E2%80%8Bb", "http://h/a%E2%80%8Bb"},
        {"http://h/a%0Ab", "http://h/a%0Ab"},
        {"not an address", "not an address"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(main_window::ReadableAddress(QString::fromLatin1(row.encoded)), row.shown)
            << row.encoded;
}
