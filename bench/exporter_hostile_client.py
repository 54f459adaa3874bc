#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# What a hostile client on the loopback can still cost `vestra7 exporter`: its memory and CPU under a
# huge request body, silent connections held or renewed as fast as they close, and a flood of
# scrapes, and how long a scrape waits meanwhile. Prints the rows of the README's table.
#
#   bench/exporter_hostile_client.py PATH/TO/vestra7 [seconds]
import os
import re
import socket
import statistics
import subprocess
import sys
import threading
import time

program = sys.argv[1]
seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20
environment = dict(os.environ, LC_ALL="C")
exporter = subprocess.Popen([program, "exporter", "--listen", "127.0.0.1:0"], stderr=subprocess.PIPE, text=True,
                            env=environment)
port = None
while port is None:
    match = re.search(r"http://127\.0\.0\.1:(\d+)/metrics", exporter.stderr.readline())
    port = int(match.group(1)) if match else None
ticks = os.sysconf("SC_CLK_TCK")


def status(field):
    with open(f"/proc/{exporter.pid}/status") as lines:
        for line in lines:
            if line.startswith(field + ":"):
                return int(line.split()[1])


def cpu_seconds():
    with open(f"/proc/{exporter.pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / ticks


def open_files():
    return len(os.listdir(f"/proc/{exporter.pid}/fd"))


def scrape(timeout=60):
    """Seconds a scrape took, or None when it failed."""
    start = time.monotonic()
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=timeout) as client:
            client.sendall(b"GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n")
            answer = b""
            while chunk := client.recv(65536):
                answer += chunk
        return time.monotonic() - start if answer.startswith(b"HTTP/1.1 200") else None
    except OSError:
        return None


def row(what, figure):
    print(f"| {what} | {figure} |")


def huge_body():
    before = status("VmHWM")
    with socket.create_connection(("127.0.0.1", port)) as client:
        client.sendall(b"POST /metrics HTTP/1.1\r\nHost: x\r\nContent-Length: 1200000000\r\n\r\n")
        sent, chunk = 0, b"x" * (1 << 20)
        try:
            while sent < 1200000000:
                client.sendall(chunk)
                sent += len(chunk)
        except OSError:
            pass
    row("A 1.2 GB body to /metrics: bytes taken before the connection closed, peak memory growth",
        f"{sent // 1024} KiB, +{(status('VmHWM') - before) / 1024:.1f} MiB")


def silent_connections(count):
    files, threads = open_files(), status("Threads")
    held = [socket.create_connection(("127.0.0.1", port)) for _ in range(count)]
    time.sleep(0.5)
    peak_files = open_files() - files
    took = scrape()
    start = time.monotonic()
    for client in held:
        client.settimeout(60)
        try:
            client.recv(1)
        except OSError:
            pass
        client.close()
    row(f"{count} silent connections: files the exporter holds for them, its threads",
        f"{peak_files} (at most 129), {status('Threads')} ({threads} before)")
    row(f"{count} silent connections: a scrape sent after them waits / all closed after",
        f"{took:.1f} s / {time.monotonic() - start:.1f} s" if took else "scrape failed")


def renewed_connections(count):
    stop = threading.Event()

    def hold():
        while not stop.is_set():
            try:
                with socket.create_connection(("127.0.0.1", port), timeout=30) as client:
                    client.recv(1)
            except OSError:
                pass

    workers = [threading.Thread(target=hold) for _ in range(count)]
    for worker in workers:
        worker.start()
    cpu, start = cpu_seconds(), time.monotonic()
    waits = []
    while time.monotonic() - start < seconds:
        waits.append(scrape())
    used = (cpu_seconds() - cpu) / (time.monotonic() - start) * 100
    stop.set()
    for worker in workers:
        worker.join()
    served = [wait for wait in waits if wait is not None]
    row(f"{count} silent connections renewed as they close, {seconds:.0f} s: scrapes served, median / longest wait",
        f"{len(served)} of {len(waits)}, {statistics.median(served):.1f} / {max(served):.1f} s" if served else "none")
    row(f"{count} silent connections renewed as they close: CPU of the exporter", f"{used:.1f} % of one core")


def flood(clients):
    stop = threading.Event()
    counts = [0] * clients

    def ask(index):
        while not stop.is_set():
            if scrape(5) is not None:
                counts[index] += 1

    workers = [threading.Thread(target=ask, args=(i,)) for i in range(clients)]
    cpu, start = cpu_seconds(), time.monotonic()
    for worker in workers:
        worker.start()
    time.sleep(seconds / 2)
    stop.set()
    for worker in workers:
        worker.join()
    elapsed = time.monotonic() - start
    row(f"Scrapes from {clients} clients as fast as answered: rate, CPU of the exporter",
        f"{sum(counts) / elapsed:.0f} a second, {(cpu_seconds() - cpu) / elapsed * 100:.0f} % of one core")


try:
    row("Exporter at rest, no adapter: resident memory", f"{status('VmRSS') / 1024:.1f} MiB")
    huge_body()
    silent_connections(100)
    renewed_connections(200)
    flood(4)
    row("Peak resident memory over the whole run", f"{status('VmHWM') / 1024:.1f} MiB")
finally:
    exporter.terminate()
    exporter.wait()
