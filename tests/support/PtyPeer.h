#pragma once
// The far end of a serial line: a pseudo-terminal whose slave side the
// component opens like a serial device while the test writes and reads the
// master side. The slave is raw, so bytes pass unchanged both ways.
#include <string>

namespace orvane::test {

class PtyPeer {
public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    // The device path of the slave side (/dev/pts/N).
    const std::string& DevicePath() const { return path_; }
    // Makes "COMn" lead to this line: <userDataFolder>/ports/<com> -> slave.
    std::string LinkAs(const std::string& userDataFolder, const std::string& com) const;

    // Writes every byte, waiting up to timeoutMs for room as a line would;
    // false once hung up or out of time.
    bool Write(const std::string& bytes, int timeoutMs = 5000);
    // What the component sent and is waiting now; waits up to timeoutMs for
    // the first byte.
    std::string Read(int timeoutMs = 0);
    // Reads until n bytes have come or timeoutMs passed without a byte.
    std::string ReadCount(size_t n, int timeoutMs);
    // The far end goes away, as a USB adapter pulled out.
    void HangUp();
    bool HungUp() const { return master_ < 0; }
    int MasterFd() const { return master_; }
    int SlaveFd() const { return slave_; }

private:
    int master_ = -1;
    int slave_ = -1; // held open so the line stays up between the component's opens
    std::string path_;
};

} // namespace orvane::test
