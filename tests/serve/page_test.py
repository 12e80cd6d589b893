"""The page in headless Chromium: typed points, a Carter location and a block, a click on the
map and a shared link, read back from the results table and compared with the tool."""
import json
import os
import sys
import tempfile
import unittest
import urllib.parse

sys.path.insert(0, os.path.dirname(__file__))
from server import Server, run_tool  # noqa: E402

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support import expected_conditions as EC
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:  # pragma: no cover
    sys.exit(77)


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = Server()
        cls.profile = tempfile.TemporaryDirectory()
        options = webdriver.ChromeOptions()
        for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                  "--no-first-run", "--disable-dev-shm-usage", "--window-size=1200,900",
                  "--user-data-dir=" + cls.profile.name):
            options.add_argument(a)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
        cls.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        cls.wait = WebDriverWait(cls.driver, 20)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.profile.cleanup()
        cls.server.stop()

    def open(self, query=""):
        self.driver.get(self.server.url + "/" + query)
        self.wait.until(lambda d: d.execute_script("return !!window.lantrelPage"))

    def cell(self, system, column):
        row = self.wait.until(EC.presence_of_element_located(
            (By.CSS_SELECTOR, f'#systems tr[data-system="{system}"]')))
        # The value cell's own text, without its copy button and any DMS line.
        return row.find_elements(By.TAG_NAME, "td")[column].text.split("\n")[0].replace("copy", "").strip()

    def look_up(self, text):
        box = self.driver.find_element(By.ID, "point")
        box.clear()
        box.send_keys(text, Keys.ENTER)
        self.wait.until(lambda d: d.find_element(By.ID, "status").text.startswith("Read " + json.dumps(text, ensure_ascii=False)))

    def test_typed_points_fill_the_table_with_the_tools_values(self):
        self.open()
        cases = [("84°52′23.88″W 38°12′03.24″N", "geo", "north/nad83/usft", []),
                 ("D45-07 1200-FNL 350-FWL", "carter/nad27", "geographic/nad83/deg", ["-p", "9"])]
        for text, src, system, extra in cases:
            with self.subTest(text=text):
                self.look_up(text)
                expected = run_tool(["convert", "-f", src, "-t", system, *extra], text + "\n").split()
                self.assertEqual([self.cell(system, 0), self.cell(system, 1)], expected)

    def test_block_draws_its_cell(self):
        self.open()
        self.look_up("D45")
        where = self.driver.find_element(By.ID, "where").text
        self.assertIn("block D45", where)
        # The cell is drawn: a polygon about 5' (0.083°) wide around the block's centre.
        width = self.driver.execute_script(
            "const a = window.lantrelPage.area(); if (!a) return 0;"
            "const b = a.getBounds(); return b.getEast() - b.getWest();")
        self.assertAlmostEqual(width, 5 / 60, delta=0.002)

    def test_click_on_the_map_and_shared_link(self):
        self.open()
        m = self.driver.find_element(By.ID, "map")
        webdriver.ActionChains(self.driver).move_to_element(m).click().perform()
        self.wait.until(lambda d: "?q=" in d.current_url and d.find_element(By.ID, "status").text.startswith("Read "))
        clicked = self.driver.find_element(By.ID, "point").get_attribute("value")
        self.assertTrue(self.driver.execute_script("return window.lantrelPage.marker() !== null"))
        link = self.driver.current_url
        self.assertEqual(urllib.parse.parse_qs(urllib.parse.urlparse(link).query)["q"], [clicked])
        north = self.cell("north/nad83/usft", 0)
        self.driver.get("about:blank")
        self.driver.get(link)
        self.wait.until(lambda d: d.find_element(By.ID, "status").text.startswith("Read "))
        self.assertEqual(self.cell("north/nad83/usft", 0), north)

    def test_dropped_csv_downloads_what_the_tool_writes(self):
        self.open()
        with tempfile.TemporaryDirectory() as d:
            src = os.path.join(d, "wells.csv")
            with open(src, "w") as f:
                f.write("name,lon,lat\nA,-84.8733,38.2009\nB,-85.75,37.25\n")
            out = os.path.join(d, "tool.csv")
            run_tool(["convert", "--from", "geographic/nad83/deg", "--to", "north/nad83/usft", "-o", out, src], "")
            self.driver.find_element(By.ID, "file").send_keys(src)
            link = self.wait.until(EC.visibility_of_element_located((By.ID, "file-result")))
            self.assertEqual(link.get_attribute("download"), "wells_convert.csv")
            text = self.driver.execute_async_script(
                "const done = arguments[0]; fetch(document.getElementById('file-result').href)"
                ".then(r => r.text()).then(done);")
            with open(out) as f:
                self.assertEqual(text, f.read())

    def test_no_request_leaves_the_server_and_no_console_error(self):
        self.open("?q=-84.5%2038.1")
        self.wait.until(lambda d: d.find_element(By.ID, "status").text.startswith("Read "))
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                url = message["params"]["request"]["url"]
                if url.split(":", 1)[0] in ("http", "https", "ws", "wss"):
                    self.assertTrue(url.startswith(self.server.url + "/"), url)
        errors = [e for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]
        self.assertEqual(errors, [])


if __name__ == "__main__":
    unittest.main()
