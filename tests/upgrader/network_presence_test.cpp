#include <gtest/gtest.h>

#include <QProcess>

namespace {

// Runs the probe in a network namespace of its own, prepared by the shell
// commands; gives its answer ("0"/"1"), or an empty string when no namespace
// can be made here.
QString ProbeInOwnNetwork(const QString& setup) {
    QProcess process;
    process.start("unshare",
                  {"--net", "sh", "-c", setup + " && exec \"$0\"", QStringLiteral(NETWORK_PROBE)});
    if (!process.waitForFinished(20000) || process.exitCode() != 0) {
        ADD_FAILURE() << "setup failed: " << setup.toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}

bool CanMakeNetworks() {
    return QProcess::execute("unshare", {"--net", "ip", "link", "add", "v0", "type", "veth", "peer",
                                         "name", "v1"}) == 0;
}

}  // namespace

TEST(NetworkPresence, OnlineOnlyWithARunningInterfaceThatHasAnAddress) {
    if (!CanMakeNetworks())
        GTEST_SKIP() << "network namespaces cannot be made here (needs root)";
    const QString pair = "ip link add v0 type veth peer name v1";
    struct Case {
        QString setup;
        const char* answer;
    };
    const Case cases[] = {
        {"true", "0"},               // nothing but loopback, down
        {"ip link set lo up", "0"},  // loopback does not count
        {pair + " && ip addr add 127.0.0.2/8 dev v0 && ip link set v0 up", "0"},  // no carrier
        {pair + " && ip addr add 127.0.0.2/8 dev v0 && ip link set v1 up && ip link set v0 up",
         "1"},
        {pair + " && ip link set v1 up && ip link set v0 up", "0"},  // only link-local
        {pair + " && ip addr add 2001:db8::2/64 dev v0 nodad && ip link set v1 up && "
                "ip link set v0 up",
         "1"},
        {pair + " && ip addr add 127.0.0.2/8 dev v0 && ip link set v1 up", "0"},  // v0 down
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProbeInOwnNetwork(c.setup), c.answer) << c.setup.toStdString();
}
