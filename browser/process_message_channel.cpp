#include "browser/process_message_channel.h"

#include <QFile>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace browser {

namespace {

// Only the program's own pages (the "local" scheme) may send: a remote page
// must not write the status bar. The channel's transport lives in a world of
// its own, out of the pages' reach; a page of ours hands a message to it as
// a DOM event, which both worlds see. Messages are queued until the channel
// is connected, so a page may send from its very first script.
// The channel library itself (%1) runs only in those pages, so a remote page
// costs nothing of it at its start.
constexpr const char* kChannelWorldScript = R"JS(
(function () {
    if (location.protocol !== 'local:' || window.quorvaneBridge) return;
    window.quorvaneBridge = true;
%1
    var pending = [];
    var target = null;
    document.addEventListener('quorvane-process-message', function (event) {
        var message;
        try { message = JSON.parse(event.detail); } catch (e) { return; }
        if (!Array.isArray(message) || !Array.isArray(message[1])) return;
        if (target) target.sendProcessMessage(String(message[0]), message[1]);
        else pending.push(message);
    });
    new QWebChannel(qt.webChannelTransport, function (channel) {
        target = channel.objects.quorvaneProcessMessages;
        pending.forEach(function (m) { target.sendProcessMessage(String(m[0]), m[1]); });
        pending = [];
    });
})();
)JS";

constexpr const char* kPageScript = R"JS(
(function () {
    if (location.protocol !== 'local:' || window.quorvane) return;
    window.quorvane = {
        sendProcessMessage: function (name, args) {
            var list = Array.isArray(args) ? args : [];
            document.dispatchEvent(new CustomEvent('quorvane-process-message',
                {detail: JSON.stringify([String(name), list])}));
        }
    };
})();
)JS";

constexpr quint32 kChannelWorld = QWebEngineScript::ApplicationWorld;

// The engine injects the scripts into the program's own pages only: the
// channel's script world, made for every document it is injected into, would
// cost each remote page's load some 25 ms (the scripts check the protocol
// themselves too).
constexpr const char* kOnlyLocalPages =
    "// ==UserScript==\n// @include local:*\n// ==/UserScript==\n";

QString ChannelLibrary() {
    QFile library(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    library.open(QIODevice::ReadOnly);
    return QString::fromUtf8(library.readAll());
}

void InsertScript(QWebEnginePage& page, const QString& name, const QString& source, quint32 world) {
    QWebEngineScript script;
    script.setName(name);
    script.setSourceCode(QLatin1String(kOnlyLocalPages) + source);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(world);
    script.setRunsOnSubFrames(true);
    page.scripts().insert(script);
}

}  // namespace

void TProcessMessageChannel::attachTo(QWebEnginePage& page) {
    page_ = &page;
    auto* channel = new QWebChannel(&page);
    channel->registerObject(QStringLiteral("quorvaneProcessMessages"), this);
    page.setWebChannel(channel, kChannelWorld);
    InsertScript(page, QStringLiteral("quorvaneChannel"),
                 QString::fromUtf8(kChannelWorldScript).arg(ChannelLibrary()), kChannelWorld);
    InsertScript(page, QStringLiteral("quorvaneProcessMessages"), QString::fromUtf8(kPageScript),
                 QWebEngineScript::MainWorld);
}

void TProcessMessageChannel::sendProcessMessage(const QString& name,
                                                const QVariantList& arguments) {
    // What a remote page's scripts could still reach is refused here too.
    if (received && page_ && page_->url().scheme() == QLatin1String("local"))
        received(name, arguments);
}

}  // namespace browser
