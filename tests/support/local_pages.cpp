#include "tests/support/local_pages.h"

#include <QCoreApplication>
#include <QFile>

#include "app/engine.h"
#include "scheme/file_scheme_factory.h"

namespace test_support {

LocalPages::LocalPages() {
    static const bool installed = [] {
        app::RegisterSchemeHandlerFactory(new scheme::TFileSchemeFactory(qApp));
        return true;
    }();
    (void)installed;
}

QString LocalPages::Write(const QString& name, const QByteArray& content) const {
    QFile file(folder_.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return QStringLiteral("local://c") + file.fileName();
}

}  // namespace test_support
