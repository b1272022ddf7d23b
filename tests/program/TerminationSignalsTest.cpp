// The program's SIGTERM and SIGINT handler, raised in this process.
#include "TerminationSignals.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace orvane;

namespace {

TEST(TerminationSignals, EachSignalLeavesOneWakeUp) {
    TerminationSignals pair;
    ASSERT_TRUE(pair.Caught());
    EXPECT_FALSE(pair.Drain());
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        raise(signal);
        EXPECT_TRUE(pair.Drain());
        EXPECT_FALSE(pair.Drain());
    }
}

TEST(TerminationSignals, ASignalOnAFullPairNeitherBlocksNorChangesErrno) {
    TerminationSignals pair;
    ASSERT_TRUE(pair.Caught());
    // A blocking pair would hang the handler below.
    ASSERT_TRUE(fcntl(pair.WriteFd(), F_GETFL) & O_NONBLOCK);

    // Filled to the brim, the pair refuses the handler's byte with EAGAIN,
    // so only a handler that gives errno back leaves the caller's value.
    const char byte = 1;
    while (::send(pair.WriteFd(), &byte, 1, MSG_DONTWAIT) == 1) {
    }
    ASSERT_EQ(errno, EAGAIN);
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        errno = EDOM;
        raise(signal);
        EXPECT_EQ(errno, EDOM);
    }
    // The bytes already waiting are the wake-up.
    EXPECT_TRUE(pair.Drain());
    EXPECT_FALSE(pair.Drain());
}

TEST(TerminationSignals, ProgramsStartedDoNotInheritThePair) {
    // An inherited descriptor shows, so the probe can see one.
    const int inherited = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(inherited, 0);
    {
        TerminationSignals pair;
        ASSERT_TRUE(pair.Caught());
        QString probe;
        for (const int fd : {inherited, pair.ReadFd(), pair.WriteFd()})
            probe += QString("[ -e /proc/$$/fd/%1 ] && echo %1; ").arg(fd);
        QProcess sh;
        sh.start("/bin/sh", {"-c", probe + "true"});
        ASSERT_TRUE(sh.waitForFinished(10000));
        EXPECT_EQ(QString::fromUtf8(sh.readAllStandardOutput()).trimmed(), QString::number(inherited));
    }
    ::close(inherited);
    // The handlers are given back.
    struct sigaction now {};
    sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

} // namespace
