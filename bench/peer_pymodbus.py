#!/usr/bin/python3
"""The peer's side of the receive-path comparison: pymodbus's own client decoding of a
100-register function 3 answer, from its UDP socket through its socket framer to the
decoded registers, as its UDP client receives answers.

The datagram is the one bench_modbus's BM_PollReceiveRead100 feeds the monitor's client:
transaction 24, length 203, unit 1, function 3, byte count 200, register i = i * 257.
Only the receive and the decoding are timed (process CPU time), not the sending.

Usage: peer_pymodbus.py <loopback address> [answers]   prints: pymodbus_cpu_us <figure>
"""
import socket
import struct
import sys
import time

from pymodbus.factory import ClientDecoder
from pymodbus.framer.socket_framer import ModbusSocketFramer


def answer_datagram():
    header = struct.pack(">HHHBBB", 24, 0, 203, 1, 3, 200)
    return header + b"".join(struct.pack(">H", (i * 257) & 0xFFFF) for i in range(100))


def main():
    address = sys.argv[1]
    answers = int(sys.argv[2]) if len(sys.argv) > 2 else 20000
    datagram = answer_datagram()
    device = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    device.bind((address, 0))
    client = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    client.bind((address, 0))
    framer = ModbusSocketFramer(ClientDecoder())
    decoded = []

    def on_answer(reply):
        decoded.append(reply.registers)

    def receive_one():
        data, _ = client.recvfrom(2000)
        framer.processIncomingPacket(data, on_answer, unit=0)

    for _ in range(1000):  # warm-up
        device.sendto(datagram, client.getsockname())
        receive_one()
    decoded.clear()
    spent = 0
    for _ in range(answers):
        device.sendto(datagram, client.getsockname())
        start = time.process_time_ns()
        receive_one()
        spent += time.process_time_ns() - start
    if len(decoded) != answers or decoded[-1][99] != 99 * 257:
        sys.exit("peer_pymodbus: the answers were not decoded")
    print(f"pymodbus_cpu_us {spent / answers / 1000:.2f}")


if __name__ == "__main__":
    main()
