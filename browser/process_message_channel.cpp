#include "browser/process_message_channel.h"

#include <QFile>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace browser {

namespace {

// Queues messages until the channel is connected, so a page may send from its
// very first script.
constexpr const char* kBootstrap = R"JS(
(function () {
    if (window.quorvane) return;
    var pending = [];
    var target = null;
    window.quorvane = {
        sendProcessMessage: function (name, args) {
            var list = Array.isArray(args) ? args : [];
            if (target) target.sendProcessMessage(String(name), list);
            else pending.push([String(name), list]);
        }
    };
    new QWebChannel(qt.webChannelTransport, function (channel) {
        target = channel.objects.quorvaneProcessMessages;
        pending.forEach(function (m) { target.sendProcessMessage(m[0], m[1]); });
        pending = [];
    });
})();
)JS";

QString ChannelScriptSource() {
    QFile library(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    library.open(QIODevice::ReadOnly);
    return QString::fromUtf8(library.readAll()) + QString::fromUtf8(kBootstrap);
}

}  // namespace

void TProcessMessageChannel::attachTo(QWebEnginePage& page) {
    auto* channel = new QWebChannel(&page);
    channel->registerObject(QStringLiteral("quorvaneProcessMessages"), this);
    page.setWebChannel(channel, QWebEngineScript::MainWorld);
    QWebEngineScript script;
    script.setName(QStringLiteral("quorvaneProcessMessages"));
    script.setSourceCode(ChannelScriptSource());
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    page.scripts().insert(script);
}

void TProcessMessageChannel::sendProcessMessage(const QString& name,
                                                const QVariantList& arguments) {
    if (received)
        received(name, arguments);
}

}  // namespace browser
