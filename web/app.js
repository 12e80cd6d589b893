// The lantrel page: one input box, a map and the answer of /api/v1/point in tables.
(function () {
  "use strict";
  const api = "/api/v1/";
  const $ = (id) => document.getElementById(id);
  const input = $("point"), system = $("system"), status = $("status");
  const map = L.map("map", { preferCanvas: true, keyboard: true }).setView([37.8, -85.7], 7);
  const renderer = L.canvas({ padding: 0.2 });
  let marker = null, area = null, pending = null;

  const layers = {
    counties: { layer: L.geoJSON(null, { renderer, style: { color: "#555", weight: 1, fill: false } }), minZoom: 6 },
    quads: { layer: L.geoJSON(null, { renderer, style: { color: "#2a7f62", weight: 0.7, fill: false, dashArray: "4 3" } }), minZoom: 10 },
    carter: { layer: L.geoJSON(null, { renderer, style: { color: "#b5651d", weight: 0.6, fill: false } }), minZoom: 9 },
  };
  const overlays = { Counties: layers.counties.layer, Quadrangles: layers.quads.layer, "Carter grid": layers.carter.layer };
  Object.values(layers).forEach((l) => l.layer.addTo(map));
  L.control.layers(null, overlays, { collapsed: true }).addTo(map);
  L.control.scale({ imperial: true }).addTo(map);

  fetch(api + "config").then((r) => r.json()).then((c) => {
    if (c.tiles) L.tileLayer(c.tiles, { maxZoom: 19 }).addTo(map).bringToBack();
  }).catch(() => {});

  // Outlines for the view, thinned by the server to what the view shows.
  let reload = null;
  function loadLayers() {
    const b = map.getBounds();
    const bbox = [b.getWest(), b.getSouth(), b.getEast(), b.getNorth()].map((v) => v.toFixed(5)).join(",");
    for (const [name, l] of Object.entries(layers)) {
      if (map.getZoom() < l.minZoom) { l.layer.clearLayers(); continue; }
      fetch(api + "layers/" + name + ".geojson?bbox=" + bbox)
        .then((r) => (r.ok ? r.json() : null))
        .then((g) => { l.layer.clearLayers(); if (g) l.layer.addData(g); })
        .catch(() => {});
    }
  }
  map.on("moveend", () => { clearTimeout(reload); reload = setTimeout(loadLayers, 150); });
  loadLayers();

  function cell(row, text, cls) {
    const td = document.createElement(row.parentNode && row.parentNode.tagName === "THEAD" ? "th" : "td");
    td.textContent = text;
    if (cls) td.className = cls;
    row.appendChild(td);
    return td;
  }
  function copyButton(td, text, label) {
    const b = document.createElement("button");
    b.type = "button";
    b.className = "copy";
    b.textContent = "copy";
    b.setAttribute("aria-label", "copy " + label);
    b.addEventListener("click", () => {
      if (navigator.clipboard) navigator.clipboard.writeText(text).catch(() => {});
      b.textContent = "copied";
      setTimeout(() => (b.textContent = "copy"), 1200);
    });
    td.appendChild(b);
  }
  function valueCell(row, text, label) {
    const td = cell(row, text || "", "num");
    if (text) copyButton(td, text, label);
    return td;
  }
  function fill(id, rows) {
    const t = $(id), body = t.tBodies[0];
    body.textContent = "";
    for (const [k, v] of rows) {
      const tr = body.insertRow();
      tr.dataset.key = k;
      const th = document.createElement("th");
      th.scope = "row";
      th.textContent = k;
      tr.appendChild(th);
      valueCell(tr, v, k);
    }
    t.hidden = rows.length === 0;
  }

  function show(doc) {
    const u = doc.understood;
    fill("understood", [["form", u.form], ["system", u.description]].concat(u.location ? [["location", u.location]] : []));
    const body = $("systems").tBodies[0];
    body.textContent = "";
    for (const s of doc.systems) {
      const tr = body.insertRow();
      tr.dataset.system = s.system;
      const th = document.createElement("th");
      th.scope = "row";
      th.textContent = s.system;
      th.title = s.description;
      tr.appendChild(th);
      if (s.error) { const td = cell(tr, s.error); td.colSpan = 3; continue; }
      valueCell(tr, s.x_text, s.system + " x");
      valueCell(tr, s.y_text, s.system + " y");
      if (s.x_dms) {
        tr.cells[1].appendChild(document.createElement("br"));
        tr.cells[1].append(s.x_dms);
        tr.cells[2].appendChild(document.createElement("br"));
        tr.cells[2].append(s.y_dms);
        cell(tr, "");
      } else {
        cell(tr, s.scale_factor.toFixed(8) + " · " + s.convergence.toFixed(6) + "°");
      }
    }
    $("systems").hidden = false;
    const loc = doc.location, f = doc.flags, shift = doc.datum_shift;
    const where = [];
    for (const k of ["state", "county", "county_fips", "sp_zone", "quad", "quad_tile", "carter", "carter_nad83"]) {
      if (loc[k] !== undefined) where.push([k, loc[k]]);
    }
    if (shift.dlon_seconds_text) where.push(["NAD 27→83 shift (″ lon, lat)", shift.dlon_seconds_text + ", " + shift.dlat_seconds_text]);
    where.push(["inside shift window", f.in_shift_window ? "yes" : "no"]);
    where.push(["inside served region", f.in_served_region ? "yes" : "no"]);
    where.push(["official zone", f.official_zone]);
    if (doc.area) {
      where.push(["area", doc.area.kind + " " + doc.area.name]);
      where.push(["size", doc.area.width_ft.toFixed(0) + " × " + doc.area.height_ft.toFixed(0) + " ft, " + doc.area.area_acres.toFixed(1) + " acres"]);
    }
    fill("where", where);

    const geo = doc.systems.find((s) => s.system === "geographic/nad83/deg" && !s.error);
    if (marker) { marker.remove(); marker = null; }
    if (area) { area.remove(); area = null; }
    if (doc.area) {
      area = L.geoJSON(doc.area.polygon, { renderer, style: { color: "#c0392b", weight: 2, fillOpacity: 0.15 } }).addTo(map);
      map.fitBounds(area.getBounds(), { maxZoom: 14 });
    }
    if (geo) {
      marker = L.circleMarker([geo.y, geo.x], { renderer, radius: 7, color: "#c0392b", weight: 2, fillOpacity: 0.6 }).addTo(map);
      if (!doc.area && !map.getBounds().contains(marker.getLatLng())) map.setView(marker.getLatLng(), Math.max(map.getZoom(), 10));
    }
    status.className = "";
    status.textContent = "Read " + JSON.stringify(doc.input) + " as " + u.description + ".";
  }

  function lookUp(text, sys, push) {
    if (!text.trim()) return;
    const q = new URLSearchParams({ text });
    if (sys) q.set("system", sys);
    if (push) {
      const page = new URLSearchParams({ q: text });
      if (sys) page.set("system", sys);
      history.replaceState(null, "", "?" + page.toString());
    }
    if (pending) pending.abort();
    pending = new AbortController();
    status.className = "";
    status.textContent = "Looking up…";
    fetch(api + "point?" + q.toString(), { signal: pending.signal })
      .then((r) => r.json().then((doc) => ({ ok: r.ok, doc })))
      .then(({ ok, doc }) => {
        if (ok) { show(doc); return; }
        status.className = "error";
        status.textContent = doc.detail || doc.title;
      })
      .catch((e) => { if (e.name !== "AbortError") { status.className = "error"; status.textContent = "The server did not answer."; } });
  }

  $("lookup").addEventListener("submit", (e) => {
    e.preventDefault();
    lookUp(input.value, system.value, true);
  });
  map.on("click", (e) => {
    const p = e.latlng.wrap();
    input.value = p.lng.toFixed(7) + " " + p.lat.toFixed(7);
    system.value = "";
    lookUp(input.value, "", true);
  });

  // Files: sent whole to /files, the job polled, the result offered as a download.
  const drop = $("drop"), fileStatus = $("file-status"), progress = $("file-progress"), result = $("file-result");
  function sendFile(file) {
    const q = new URLSearchParams({ command: $("file-command").value, name: file.name });
    if (q.get("command") === "convert") q.set("to", $("file-to").value);
    if ($("file-format").value) q.set("format", $("file-format").value);
    result.hidden = true;
    progress.hidden = false;
    progress.removeAttribute("value");
    fileStatus.textContent = "Sending " + file.name + "…";
    fetch(api + "files?" + q.toString(), { method: "POST", body: file, headers: { "Content-Type": "application/octet-stream" } })
      .then((r) => r.json().then((doc) => ({ ok: r.ok, doc })))
      .then(({ ok, doc }) => {
        if (!ok) throw new Error(doc.detail || doc.title);
        return poll(doc);
      })
      .catch((e) => { progress.hidden = true; fileStatus.textContent = e.message; });
  }
  function poll(job) {
    if (job.state === "running") {
      // The share of the file read so far; indeterminate until the tool has read any of it.
      if (job.progress > 0) {
        progress.max = 1;
        progress.value = job.progress;
      }
      fileStatus.textContent = "Working… " + Math.round(job.progress * 100) + " % read, " +
        job.output_bytes + " bytes written";
      return new Promise((ok) => setTimeout(ok, 250))
        .then(() => fetch(api + "files/" + job.id)).then((r) => r.json()).then(poll);
    }
    if (job.state === "failed") throw new Error(job.message || "the job failed");
    return fetch(job.result).then((r) => r.blob()).then((blob) => {
      progress.value = 1;
      progress.max = 1;
      if (result.href) URL.revokeObjectURL(result.href);
      result.href = URL.createObjectURL(blob);
      result.download = job.result_name;
      result.textContent = "Download " + job.result_name;
      result.hidden = false;
      fileStatus.textContent = job.message ? job.message : "Done.";
    });
  }
  $("file").addEventListener("change", (e) => { if (e.target.files.length) sendFile(e.target.files[0]); });
  for (const target of [drop, document.body]) {
    target.addEventListener("dragover", (e) => { e.preventDefault(); drop.classList.add("over"); });
    target.addEventListener("dragleave", () => drop.classList.remove("over"));
    target.addEventListener("drop", (e) => {
      e.preventDefault();
      drop.classList.remove("over");
      if (e.dataTransfer.files.length) sendFile(e.dataTransfer.files[0]);
    });
  }
  $("files").addEventListener("submit", (e) => e.preventDefault());

  const start = new URLSearchParams(location.search);
  if (start.get("q")) {
    input.value = start.get("q");
    system.value = start.get("system") || "";
    lookUp(input.value, system.value, false);
  }
  window.lantrelPage = { map, lookUp, area: () => area, marker: () => marker };
})();
