#include <gtest/gtest.h>

#include <QProcess>

namespace {

// Runs the probe in a network namespace of its own, prepared by the shell
// commands; gives its answer ("0"/"1"), or why it could not run.
QString ProbeInOwnNetwork(const QString& setup) {
    QProcess process;
    process.start("unshare",
                  {"--net", "sh", "-c", setup + " && exec \"$0\"", QStringLiteral(NETWORK_PROBE)});
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return "failed: " + setup + ": " + process.readAllStandardError();
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}

}  // namespace

TEST(NetworkPresence, OnlineOnlyWithARunningInterfaceThatHasAnAddress) {
    const QString pair = "ip link add v0 type veth peer name v1";
    if (ProbeInOwnNetwork(pair).startsWith("failed"))
        GTEST_SKIP() << "network namespaces cannot be made here (needs root)";
    const std::pair<QString, QString> cases[] = {
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
    for (const auto& [setup, answer] : cases)
        EXPECT_EQ(ProbeInOwnNetwork(setup), answer);
}
