"""The API over HTTP: every route against its OpenAPI schema, answers equal to the tool's,
and every refusal a problem document with the right status."""
import io
import json
import os
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import zipfile

import requests

sys.path.insert(0, os.path.dirname(__file__))
from server import Server, no_local_detail, run_tool  # noqa: E402

POINTS = [(-84.8733, 38.2009), (-85.75, 37.25), (-83.1, 37.9), (-88.6, 37.0)]


class ApiTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = Server("--max-points", "1000", "--max-body", "65536")

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def test_single_and_batch_convert_equal_the_tool(self):
        cases = [("geographic", "north"), ("geographic", "utm16/nad27/m"), ("geographic", "carter/nad27"),
                 ("geographic", "south/nad83/m"), ("geographic/nad27", "geographic/nad83")]
        for src, dst in cases:
            with self.subTest(src=src, dst=dst):
                lines = "".join(f"{x} {y}\n" for x, y in POINTS)
                full = run_tool(["convert", "-f", src, "-t", dst, "-p", "17"], lines).splitlines()
                short = run_tool(["convert", "-f", src, "-t", dst], lines).splitlines()
                r = self.server.post("/api/v1/convert", json={"from": src, "to": dst,
                                                               "x": [p[0] for p in POINTS], "y": [p[1] for p in POINTS]})
                body = self.server.check(r, "/api/v1/convert", "POST")
                self.assertEqual(body["failed"], 0)
                for i, (x, y) in enumerate(POINTS):
                    one = self.server.get("/api/v1/convert", params={"from": src, "to": dst, "x": x, "y": y})
                    single = self.server.check(one, "/api/v1/convert", "GET")
                    if dst.startswith("carter"):
                        self.assertEqual(body["location"][i], short[i])
                        self.assertEqual(single["location"], short[i])
                        continue
                    fx, fy = map(float, full[i].split())
                    self.assertEqual((body["x"][i], body["y"][i]), (fx, fy))
                    self.assertEqual((single["x"], single["y"]), (fx, fy))
                    self.assertEqual(body["x_text"][i] + " " + body["y_text"][i], short[i])

    def test_batch_reports_each_failure_in_place(self):
        r = self.server.post("/api/v1/convert", json={"from": "geo", "to": "north/nad27",
                                                       "x": [-84.5, "abc", -80.0, None], "y": [38.0, 38, 37.0, 38]})
        body = self.server.check(r, "/api/v1/convert", "POST")
        self.assertEqual(body["status"], ["ok", "error", "error", "error"])
        self.assertEqual(body["failed"], 3)
        self.assertIn("cannot read x value", body["message"][1])
        self.assertIn("shift window", body["message"][2])
        self.assertIsNone(body["x"][1])

    def test_number_columns_read_as_the_json_library_reads_them(self):
        # The same points written in several JSON forms; with a null in each column the body
        # goes through the JSON library instead of the column reader.
        forms = ["-84.5", "-8.45e1", "-845E-1", "-84.50000000000001", " \n-84.5\t", "-85", "-0.8487330e+2"]
        ys = ["38", "3.8E+1", "38.200900000000001", "38.0", "0.382009e2", "37.25", "38.2009"]
        bodies = ['{"from": "geo", "to": "north", "x": [%s], "y": [%s]}' % (",".join(forms + extra), ",".join(ys + extra))
                  for extra in ([], ["null"])]
        fast, slow = (self.server.post("/api/v1/convert", data=b, headers={"Content-Type": "application/json"}).json()
                      for b in bodies)
        n = len(forms)
        self.assertEqual((fast["x"], fast["y"]), (slow["x"][:n], slow["y"][:n]))
        self.assertEqual(fast["failed"], 0)
        out = run_tool(["convert", "-f", "geo", "-t", "north", "-p", "17"],
                       "".join(f"{x.strip()} {y}\n" for x, y in zip(forms, ys))).split()
        self.assertEqual(fast["x"] + fast["y"], [float(v) for v in out[0::2] + out[1::2]])

    def test_locate_equals_the_tool(self):
        lines = "".join(f"{x} {y}\n" for x, y in POINTS)
        rows = [line.split("\t")[1:] for line in run_tool(["locate", "--from", "geo"], lines).splitlines()]
        r = self.server.post("/api/v1/locate", json={"x": [p[0] for p in POINTS], "y": [p[1] for p in POINTS]})
        body = self.server.check(r, "/api/v1/locate", "POST")
        names = ["state", "state_fips", "county", "county_fips", "sp_zone", "quad", "quad_tile", "quad_state", "carter",
                 "geoid"]
        for i, row in enumerate(rows):
            self.assertEqual([body[n][i] for n in names], row)

    def test_point_reads_every_form_and_equals_the_tool(self):
        # Every system is checked against the tool for the first point of each form, two for the rest.
        few = ("north/nad83/usft", "geographic/nad27/deg")
        cases = [
            ("-84.8733 38.2009", None, "geographic", None),
            ("84°52′23.88″W 38°12′03.24″N", None, "geographic", few),
            ("N38 12 03.24 W84 52 23.88", None, "geographic", few),
            ("D45-07 1200-FNL 350-FWL", None, "carter", few),
            ("1640000 250000", "north/nad83/usft", "plane", None),
            ("D45", None, "carter_area", ()),
            ("D45-07", None, "carter_area", ()),
        ]
        for text, system, form, checked in cases:
            with self.subTest(text=text):
                params = {"text": text}
                if system:
                    params["system"] = system
                body = self.server.check(self.server.get("/api/v1/point", params=params), "/api/v1/point", "GET")
                self.assertEqual(body["understood"]["form"], form)
                src = body["understood"]["system"]
                if form == "carter_area":
                    self.assertEqual(body["area"]["kind"], "block" if text == "D45" else "section")
                    self.assertGreater(body["area"]["width_m"], 1000)
                    continue
                for entry in body["systems"]:
                    if "error" in entry or (checked is not None and entry["system"] not in checked):
                        continue
                    out = run_tool(["convert", "-f", src, "-t", entry["system"], "-p", "17"], text + "\n").split()
                    self.assertEqual([entry["x"], entry["y"]], [float(out[0]), float(out[1])], entry["system"])
                self.assertTrue(body["location"]["county"])
                self.assertTrue(body["location"]["carter"])

    def test_point_gives_the_neighbour_zone_it_lies_in(self):
        # (text, zones, zones expected): one zone of a two-zone state, both when asked for.
        cases = [("-87.57 37.97", None, {"in-west"}), ("-89.45 37.7", None, {"il-west"}),
                 ("-88.6 37.4", None, {"il-east"}), ("-87.57 37.97", "all", {"in-west", "in-east"}),
                 ("-84.8733 38.2009", None, set())]
        for text, zones, expected in cases:
            with self.subTest(text=text, zones=zones):
                params = {"text": text, **({"zones": zones} if zones else {})}
                body = self.server.check(self.server.get("/api/v1/point", params=params), "/api/v1/point", "GET")
                neighbour = [e for e in body["systems"] if e["system"].startswith(("il-", "in-"))]
                self.assertEqual({e["system"].split("/")[0] for e in neighbour}, expected)
                self.assertEqual(len(neighbour), 4 * len(expected))
                self.assertTrue(all(("note" in e) == (zones is None) for e in neighbour))

    def test_layers_are_geojson_in_the_box(self):
        for layer in ("states", "counties", "quads", "carter"):
            with self.subTest(layer=layer):
                r = self.server.get(f"/api/v1/layers/{layer}.geojson", params={"bbox": "-85.0,38.0,-84.7,38.3"})
                body = self.server.check(r, "/api/v1/layers/{layer}", "GET")
                self.assertGreater(len(body["features"]), 0)
                for f in body["features"]:
                    for lon, lat in f["geometry"]["coordinates"][0][:1]:
                        self.assertTrue(-92 < lon < -78 and 34 < lat < 41)

    def test_health_metrics_config(self):
        self.server.check(self.server.get("/healthz"), "/healthz", "GET")
        self.server.check(self.server.get("/api/v1/config"), "/api/v1/config", "GET")
        metrics = self.server.get("/metrics")
        self.assertEqual(metrics.status_code, 200)
        self.assertIn('lantrel_http_requests_total{route="healthz",code="2xx"}', metrics.text)

    def test_refusals_are_problem_documents(self):
        big = {"from": "geo", "to": "north", "x": [0.0] * 1001, "y": [0.0] * 1001}
        cases = [
            ("GET", "/api/v1/point", {"params": {"text": "1 2", "system": "nowhere"}}, 400, "unknown-system"),
            ("GET", "/api/v1/point", {"params": {"text": "hello there"}}, 422, "unreadable-text"),
            ("GET", "/api/v1/point", {"params": {"text": "1640000 250000"}}, 422, "unreadable-text"),
            ("GET", "/api/v1/convert", {"params": {"from": "geo", "to": "north/nad27", "x": -80, "y": 37}}, 422, "outside-shift-window"),
            ("GET", "/api/v1/convert", {"params": {"from": "geo", "to": "north", "x": "-84,5", "y": "38"}}, 422, "unreadable-text"),
            ("POST", "/api/v1/convert", {"json": big}, 413, "too-many-points"),
            ("POST", "/api/v1/convert", {"data": "x" * 70000, "headers": {"Content-Type": "application/json"}}, 413, "body-too-large"),
            ("POST", "/api/v1/convert", {"data": "{\"from\": ", "headers": {"Content-Type": "application/json"}}, 400, "malformed-json"),
            ("POST", "/api/v1/locate", {"data": "[1, 2]", "headers": {"Content-Type": "application/json"}}, 400, "malformed-json"),
            *[("POST", "/api/v1/convert", {"data": '{"from": "geo", "to": "north", ' + columns + '}', "headers": {"Content-Type": "application/json"}},
               400, "malformed-json")
              for columns in ('"x": [-84.5,], "y": [38]', '"x": [-084.5], "y": [38]', '"x": [-84.5 1], "y": [38, 1]',
                              '"x": [.5], "y": [38]', '"x": [-84.5], "y": [38]} {', '"x": [-84.5], "y": [38e]')],
            ("DELETE", "/api/v1/point", {}, 405, "method-not-allowed"),
            ("GET", "/api/v1/locate", {}, 405, "method-not-allowed"),
            ("GET", "/api/v1/nothing", {}, 404, "not-found"),
        ]
        for method, path, kw, status, kind in cases:
            with self.subTest(method=method, path=path, status=status):
                r = self.server.session.request(method, self.server.url + path, timeout=30, **kw)
                self.assertEqual(r.status_code, status, r.text)
                self.assertEqual(r.headers["Content-Type"].split(";")[0], "application/problem+json")
                body = r.json()
                self.assertEqual(body["status"], status)
                self.assertTrue(body["type"].endswith("/" + kind), body)
                no_local_detail(self, r.text)
                if path in self.server.document()["paths"] and str(status) in self.server.document()["paths"][path].get(method.lower(), {}).get("responses", {}):
                    self.server.check(r, path, method)

    def test_static_files_never_leave_the_page_folder(self):
        self.assertEqual(self.server.get("/").status_code, 200)
        self.assertEqual(self.server.get("/leaflet/leaflet.js").status_code, 200)
        for path in ("/../../etc/passwd", "/%2e%2e/%2e%2e/etc/passwd", "/leaflet/../../../../etc/passwd",
                     "/leaflet/%2e%2e/%2e%2e/%2e%2e/etc/passwd", "/..%2f..%2fCMakeLists.txt", "/.git/config",
                     "/app.js%00.html", "/web/../CMakeLists.txt", "//etc/passwd"):
            with self.subTest(path=path):
                # Sent as written: the client must not tidy the dots away.
                with socket.create_connection((self.server.url.split("//")[1].split(":")[0],
                                               int(self.server.url.rsplit(":", 1)[1]))) as s:
                    s.sendall(f"GET {path} HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n".encode())
                    answer = b""
                    while chunk := s.recv(65536):
                        answer += chunk
                head, _, body = answer.partition(b"\r\n\r\n")
                self.assertIn(b" 404 ", head.split(b"\r\n")[0], head)
                self.assertNotIn(b"root:", body)

    def test_idle_keepalive_connections_leave_room(self):
        host, port = self.server.url.split("//")[1].rsplit(":", 1)
        idle = []
        for _ in range(64):
            s = socket.create_connection((host, int(port)))
            s.sendall(b"GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n")
            s.recv(4096)
            idle.append(s)
        try:
            start = time.monotonic()
            r = self.server.get("/healthz")
            self.assertEqual(r.status_code, 200)
            self.assertLess(time.monotonic() - start, 0.1)
        finally:
            for s in idle:
                s.close()


