"""Answers GET /200, /301, /302 and /404 with that status, for the URL check tests.

Listens on 127.0.0.1 on a free port and prints the port number on its first
line of output, then serves until it is killed.
"""
import http.server
import sys


class StatusHandler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        agent = self.headers.get("User-Agent", "")
        fresh = "no-cache" in self.headers.get("Cache-Control", "")
        try:
            status = int(self.path.lstrip("/"))
        except ValueError:
            status = 400
        if agent != "InetURL:/1.0" or not fresh or status not in (200, 301, 302, 404):
            status = 400
        body = b"status page\n" * 1000
        self.send_response(status)
        if status in (301, 302):
            self.send_header("Location", "/200")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), StatusHandler)
print(server.server_address[1], flush=True)
sys.stdout.close()
server.serve_forever()
