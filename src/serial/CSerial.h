#pragma once
// The communication channel: one object per link, opened on a serial device, a TCP adapter or
// the in-process virtual drive, carrying one Modbus RTU transaction per CommandSend. Derived
// classes adjust the receive (Read) and the reply validation (CheckCRC).

#include <netinet/in.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "serial/NetAdapter.h"
#include "serial/Port.h"

namespace pv::serial {

// Result of one transaction.
enum ErrType : int {
    ErrNone = 0,       // a reply of the expected length (or a complete exception reply) arrived
    ErrCrc = 1,        // the reply failed the CRC check
    ErrTimeOut = 2,    // no complete reply within the response time-out, or the wire is gone
    ErrMalformed = 3,  // a reply arrived but is not an answer to the request
};

enum EBaudrate : int {
    EBaud1200 = 1200,
    EBaud2400 = 2400,
    EBaud4800 = 4800,
    EBaud9600 = 9600,
    EBaud19200 = 19200,
    EBaud38400 = 38400,
    EBaud57600 = 57600,
    EBaud115200 = 115200,
};
enum EDataBits : int { EData7 = 7, EData8 = 8 };
enum EParity : int { EParNone = 0, EParOdd = 1, EParEven = 2 };
enum EStopBits : int { EStop1 = 1, EStop2 = 2 };

enum class PortKind { None, Serial, Tcp, Virtual };

class CSerial {
public:
    static constexpr int kDefaultTcpPort = 10001;
    static constexpr int kDiscoveryPort = 30718;
    static constexpr std::chrono::milliseconds kDefaultResponseTimeout{500};

    CSerial();
    virtual ~CSerial();
    CSerial(const CSerial&) = delete;
    CSerial& operator=(const CSerial&) = delete;

    // Opens a link. `port` is a serial device ("/dev/ttyUSB0", "ttyUSB0", "COM1"), "TCPIP"
    // (the adapter at tcpAddress, port tcpPort), "SIM" (the registered virtual drive) or the
    // name of another registered virtual device ("SIM-COPY").
    // parity: 0 none, 1 odd, 2 even. The two sizes are the buffer sizes the caller asks for;
    // frames are far smaller, so they only bound a single reception. Non-zero when open.
    virtual int InitComm(const std::string& port, int baud, int dataBits, int parity,
                         float stopBits, int inSize = 2048, int outSize = 2048);
    // Ends the link; harmless on a closed object.
    virtual void Close();
    // Sends raw bytes without waiting for a reply (broadcast frames). Non-zero when all were
    // written; `written` receives the count.
    virtual int Write(const std::uint8_t* data, std::size_t len, std::size_t* written,
                      int timeoutMs);
    // Receives one frame into `buf`. The frame ends when it is complete: `len` bytes, a complete
    // exception reply (five bytes with a good CRC) to the request being answered, or a frame of
    // another length with a good CRC followed by the silence that ends a frame. A partial frame
    // waits for its rest. Never waits longer than `timeoutMs` (-1: the response time-out),
    // whatever the peer sends. Returns the bytes received (also in `bytesRead`), -1 when the
    // wire is gone.
    virtual long Read(std::uint8_t* buf, std::size_t len, std::size_t* bytesRead, int timeoutMs);
    // One transaction: stale input dropped, inter-frame gap kept, request written, reply read
    // and validated. It ends within the response time-out (counted from the end of the request
    // on the wire), whatever the peer sends.
    virtual ErrType CommandSend(const std::uint8_t* request, std::size_t len, std::uint8_t* reply,
                                std::size_t expectedLen);
    // One exchange of a frame that is not Modbus RTU (the copy module's 0xFA frames): stale
    // input dropped, the gap kept, the request written, `expectedLen` reply bytes read within
    // the response time-out and their CRC checked. Nothing of the request is read as a station
    // or a function code; the caller judges the echoed fields.
    ErrType FrameSend(const std::uint8_t* request, std::size_t len, std::uint8_t* reply,
                      std::size_t expectedLen);
    // Validates a received frame.
    virtual bool CheckCRC(const std::uint8_t* frame, std::size_t len);
    // Finds the network adapters on the local network (UDP broadcast on the discovery port).
    // Returns the number found.
    virtual int SearchIP(std::vector<NetAdapter>& adapters);
    // Gives the adapter with this MAC ("00-20-4a-14-01-18") a new IPv4 address. Non-zero when
    // the adapter confirmed it.
    virtual int setIPAddress(const std::string& ip, const std::string& mac);
    // Hands the MAC of the adapter the next TCP/IP open goes to.
    virtual void GetStrMac(const std::string& mac);

    // Drops every byte received and not yet read (the equivalent of purging the receive queue).
    void PurgeInput();

