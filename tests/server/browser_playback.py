#!/usr/bin/env python3
"""Opens a video page in headless Chromium and prints, as one JSON object,
what its player did: the duration it reports, where a seek to the middle
landed, how long the seek took and how far playback went from there. A
video's own address works too: Chromium shows it in a page of its own.

Usage: browser_playback.py PAGE_URL [SECONDS]

Chromium is driven over its DevTools protocol on a loopback port, with a
private profile that is removed afterwards. Every wait is bounded: the whole
run gives up after SECONDS (default 60). Runs as root in CI containers, so the
browser's sandbox is off; this browser only ever opens the test's own page.
"""

import base64
import json
import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import urllib.request

# Runs in the page: waits for the video's metadata, seeks to the middle and
# plays until half a second past it, or until 20 s have passed.
PLAYER_CHECK = r"""
(async () => {
  const video = document.getElementById('video') || document.querySelector('video');
  if (!video) return {error: 'no video element'};
  const until = (event, ms) => new Promise((resolve) => {
    const timer = setTimeout(() => resolve(false), ms);
    video.addEventListener(event, () => { clearTimeout(timer); resolve(true); }, {once: true});
  });
  if (video.readyState < 1 && !(await until('loadedmetadata', 20000))) {
    return {error: 'no metadata', code: video.error && video.error.code};
  }
  const result = {
    title: document.title,
    duration: video.duration,
    pageDuration: (document.getElementById('duration') || {}).textContent || null,
    download: (document.getElementById('download') || {}).href || null,
    source: video.currentSrc,
  };
  const middle = video.duration / 2;
  const seeked = until('seeked', 20000);
  const seekBegun = performance.now();
  video.currentTime = middle;
  if (!(await seeked)) return Object.assign(result, {error: 'seek never finished'});
  result.seekMs = Math.round(performance.now() - seekBegun);
  result.seekedTo = video.currentTime;
  video.muted = true;
  await video.play();
  const started = Date.now();
  while (video.currentTime < middle + 0.5 && !video.ended && Date.now() - started < 20000) {
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  video.pause();
  result.playedTo = video.currentTime;
  result.mediaError = video.error && video.error.code;
  return result;
})()
"""


class DevTools:
    """A minimal WebSocket client for one DevTools target (text frames only)."""

    def __init__(self, ws_url, deadline):
        self.deadline = deadline
        rest = ws_url.split("://", 1)[1]
        host_port, path = rest.split("/", 1)
        host, port = host_port.rsplit(":", 1)
        self.sock = socket.create_connection((host, int(port)), timeout=self.remaining())
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall(
            (f"GET /{path} HTTP/1.1\r\nHost: {host_port}\r\nUpgrade: websocket\r\n"
             f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\n"
             "Sec-WebSocket-Version: 13\r\n\r\n").encode())
        head = b""
        while b"\r\n\r\n" not in head:
            chunk = self.sock.recv(1)
            if not chunk:
                raise RuntimeError("DevTools closed the handshake")
            head += chunk
        if b" 101 " not in head.split(b"\r\n", 1)[0]:
            raise RuntimeError("DevTools refused the WebSocket")
        self.next_id = 0

    def remaining(self):
        left = self.deadline - time.monotonic()
        if left <= 0:
            raise TimeoutError("out of time")
        return left

    def read_exact(self, count):
        data = b""
        while len(data) < count:
            self.sock.settimeout(self.remaining())
            chunk = self.sock.recv(count - len(data))
            if not chunk:
                raise RuntimeError("DevTools connection closed")
            data += chunk
        return data

    def send(self, method, params=None):
        self.next_id += 1
        payload = json.dumps({"id": self.next_id, "method": method,
                              "params": params or {}}).encode()
        mask = os.urandom(4)
        header = b"\x81"
        if len(payload) < 126:
            header += struct.pack("!B", 0x80 | len(payload))
        elif len(payload) < 1 << 16:
            header += struct.pack("!BH", 0x80 | 126, len(payload))
        else:
            header += struct.pack("!BQ", 0x80 | 127, len(payload))
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
        self.sock.sendall(header + mask + masked)
        while True:  # events and other answers are skipped
            message = json.loads(self.receive())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})

    def receive(self):
        payload = b""
        while True:
            first, second = self.read_exact(2)
            length = second & 0x7F
            if length == 126:
                length = struct.unpack("!H", self.read_exact(2))[0]
            elif length == 127:
                length = struct.unpack("!Q", self.read_exact(8))[0]
            payload += self.read_exact(length)
            if first & 0x80:  # the final fragment
                return payload.decode()

    def evaluate(self, expression, await_promise=False):
        result = self.send("Runtime.evaluate", {
            "expression": expression, "awaitPromise": await_promise, "returnByValue": True})
        if "exceptionDetails" in result:
            raise RuntimeError(f"page script failed: {result['exceptionDetails']}")
        return result["result"].get("value")


def devtools_port(profile, deadline, browser):
    port_file = os.path.join(profile, "DevToolsActivePort")
    while time.monotonic() < deadline:
        if browser.poll() is not None:
            raise RuntimeError(f"chromium exited with {browser.returncode}")
        try:
            with open(port_file) as f:
                port = f.readline().strip()
            if port:
                return int(port)
        except FileNotFoundError:
            pass
        time.sleep(0.05)
    raise TimeoutError("chromium never opened its DevTools port")


def page_target(port, deadline):
    while time.monotonic() < deadline:
        with urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list", timeout=5) as answer:
            for target in json.load(answer):
                if target.get("type") == "page" and "webSocketDebuggerUrl" in target:
                    return target["webSocketDebuggerUrl"]
        time.sleep(0.05)
    raise TimeoutError("chromium showed no page")


def run(url, deadline, profile):
    browser = subprocess.Popen(
        [shutil.which("chromium") or "/usr/bin/chromium", "--headless=new", "--no-sandbox",
         "--disable-gpu", "--no-first-run", "--no-default-browser-check", "--mute-audio",
         "--autoplay-policy=no-user-gesture-required", f"--user-data-dir={profile}",
         "--remote-debugging-address=127.0.0.1", "--remote-debugging-port=0", "about:blank"],
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        start_new_session=True)
    try:
        port = devtools_port(profile, deadline, browser)
        tools = DevTools(page_target(port, deadline), deadline)
        tools.send("Page.navigate", {"url": url})
        while tools.evaluate("document.readyState + ' ' + location.href") != "complete " + url:
            tools.remaining()
            time.sleep(0.05)
        return tools.evaluate(PLAYER_CHECK, await_promise=True)
    finally:
        # The browser and its helpers share the session started for it.
        try:
            os.killpg(browser.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        browser.wait()


def main():
    url = sys.argv[1]
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 60.0
    profile = tempfile.mkdtemp(prefix="velloq-chromium-")
    try:
        result = run(url, time.monotonic() + seconds, profile)
    except Exception as error:  # reported to the test, which fails with it
        result = {"error": f"{type(error).__name__}: {error}"}
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    print(json.dumps(result))


if __name__ == "__main__":
    main()
