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
  const pageRows = data.pageRows;

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

  const element = (tag, className, text) => {
    const node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  };

  // Each argument's values as bars of their share, the arguments in the order they first appear.
  const valueBars = (lines) => {
    const cell = element('td', 'values');
    const groups = new Map();
    for (const [argument, label, count, share, shareText] of lines) {
      let group = groups.get(argument);
      if (!group) {
        group = element('div', 'argument');
        groups.set(argument, group);
        cell.append(group);
      }
      const bar = element('div', 'bar');
      bar.title = `${label}: ${count} (${shareText}%)`;
      const track = element('span', 'track');
      const fill = element('span', 'fill');
      fill.style.width = `${Math.max(0, Math.min(100, Number(share) || 0))}%`;
      track.append(fill);
      bar.append(element('span', 'label', label), track, element('span', 'count', String(count)),
                 element('span', 'share', `${shareText}%`));
      group.append(bar);
    }
    return cell;
  };

  const setUpTable = (table, spec) => {
    const { kinds, rows, values } = spec;
    const section = table.closest('section');
    const note = section.querySelector('.rows-note');
    const pager = section.querySelector('.pager');
    const headers = Array.from(table.tHead.rows[0].cells).slice(0, kinds.length);
    const inputs = Array.from(table.tHead.querySelectorAll('tr.filters input'));
    const rendered = new Array(rows.length);
    const folded = kinds.map(() => null);
    const needles = kinds.map(() => '');
    let order = rows.map((_, i) => i);
    let shown = order;
    let sortColumn = -1;
    let descending = false;
    let page = 0;

    const renderRow = (i) => {
      const tr = document.createElement('tr');
      rows[i].forEach((cell, c) => {
        const numeric = kinds[c] === 'counter' || kinds[c] === 'percent';
        tr.append(element('td', numeric ? 'num' : '', shownText(kinds[c], cell)));
      });
      if (values) tr.append(valueBars(values[i]));
      return tr;
    };
    const foldedColumn = (c) => {
      if (!folded[c]) folded[c] = rows.map((row) => fold(shownText(kinds[c], row[c])));
      return folded[c];
    };
    const passes = (i) => needles.every((needle, c) => !needle || foldedColumn(c)[i].includes(needle));

    const renderPager = (pages, first, last) => {
      pager.hidden = pages <= 1;
      if (pages <= 1) return;
      const previous = element('button', '', 'Previous');
      const next = element('button', '', 'Next');
      previous.type = next.type = 'button';
      previous.disabled = page === 0;
      next.disabled = page === pages - 1;
      previous.addEventListener('click', () => { page -= 1; render(); });
      next.addEventListener('click', () => { page += 1; render(); });
      pager.replaceChildren(previous, next, element('span', '', `Rows ${first + 1}\u2013${last} of ${shown.length}`));
    };
    const render = () => {
      const pages = Math.max(1, Math.ceil(shown.length / pageRows));
      page = Math.min(page, pages - 1);
      const first = page * pageRows;
      const last = Math.min(shown.length, first + pageRows);
      const fragment = document.createDocumentFragment();
      for (let k = first; k < last; ++k) {
        const i = shown[k];
        fragment.append(rendered[i] || (rendered[i] = renderRow(i)));
      }
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
    headers.forEach((th, c) => th.addEventListener('click', () => sortBy(c)));
    inputs.forEach((input, c) => input.addEventListener('input', () => {
      needles[c] = fold(input.value);
      page = 0;
      refresh();
    }));
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
