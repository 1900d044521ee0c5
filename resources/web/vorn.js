// Lists the package's calls from gCalls, which the package's calls.js defines.
(function () {
  "use strict";

  var preferred = ["id", "time_start", "direction", "caller", "callee", "duration", "voice"];

  function columnsOf(calls) {
    var seen = {};
    calls.forEach(function (call) {
      Object.keys(call).forEach(function (key) { seen[key] = true; });
    });
    var columns = preferred.filter(function (key) { return seen[key]; });
    Object.keys(seen).sort().forEach(function (key) {
      if (columns.indexOf(key) < 0 && key !== "flags") columns.push(key);
    });
    return columns;
  }

  function text(value) {
    if (value === null || value === undefined) return "";
    return typeof value === "object" ? JSON.stringify(value) : String(value);
  }

  function render() {
    var calls = (typeof gCalls !== "undefined" && Array.isArray(gCalls)) ? gCalls : [];
    document.getElementById("count").textContent = calls.length + (calls.length === 1 ? " call" : " calls");
    if (calls.length === 0) {
      document.getElementById("calls").hidden = true;
      document.getElementById("empty").hidden = false;
      return;
    }
    var columns = columnsOf(calls);
    var head = document.getElementById("columns");
    columns.forEach(function (key) {
      var th = document.createElement("th");
      th.textContent = key.replace(/_/g, " ");
      head.appendChild(th);
    });
    var body = document.querySelector("#calls tbody");
    calls.forEach(function (call) {
      var row = document.createElement("tr");
      row.dataset.id = text(call.id);
      columns.forEach(function (key) {
        var td = document.createElement("td");
        td.textContent = text(call[key]);
        if (key === "voice" && !call.voice) td.className = "novoice";
        row.appendChild(td);
      });
      body.appendChild(row);
    });
  }

  document.addEventListener("DOMContentLoaded", render);
})();