class FilesTest(unittest.TestCase):
    def test_uploads_come_back_as_the_tool_writes_them_and_leave_nothing(self):
        with tempfile.TemporaryDirectory() as d:
            jobs = os.path.join(d, "jobs")
            os.mkdir(jobs)
            os.environ["TMPDIR"] = jobs
            server = Server()
            del os.environ["TMPDIR"]
            try:
                csv = os.path.join(d, "wells.csv")
                with open(csv, "w") as f:
                    f.write("name,lon,lat\nA,-84.8733,38.2009\nB,-85.75,37.25\nC,abc,37\n")
                shp = os.path.join(d, "wells.shp")
                run_tool(["convert", "--from", "geo", "--to", "geo", "-o", shp, csv], "")
                zipped = os.path.join(d, "wells.zip")
                with zipfile.ZipFile(zipped, "w") as z:
                    for ext in ("shp", "shx", "dbf", "prj"):
                        if os.path.exists(os.path.join(d, "wells." + ext)):
                            z.write(os.path.join(d, "wells." + ext), "wells." + ext)
                cases = [("wells.csv", csv, {"to": "north"}, ["convert", "--from", "geographic/nad83/deg", "--to", "north/nad83/usft"], "csv"),
                         ("wells.csv", csv, {"command": "locate"}, ["locate", "--from", "geographic/nad83/deg"], "csv"),
                         ("wells.zip", zipped, {"to": "utm16", "format": "geojson"}, None, "geojson"),
                         ("wells.csv", csv, {"to": "north", "format": "shp"}, ["convert", "--from", "geographic/nad83/deg", "--to", "north/nad83/usft"], "shp")]
                for number, (name, path, params, tool, ext) in enumerate(cases):
                    with self.subTest(name=name, params=params):
                        with open(path, "rb") as f:
                            r = server.post("/api/v1/files", params={"name": name, **params}, data=f.read())
                        job = server.check(r, "/api/v1/files", "POST")
                        while job["state"] == "running":
                            time.sleep(0.1)
                            job = server.check(server.get("/api/v1/files/" + job["id"]), "/api/v1/files/{id}", "GET")
                        self.assertEqual(job["state"], "done", job["message"])
                        self.assertEqual(job["progress"], 1)
                        no_local_detail(self, job["message"])
                        got = server.get(job["result"])
                        self.assertEqual(got.status_code, 200)
                        if tool:
                            # A new file each time: the tool refuses to replace an existing one.
                            out = os.path.join(d, f"tool{number}.{ext}")
                            run_tool([*tool, "-o", out, path], "")
                            if ext == "shp":
                                # The Shapefile zipped with its sidecars (the .dbf carries the day).
                                packed = zipfile.ZipFile(io.BytesIO(got.content))
                                self.assertEqual(job["result_name"], "wells_convert.zip")
                                self.assertTrue({"wells_convert." + e for e in ("shp", "shx", "dbf", "prj")} <= set(packed.namelist()))
                                for e in ("shp", "shx"):
                                    with open(out[:-3] + e, "rb") as f:
                                        self.assertEqual(packed.read("wells_convert." + e), f.read())
                            else:
                                with open(out, "rb") as f:
                                    self.assertEqual(got.content, f.read())
                        else:
                            self.assertEqual(len(json.loads(got.content)["features"]), 3)
                        self.assertEqual(server.get(job["result"]).status_code, 404)
                        self.assertEqual(os.listdir(jobs), [])
                bad = server.post("/api/v1/files", params={"name": "wells.txt", "to": "north"}, data=b"1 2")
                self.assertEqual(bad.status_code, 415)
            finally:
                server.stop()


