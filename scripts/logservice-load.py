#!/usr/bin/env python3
"""Load and attack figures of the local log service, on loopback only.

    scripts/logservice-load.py [--seconds S] [--clients N] SERVICE_BINARY

Starts SERVICE_BINARY (tapescribe-logservice) in a fresh data folder with one account and measures:

  load     N clients (50) signing in, opening the log form and storing notes for S seconds (30): requests
           per second and p50/p99 latency of each kind, and whether every stored note is in the store
  attack   the same while 300 connections stall in the TLS handshake and 1,000 connections sit idle after
           it; attackers that are dropped come back after a second. Then the attackers go, and a fresh
           client's first requests show whether the service recovered
  single   the single attacks: 30 stalled handshakes held for 1 s, a 300 MB body, 300 KB and 32 MB of
           headers, 1,014 half-sent requests, 20 wrong sign-ins at once, and a certificate for --host
  flood    300 connections that send wrong sign-ins in a loop for 60 s (one that is dropped comes back a
           second later); once 250 of them have sent one, 20 page requests on fresh connections, a second
           apart: how many are answered, and their median
  verdicts the sign-in delay at its ceiling: after 10 wrong sign-ins in a row, how many verdicts one
           connection signing in serially gets in 60 s, then how many 250 connections signing in at once get

Every phase is bounded in time and ends by itself; the service is stopped at the end. The service runs with
1,024 file descriptors, the usual default.
"""

import argparse
import asyncio
import multiprocessing
import os
import re
import resource
import signal
import ssl
import statistics
import subprocess
import sys
import tempfile
import time

PASSWORD = "load-test-pw"
ACCOUNT = "loadtest"
# Each client is a logger of its own, with its own notes; clients start this far apart, so that their first
# sign-ins do not all queue at once.
START_SPACING = 0.2
SIGN_IN = "/users/login"
FORM = "/index.php/logger/form"
NOTES = "/index.php/logger/notes"
CSV = "/index.php/logger/notes.csv"
REQUEST_TIMEOUT = 60


def tls_context():
    context = ssl.create_default_context()
    context.check_hostname = False
    context.verify_mode = ssl.CERT_NONE
    return context


