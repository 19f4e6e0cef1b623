#include "tap_options.h"

namespace veltro::tap {

std::string tapUsageText() {
    return R"(Usage: veltro-mqtt --device PATH [options]

Sits between a Veltro wattmeter and the panel: opens the meter's serial
device, makes a pseudo-terminal linked as <folder>/ports/com<N> for the panel,
relays every byte both ways unchanged, and publishes each reading to an MQTT
broker under veltro/<id>/: status, link, state (JSON), tx, alarm, with Home
Assistant discovery. While no program has the panel's side open, the tap
polls the meter itself (see --alone-poll); none of those replies reaches a
panel.

Options (each also a "name = value" line of a --config file; the command
line wins):
  -d, --device PATH        the meter's serial device (for example
                           /dev/serial/by-id/usb-...); never the tap's own
                           ports/com<N>: a simulator beside it takes another
                           --port or --dir
  -p, --port N             the panel's port number, link ports/com<N>, 1..255
                           (default 1)
  --dir FOLDER             folder that holds ports/ (default: where the panel
                           beside it looks, as veltro-meter-sim does)
  --host HOST              broker (default 127.0.0.1); only 127.x.x.x, ::1
                           and localhost count as this machine
  --broker-port N          broker port (default 1883, 8883 with --cafile)
  --id ID                  topic level veltro/<id>/: letters, digits, - and _
                           (default <host name>-com<N>)
  --discovery-prefix P     Home Assistant's prefix (default homeassistant)
  --no-discovery           publish no discovery, and clear what an earlier
                           run published for this id
  --cafile FILE            TLS, trusting this CA
  --cert FILE --key FILE   TLS client certificate and its key
  --user NAME              broker user name
  --password-file FILE     the password: the file's first line (at most 4 KiB)
  --insecure               allow a broker on another machine without TLS
  --record FILE            write the line traffic to FILE, one chunk a line:
                           ms since start, > to or < from the meter, bytes
                           with \\ and \xHH escapes (veltro-meter-sim --replay)
  --heartbeat S            republish everything every S seconds (default 30)
  --forget                 clear every retained topic of this id on the
                           broker (status, link, state, tx, alarm,
                           discovery), then exit; needs no device
  --alone-poll MS          while no program has the panel's side open, poll
                           the meter every MS ms (default 100; 0: never)
  --generation G           the meter's firmware for those polls: newer ("P"
                           at 115200 baud, the default) or older (";P?" at
                           38400 baud)
  --config FILE            read options from FILE (at most 64 KiB)
  -h, --help               show this text

Files are read only if they are regular files; CA, certificate and key (at
most 1 MiB each, PEM, the key without a passphrase) are checked at start.

Exit status: 0 after SIGINT or SIGTERM (and after --forget), 1 when the
device or a file cannot be used at start (or --forget finds no broker), 2 for
bad options, a bad config file or a device that is the tap's own panel
side. A device that vanishes later is retried each second; a broker that is
down, refuses the login or whose name does not resolve yet is retried from
the start, after 1 s doubling to 60 s.
)";
}

}  // namespace veltro::tap
