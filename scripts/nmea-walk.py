#!/usr/bin/env python3
"""Writes an NMEA log of a walk east to standard output: COUNT fixes a
second apart (RMC and GGA, from 18:10:00 on 2026-12-07), starting at LAT
LON and 0.0005 degrees of longitude apart; with RATE, the same walk in
RATE fixes a second. For gpsfake in the end-to-end test and the idle
measurement. Usage: nmea-walk.py LAT LON COUNT [RATE]"""
import sys


def sentence(body):
    check = 0
    for c in body.encode():
        check ^= c
    return "$%s*%02X\r\n" % (body, check)


def angle(value, width, positive, negative):
    whole = int(abs(value))
    return "%0*d%07.4f,%s" % (width, whole, (abs(value) - whole) * 60, positive if value >= 0 else negative)


lat, lon, count = float(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3])
rate = int(sys.argv[4]) if len(sys.argv) > 4 else 1
for i in range(count):
    second = 18 * 3600 + 10 * 60 + i // rate
    time = "%02d%02d%02d.%02d" % (second // 3600 % 24, second // 60 % 60, second % 60, i % rate * 100 // rate)
    at = angle(lat, 2, "N", "S") + "," + angle(lon + i * 0.0005 / rate, 3, "E", "W")
    sys.stdout.write(sentence("GPRMC,%s,A,%s,2.5,90.0,071226,,,A" % (time, at)))
    sys.stdout.write(sentence("GPGGA,%s,%s,1,08,0.9,245.3,M,44.8,M,," % (time, at)))