class Service:
    def __init__(self, binary, host=None, data=None):
        self.binary = binary
        self.data = data or tempfile.mkdtemp(prefix="logservice-load-")
        self.host = host
        self.process = None
        self.https_port = None
        self.http_port = None

    def add_accounts(self, count=1):
        """ACCOUNT0 … ACCOUNT<count-1>, two at a time (a password hash keeps a core busy)."""
        names = [f"{ACCOUNT}{i}" for i in range(count)]
        for i in range(0, count, 2):
            running = [subprocess.Popen([self.binary, "add-account", "--data", self.data, name],
                                        stdin=subprocess.PIPE, stdout=subprocess.DEVNULL) for name in names[i:i + 2]]
            for process in running:
                process.communicate(PASSWORD.encode())
                if process.returncode != 0:
                    raise RuntimeError("add-account failed")

    def start(self):
        def limit_descriptors():
            resource.setrlimit(resource.RLIMIT_NOFILE, (1024, 1024))
            os.setsid()
        command = [self.binary, "serve", "--data", self.data, "--https-port", "0", "--http-port", "0"]
        if self.host:
            command += ["--host", self.host]
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        preexec_fn=limit_descriptors)
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline and not (self.https_port and self.http_port):
            line = self.process.stdout.readline().decode()
            if not line:
                raise RuntimeError("the service ended before listening")
            match = re.match(r"tapescribe-logservice listening on (https?)://127\.0\.0\.1:(\d+)", line)
            if match:
                setattr(self, "https_port" if match.group(1) == "https" else "http_port", int(match.group(2)))
        # The request log must not fill the pipe and stall the service.
        self._drain = asyncio.get_event_loop().run_in_executor(None, self._discard_output)

    def _discard_output(self):
        for _ in self.process.stdout:
            pass

    def peak_memory_mb(self):
        with open(f"/proc/{self.process.pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1]) / 1024
        return float("nan")

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class Connection:
    """One keep-alive HTTPS connection of a well-behaved client."""

    def __init__(self, port):
        self.port = port
        self.reader = self.writer = None

    async def open(self):
        self.reader, self.writer = await asyncio.open_connection("127.0.0.1", self.port, ssl=tls_context())

    def close(self):
        if self.writer:
            self.writer.close()
        self.reader = self.writer = None

    async def request(self, method, path, cookie=None, form=None):
        """(status, headers, body); reconnects once when the service had dropped the idle connection."""
        for attempt in range(2):
            if not self.writer:
                await self.open()
            body = form.encode() if form is not None else b""
            head = f"{method} {path} HTTP/1.1\r\nHost: logs.tapescribe.test\r\n"
            if cookie:
                head += f"Cookie: {cookie}\r\n"
            if form is not None:
                head += "Content-Type: application/x-www-form-urlencoded\r\n"
            head += f"Content-Length: {len(body)}\r\n\r\n"
            try:
                self.writer.write(head.encode() + body)
                await self.writer.drain()
                status_line = await self.reader.readuntil(b"\r\n")
            except (ConnectionError, asyncio.IncompleteReadError, ssl.SSLError, OSError):
                # Nothing came back: the request was never read, so sending it again is safe.
                self.close()
                if attempt == 1:
                    raise
                continue
            headers = {}
            while True:
                line = await self.reader.readuntil(b"\r\n")
                if line == b"\r\n":
                    break
                name, _, value = line.decode("latin-1").partition(":")
                headers.setdefault(name.strip().lower(), []).append(value.strip())
            length = int(headers.get("content-length", ["0"])[0])
            content = await self.reader.readexactly(length)
            if "close" in headers.get("connection", [""])[0].lower():
                self.close()
            return int(status_line.split()[1]), headers, content
        raise ConnectionError("unreachable")


def session_cookie(headers):
    for value in headers.get("set-cookie", []):
        if value.startswith("__Host-tapescribe_session="):
            return value.split(";")[0]
    return None


class Figures:
    def __init__(self):
        self.latencies = {"sign-in": [], "form": [], "note": []}
        self.failures = {"sign-in": 0, "form": 0, "note": 0}
        self.acknowledged_notes = []

    def report(self, title, seconds):
        print(f"-- {title}")
        for kind, values in self.latencies.items():
            if values:
                ordered = sorted(values)
                p50 = ordered[len(ordered) // 2] * 1000
                p99 = ordered[min(len(ordered) - 1, int(len(ordered) * 0.99))] * 1000
                print(f"   {kind:8} {len(values) / seconds:8.1f} req/s   p50 {p50:8.1f} ms   p99 {p99:8.1f} ms"
                      f"   failed {self.failures[kind]}")
            else:
                print(f"   {kind:8} none answered   failed {self.failures[kind]}")


async def timed(figures, kind, call):
    started = time.monotonic()
    try:
        result = await asyncio.wait_for(call, REQUEST_TIMEOUT)
    except (asyncio.TimeoutError, ConnectionError, asyncio.IncompleteReadError, ssl.SSLError, OSError):
        figures.failures[kind] += 1
        return None
    figures.latencies[kind].append(time.monotonic() - started)
    return result


async def well_behaved_client(number, port, figures, stop_at):
    await asyncio.sleep(number * START_SPACING)
    connection = Connection(port)
    cookie = None
    serial = 0
    try:
        while time.monotonic() < stop_at:
            if cookie is None or serial % 200 == 199:
                answer = await timed(figures, "sign-in", connection.request(
                    "POST", SIGN_IN, form=f"identity={ACCOUNT}{number}&password={PASSWORD}"))
                if answer and answer[0] == 303:
                    cookie = session_cookie(answer[1])
                elif answer:
                    figures.failures["sign-in"] += 1
                if cookie is None:
                    await asyncio.sleep(0.1)
                    continue
            serial += 1
            if serial % 2:
                answer = await timed(figures, "form", connection.request("GET", FORM, cookie=cookie))
                if answer and answer[0] != 200:
                    figures.failures["form"] += 1
            else:
                text = f"client {number} note {serial}"
                answer = await timed(figures, "note", connection.request(
                    "POST", NOTES, cookie=cookie + "; time_offset=12.0", form="text=" + text.replace(" ", "+")))
                if answer and answer[0] == 200:
                    figures.acknowledged_notes.append(text)
                elif answer:
                    figures.failures["note"] += 1
    finally:
        connection.close()


async def stalled_handshake(port, stop_at):
    """Connects and never starts TLS; comes back a second after being dropped."""
    while time.monotonic() < stop_at:
        try:
            reader, writer = await asyncio.open_connection("127.0.0.1", port)
            await asyncio.wait_for(reader.read(1), max(0.1, stop_at - time.monotonic()))
            writer.close()
        except (asyncio.TimeoutError, OSError):
            pass
        await asyncio.sleep(1)


async def idle_connection(port, stop_at):
    """Finishes the handshake, then sends nothing; comes back a second after being dropped."""
    while time.monotonic() < stop_at:
        try:
            reader, writer = await asyncio.wait_for(
                asyncio.open_connection("127.0.0.1", port, ssl=tls_context()), 10)
            await asyncio.wait_for(reader.read(1), max(0.1, stop_at - time.monotonic()))
            writer.close()
        except (asyncio.TimeoutError, OSError, ssl.SSLError):
            pass
        await asyncio.sleep(1)


async def attackers(port, seconds):
    stop_at = time.monotonic() + seconds
    tasks = [asyncio.create_task(stalled_handshake(port, stop_at)) for _ in range(300)]
    tasks += [asyncio.create_task(idle_connection(port, stop_at)) for _ in range(1000)]
    await asyncio.wait(tasks, timeout=seconds + 15)


def run_attackers(port, seconds):
    """In a process of its own, so that the attackers' work does not hold up the well-behaved clients."""
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (max(soft, min(hard, 8192)), hard))
    asyncio.run(attackers(port, seconds))


async def stored_notes(port, clients):
    """Every account's notes, as the CSV download has them."""
    csv = ""
    for number in range(clients):
        connection = Connection(port)
        status, headers, _ = await connection.request(
            "POST", SIGN_IN, form=f"identity={ACCOUNT}{number}&password={PASSWORD}")
        status, _, body = await connection.request("GET", CSV, cookie=session_cookie(headers))
        connection.close()
        csv += body.decode()
    return csv


async def load_phase(service, clients, seconds, attackers):
    figures = Figures()
    attack = None
    if attackers:
        attack = multiprocessing.get_context("spawn").Process(
            target=run_attackers, args=(service.https_port, seconds + 2))
        attack.start()
        # The attackers hold their connections before the clients come.
        await asyncio.sleep(2)
    stop_at = time.monotonic() + seconds
    tasks = [asyncio.create_task(well_behaved_client(i, service.https_port, figures, stop_at))
             for i in range(clients)]
    await asyncio.wait(tasks, timeout=seconds + REQUEST_TIMEOUT + 15)
    for task in tasks:
        task.cancel()
    if attack:
        attack.join(30)
        if attack.is_alive():
            attack.kill()
    figures.report(("under attack: 300 stalled handshakes, 1,000 idle connections" if attackers else "load")
                   + f", {clients} clients, {seconds} s", seconds)
    try:
        csv = await asyncio.wait_for(stored_notes(service.https_port, clients), 4 * REQUEST_TIMEOUT)
        lost = [text for text in figures.acknowledged_notes if text not in csv]
        print(f"   notes acknowledged {len(figures.acknowledged_notes)}, lost {len(lost)}")
    except (asyncio.TimeoutError, OSError, ConnectionError, asyncio.IncompleteReadError, ssl.SSLError) as error:
        print(f"   notes could not be read back: {error!r}")


async def fresh_client_latency(service, count=20):
    """ms of a page on a new connection each time; None for a request not answered within 10 s."""
    results = []
    for _ in range(count):
        started = time.monotonic()
        connection = Connection(service.https_port)
        try:
            await asyncio.wait_for(connection.request("GET", SIGN_IN), 10)
            results.append((time.monotonic() - started) * 1000)
        except (asyncio.TimeoutError, OSError, ConnectionError, asyncio.IncompleteReadError, ssl.SSLError):
            results.append(None)
        finally:
            connection.close()
    answered = [r for r in results if r is not None]
    median = f"{statistics.median(answered):.1f} ms" if answered else "-"
    return f"{len(answered)}/{count} answered, median {median}"


async def raw_request(port, payload, read_timeout, tls=True, chunk=1 << 20):
    """Sends `payload` (bytes, or a (head, size) pair sent as `size` bytes of 'a' after `head`) and returns
    the status code of whatever answer came, or None."""
    started = time.monotonic()
    try:
        reader, writer = await asyncio.open_connection("127.0.0.1", port, ssl=tls_context() if tls else None)
    except OSError:
        return None, 0.0

    async def send():
        try:
            if isinstance(payload, tuple):
                head, size = payload
                writer.write(head)
                sent = 0
                block = b"a" * chunk
                while sent < size:
                    writer.write(block[:min(chunk, size - sent)])
                    sent += chunk
                    await writer.drain()
            else:
                writer.write(payload)
                await writer.drain()
        except (OSError, ssl.SSLError):
            pass

    sender = asyncio.create_task(send())
    status = None
    try:
        line = await asyncio.wait_for(reader.readuntil(b"\r\n"), read_timeout)
        status = int(line.split()[1])
    except (asyncio.TimeoutError, OSError, asyncio.IncompleteReadError, ssl.SSLError, ValueError, IndexError):
        pass
    sender.cancel()
    writer.close()
    return status, time.monotonic() - started


async def attack_stalled_handshakes(service):
    holders = [await asyncio.open_connection("127.0.0.1", service.https_port) for _ in range(30)]
    await asyncio.sleep(1)
    for _, writer in holders:
        writer.close()
    await asyncio.sleep(0.5)
    return f"after 30 stalled handshakes held 1 s and gone: {await fresh_client_latency(service, 5)}"


async def attack_large_body(service):
    status, _ = await raw_request(service.https_port, (
        b"POST /users/login HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
        b"Content-Length: 300000000\r\n\r\n", 300_000_000), 60)
    return f"300 MB body: status {status}, service's peak memory {service.peak_memory_mb():.0f} MB"


async def attack_large_headers(service):
    status, _ = await raw_request(service.https_port, b"GET /users/login HTTP/1.1\r\nHost: x\r\nX-Filler: "
                                  + b"a" * 300_000 + b"\r\n\r\n", 30)
    return f"300 KB of headers: status {status}"


async def attack_huge_headers(service):
    big_headers = asyncio.create_task(raw_request(service.https_port, (
        b"GET /users/login HTTP/1.1\r\nHost: x\r\nX-Filler: ", 32_000_000), 60))
    await asyncio.sleep(0.2)
    meanwhile = await fresh_client_latency(service, 5)
    status, seconds = await big_headers
    return f"32 MB of headers: status {status} after {seconds:.2f} s; a page meanwhile: {meanwhile}"


async def attack_half_sent(service):
    half_sent = []
    for _ in range(1014):
        try:
            _, writer = await asyncio.wait_for(asyncio.open_connection("127.0.0.1", service.http_port), 5)
            writer.write(b"GET /about.html HTTP/1.1\r\nHost: x\r\nX-Half: ")
            half_sent.append(writer)
        except (OSError, asyncio.TimeoutError):
            break
    await asyncio.sleep(1)
    result = f"with {len(half_sent)} half-sent requests open: {await fresh_client_latency(service, 5)}"
    for writer in half_sent:
        writer.close()
    return result


async def attack_wrong_sign_ins(service):
    wrong = [asyncio.create_task(raw_request(service.https_port,
             b"POST /users/login HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
             b"Content-Length: 34\r\n\r\nidentity=loadtest0&password=wrong", 60)) for _ in range(20)]
    await asyncio.sleep(0.2)
    meanwhile = await fresh_client_latency(service, 5)
    await asyncio.gather(*wrong)
    return f"20 wrong sign-ins at once; a page meanwhile: {meanwhile}"


WRONG_SIGN_IN_FORM = f"identity={ACCOUNT}0&password=wrong".encode()
WRONG_SIGN_IN = (b"POST /users/login HTTP/1.1\r\nHost: x\r\n"
                 b"Content-Type: application/x-www-form-urlencoded\r\n"
                 + f"Content-Length: {len(WRONG_SIGN_IN_FORM)}\r\n\r\n".encode() + WRONG_SIGN_IN_FORM)


async def read_answer(reader):
    """(status, whether the service closes the connection after it)."""
    head = await reader.readuntil(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    await reader.readexactly(int(headers.get("content-length", "0")))
    return int(lines[0].split()[1]), "close" in headers.get("connection", "").lower()


async def signing_in_connection(port, stop_at, tally, started):
    """Sends wrong sign-ins one after another, each once the last is answered; comes back at once when the
    service closes the connection after an answer, a second later when it drops it. A verdict is the sign-in
    page again (200); 429 and 503 are refusals."""
    while time.monotonic() < stop_at:
        writer = None
        try:
            reader, writer = await asyncio.wait_for(
                asyncio.open_connection("127.0.0.1", port, ssl=tls_context()),
                max(0.1, stop_at - time.monotonic()))
            while time.monotonic() < stop_at:
                writer.write(WRONG_SIGN_IN)
                started()
                status, closing = await asyncio.wait_for(
                    read_answer(reader), max(0.1, stop_at - time.monotonic()))
                kind = "verdicts" if status == 200 else "refused" if status in (429, 503) else "other"
                tally[kind] = tally.get(kind, 0) + 1
                if closing:
                    break
        except asyncio.TimeoutError:
            pass
        except (OSError, ConnectionError, asyncio.IncompleteReadError, ssl.SSLError):
            tally["dropped"] = tally.get("dropped", 0) + 1
            await asyncio.sleep(1)
        finally:
            if writer:
                writer.close()


async def signing_in_connections(port, count, seconds, ready=None):
    """Sets `ready` once 250 (or all) of the connections have sent a sign-in."""
    tally = {}
    sent = 0

    def started():
        nonlocal sent
        sent += 1
        if ready and sent == min(count, 250):
            ready.set()
    stop_at = time.monotonic() + seconds
    tasks = [asyncio.create_task(signing_in_connection(port, stop_at, tally, started)) for _ in range(count)]
    await asyncio.wait(tasks, timeout=seconds + 15)
    return tally


def run_signing_in_connections(port, count, seconds, results, ready=None):
    """In a process of its own, as the attackers above."""
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (max(soft, min(hard, 8192)), hard))
    results.put(asyncio.run(signing_in_connections(port, count, seconds, ready)))


def tally_text(tally):
    return ", ".join(f"{kind} {tally.get(kind, 0)}" for kind in ("verdicts", "refused", "dropped", "other"))


async def spaced_fresh_requests(service, count, spacing, timeout):
    """ms of a page on a new connection, one started every `spacing` s; None for one not answered in time."""
    async def one(delay):
        await asyncio.sleep(delay)
        started = time.monotonic()
        connection = Connection(service.https_port)
        try:
            status, _, _ = await asyncio.wait_for(connection.request("GET", SIGN_IN), timeout)
            return (time.monotonic() - started) * 1000 if status == 200 else None
        except (asyncio.TimeoutError, OSError, ConnectionError, asyncio.IncompleteReadError, ssl.SSLError):
            return None
        finally:
            connection.close()
    results = await asyncio.gather(*(one(i * spacing) for i in range(count)))
    answered = [r for r in results if r is not None]
    median = f"{statistics.median(answered):.1f} ms" if answered else "-"
    return f"{len(answered)}/{count} answered, median {median}"


async def sign_in_flood(binary, seconds=60, connections=300):
    print(f"-- sign-in flood: {connections} connections sending wrong sign-ins for {seconds} s", flush=True)
    service = Service(binary)
    service.add_accounts()
    service.start()
    spawn = multiprocessing.get_context("spawn")
    results = spawn.Queue()
    ready = spawn.Event()
    flood = spawn.Process(
        target=run_signing_in_connections, args=(service.https_port, connections, seconds, results, ready))
    try:
        flood.start()
        started = time.monotonic()
        loop = asyncio.get_running_loop()
        # Opening 300 TLS connections takes this machine a good few seconds.
        filled = await loop.run_in_executor(None, ready.wait, 25)
        await asyncio.sleep(2)
        print(f"   250 connections had sent a sign-in after {time.monotonic() - started - 2:.1f} s"
              if filled else "   fewer than 250 connections had sent a sign-in after 25 s")
        pages = await spaced_fresh_requests(service, 20, 1.0, 10)
        print(f"   20 page requests on fresh connections meanwhile: {pages}")
        tally = await loop.run_in_executor(None, results.get, True, seconds + 30)
        print(f"   the flood's sign-ins: {tally_text(tally)}")
    finally:
        flood.join(30)
        if flood.is_alive():
            flood.kill()
        service.stop()


async def verdicts_at_ceiling(binary, seconds=60, parallel=250):
    """Serial first: what is left of it is then one attempt under way, where the parallel phase starts."""
    print(f"-- sign-in delay at its ceiling: verdicts in {seconds} s", flush=True)
    service = Service(binary)
    service.add_accounts()
    service.start()
    try:
        connection = Connection(service.https_port)
        started = time.monotonic()
        for _ in range(10):
            await connection.request("POST", SIGN_IN, form=f"identity={ACCOUNT}0&password=wrong")
        connection.close()
        print(f"   10 wrong sign-ins in a row took {time.monotonic() - started:.1f} s")
        serial = await signing_in_connections(service.https_port, 1, seconds)
        print(f"   serial, 1 connection:          {tally_text(serial)}")
        results = multiprocessing.get_context("spawn").Queue()
        crowd = multiprocessing.get_context("spawn").Process(
            target=run_signing_in_connections, args=(service.https_port, parallel, seconds, results))
        crowd.start()
        try:
            tally = await asyncio.get_running_loop().run_in_executor(None, results.get, True, seconds + 30)
            print(f"   parallel, {parallel} connections: {tally_text(tally)}")
        finally:
            crowd.join(30)
            if crowd.is_alive():
                crowd.kill()
    finally:
        service.stop()


async def single_attacks(binary):
    """Each attack on a service of its own, so that one attack's damage does not hide the next one's."""
    print("-- single attacks")
    data = None
    for attack in (attack_stalled_handshakes, attack_large_body, attack_large_headers, attack_huge_headers,
                   attack_half_sent, attack_wrong_sign_ins):
        service = Service(binary, data=data)
        if data is None:
            service.add_accounts()
            data = service.data
        service.start()
        try:
            print(f"   {await attack(service)}", flush=True)
        finally:
            service.stop()

    moved = Service(binary, host="other.example.test", data=data)
    moved.start()
    try:
        reader, writer = await asyncio.open_connection("127.0.0.1", moved.https_port, ssl=tls_context())
        der = writer.get_extra_info("ssl_object").getpeercert(binary_form=True)
        writer.close()
        text = subprocess.run(["openssl", "x509", "-inform", "DER", "-noout", "-ext", "subjectAltName"],
                              input=der, capture_output=True).stdout.decode()
        print(f"   --host other.example.test on a folder made for the default host: SAN "
              f"{' '.join(text.split()[3:]) if 'Alternative' in text else text.strip()}")
    finally:
        moved.stop()


async def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("service")
    parser.add_argument("--seconds", type=int, default=30)
    parser.add_argument("--clients", type=int, default=50)
    parser.add_argument("--only", choices=["load", "attack", "single", "flood", "verdicts"])
    arguments = parser.parse_args()
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (max(soft, min(hard, 8192)), hard))
    print(f"service: {arguments.service}; load average {os.getloadavg()[0]:.2f}", flush=True)

    if arguments.only in (None, "load", "attack"):
        for attack in ([False, True] if arguments.only is None else [arguments.only == "attack"]):
            service = Service(arguments.service)
            service.add_accounts(arguments.clients)
            service.start()
            try:
                await load_phase(service, arguments.clients, arguments.seconds, attack)
                if attack:
                    print(f"   right after the attackers went: {await fresh_client_latency(service)}")
            finally:
                service.stop()
    if arguments.only in (None, "single"):
        await single_attacks(arguments.service)
    if arguments.only in (None, "flood"):
        await sign_in_flood(arguments.service)
    if arguments.only in (None, "verdicts"):
        await verdicts_at_ceiling(arguments.service)


if __name__ == "__main__":
    asyncio.run(main())
