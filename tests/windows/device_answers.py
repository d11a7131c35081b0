#!/usr/bin/env python3
"""Checks a UdpRavikDevice build as a program, whichever platform it was built for: it starts
the device, sends it requests from a loopback client, and compares every answer byte for byte
and every output line with what the Linux device gives. Then it floods the device, sends it
Ctrl+C (SIGINT, which Wine passes to the console handler) and expects a clean stop; last it
starts the device again and expects it to end on SIGTERM.

    device_answers.py [--address 127.0.0.N] [--port P] DEVICE_COMMAND...

DEVICE_COMMAND starts the device and must become its process (exec), so that the signals reach
it: build/tools/device/UdpRavikDevice, or scripts/wine-run PREFIX [--dll-dir DIR]... DEVICE.exe.
The script adds --address, --port, --values count and --verbose. Run it inside
scripts/private-network: only loopback is used, and nothing else holds the address and port.
Exits 0 when all agrees, 1 with a message on the first difference. ctest runs it as the test
device_answers in the cross build under Wine (on Linux the device's program tests do this)."""

import argparse
import ipaddress
import queue
import signal
import socket
import subprocess
import sys
import threading
import time

STARTUP_SECONDS = 90  # a first Wine start creates its prefix
ANSWER_SECONDS = 5
SILENCE_SECONDS = 0.5
STOP_SECONDS = 10
FLOOD_SECONDS = 0.5


class Difference(Exception):
    pass


def words(first, count):
    return " ".join(f"{(first + i) & 0xFFFF:04X}" for i in range(count))


def read_answer(tr, first, count):
    """The answer to a function 3 request while register a holds a."""
    size = 2 * count
    header = f"{tr >> 8:02X} {tr & 0xFF:02X} 00 00 {(size + 3) >> 8:02X} {(size + 3) & 0xFF:02X}"
    values = " ".join(f"{w[:2]} {w[2:]}" for w in words(first, count).split())
    return f"{header} 01 03 {size:02X} {values}"


# (request, the answer or None when the device must stay silent, the verbose line after the
# sender), in order: the write changes what the later read sees. The answers' rules are the
# request handler's own tests; these show the program serves them over its socket.
EXCHANGES = [
    ("00 01 00 00 00 06 01 03 00 00 00 02", "00 01 00 00 00 07 01 03 04 00 00 00 01",
     "tr 1 unit 1 F3 start 0 count 2 -> ok"),
    ("00 04 00 00 00 06 01 03 FD E8 00 7D", read_answer(4, 65000, 125),
     "tr 4 unit 1 F3 start 65000 count 125 -> ok"),
    ("00 06 00 00 00 06 01 03 FF FF 00 02", "00 06 00 00 00 03 01 83 02",
     "tr 6 unit 1 F3 start 65535 count 2 -> exception 2"),
    ("00 07 00 00 00 06 01 06 00 07 12 34", "00 07 00 00 00 06 01 06 00 07 12 34",
     "tr 7 unit 1 F6 address 7 value 0x1234 -> ok"),
    ("00 09 00 00 00 06 01 03 00 06 00 03", "00 09 00 00 00 09 01 03 06 00 06 12 34 00 08",
     "tr 9 unit 1 F3 start 6 count 3 -> ok"),
    ("01 02 03 04 05", None, "5 bytes -> ignored"),
]


def hex_bytes(data):
    return " ".join(f"{b:02X}" for b in data)


