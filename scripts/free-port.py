#!/usr/bin/env python3
"""Prints a loopback TCP port nobody listens on, below the kernel's client
range (32768 up on Linux): a port handed to gpsd stays free until it
listens, and a client retrying it meanwhile can never be given that same
port and connect to itself."""
import random
import socket

start = random.randrange(12000)
for i in range(12000):
    port = 20000 + (start + i) % 12000
    with socket.socket() as probe:
        try:
            probe.bind(("127.0.0.1", port))
        except OSError:
            continue
    print(port)
    break
else:
    raise SystemExit("no free loopback port")
