#include "help_text.h"

namespace tolm::sim {

const char* const kHelpText =
    R"(Usage: tolm-sim [MODULE OPTIONS] [SERVE OPTIONS]       stand in for modules
       tolm-sim --send TEXT... [--repeat K] [--interval-us U | --rate N]  send, exit
       tolm-sim --check-config | --print-responses [MODULE OPTIONS]
       tolm-sim --help

Stands in for any number of field-bus Ethernet interface modules on one UDP
socket bound to 0.0.0.0:3250, speaking the TOLM discovery protocol. Every mode
that opens a socket runs only inside a lab network namespace (TOLM_LAB set and
no links but lo and tl*); elsewhere it refuses with exit status 3.

Modules (deterministic: the same options give the same modules)
  --modules N             number of modules, 1..100000 (default 1)
  --config FILE           the modules from a description file (below); not with
                          --modules, but the options below still give defaults
  --mac-base MAC          MAC of module 1; the next ones count up
                          (default 02-00-00-00-00-01)
  --ip-base IP            IP of module 1; the next ones count up (default 10.77.0.101)
  --subnet IP             subnet mask (default 255.255.255.0)
  --gateway IP            default gateway (default 10.77.0.1)
  --dns1 IP               primary DNS server (default 10.77.0.1)
  --dns2 IP               secondary DNS server (default 10.77.0.2)
  --fb-type TEXT          field-bus type; repeatable, module n takes them in turn
                          (default "PROFIBUS DP")
  --module-version A.B.C  firmware version; repeatable, taken in turn (default 2.15.1000)
  --protocol-version A.B  protocol version (default 1.0)
  --dhcp on|off           DHCP setting (default off)
  --host-name PREFIX      module n is called PREFIX-n (default module)
  --password PW           the modules have this password in force ("pswd = on")
  Texts hold at most 127 characters and no ';', NUL or scan-response key
  ("ip = " and the like), so that a scan reads every field back whole.

Serving (the default mode)
  --delay-max-ms N        each module answers a scan after its own random 0..N ms
                          (default 0: at once)
  --seed S                seed of those delays and of the losses: the same seed, the same
                          delays and the same answers lost (default 1)
  --loss P                loses each answer to a scan with the share P (0 to 1, such as 0.1
                          for one in ten), as a plant network loses datagrams (default 0)
  --burst                 answer a scan back to back from precomposed datagrams with no
                          other work per answer, for stress tests; not with --delay-max-ms
  --answers-per-second N  the modules answer a scan one after another, N a second (module n
                          n/N seconds after the scan, on top of its delays), for load tests;
                          not with --burst
  --up-after-ms MS        the modules are powered up one by one: module 1 MS ms after the
                          start, before which none answers or takes a request (default 0)
  --up-every-ms MS        module n+1 comes up MS ms after module n (default 0: all at once)
  --own-addresses         each module sends its answers and replies from its own IP
                          address (the one it reports, new after a configure request),
                          as a real module does, not from this host's address; modules
                          whose address no host can have (0.0.0.0, broadcast, loopback,
                          multicast, class E) send from this host's. Needs CAP_NET_ADMIN
                          (IP_TRANSPARENT), as in the lab
  --log FILE              one line per received datagram, flushed at once: printable
                          ASCII as is, a backslash as \\, every other byte as \xNN
                          (upper-case hex; the trailing NUL shows as \x00)
  --ready-file FILE       created, holding the process id, once the socket is bound;
                          removed again on a clean exit

  A datagram that begins with "Module Scan" (any letter case): every module answers
  with its scan response, broadcast to 255.255.255.255:3250, its NUL counted:
    protocol version = 1.0;fb type = PROFIBUS DP;module version = 2.15.1000;
    mac = 02-00-00-00-00-01;ip = 10.77.0.101;sn = 255.255.255.0;gw = 10.77.0.1;
    dhcp = off;pswd = off;hn = module-1;dns1 = 10.77.0.1;dns2 = 10.77.0.2;
  (one line on the wire). "Configure: MAC;" followed by the pieces "Password: x;",
  "New Password = x;", "IP = a.b.c.d;", "SN = ..;", "GW = ..;", "DHCP = ON;" or
  "DHCP = OFF;", "HN = x;", "DNS1 = ..;", "DNS2 = ..;" (keys in any letter case, the
  text read up to its first NUL), for a MAC of ours: a module with a password in force
  whose password is missing or wrong answers "Invalid Password: XX-XX-XX-XX-XX-XX";
  otherwise it applies every piece given and answers "Reconfigured: XX-XX-XX-XX-XX-XX"
  (both broadcast, NUL counted), and its next scan response shows the new values.
  "New Password = ;" clears the password. Requests for other MACs, requests with a
  malformed MAC or value (applied not in part but not at all) and every other datagram
  are ignored. Our own broadcasts coming back (from a local address and port 3250) are
  neither logged nor handled. SIGTERM or SIGINT ends the simulator cleanly; it then
  prints its counts on stderr.

Sending (any --send option: send the datagrams in the order given and exit)
  --send TEXT             a datagram in C escapes: \\ \" \' \n \r \t \0 (one NUL, never
                          octal) \xNN; no NUL is added unless written; repeatable
  --send-hex HEX          a datagram as pairs of hex digits, blanks allowed; repeatable
  --send-size N           a datagram of N filler bytes 'A', 0..65507; repeatable
  --send-empty            a zero-length datagram; repeatable
  --repeat K              send the whole list K times (default 1)
  --interval-us U         pause U microseconds after each datagram (default 0)
  --rate N                send N datagrams a second, paced by the clock (a flood);
                          not with --interval-us
  The datagrams go from an ephemeral port to 255.255.255.255:3250, so this works
  while a simulator holds port 3250 in the same namespace.

Checking (no socket, no lab needed)
  --check-config          build the modules, report how many, exit
  --print-responses       print every module's scan-response datagram, one per line,
                          escaped as for --log, and exit
  -h, --help              this text

Description file (--config)
  One module per line, as key=value pairs separated by blanks. A value with blanks,
  '#' or escapes goes in double quotes, inside which the C escapes above are decoded.
  '#' at the start of a pair begins a comment; blank lines are skipped. Keys:
    mac ip subnet gateway dns1 dns2 fb-type module-version protocol-version dhcp
    password host-name (the whole name, no number added)
    response (a datagram sent verbatim instead of the composed scan response, with no
             NUL added; configure requests still act on the module's settings)
    answer-delay-ms (this many ms, up to 60000, added to the module's delay before it
             answers each scan: a module that answers late; not under --burst)
  What a line leaves out comes from the module options for its module number: the
  n-th module line takes the n-th MAC and IP and the host name PREFIX-n. Modules may
  share a MAC; each of them then answers a configure request. Errors name FILE:LINE.
  Example:
    # the second module has a password; the third answers with an odd text
    mac=02-00-00-00-00-01 ip=10.77.0.101 fb-type="PROFIBUS DP" host-name=press-1
    mac=02-00-00-00-00-02 ip=10.77.0.102 dhcp=on password=secret
    mac=02-00-00-00-00-03 response="IP = 10.0.0.300;hn = odd\0"

Exit status: 0 done; 1 socket, send or file failure; 2 bad command line or
description file; 3 refused outside the lab.
)";

}  // namespace tolm::sim
