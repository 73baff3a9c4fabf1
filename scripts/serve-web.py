#!/usr/bin/env python3
"""Serves the web page's static site (build-web/site) on 127.0.0.1 only."""
import argparse
import functools
import http.server
import sys


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".js": "text/javascript",
        ".mjs": "text/javascript",
        ".wasm": "application/wasm",
        ".woff2": "font/woff2",
        ".zip": "application/zip",
        ".webmanifest": "application/manifest+json",
        ".svg": "image/svg+xml",
    }

    def log_message(self, format, *args):
        if self.server.verbose:
            super().log_message(format, *args)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--site", default="build-web/site", help="the folder to serve (default: %(default)s)")
    parser.add_argument("--port", type=int, default=8080, help="the port (default: %(default)s; 0 picks a free one)")
    parser.add_argument("--verbose", action="store_true", help="log every request")
    args = parser.parse_args()
    handler = functools.partial(SiteHandler, directory=args.site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), handler)
    server.verbose = args.verbose
    print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        sys.exit(0)


if __name__ == "__main__":
    main()
