// The status-line texts of socket failures: the number and its reason.
#include "SocketStream.h"
#include "TcpErrors.h"

#include <gtest/gtest.h>

#include <cctype>

using namespace orvane;

namespace {

TEST(TcpErrorText, KeepsTheNumberAndAddsTheReason) {
    const std::pair<int, const char*> cases[] = {
        {10061, "TCP Error: 10061 (connection refused)"},
        {10060, "TCP Error: 10060 (connection timed out)"},
        {11001, "TCP Error: 11001 (host not found)"},
        {10054, "TCP Error: 10054 (connection reset by the server)"},
        // A number nobody maps to stays as it was.
        {12345, "TCP Error: 12345"},
    };
    for (const auto& [code, text] : cases) EXPECT_EQ(TcpErrorText(code), text);
}

// Every failure the socket can report gets a number with a short lower-case
// reason, so no user is left with a bare number.
TEST(TcpErrorText, EverySocketFailureHasAReason) {
    for (int e = QAbstractSocket::UnknownSocketError; e <= QAbstractSocket::TemporaryError; ++e) {
        const int code = SocketStream::ErrorNumber(static_cast<QAbstractSocket::SocketError>(e));
        const std::string text = TcpErrorText(code);
        const std::string prefix = "TCP Error: " + std::to_string(code) + " (";
        SCOPED_TRACE(e);
        ASSERT_EQ(text.rfind(prefix, 0), 0u) << text;
        ASSERT_EQ(text.back(), ')');
        const std::string reason = text.substr(prefix.size(), text.size() - prefix.size() - 1);
        EXPECT_FALSE(reason.empty());
        for (const char c : reason) EXPECT_FALSE(std::isupper(static_cast<unsigned char>(c))) << reason;
    }
}

} // namespace
