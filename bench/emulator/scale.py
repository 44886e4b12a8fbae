#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
# SPDX-License-Identifier: LGPL-2.1-or-later
"""Scale figures of zvr-devicesim on this host's loopback (127.0.0.0/8 mode):
one directed probe answered by every device, the resident memory at a large
population, and device-service requests per second over keep-alive connections."""
import argparse, os, re, socket, subprocess, sys, threading, time, uuid

PROBE = ('<e:Envelope xmlns:e="http://www.w3.org/2003/05/soap-envelope" '
         'xmlns:a="http://schemas.xmlsoap.org/ws/2004/08/addressing" '
         'xmlns:x="http://www.onvif.org/ver10/device/wsdl"><e:Header><a:MessageID>uuid:{}</a:MessageID>'
         '</e:Header><e:Body><Probe xmlns="http://schemas.xmlsoap.org/ws/2005/04/discovery">'
         '<Types>x:Device</Types></Probe></e:Body></e:Envelope>')
READ = (b'<s:Envelope xmlns:s="http://www.w3.org/2003/05/soap-envelope"><s:Body>'
        b'<GetDeviceInformation xmlns="http://www.onvif.org/ver10/device/wsdl"/></s:Body></s:Envelope>')


def start(binary, devices, port, probe_port):
    env = dict(os.environ, ZVR_DEVICESIM_PASSWORD='bench')
    proc = subprocess.Popen([binary, '--devices', str(devices), '--interval', '0', '--port', str(port),
                             '--probe-port', str(probe_port), '--interfaces', 'none',
                             '--address-mode', 'loopback'], stderr=subprocess.PIPE, text=True, env=env)
    line = proc.stderr.readline()
    started = time.monotonic()
    answering = int(re.search(r'(\d+) answering', line).group(1))
    return proc, answering


def memory(pid):
    fields = dict(l.split(':', 1) for l in open(f'/proc/{pid}/status'))
    return int(fields['VmRSS'].split()[0]) // 1024, int(fields['VmHWM'].split()[0]) // 1024


def probe(probe_port, expected, timeout=10.0):
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        s.setsockopt(socket.SOL_SOCKET, 33, 256 << 20)  # SO_RCVBUFFORCE, as root
    except OSError:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 256 << 20)
    s.bind(('127.0.0.1', 0))
    s.settimeout(0.5)
    sent = time.monotonic()
    s.sendto(PROBE.format(uuid.uuid4()).encode(), ('127.0.0.1', probe_port))
    got, last = 0, sent
    while got < expected and time.monotonic() - sent < timeout:
        try:
            s.recv(8192)
            got, last = got + 1, time.monotonic()
        except socket.timeout:
            pass
    return got, last - sent


def requests(port, address, seconds, connections):
    counts = [0] * connections
    stop = time.monotonic() + seconds

    def worker(i):
        c = socket.create_connection((address[i % len(address)], port))
        head = (f'POST /onvif/device_service HTTP/1.1\r\nHost: x\r\nContent-Type: application/soap+xml\r\n'
                f'Content-Length: {len(READ)}\r\n\r\n').encode() + READ
        buf = b''
        while time.monotonic() < stop:
            c.sendall(head)
            while True:
                end = buf.find(b'\r\n\r\n')
                if end >= 0:
                    length = int(re.search(rb'Content-Length: (\d+)', buf[:end]).group(1))
                    if len(buf) >= end + 4 + length:
                        if not buf.startswith(b'HTTP/1.1 200'):
                            raise RuntimeError(buf[:200])
                        buf = buf[end + 4 + length:]
                        break
                buf += c.recv(65536)
            counts[i] += 1
        c.close()

    threads = [threading.Thread(target=worker, args=(i,)) for i in range(connections)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    return sum(counts) / seconds


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('binary')
    # A first round reaches some 61 % of the devices: 16,500 give 10,000 answers.
    parser.add_argument('--probe-devices', type=int, default=16500)
    parser.add_argument('--memory-devices', type=int, default=100000)
    parser.add_argument('--seconds', type=float, default=5)
    args = parser.parse_args()
    results = []

    proc, answering = start(args.binary, args.probe_devices, 18480, 13780)
    try:
        got, elapsed = probe(13780, answering)
        results.append(f'probe, {args.probe_devices} devices: {got} of {answering} answering devices '
                       f'answered in {elapsed:.2f} s')
        # A flood: 3,000 probes within a second; the queue stays bounded and reads go on.
        flood = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        before, _ = memory(proc.pid)
        begun = time.monotonic()
        for _ in range(3000):
            flood.sendto(PROBE.format(uuid.uuid4()).encode(), ('127.0.0.1', 13780))
        sent = time.monotonic() - begun
        during = requests(18480, ['127.168.1.20', '127.168.1.21', '127.168.1.22', '127.168.1.23'], 1.0, 4)
        after, _ = memory(proc.pid)
        results.append(f'probe flood: 3,000 probes in {sent:.2f} s; {during:.0f} reads/s meanwhile; '
                       f'{before} MB resident before, {after} MB after')
        flood.close()
        time.sleep(3)
        rate = requests(18480, ['127.168.1.20', '127.168.1.21', '127.168.1.22', '127.168.1.23'],
                        args.seconds, 4)
        results.append(f'device service: {rate:.0f} GetDeviceInformation requests/s over 4 keep-alive '
                       f'connections (client and emulator on the same 2 cores)')
    finally:
        proc.terminate()
        proc.wait()

    begun = time.monotonic()
    proc, answering = start(args.binary, args.memory_devices, 18481, 13781)
    try:
        ready = time.monotonic() - begun
        rss, _ = memory(proc.pid)
        got, elapsed = probe(13781, answering, timeout=60)
        _, peak = memory(proc.pid)
        results.append(f'memory, {args.memory_devices} devices: {rss} MB resident once started '
                       f'({ready:.1f} s), {peak} MB peak after a probe answered by {got} of {answering} '
                       f'in {elapsed:.2f} s')
    finally:
        proc.terminate()
        proc.wait()
    print('\n'.join(results))


if __name__ == '__main__':
    main()
