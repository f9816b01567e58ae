#pragma once
// Texts of the virtual drive program n350-sim: its help and its messages.

namespace pv::res::sim {

inline constexpr const char* kHelp =
    R"(n350-sim - a bus of virtual N350 drives for Parvolt, parvolt-cli, tests and demos.

Usage: n350-sim [--pty [--link PATH]] [--tcp PORT [--bind ADDR]] [options]

Serving (at least one; --pty when none is given):
  --pty               serve on a new pseudo-terminal; its path is printed on the first line.
                      Open it as a serial port, e.g. parvolt-cli identify --port /dev/pts/3
  --link PATH         also make PATH a symbolic link to the pseudo-terminal (removed at exit)
  --tcp PORT          serve Modbus RTU frames over TCP on PORT (0 picks a free port); the
                      address is printed as tcp:ADDR:PORT. One client at a time.
  --bind ADDR         address to listen on (default 127.0.0.1, loopback only)

Drives:
  --stations LIST     stations on the bus, e.g. 1,3,5-12 (default 1; at most 32)
  --model NAME        model of every station, e.g. N350-401-H (default N350-2P5-H)
  --model S=NAME      model of station S (repeat for several stations)
  --version N         software version 13-01 as its raw value (default 135, shown as 1.35)
  --data DIR          folder of the data files (default: beside the program)
  --strict            drives also refuse (exception 3) parameter writes that the write rules
                      forbid: control mode, firmware version, frame size, related parameters

Line (the pseudo-terminal starts with these; a program that sets its own wins):
  --baud N            1200..115200 (default 9600); a request is answered once complete by its
                      length, one of unknown layout after 3.5 characters of silence
  --parity P          none, odd or even (default none)
  --stop N            1 or 2 stop bits (default 2)
  --turnaround-us N   the drive's time from request to reply, in microseconds (default 0)
  --wire-time         also hold each reply for the time its characters take on the line

Faults (repeatable; settable per station):
  --fault STATION:KIND[:ARG][@MODE]
      KIND  drop        no reply
            badcrc      reply with a spoiled CRC
            delay       reply held back ARG ms (default 1000, past the 500 ms time-out)
            wrongfunc   reply with function code ARG (default the request's + 1)
            exception   exception reply with code ARG (default 4)
            late        reply held back ARG ms (default 700) into the next transaction
            garbage     ARG noise bytes (default as many as the reply)
            truncated   only the first ARG bytes of the reply (default half)
            disconnect  no reply, and the wire stays unplugged
      MODE  always (default), once, or a number of replies, e.g. 1:drop@3

Copy module:
  --copy-module       the pseudo-terminal serves a virtual copy module (4 KiB per storage
                      group) instead of the drives, at 9600 baud 8N1 unless --baud/--stop say
                      otherwise; TCP and adapters still serve the drives
  --copy-fault KIND[@N]  unplugged (no frame reaches it) or badcrc (replies with a spoiled
                      CRC), from its N-th reply on (default 0: at once)

Network adapters (repeatable):
  --adapter MAC[@IP]  an adapter, e.g. 00-20-4a-14-01-18@127.0.0.2 (default 127.0.0.1), with
                      the drives on TCP at IP (port of --tcp, default 10001); it answers the
                      discovery query and takes a new address when asked (any 127.x.y.z)
  --adapter-port N    UDP port of discovery and address change (default 30718)

  --help              this text

While it runs, commands typed on its standard input change the drives (type help).
Stops cleanly on Ctrl+C (SIGINT) or SIGTERM.
)";

inline constexpr const char* kConsoleHelp =
    R"(fault STATION:KIND[:ARG][@MODE]   inject a fault (as --fault; MODE default always)
clear [STATION]                   remove the faults of one station or of all
unplug | plug                     take the wire away or give it back
get STATION GG-NN                 show a parameter as the drive's display would
set STATION GG-NN VALUE           change a parameter (range-checked)
version STATION N                 software version 13-01 as its raw value
status STATION                    the motor: running, direction, output and target frequency
power STATION                     switch the drive off and on (passwords become active again)
trip STATION CODE                 trip a fault (1..255, the fault code of 0x2521): the output
                                  stops until Fault Reset
help                              this text)";
inline constexpr const char* kOk = "ok";
inline constexpr const char* kUnknownCommand = "unknown command (type help): ";
inline constexpr const char* kNoSuchStation = "no drive at station ";
inline constexpr const char* kNoSuchParameter = "no such parameter: ";
inline constexpr const char* kValueRefused = "refused: ";
inline constexpr const char* kConsoleMotorFormat =
    "station %d: %s, %s, output %.2f Hz, target %.2f Hz";
inline constexpr const char* kRunning = "running";
inline constexpr const char* kStoppedState = "stopped";
inline constexpr const char* kForward = "forward";
inline constexpr const char* kReverse = "reverse";

inline constexpr const char* kPrefix = "n350-sim: ";
inline constexpr const char* kUnknownOption = "unknown option ";
inline constexpr const char* kMissingValue = "missing value for ";
inline constexpr const char* kBadNumber = "not a number: ";
inline constexpr const char* kMustBe = " must be ";
inline constexpr const char* kBadStations = "bad station list: ";
inline constexpr const char* kStationRange = "stations must be 1..32: ";
inline constexpr const char* kUnknownModel = "unknown model: ";
inline constexpr const char* kBadFault = "bad fault (STATION:KIND[:ARG][@MODE]): ";
inline constexpr const char* kBadBaud = "unsupported baud rate: ";
inline constexpr const char* kBadParity = "parity must be none, odd or even: ";
inline constexpr const char* kBadStop = "stop bits must be 1 or 2: ";
inline constexpr const char* kNoDataFiles =
    "parameter definitions not found in the data folder; the drives carry only their "
    "identification, command, status and PLC registers: ";
inline constexpr const char* kPtyFailed = "cannot create a pseudo-terminal: ";
inline constexpr const char* kLinkFailed = "cannot make the link ";
inline constexpr const char* kLinkInUse = "it leads to a terminal in use (another n350-sim?): ";
inline constexpr const char* kTcpFailed = "cannot listen on ";
inline constexpr const char* kServing = "serving stations ";
inline constexpr const char* kBadCopyFault = "copy module fault must be unplugged or badcrc[@N]: ";
inline constexpr const char* kBadAdapter = "bad adapter (MAC[@IP], e.g. 00-20-4a-14-01-18@127.0.0.2): ";
inline constexpr const char* kAdapterFailed = "cannot serve the adapter at ";
inline constexpr const char* kAdapterCannotMove = "adapter %s cannot take the address %s: %s\n";
inline constexpr const char* kServingCopyModule = "serving a copy module";
inline constexpr const char* kStopped = "stopped";

}  // namespace pv::res::sim