    bool isOpen() const;
    // True once the wire of an opened link is gone (adapter unplugged, adapter or simulator
    // closed the connection): the link is lost and must be ended and opened again.
    bool wireGone() const;
    PortKind portKind() const { return kind_; }
    const LineSettings& lineSettings() const { return settings_; }
    const std::string& macText() const { return mac_; }
    // Why the last open or transaction failed on the wire (for logs and the command line).
    std::string lastFailure() const;
    // How often a transaction had to sit out the rest of a possible late reply before its
    // request (only a request to the station that just timed out has to), and how many late
    // replies of another station were recognised and dropped while waiting for a reply.
    std::uint64_t lateReplyWaits() const { return lateReplyWaits_; }
    std::uint64_t lateRepliesDropped() const { return lateRepliesDropped_; }

    void setResponseTimeout(std::chrono::milliseconds t) { responseTimeout_ = t; }
    std::chrono::milliseconds responseTimeout() const { return responseTimeout_; }
    // Silence that ends a frame with a good CRC short of the expected length: 3.5 character
    // times, at least 1.75 ms, and never less than the floor of the wire kind (USB adapters
    // deliver bytes in bursts up to 16 ms apart; a TCP adapter's segments a little after the
    // line's own silence).
    std::chrono::microseconds frameSilence() const;
    // The pause kept between the end of the last traffic and the next request.
    std::chrono::microseconds interFrameGap() const;
    void setSilenceFloor(std::chrono::microseconds floor) { silenceFloor_ = floor; }
    void setConnectTimeout(std::chrono::milliseconds t) { connectTimeout_ = t; }

    // Where a "TCPIP" link goes: the adapter's IPv4 address (as discovery found it) and the TCP
    // port its RTU bridge listens on.
    sockaddr_in tcpAddress{};
    int tcpPort = kDefaultTcpPort;
    // Where SearchIP and setIPAddress send their datagrams, and the local port they listen on
    // (adapters answer to the port the query came from; tests point both at loopback).
    std::string discoveryAddress = "255.255.255.255";
    int discoveryPort = kDiscoveryPort;
    int discoveryLocalPort = kDiscoveryPort;
    std::chrono::milliseconds discoveryWait{2000};

protected:
    // The request CommandSend is waiting on, so that Read can recognise a complete exception
    // reply to it (function code with bit 7 set, five bytes).
    std::uint8_t pendingFunction_ = 0;

    // Whether `got` received bytes answer `request`: length (or a complete exception reply),
    // CheckCRC, then station and function echo. The receive is separate, so a derived channel
    // that gets its bytes elsewhere judges them by the same rules.
    ErrType validateReply(const std::uint8_t* request, std::size_t len, const std::uint8_t* reply,
                          std::size_t got, std::size_t expectedLen);
    // The length asked for (or a whole exception reply) and a CRC that holds.
    ErrType checkFrame(const std::uint8_t* reply, std::size_t got, std::size_t expectedLen,
                       bool exception);

private:
    using Clock = std::chrono::steady_clock;
    // A request that got no complete reply: until `until` its answer may still come.
    struct Unanswered {
        std::uint8_t station = 0;
        std::uint8_t function = 0;
        std::size_t replyLength = 0;
        Clock::time_point until{};
    };

    void waitGap();
    // Puts a request on the wire after the inter-frame silence and returns when its last
    // character leaves (the response time-out runs from there); nullopt when it could not be
    // sent. `modbus`: an earlier station's late reply is listened out first.
    std::optional<Clock::time_point> putRequest(const std::uint8_t* request, std::size_t len,
                                                bool modbus);
    // Reads up to `expectedLen` reply bytes, waiting no later than `deadline`.
    long readReply(std::uint8_t* reply, std::size_t expectedLen, std::size_t& got,
                   Clock::time_point deadline);
    // Before a request to the station that just timed out: listens until its late answer can no
    // longer come, dropping whatever arrives. Only that station's answer could pass for the
    // reply to this request; another station's is told apart by its address and dropped by Read.
    void drainLateReplies(std::uint8_t station);
    // Length of the late reply at the front of `rx_` (the station that timed out, its function or
    // exception), 0 when the front is not one.
    std::size_t lateReplyLength(std::size_t got) const;
    // After a complete reply: bytes that follow within the frame gap mean two frames ran
    // together. Listens until the gap ends (or the deadline); true when the line stayed quiet.
    bool lineQuietAfterReply(Clock::time_point deadline);
    void noteTraffic(Clock::time_point at) { lastTraffic_ = at; }

    std::unique_ptr<Port> port_;
    PortKind kind_ = PortKind::None;
    LineSettings settings_;
    std::string mac_;
    std::string failure_;
    std::chrono::milliseconds responseTimeout_ = kDefaultResponseTimeout;
    std::chrono::milliseconds connectTimeout_{3000};
    std::chrono::microseconds silenceFloor_{1750};
    Clock::time_point lastTraffic_{};
    // Set by CommandSend for the Read it calls: the end of the response time-out.
    Clock::time_point readDeadline_{};
    Unanswered unanswered_;
    std::vector<std::uint8_t> rx_;
    std::uint64_t lateReplyWaits_ = 0;
    std::uint64_t lateRepliesDropped_ = 0;
    std::size_t maxReception_ = 2048;
};

}  // namespace pv::serial
