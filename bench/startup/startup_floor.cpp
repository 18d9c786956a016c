// The floor for the client's start-up: a bare Qt WebEngine window that only
// loads the page given as its argument, with nothing of ours on the way.
// Usage: startup_floor <url>
#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWebEngineView view;
    view.load(QUrl(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("about:blank")));
    view.showMaximized();
    return app.exec();
}
