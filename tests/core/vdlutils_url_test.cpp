// CheckUrl against a real HTTP server on loopback, run by the system's own
// Python interpreter for the duration of the suite.
#include "Vdlutils.h"

#include <QProcess>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class CheckUrlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // A proxy from the environment must not stand between the test and its server.
        qputenv("no_proxy", "127.0.0.1");
        server = new QProcess;
        server->start("/usr/bin/python3",
                      {QString(VARINDEL_TEST_DATA_DIR) + "/../core/http_status_server.py"});
        if (server->waitForStarted(5000) && server->waitForReadyRead(10000))
            port = server->readLine().trimmed().toInt();
    }
    static void TearDownTestSuite() {
        server->kill();
        server->waitForFinished(5000);
        delete server;
        server = nullptr;
    }
    void SetUp() override { ASSERT_GT(port, 0) << "the test server did not start"; }

    static std::string Address(const char* path) { return "http://127.0.0.1:" + std::to_string(port) + path; }

    static QProcess* server;
    static int port;
};

QProcess* CheckUrlTest::server = nullptr;
int CheckUrlTest::port = 0;

// A port that is bound but not listening refuses every connection.
class RefusingPort {
public:
    RefusingPort() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~RefusingPort() { ::close(socket_); }
    int port() const { return port_; }

private:
    int socket_;
    int port_ = 0;
};

} // namespace

TEST_F(CheckUrlTest, AcceptsOkAndTemporaryRedirectOnly) {
    EXPECT_TRUE(CheckUrl(Address("/200")));
    EXPECT_TRUE(CheckUrl(Address("/302")));
    EXPECT_FALSE(CheckUrl(Address("/301")));
    EXPECT_FALSE(CheckUrl(Address("/404")));
    EXPECT_FALSE(CheckUrl(Address("/bad")));
}

TEST_F(CheckUrlTest, IsFalseWhenNothingAnswersOrTheAddressIsNoWebAddress) {
    RefusingPort refusing;
    ASSERT_GT(refusing.port(), 0);
    EXPECT_FALSE(CheckUrl("http://127.0.0.1:" + std::to_string(refusing.port()) + "/200"));
    EXPECT_FALSE(CheckUrl("file:///etc/hostname"));
    EXPECT_FALSE(CheckUrl("not an address"));
    EXPECT_FALSE(CheckUrl(""));
}
