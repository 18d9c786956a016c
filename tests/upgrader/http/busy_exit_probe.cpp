// Starts a download from the address given, destroys the component while the
// body streams in and returns from main at once. The process must end
// cleanly every time: its abandoned worker may not outlive libcurl's and
// OpenSSL's exit handlers.
#include <QCoreApplication>
#include <atomic>
#include <memory>
#include <thread>

#include "upgrader/http/custom_http.h"
#include "upgrader/http/status_texts.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    auto http = std::make_unique<upgrader::TauCustomHTTP>();
    http->URL = QByteArray(argv[1]);
    std::atomic<bool> receiving{false};
    http->OnStatusChange = [&](upgrader::TauCustomHTTP*, int status, const QString&) {
        if (status == upgrader::stReceivingResponse)
            receiving = true;
    };
    if (!http->Read(false))
        return 2;
    while (!receiving)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    http.reset();
    return 0;
}
