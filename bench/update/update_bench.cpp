// What a hostile update server costs the client: the time to read an info
// file with 20,000 file entries, and the memory an info file that never ends
// takes before it is refused. Prints figures; asserts nothing.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>

#include "tests/support/scripted_http_server.h"
#include "upgrader/auto/auto_upgrader.h"
#include "upgrader/info/info_file.h"

namespace {

QByteArray InfoWithEntries(int count) {
    QByteArray info = "#version=2.0.0.6\r\n";
    for (int n = 1; n <= count; ++n)
        info += "#url" + QByteArray::number(n) + "=http://updates.example/update/file" +
                QByteArray::number(n) + ".bin\r\n#url" + QByteArray::number(n) +
                "_sha256=" + QByteArray(64, 'a') + "\r\n";
    return info;
}

void ReportParseTime() {
    const QByteArray info = InfoWithEntries(20000);
    qint64 best = -1;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        const upgrader::TauInfoText reading(info);
        const QList<QByteArray> list = reading.FileList();
        const upgrader::TauFileHashes hashes = reading.FileHashes();
        const qint64 ns = timer.nsecsElapsed();
        best = best < 0 ? ns : std::min(best, ns);
        if (list.size() != 20000 || hashes.size() != 20000)
            std::printf("unexpected reading: %lld files\n", static_cast<long long>(list.size()));
    }
    std::printf("info file with 20,000 files and their hashes (%lld KiB): read in %.1f ms "
                "(best of 5)\n",
                static_cast<long long>(info.size() / 1024), double(best) / 1e6);
}

// The peak resident size of this process so far, in KiB.
long PeakResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

void ReportEndlessBody() {
    test_support::ScriptedHttpServer server(test_support::EndlessBody());
    upgrader::TauAutoUpgrader upgrader;
    upgrader.InfoFileURL = (server.baseUrl() + "/update/quorvane.inf").toUtf8();
    upgrader.ShowMessages = {};
    const long before = PeakResidentKiB();
    QElapsedTimer timer;
    timer.start();
    upgrader.CheckUpdate(true);
    std::printf("endless info file: refused after %lld ms (%s); peak resident size grew by "
                "%ld KiB (%ld -> %ld KiB)\n",
                static_cast<long long>(timer.elapsed()),
                upgrader.BodyTooLarge() ? "body over the limit" : "NOT over the limit",
                PeakResidentKiB() - before, before, PeakResidentKiB());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ReportParseTime();
    ReportEndlessBody();
    return 0;
}
