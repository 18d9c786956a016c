// Downloads one large file from nginx on 127.0.0.1 to disk with the HTTP
// client (default 4096-byte buffer and 256 KiB, each with a progress handler
// as the upgrader assigns one, so every chunk is shown on the GUI thread; and
// the default buffer without a handler) and with "curl -o", and prints the
// speed of each, the ratio to curl and the client's peak memory; then the
// processor time each takes for the same file at a real network's rate.
// Usage: http_bench [size in MiB, default 256].
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "tests/support/nginx_server.h"
#include "upgrader/http/custom_http.h"

using namespace upgrader;

namespace {

constexpr int kRounds = 3;

// Peak resident memory of this process in KiB.
long PeakMemoryKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

void WriteServedFile(const QString& path, qint64 bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < block.size(); ++i)
        block[i] = char((i * 31 + i / 997) & 0xFF);
    for (qint64 written = 0; written < bytes; written += block.size())
        file.write(block.constData(), std::min<qint64>(block.size(), bytes - written));
}

// One way of downloading the file; it keeps its best speed.
struct Contender {
    const char* name;
    std::function<bool()> download;
    double best = 0;  // MB/s; stays 0 when a run failed
    bool failed = false;
};

// Runs each contender once per round, in turn, so that the disk's state
// (dirty pages being written back) falls on all of them alike.
void Race(std::vector<Contender>& contenders, qint64 bytes, const QString& output) {
    for (int round = 0; round < kRounds; ++round) {
        for (Contender& contender : contenders) {
            QFile::remove(output);
            QElapsedTimer timer;
            timer.start();
            const bool ok = contender.download() && QFileInfo(output).size() == bytes;
            const double seconds = double(timer.nsecsElapsed()) / 1e9;
            contender.failed = contender.failed || !ok;
            if (ok)
                contender.best = std::max(contender.best, double(bytes) / 1048576.0 / seconds);
        }
    }
    QFile::remove(output);
}

bool Curl(const QByteArray& url, const QString& output) {
    return QProcess::execute(QStringLiteral("curl"),
                             {"-s", "-o", output, QString::fromUtf8(url)}) == 0;
}

// A client downloading to the output; with a progress handler as the
// upgrader has one, every chunk is shown on the GUI thread.
struct Client {
    TauCustomHTTP http;
    qint64 shown = 0;  // BytesRead of the last progress event
};

std::unique_ptr<Client> MakeClient(const QByteArray& url, const QString& output, qint32 buffer,
                                   bool showProgress) {
    auto client = std::make_unique<Client>();
    TauCustomHTTP* http = &client->http;
    http->URL = url;
    http->OutputFileName = output;
    http->TransferBufferSize = buffer;
    if (showProgress) {
        http->OnDownloadProgress =
            [shown = &client->shown](TauCustomHTTP*, const QByteArray&, qint64, qint64 read, qint32,
                                     qint32, quint8, float, QIODevice*) { *shown = read; };
    }
    return client;
}

// CPU time so far of this process, or of its ended children, in seconds.
double CpuSeconds(int who = RUSAGE_SELF) {
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

bool Download(Client& client, qint64 bytes, bool showProgress) {
    bool done = false;
    client.http.OnDone = [&](TauCustomHTTP*, const QByteArray&, qint64, QIODevice*) {
        done = true;
    };
    client.shown = 0;
    return client.http.Read(true) && done && (!showProgress || client.shown == bytes);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 mebibytes = argc > 1 ? std::max(1, atoi(argv[1])) : 256;
    const qint64 bytes = mebibytes << 20;
    // "/slow/..." serves the same files at a rate a real update server may
    // have, for the CPU a download costs while the program otherwise idles.
    test_support::NginxServer server(
        {QStringLiteral("location /slow/ { rewrite ^/slow/(.*)$ /$1 break; limit_rate 2m; }")});
    WriteServedFile(server.root() + QStringLiteral("/big.bin"), bytes);
    WriteServedFile(server.root() + QStringLiteral("/small.bin"), bytes / 8);
    QTemporaryDir folder;
    const QString output = folder.filePath(QStringLiteral("big.bin.uTMP"));
    const QByteArray url = (server.baseUrl() + QStringLiteral("/big.bin")).toUtf8();

    const auto small =
        MakeClient((server.baseUrl() + QStringLiteral("/small.bin")).toUtf8(), output, 4096, true);
    Download(*small, bytes / 8, true);
    const long peakAfterSmall = PeakMemoryKiB();

    const auto withDefault = MakeClient(url, output, 4096, true);
    const auto withLarge = MakeClient(url, output, 256 * 1024, true);
    const auto quiet = MakeClient(url, output, 4096, false);
    std::vector<Contender> contenders = {
        {"curl -o", [&] { return Curl(url, output); }},
        {"client, 4096-byte buffer", [&] { return Download(*withDefault, bytes, true); }},
        {"client, 256 KiB buffer", [&] { return Download(*withLarge, bytes, true); }},
        {"client, 4096, no handler", [&] { return Download(*quiet, bytes, false); }},
    };
    Race(contenders, bytes, output);
    const long peakAfterLarge = PeakMemoryKiB();

    const double curl = contenders.front().best;
    std::printf("file: %lld MiB from nginx on 127.0.0.1 to disk, best of %d rounds\n",
                static_cast<long long>(mebibytes), kRounds);
    bool allOk = true;
    for (const Contender& contender : contenders) {
        std::printf("%-26s %8.1f MB/s  (%.2f x curl)%s\n", contender.name, contender.best,
                    curl > 0 ? contender.best / curl : 0, contender.failed ? "  FAILED" : "");
        allOk = allOk && !contender.failed;
    }
    std::printf("peak memory: %ld KiB after a %lld MiB download, %ld KiB after the %lld MiB ones\n",
                peakAfterSmall, static_cast<long long>(mebibytes / 8), peakAfterLarge,
                static_cast<long long>(mebibytes));
    const QByteArray slowUrl = (server.baseUrl() + QStringLiteral("/slow/small.bin")).toUtf8();
    const auto slow = MakeClient(slowUrl, output, 4096, true);
    const auto cpuOf = [](const std::function<bool()>& download, int who, double& cpu) {
        QElapsedTimer clock;
        clock.start();
        const double before = CpuSeconds(who);
        const bool ok = download();
        cpu = CpuSeconds(who) - before;
        return std::pair(ok, clock.elapsed() / 1000.0);
    };
    double clientCpu = 0, curlCpu = 0;
    const auto [clientOk, clientWall] =
        cpuOf([&] { return Download(*slow, bytes / 8, true); }, RUSAGE_SELF, clientCpu);
    const auto [curlOk, curlWall] =
        cpuOf([&] { return Curl(slowUrl, output); }, RUSAGE_CHILDREN, curlCpu);
    allOk = allOk && clientOk && curlOk;
    std::printf(
        "processor time for %lld MiB at 2 MiB/s: client %.3f s in %.1f s (%.2f %% of a "
        "core), curl %.3f s in %.1f s; client %.1f x curl\n",
        static_cast<long long>(mebibytes / 8), clientCpu, clientWall, 100 * clientCpu / clientWall,
        curlCpu, curlWall, curlCpu > 0 ? clientCpu / curlCpu : 0);
    return allOk ? 0 : 1;
}
