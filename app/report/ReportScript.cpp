#include "app/report/ReportAssets.h"

namespace app::report
{

namespace
{

// Fills every table from the page's data and makes it sortable and filterable as the result list is:
// a click on a column title sorts ascending, a second click descending; texts compare by UTF-16 code
// units and numbers by value, and rows with equal keys keep their source order in both directions.
// Typing in a column's field keeps the rows whose shown text contains it, ignoring case; all fields
// must pass.
constexpr std::string_view kScript = R"js(
(() => {
  'use strict';
  const data = JSON.parse(document.getElementById('report-data').textContent);

  // Lower case one character at a time, so that a text keeps its length: the list's folding.
  const foldChar = (c) => {
    if (c === '\u0130') return 'i';
    const lower = c.toLowerCase();
    return lower.length === c.length ? lower : c;
  };
  const fold = (text) => {
    let out = '';
    for (const c of text) out += foldChar(c);
    return out;
  };

  const shownText = (kind, cell) => (kind === 'percent' ? cell[1] : String(cell));
  const sortKey = (kind, cell) => (kind === 'percent' ? cell[0] : cell);
  // On strings < compares UTF-16 code units; on numbers, values.
  const compareKeys = (a, b) => (a < b ? -1 : a > b ? 1 : 0);

  const escapes = { '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' };
  const escape = (text) => String(text).replace(/[&<>"]/g, (c) => escapes[c]);

  // Each argument's values as bars of their share, the arguments in the order they first appear.
  // The cell is laid out only near the screen; until then it stands in with its lines' height.
  const valueBars = (lines) => {
    const groups = new Map();
    for (const [argument, label, count, share, shareText] of lines) {
      if (!groups.has(argument)) groups.set(argument, []);
      const width = Math.max(0, Math.min(100, Number(share) || 0));
      groups.get(argument).push(
        `<div class="bar" title="${escape(`${label}: ${count} (${shareText}%)`)}"><span class="label">${escape(label)}</span>` +
        `<span class="track"><span class="fill" style="width:${width}%"></span></span>` +
        `<span class="count">${count}</span><span class="share">${escape(shareText)}%</span></div>`);
    }
    let html = `<td class="values"><div class="bars" style="--lines:${lines.length};--gaps:${Math.max(0, groups.size - 1)}">`;
    for (const bars of groups.values()) html += `<div class="argument">${bars.join('')}</div>`;
    return `${html}</div></td>`;
  };

  const setUpTable = (table, spec) => {
    const { kinds, rows, values, pageRows } = spec;
    const section = table.closest('section');
    const note = section.querySelector('.rows-note');
    const pager = section.querySelector('.pager');
    const headers = Array.from(table.tHead.rows[0].cells).slice(0, kinds.length);
    const inputs = Array.from(table.tHead.querySelectorAll('tr.filters input'));
    const numeric = kinds.map((kind) => kind === 'counter' || kind === 'percent');
    const rendered = new Array(rows.length);
    const folded = kinds.map(() => null);
    const needles = kinds.map(() => '');
    let order = rows.map((_, i) => i);
    let shown = order;
    let sortColumn = -1;
    let descending = false;
    let page = 0;

    const rowHtml = (i) => {
      let html = '<tr>';
      rows[i].forEach((cell, c) => {
        html += `${numeric[c] ? '<td class="num">' : '<td>'}${escape(shownText(kinds[c], cell))}</td>`;
      });
      if (values) html += valueBars(values[i]);
      return `${html}</tr>`;
    };
    // Rows are parsed from one piece of markup the first time they show, then kept for sorting and paging.
    const renderMissing = (indices) => {
      const missing = indices.filter((i) => !rendered[i]);
      if (missing.length === 0) return;
      const template = document.createElement('template');
      template.innerHTML = missing.map(rowHtml).join('');
      Array.from(template.content.children).forEach((tr, k) => { rendered[missing[k]] = tr; });
    };
    const foldedColumn = (c) => {
      if (!folded[c]) folded[c] = rows.map((row) => fold(shownText(kinds[c], row[c])));
      return folded[c];
    };
    const passes = (i) => needles.every((needle, c) => !needle || foldedColumn(c)[i].includes(needle));

    const renderPager = (pages, first, last) => {
      pager.hidden = pages <= 1;
      if (pages <= 1) return;
      pager.innerHTML = `<button type="button" data-step="-1"${page === 0 ? ' disabled' : ''}>Previous</button>` +
                        `<button type="button" data-step="1"${page === pages - 1 ? ' disabled' : ''}>Next</button>` +
                        `<span>Rows ${first + 1}\u2013${last} of ${shown.length}</span>`;
    };
    const render = () => {
      const pages = Math.max(1, Math.ceil(shown.length / pageRows));
      page = Math.min(page, pages - 1);
      const first = page * pageRows;
      const last = Math.min(shown.length, first + pageRows);
      const visible = shown.slice(first, last);
      renderMissing(visible);
      const fragment = document.createDocumentFragment();
      for (const i of visible) fragment.append(rendered[i]);
      table.tBodies[0].replaceChildren(fragment);
      note.textContent = shown.length === rows.length ? `${rows.length} ${rows.length === 1 ? 'row' : 'rows'}`
                                                     : `${shown.length} of ${rows.length} rows`;
      renderPager(pages, first, last);
    };
    const refresh = () => {
      shown = needles.some((needle) => needle) ? order.filter(passes) : order;
      render();
    };

    const sortBy = (c) => {
      descending = sortColumn === c ? !descending : false;
      sortColumn = c;
      const keys = rows.map((row) => sortKey(kinds[c], row[c]));
      const sign = descending ? -1 : 1;
      order = rows.map((_, i) => i).sort((a, b) => sign * compareKeys(keys[a], keys[b]) || a - b);
      headers.forEach((th, i) => th.setAttribute('aria-sort', i === c ? (descending ? 'descending' : 'ascending') : 'none'));
      page = 0;
      refresh();
    };
    // One listener each for the header's clicks and typing, one for the pager.
    table.tHead.addEventListener('click', (event) => {
      const c = headers.indexOf(event.target.closest('th'));
      if (c >= 0) sortBy(c);
    });
    table.tHead.addEventListener('input', (event) => {
      const c = inputs.indexOf(event.target);
      if (c < 0) return;
      needles[c] = fold(event.target.value);
      page = 0;
      refresh();
    });
    pager.addEventListener('click', (event) => {
      const button = event.target.closest('button[data-step]');
      if (!button) return;
      page += Number(button.dataset.step);
      render();
    });
    refresh();
  };

  document.querySelectorAll('table[data-table]').forEach((table) => {
    setUpTable(table, data.tables[Number(table.dataset.table)]);
  });
  // On paper every event's coverage shows.
  window.addEventListener('beforeprint', () => {
    document.querySelectorAll('details').forEach((details) => { details.open = true; });
  });
})();
)js";

} // namespace

std::string_view ReportScript()
{
    return kScript;
}

} // namespace app::report
