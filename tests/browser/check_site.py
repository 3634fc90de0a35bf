#!/usr/bin/python3
"""Opens a generated site in headless Chromium, as a visitor would, through a web server
that tells letter case apart, and checks in each content frame that every picture loaded
and is drawn with its natural aspect ratio (within 2 %): a turned photo must not be
squeezed, and a picture must be found under the name the page gives it.

Usage: check_site.py MAKE_SITE OUTPUT_FOLDER
The site is written to OUTPUT_FOLDER/site; a screenshot of each page lands there too."""

import functools
import http.server
import os
import shutil
import sys
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

MEASURE = """
return Array.from(document.images).map(img => ({
  src: img.getAttribute('src'), complete: img.complete,
  naturalWidth: img.naturalWidth, naturalHeight: img.naturalHeight,
  width: img.getBoundingClientRect().width, height: img.getBoundingClientRect().height}));
"""


def main():
    make_site, out = sys.argv[1], sys.argv[2]
    site = os.path.join(out, "site")
    shutil.rmtree(site, ignore_errors=True)
    os.makedirs(site)
    if os.spawnv(os.P_WAIT, make_site, [make_site, site]) != 0:
        sys.exit("make_site failed")

    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    handler = functools.partial(Quiet, directory=site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()

    profile = tempfile.mkdtemp(prefix="corvane-chromium-")
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync",
                 "--window-size=1000,900", "--user-data-dir=" + profile):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    failures = []
    try:
        driver.get("http://127.0.0.1:%d/CASE.HTM" % server.server_address[1])
        driver.switch_to.frame("MENU")
        links = len(driver.find_elements(By.TAG_NAME, "a"))
        if links == 0:
            failures.append("no links in the menu")
        for n in range(links):
            driver.switch_to.default_content()
            driver.switch_to.frame("MENU")
            driver.find_elements(By.TAG_NAME, "a")[n].click()
            driver.switch_to.default_content()
            driver.switch_to.frame("DATA")
            WebDriverWait(driver, 20).until(
                lambda d: d.execute_script(
                    "return location.pathname.endsWith('/%d.htm') && "
                    "document.readyState === 'complete' && "
                    "Array.from(document.images).every(i => i.complete)" % (n + 1)))
            images = driver.execute_script(MEASURE)
            if not images:
                failures.append("page %d: no pictures" % (n + 1))
            for img in images:
                where = "page %d, %s" % (n + 1, img["src"])
                if not img["complete"] or img["naturalWidth"] == 0:
                    failures.append(where + ": not loaded")
                    continue
                natural = img["naturalWidth"] / img["naturalHeight"]
                drawn = img["width"] / img["height"]
                print("%s: natural %dx%d, drawn %.0fx%.0f" % (
                    where, img["naturalWidth"], img["naturalHeight"], img["width"],
                    img["height"]))
                if abs(drawn / natural - 1) > 0.02:
                    failures.append("%s: drawn %.3f, natural %.3f" % (where, drawn, natural))
            driver.switch_to.default_content()
            driver.save_screenshot(os.path.join(out, "page-%d.png" % (n + 1)))
    finally:
        driver.quit()
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)
    for failure in failures:
        print("FAIL " + failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