class LargeBatchTest(unittest.TestCase):
    def test_a_batch_split_over_workers_equals_the_tool(self):
        # Enough points for several workers; failures sprinkled through every worker's range.
        n = 150000
        xs = [-89.4 + 7.3 * ((i * 7919) % n) / n for i in range(n)]
        ys = [36.6 + 2.6 * ((i * 104729) % n) / n for i in range(n)]
        for i in range(0, n, 9973):
            xs[i] = -80.0
        server = Server()
        try:
            r = server.post("/api/v1/convert", json={"from": "geo", "to": "north/nad27", "texts": False, "x": xs, "y": ys})
            body = r.json()
        finally:
            server.stop()
        lines = run_tool(["convert", "-f", "geo", "-t", "north/nad27", "-p", "17"],
                         "".join(f"{x!r} {y!r}\n" for x, y in zip(xs, ys))).split("\n")
        self.assertEqual(body["count"], n)
        self.assertEqual(body["failed"], sum(1 for line in lines[:n] if not line))
        for i, line in enumerate(lines[:n]):
            if not line:
                self.assertEqual(body["status"][i], "error", i)
                self.assertIn("shift window", body["message"][i])
                continue
            x, y = map(float, line.split())
            self.assertEqual((body["x"][i], body["y"][i], body["message"][i]), (x, y, None), i)


class StopTest(unittest.TestCase):
    def test_sigterm_during_a_batch_loses_no_finished_answer(self):
        server = Server()
        n = 200000
        # Serialized once and sent on a connection of each thread's own, so the three requests
        # are on the wire at once even on a busy machine.
        body = json.dumps({"from": "geo", "to": "north", "x": [-84.5] * n, "y": [38.0] * n})
        results = []

        def call():
            try:
                r = requests.post(server.url + "/api/v1/convert", data=body, timeout=60,
                                  headers={"Content-Type": "application/json"})
                results.append((r.status_code, r.json()["count"]))
            except Exception as e:  # a request refused after the stop is not a lost answer
                results.append(("refused", str(type(e))))

        threads = [threading.Thread(target=call) for _ in range(3)]
        for t in threads:
            t.start()
        time.sleep(0.3)
        status = server.stop()
        for t in threads:
            t.join()
        self.assertEqual(status, 0)
        self.assertTrue(all(r == (200, n) or r[0] == "refused" for r in results), results)
        self.assertIn((200, n), results)


if __name__ == "__main__":
    unittest.main()
