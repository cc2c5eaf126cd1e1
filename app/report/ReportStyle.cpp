#include "app/report/ReportAssets.h"

namespace app::report
{

namespace
{

// Quiet greys with one accent: counts read in tabular figures and right-aligned, what never happened
// stands out in red, and the page prints without its controls. Long tables, value bars and event lists
// are laid out only near the screen, standing in with about their height until then, so that a large
// report opens quickly.
constexpr std::string_view kStyle = R"css(
:root {
  --ink: #1c2230; --muted: #5d6675; --line: #e2e5eb; --bg: #ffffff; --panel: #f5f6f8;
  --accent: #2f6fd6; --accent-soft: #e4edfc; --warn: #8a4b00; --warn-soft: #fff2d9;
  --never: #b3261e; --never-soft: #fde8e6;
  color-scheme: light dark;
  font: 15px/1.45 system-ui, -apple-system, "Segoe UI", Roboto, "Noto Sans", "DejaVu Sans", sans-serif;
}
@media (prefers-color-scheme: dark) {
  :root {
    --ink: #e6e9ef; --muted: #9aa3b2; --line: #2e3440; --bg: #14171d; --panel: #1b1f27;
    --accent: #6ea0f2; --accent-soft: #1f2c44; --warn: #f3c072; --warn-soft: #3a2a10;
    --never: #ff8a80; --never-soft: #3d1a18;
  }
}
* { box-sizing: border-box; }
body { margin: 0; color: var(--ink); background: var(--bg); }
.page { max-width: 1280px; margin: 0 auto; padding: 28px 28px 72px; }
h1 { font-size: 1.65rem; margin: 0; letter-spacing: -0.01em; }
h2 { font-size: 1.25rem; margin: 0; }
h3 { font-size: 1rem; margin: 22px 0 8px; }
h4 { font-size: 0.9rem; margin: 0 0 4px; font-weight: 600; }
.subtitle { margin: 2px 0 0; color: var(--muted); overflow-wrap: anywhere; }
.muted { color: var(--muted); font-weight: normal; }
.num { font-variant-numeric: tabular-nums; }

.cards { display: grid; grid-template-columns: repeat(auto-fit, minmax(180px, 1fr)); gap: 12px; margin: 22px 0 6px; }
.card { display: flex; flex-direction: column; padding: 12px 16px; border: 1px solid var(--line);
  border-radius: 10px; background: var(--panel); color: inherit; text-decoration: none; }
.card:hover { border-color: var(--accent); }
.card .figure { font-size: 1.45rem; font-weight: 650; font-variant-numeric: tabular-nums; }
.card .label { color: var(--muted); font-size: 0.85rem; }

nav.toc { position: sticky; top: 0; z-index: 5; display: flex; gap: 20px; overflow-x: auto;
  padding: 10px 0; background: var(--bg); border-bottom: 1px solid var(--line); }
nav.toc a { color: var(--muted); text-decoration: none; font-weight: 550; white-space: nowrap; }
nav.toc a:hover { color: var(--accent); }

section { margin-top: 38px; scroll-margin-top: 48px; }
.section-head { display: flex; align-items: baseline; gap: 12px; margin-bottom: 10px; }
.rows-note { color: var(--muted); font-size: 0.85rem; font-variant-numeric: tabular-nums; }
.warning { margin: 0 0 10px; padding: 8px 12px; border-radius: 8px; color: var(--warn);
  background: var(--warn-soft); white-space: pre-wrap; }

.table-wrap { max-height: 75vh; overflow: auto; border: 1px solid var(--line); border-radius: 10px; }
.table-wrap { content-visibility: auto; contain-intrinsic-size: auto min(75vh, calc(5rem + var(--rows) * 2.3rem)); }
table { width: 100%; border-collapse: separate; border-spacing: 0; font-size: 0.92rem; }
.table-wrap thead { position: sticky; top: 0; z-index: 2; }
thead th { padding: 0; text-align: left; font-weight: 600; background: var(--panel); white-space: nowrap; }
thead th.num, td.num { text-align: right; }
th button { all: unset; display: block; width: 100%; padding: 8px 10px; cursor: pointer; box-sizing: border-box; }
th button:focus-visible { outline: 2px solid var(--accent); outline-offset: -2px; }
th button::after { content: "\2195"; margin-left: 6px; color: var(--line); }
th[aria-sort="ascending"] button::after { content: "\25B2"; color: var(--accent); }
th[aria-sort="descending"] button::after { content: "\25BC"; color: var(--accent); }
th.values-head { padding: 8px 10px; }
tr.filters td { padding: 2px 6px 8px; background: var(--panel); border-bottom: 1px solid var(--line); }
tr.filters input { width: 100%; min-width: 5em; padding: 4px 8px; font: inherit; font-size: 0.85rem; color: inherit;
  background: var(--bg); border: 1px solid var(--line); border-radius: 6px; }
tr.filters input:focus { outline: none; border-color: var(--accent); }
tbody td { padding: 6px 10px; border-bottom: 1px solid var(--line); vertical-align: top; overflow-wrap: anywhere; }
tbody td.num { white-space: nowrap; font-variant-numeric: tabular-nums; }
tbody tr:last-child td { border-bottom: none; }
tbody tr:hover td { background: var(--accent-soft); }

td.values { min-width: 340px; width: 45%; }
.bars { content-visibility: auto; contain-intrinsic-size: auto 320px auto calc(var(--lines) * 1.22rem + var(--gaps) * 13px); }
.argument + .argument { margin-top: 6px; padding-top: 6px; border-top: 1px dashed var(--line); }
.bar { display: grid; grid-template-columns: minmax(7em, 15em) minmax(60px, 1fr) 3.5em 4em; gap: 8px;
  align-items: center; font-size: 0.84rem; }
.bar .label { overflow: hidden; text-overflow: ellipsis; white-space: nowrap; }
.bar .count, .bar .share { text-align: right; font-variant-numeric: tabular-nums; }
.bar .share { color: var(--muted); }
.track { height: 8px; border-radius: 4px; background: var(--line); overflow: hidden; }
.fill { display: block; height: 100%; border-radius: 4px; background: var(--accent); }

.pager { display: flex; gap: 8px; align-items: center; margin-top: 8px; color: var(--muted); font-size: 0.9rem; }
.pager button { font: inherit; padding: 3px 10px; color: inherit; background: var(--panel);
  border: 1px solid var(--line); border-radius: 6px; cursor: pointer; }
.pager button:disabled { opacity: 0.4; cursor: default; }

.never { display: inline-block; margin-left: 8px; padding: 0 7px; border-radius: 999px; font-size: 0.72rem;
  font-weight: 650; letter-spacing: 0.04em; text-transform: uppercase; color: var(--never); background: var(--never-soft); }
.summary { margin: 0 0 6px; font-size: 1.02rem; }
.never-list, .finding-summary, .kinds { margin: 0; padding: 0; list-style: none; }
.never-list { columns: 3 18em; column-gap: 28px; content-visibility: auto;
  contain-intrinsic-size: auto calc(var(--events) * 1.6rem / 3); }
.never-list li { break-inside: avoid; padding: 2px 0; }
.never-list .never { margin-right: 4px; }
.never-list .id { margin-left: 8px; font-size: 0.78rem; font-family: ui-monospace, "DejaVu Sans Mono", monospace; }
.events { border: 1px solid var(--line); border-radius: 10px; content-visibility: auto;
  contain-intrinsic-size: auto calc(var(--events) * 2.45rem); }
details.event { border-bottom: 1px solid var(--line); }
details.event:last-child { border-bottom: none; }
details.event summary { display: grid; grid-template-columns: minmax(12em, 2fr) 1fr 1fr 1fr; gap: 12px;
  padding: 7px 12px; cursor: pointer; list-style-position: inside; }
details.event.gaps summary .event-name::after { content: "\25CF"; margin-left: 8px; color: var(--never); font-size: 0.7em; vertical-align: middle; }
details.event[open] summary { background: var(--panel); }
.event-body { display: flex; flex-wrap: wrap; gap: 14px 36px; padding: 10px 14px 14px; }
.uses { min-width: 14em; }
.uses ul { margin: 0; padding: 0; list-style: none; }
.uses li { display: flex; justify-content: space-between; gap: 12px; padding: 1px 0; }
.uses li.uncounted .use-name { color: var(--muted); font-style: italic; }
.finding-summary { margin-bottom: 10px; }
.finding-summary .num, .kinds .num { display: inline-block; min-width: 4em; text-align: right; margin-right: 8px; font-weight: 600; }
table.read { border: 1px solid var(--line); border-radius: 10px; }
table.read th { padding: 8px 10px; }
table.read td.path { font-family: ui-monospace, "DejaVu Sans Mono", monospace; font-size: 0.85rem; }

@media (max-width: 720px) {
  .page { padding: 16px 12px 48px; }
  details.event summary { grid-template-columns: 1fr 1fr; }
  td.values { min-width: 240px; }
}

@media print {
  :root { font-size: 10pt; --bg: #fff; --ink: #000; --panel: #f3f3f3; }
  .page { max-width: none; padding: 0; }
  nav.toc, tr.filters, .pager, th button::after { display: none; }
  .card { border-color: #ccc; }
  .table-wrap { max-height: none; overflow: visible; border: none; }
  .table-wrap thead { position: static; }
  thead { display: table-header-group; }
  tr, details.event, .uses li { break-inside: avoid; }
  h2, h3, .section-head { break-after: avoid; }
  tbody tr:hover td { background: none; }
  .fill, .track, .never { print-color-adjust: exact; -webkit-print-color-adjust: exact; }
}
)css";

} // namespace

std::string_view ReportStyle()
{
    return kStyle;
}

} // namespace app::report
