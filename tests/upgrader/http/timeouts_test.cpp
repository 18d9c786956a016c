// The connect and send time-outs against a listening socket that never
// accepts: without the time-outs each transfer would wait for minutes.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <vector>

#include "tests/support/qt_printers.h"
#include "tests/upgrader/http/http_event_log.h"
#include "upgrader/http/custom_http.h"

using namespace upgrader;
using namespace http_test;

namespace {

sockaddr_in LoopbackAddress(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// A socket listening on 127.0.0.1 that never accepts. Connections complete
// in its queue, where the kernel buffers what they send, until the queue
// is full; after that the kernel drops their first packet, so they never
// connect at all.
class SilentListener {
  public:
    explicit SilentListener(int backlog) : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address = LoopbackAddress(0);
        socklen_t length = sizeof address;
        const auto* generic = reinterpret_cast<sockaddr*>(&address);
        if (::bind(socket_, generic, length) != 0 || ::listen(socket_, backlog) != 0 ||
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            ADD_FAILURE() << "cannot listen on 127.0.0.1";
        port_ = ntohs(address.sin_port);
    }

    ~SilentListener() {
        for (const int filler : fillers_)
            ::close(filler);
        ::close(socket_);
    }

    QByteArray Url() const { return "http://127.0.0.1:" + QByteArray::number(port_) + "/f"; }

    // Connects (without waiting) until the queue is surely full.
    void FillQueue() {
        sockaddr_in address = LoopbackAddress(port_);
        for (int i = 0; i < 3; ++i) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
            fillers_.push_back(filler);
        }
    }

  private:
    int socket_;
    quint16 port_ = 0;
    std::vector<int> fillers_;
};

}  // namespace

// A full queue: the connection is never made. A queue with room: the
// connection is made and the body sent into it until the buffers are full.
TEST(Timeouts, ConnectAndSendEndAtTheirTimeOuts) {
    for (const bool connects : {false, true}) {
        SilentListener listener(connects ? 8 : 0);
        TauCustomHTTP http;
        EventLog log(http);
        http.URL = listener.Url();
        if (connects) {
            http.PostData = QByteArray(64 << 20, 'p');  // far more than the sockets buffer
            http.Timeouts.SendTimeout = 300;
        } else {
            listener.FillQueue();
            http.Timeouts.ConnectTimeout = 300;
        }
        QElapsedTimer timer;
        timer.start();
        ASSERT_TRUE(http.Read(true));
        EXPECT_LT(timer.elapsed(), 20000) << "the default limits are a minute and more";
        EXPECT_EQ(log.Events(), QStringList({"BeforeSendRequest", "ConnectionFailed", "AnyError"}));
        EXPECT_EQ(http.StatusCode(), -1);
    }
}