class Device:
    """The device as a child process, its standard output read line by line."""

    def __init__(self, command):
        self.process = subprocess.Popen(command, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.lines = queue.Queue()
        self.errors = []
        threading.Thread(target=self._read, args=(self.process.stdout, self.lines.put),
                         daemon=True).start()
        self.error_reader = threading.Thread(
            target=self._read, args=(self.process.stderr, self.errors.append), daemon=True)
        self.error_reader.start()

    @staticmethod
    def _read(stream, put):
        # Windows ends its lines with CR LF.
        for line in stream:
            put(line.decode("utf-8", "replace").rstrip("\r\n"))
        put(None)

    def error_output(self):
        """Standard error, whole once the device has ended."""
        if self.process.poll() is not None:
            self.error_reader.join(ANSWER_SECONDS)
        return [line for line in self.errors if line is not None]

    def line(self, seconds, waiting_for):
        try:
            line = self.lines.get(timeout=seconds)
        except queue.Empty:
            raise Difference(f"no output line within {seconds} s, waiting for {waiting_for}")
        if line is None:
            raise Difference(f"the device ended (exit code {self.process.wait()}) while "
                             f"waiting for {waiting_for}; standard error: {self.error_output()}")
        return line

    def expect_line(self, expected, seconds=ANSWER_SECONDS):
        line = self.line(seconds, repr(expected))
        if line != expected:
            raise Difference(f"output line differs:\n  expected {expected!r}\n  got      {line!r}")

    def stop(self, sig, seconds=STOP_SECONDS):
        self.process.send_signal(sig)
        try:
            return self.process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            raise Difference(f"still running {seconds} s after {signal.Signals(sig).name}")

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def socket_bound_here(port):
    """Whether any UDP socket of this network namespace holds the port."""
    with open("/proc/net/udp") as table:
        return any(int(row.split()[1].split(":")[1], 16) == port
                   for row in list(table)[1:])


def free_port(address):
    """A port the system hands out, for the device to take: a fixed one may be held by any
    program of the machine where the tests run in its own network."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind((address, 0))
        return probe.getsockname()[1]


def check_exchanges(device, client, address, port):
    own_port = client.getsockname()[1]
    for request, answer, line in EXCHANGES:
        client.sendto(bytes.fromhex(request), (address, port))
        client.settimeout(ANSWER_SECONDS if answer else SILENCE_SECONDS)
        try:
            got, sender = client.recvfrom(70000)
        except socket.timeout:
            got, sender = None, None
        if answer is None and got is not None:
            raise Difference(f"[{request}] must stay unanswered, got [{hex_bytes(got)}]")
        if answer is not None and got is None:
            hint = "" if socket_bound_here(port) else (
                f"; no socket holds port {port} in this network namespace: under Wine the "
                "prefix's wineserver owns the sockets, and one started in another namespace "
                "(wine-run keeps it a minute) binds there. Stop it (scripts/wine-run PREFIX "
                "--end) or use a fresh prefix")
            raise Difference(f"[{request}]: no answer within {ANSWER_SECONDS} s{hint}")
        if got is not None and got != bytes.fromhex(answer):
            raise Difference(f"[{request}]:\n  expected [{answer}]\n  got      "
                             f"[{hex_bytes(got)}]")
        if sender is not None and sender[1] != port:
            raise Difference(f"[{request}]: answered from port {sender[1]}, not {port}")
        device.expect_line(f"127.0.0.1:{own_port} [{request}] {line}")


def flood_then_interrupt(device, address, port):
    """Requests as fast as one thread sends them, and Ctrl+C in the middle of them."""
    flooding = threading.Event()
    flooding.set()

    def flood():
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender:
            sender.bind(("127.0.0.1", 0))
            sender.setblocking(False)
            request = bytes.fromhex(EXCHANGES[0][0])
            while flooding.is_set():
                try:
                    sender.sendto(request, (address, port))
                    while True:
                        sender.recv(100)
                except BlockingIOError:
                    pass

    thread = threading.Thread(target=flood)
    thread.start()
    try:
        time.sleep(FLOOD_SECONDS)
        started = time.monotonic()
        code = device.stop(signal.SIGINT)
        took = time.monotonic() - started
    finally:
        flooding.clear()
        thread.join()
    if code != 0:
        raise Difference(f"exit code {code} after Ctrl+C, expected 0")
    # Verbose lines of the flood's requests, then the last line.
    while (line := device.line(ANSWER_SECONDS, "'UdpRavikDevice stopped'")) != \
            "UdpRavikDevice stopped":
        if " -> " not in line:
            raise Difference(f"unexpected output line under the flood: {line!r}")
    return took


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--address", default="127.0.0.245")
    parser.add_argument("--port", type=int, help="default: one the system hands out")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    if not args.command:
        parser.error("the device's command is missing")
    if ipaddress.ip_address(args.address) not in ipaddress.ip_network("127.0.0.0/8"):
        parser.error("the device must listen on a loopback address (127.0.0.0/8)")
    args.port = args.port or free_port(args.address)
    command = args.command + ["--address", args.address, "--port", str(args.port),
                              "--values", "count", "--verbose"]

    device = Device(command)
    try:
        device.expect_line(f"UdpRavikDevice listening on {args.address}:{args.port}, "
                           "values count", STARTUP_SECONDS)
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as client:
            client.bind(("127.0.0.1", 0))
            check_exchanges(device, client, args.address, args.port)
        print(f"device_answers: {len(EXCHANGES)} requests answered as on Linux")
        took = flood_then_interrupt(device, args.address, args.port)
        print(f"device_answers: stopped cleanly {took:.2f} s after Ctrl+C under a flood")
        if device.error_output():
            raise Difference(f"standard error not empty: {device.error_output()}")
    except Difference as difference:
        print(f"device_answers: {difference}", file=sys.stderr)
        return 1
    finally:
        device.kill()

    device = Device(command)
    try:
        device.line(STARTUP_SECONDS, "the listening line")
        code = device.stop(signal.SIGTERM)
        print(f"device_answers: ended on SIGTERM, exit code {code}")
    except Difference as difference:
        print(f"device_answers: {difference}", file=sys.stderr)
        return 1
    finally:
        device.kill()
    return 0


if __name__ == "__main__":
    sys.exit(main())
