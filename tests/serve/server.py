"""Starts `lantrel serve` on a free port for the API and page tests, and checks answers
against the server's own OpenAPI document."""
import json
import os
import signal
import subprocess
import sys
import tempfile

import jsonschema
import requests

BINARY_DIR = os.environ.get("LANTREL_BINARY_DIR", "build")
SOURCE_DIR = os.environ.get("LANTREL_SOURCE_DIR", ".")
TOOL = os.path.join(BINARY_DIR, "bin", "lantrel")


class Server:
    def __init__(self, *extra):
        self.process = subprocess.Popen(
            [TOOL, "serve", "--port", "0", "--web", os.path.join(SOURCE_DIR, "web"), *extra],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        if "serving " not in line:
            self.process.kill()
            raise RuntimeError("lantrel serve did not start: " + line + self.process.stderr.read())
        self.url = line.split("serving ", 1)[1].strip().rstrip("/")
        self.session = requests.Session()
        self._document = None

    def get(self, path, **kw):
        return self.session.get(self.url + path, timeout=30, **kw)

    def post(self, path, **kw):
        return self.session.post(self.url + path, timeout=60, **kw)

    def stop(self, sig=signal.SIGTERM):
        self.session.close()
        if self.process.poll() is None:
            self.process.send_signal(sig)
        try:
            return self.process.wait(timeout=20)
        finally:
            self.process.stdout.close()
            self.process.stderr.close()

    def document(self):
        if self._document is None:
            self._document = self.get("/api/v1/openapi.json").json()
        return self._document

    def check(self, response, path, method):
        """Validates the answer against the document's schema for path, method and status."""
        doc = self.document()
        operation = doc["paths"][path][method.lower()]
        entry = operation["responses"][str(response.status_code)]
        if "$ref" in entry:
            entry = doc["components"]["responses"][entry["$ref"].rsplit("/", 1)[1]]
        kind = response.headers["Content-Type"].split(";")[0]
        content = entry["content"][kind]
        if not kind.endswith("json"):
            return None
        body = response.json()
        schema = dict(content["schema"])
        schema["components"] = doc["components"]
        jsonschema.Draft202012Validator(schema).validate(body)
        return body


def run_tool(args, text):
    r = subprocess.run([TOOL, *args], input=text, capture_output=True, text=True, check=False)
    return r.stdout


def no_local_detail(test, text):
    """No trace or path of this machine in an answer."""
    for part in ("Traceback", SOURCE_DIR, BINARY_DIR, "/usr/", "/home/", "/tmp/", "what():"):
        test.assertNotIn(part, text)
