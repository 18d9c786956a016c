#include "tests/support/local_pages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWebEnginePage>

#include "app/engine.h"
#include "scheme/file_scheme_factory.h"
#include "tests/support/file_contents.h"
#include "tests/support/wait.h"

namespace test_support {

LocalPages::LocalPages() {
    static const bool installed = [] {
        app::RegisterSchemeHandlerFactory(new scheme::TFileSchemeFactory(qApp));
        return true;
    }();
    (void)installed;
}

QString LocalPages::Write(const QString& name, const QByteArray& content) const {
    WriteFile(folder_.filePath(name), content);
    return QStringLiteral("local://c") + folder_.filePath(name);
}

QVariant RunScript(QWebEnginePage& page, const QString& script) {
    QVariant result;
    bool done = false;
    page.runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return done; })) << script.toStdString();
    return result;
}

}  // namespace test_support
