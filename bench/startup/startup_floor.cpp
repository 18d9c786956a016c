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
    // Without a window manager (the benchmark runs under Xvfb) neither window
    // is maximised: the floor opens at the size the client's window opens at
    // (main_form.ui), so both draw the same area.
    view.resize(1024, 512);
    view.showMaximized();
    return app.exec();
}
