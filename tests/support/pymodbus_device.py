#!/usr/bin/python3
"""A real Modbus/UDP device for the integration tests.

Serves holding registers 0..65535 (MBAP framing over UDP) on <address>:<port>.
Holding register a starts with the value (0x1234 + 7 * a) mod 65536; keep that in step
with PymodbusDevice::initialValue. Prints "READY" on stdout once it listens, and stops
when stdin closes or on SIGTERM.

Usage: pymodbus_device.py <address> [port]
"""
import asyncio
import logging
import sys

from pymodbus.datastore import (
    ModbusSequentialDataBlock,
    ModbusServerContext,
    ModbusSlaveContext,
)
from pymodbus.framer.socket_framer import ModbusSocketFramer
from pymodbus.server import StartAsyncUdpServer


def initial_value(address):
    return (0x1234 + 7 * address) & 0xFFFF


def make_context():
    registers = ModbusSequentialDataBlock(0, [initial_value(a) for a in range(65536)])
    # zero_mode: request address a is register a, not a + 1.
    slave = ModbusSlaveContext(hr=registers, zero_mode=True)
    return ModbusServerContext(slaves=slave, single=True)


async def wait_for_stdin_eof():
    loop = asyncio.get_running_loop()
    await loop.run_in_executor(None, sys.stdin.buffer.read)


async def serve(address, port):
    server = await StartAsyncUdpServer(
        context=make_context(),
        address=(address, port),
        framer=ModbusSocketFramer,
        defer_start=True,
    )
    serving = asyncio.create_task(server.serve_forever())
    await asyncio.wait({serving, server.serving}, return_when=asyncio.FIRST_COMPLETED)
    if server.protocol is None:
        print(f"cannot listen on {address}:{port}", file=sys.stderr, flush=True)
        serving.cancel()
        return 1
    print("READY", flush=True)
    await wait_for_stdin_eof()
    await server.server_close()
    serving.cancel()
    return 0


def main():
    logging.getLogger("pymodbus").setLevel(logging.CRITICAL)
    address = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 502
    sys.exit(asyncio.run(serve(address, port)))


if __name__ == "__main__":
    main()
