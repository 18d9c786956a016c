#include <gtest/gtest.h>

#include "tests/support/qt_printers.h"
#include "upgrader/http/auth_realm.h"
#include "upgrader/http/progress_figures.h"
#include "upgrader/http/request_url.h"

using namespace upgrader;

// The addresses come from the info file: what cannot be sent is refused.
TEST(HttpRequestText, QueryEncodingKeepsWrittenEscapes) {
    EXPECT_EQ(EncodeQuery("x=%26&y=%2b"), "x=%26&y=%2b") << "escapes already written stay";
    EXPECT_EQ(EncodeQuery("p=%zz&q=%4"), "p=%25zz&q=%254");
    EXPECT_EQ(EncodeQuery(QByteArray("\x01\x7f\x80\xff", 4)), "%01\x7f%80%FF");

    EXPECT_EQ(RequestURL("host/p a+th?x y#frag"), "http://host/p%20a+th?x%20y");
    EXPECT_EQ(RequestURL("https://user:pw@h:8443/a%20b/c?d=%26"), "https://h:8443/a%20b/c?d=%26");
    EXPECT_TRUE(RequestURL("http://h:99999/").isEmpty());
    EXPECT_TRUE(RequestURL(QByteArray("http://h/\0", 10)).isEmpty());
    EXPECT_TRUE(RequestURL("http://ho\x1ast/").isEmpty()) << "a host that cannot be sent";
}

// The realm the password window names.
TEST(HttpRequestText, RealmOfChallenge) {
    EXPECT_EQ(RealmOfChallenge("Digest nonce=\"n\", realm=\"r\""), "r");
    EXPECT_EQ(RealmOfChallenge("Basic realm=\"a\\\"b\""), "a\"b");
    EXPECT_EQ(RealmOfChallenge("Negotiate"), "Negotiate");
}

// The figures the wizard shows.
TEST(HttpProgress, Figures) {
    TauProgressFigures figures = ComputeProgress(1000, 250, 0, 2500);
    EXPECT_EQ(figures.PercentDone, 25);
    EXPECT_EQ(figures.ElapsedTime, 2);
    EXPECT_EQ(figures.EstimatedTimeLeft, 6);
    EXPECT_FLOAT_EQ(figures.TransferRate, 250.0f / 1024 / 2);
    EXPECT_EQ(ComputeProgress(1000, 5000, 0, 0).PercentDone, 100) << "never above 100";
    EXPECT_EQ(ComputeProgress(0, 4096, 100, 3000).PercentDone, 0) << "unknown size";
}
