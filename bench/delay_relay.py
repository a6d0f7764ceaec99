#!/usr/bin/python3
"""A TCP relay on loopback that delays every byte by a fixed time each way, as a slow
satellite or GPRS link does (the kernel here has no netem). Prints its port, then relays
to the target until killed.

  delay_relay.py TARGET_PORT [DELAY_MS]   (default 100 ms each way)
"""
import asyncio
import sys


async def pump(reader, writer, delay):
    queue = asyncio.Queue()

    async def deliver():
        while True:
            due, data = await queue.get()
            wait = due - asyncio.get_running_loop().time()
            if wait > 0:
                await asyncio.sleep(wait)
            if data is None:
                writer.close()
                return
            writer.write(data)
            await writer.drain()

    sender = asyncio.create_task(deliver())
    while True:
        data = await reader.read(65536)
        queue.put_nowait((asyncio.get_running_loop().time() + delay, data or None))
        if not data:
            break
    await sender


async def main():
    target, delay = int(sys.argv[1]), (int(sys.argv[2]) if len(sys.argv) > 2 else 100) / 1000.0

    async def handle(client_reader, client_writer):
        server_reader, server_writer = await asyncio.open_connection("127.0.0.1", target)
        await asyncio.gather(pump(client_reader, server_writer, delay), pump(server_reader, client_writer, delay),
                             return_exceptions=True)

    server = await asyncio.start_server(handle, "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


asyncio.run(main())
