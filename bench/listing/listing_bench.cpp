// Serving the listing of folders of 10,000 and 100,000 files: the handler
// alone (reading the folder, sorting, building the page, reading it out) and
// through the real engine until the page's load end.
#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <map>
#include <memory>

#include "app/engine.h"
#include "common/application.h"
#include "scheme/file_scheme.h"
#include "scheme/file_scheme_factory.h"
#include "scheme/folder_entries.h"
#include "scheme/listing_page.h"
#include "tests/support/engine_process.h"

namespace {

// A folder of `count` empty files, some of them with Chinese or accented
// names, made once per size for the whole run.
QString FolderOf(int count) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    auto& folder = folders[count];
    if (!folder) {
        folder = std::make_unique<QTemporaryDir>();
        for (int i = 0; i < count; ++i) {
            const QString name = i % 10 == 0   ? QStringLiteral("文件 %1.txt").arg(i)
                                 : i % 10 == 1 ? QStringLiteral("café %1.pdf").arg(i)
                                               : QStringLiteral("file_%1.dat").arg(i);
            // Modification times an hour and a bit apart, as in a folder
            // filled over years.
            QFile file(folder->filePath(name));
            file.open(QIODevice::WriteOnly);
            file.setFileTime(QDateTime::fromSecsSinceEpoch(1700000000 - qint64(i) * 3677),
                             QFileDevice::FileModificationTime);
        }
    }
    return folder->path();
}

QUrl UrlOf(const QString& folder) {
    return QUrl(QStringLiteral("local://c") + folder + "/");
}

void HandlerServesListing(benchmark::State& state) {
    const QUrl url = UrlOf(FolderOf(int(state.range(0))));
    QByteArray piece(64 * 1024, '\0');
    qint64 bodyBytes = 0;
    for (auto _ : state) {
        scheme::TFileScheme handler;
        handler.ProcessRequest(url);
        scheme::TResponseHeaders headers;
        handler.GetResponseHeaders(headers, bodyBytes);
        qint64 bytesRead = 0;
        do {
            handler.ReadResponse(piece.data(), piece.size(), bytesRead);
        } while (bytesRead > 0);
    }
    state.counters["body_MiB"] = double(bodyBytes) / (1 << 20);
}

void ReadFolder(benchmark::State& state) {
    const QString folder = FolderOf(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(scheme::ReadFolder(QFile::encodeName(folder)));
}

void SortEntries(benchmark::State& state) {
    const std::vector<scheme::TFileInfo> entries =
        scheme::ReadFolder(QFile::encodeName(FolderOf(int(state.range(0)))));
    for (auto _ : state) {
        std::vector<scheme::TFileInfo> copy = entries;
        scheme::SortEntries(copy);
        benchmark::DoNotOptimize(copy);
    }
}

void BuildPage(benchmark::State& state) {
    const QString folder = FolderOf(int(state.range(0)));
    std::vector<scheme::TFileInfo> entries = scheme::ReadFolder(QFile::encodeName(folder));
    scheme::SortEntries(entries);
    for (auto _ : state)
        benchmark::DoNotOptimize(scheme::ListingPage(folder, entries));
}

void EngineLoadsListing(benchmark::State& state) {
    const QUrl url = UrlOf(FolderOf(int(state.range(0))));
    QWebEnginePage page;
    for (auto _ : state) {
        QEventLoop loop;
        bool ok = false;
        QObject::connect(&page, &QWebEnginePage::loadFinished, &loop, [&](bool result) {
            ok = result;
            loop.quit();
        });
        page.load(url);
        loop.exec();
        if (!ok)
            state.SkipWithError("the listing did not load");
        page.load(QUrl(QStringLiteral("about:blank")));
        QEventLoop blank;
        QObject::connect(&page, &QWebEnginePage::loadFinished, &blank, &QEventLoop::quit);
        state.PauseTiming();
        blank.exec();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(HandlerServesListing)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadFolder)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(SortEntries)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildPage)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineLoadsListing)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    app::ApplicationArguments arguments;
    if (!test_support::PrepareEngineProcess(argc, argv, arguments))
        return 0;
    benchmark::Initialize(&argc, argv);
    common::TApplication application(arguments.argc(), arguments.argv());
    scheme::TFileSchemeFactory localScheme;
    app::RegisterSchemeHandlerFactory(&localScheme);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
