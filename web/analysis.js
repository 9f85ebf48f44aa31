// The analysis view: the core's table as an HTML table that wraps, and its chart drawn for the screen.
import { $ } from './state.js';

function cell(kind, text, className) {
    const element = document.createElement(kind);
    element.textContent = text;
    if (className) element.className = className;
    return element;
}

// "Your arm" says what it still needs (the core's words), and opens when it needs something.
export function showArmNeeds(text) {
    $('arm-needs').textContent = text;
    if (text) $('your-arm').open = true;
}

export function showAnalysis(core, texts) {
    const table = core.analysisTable(texts);
    const box = $('analysis');
    if (table.refused !== undefined) {
        box.replaceChildren(cell('p', table.refused, 'refused'));
        $('chart').replaceChildren();
        return;
    }
    const element = document.createElement('table');
    element.append(cell('caption', table.inputs));
    const head = document.createElement('thead');
    const headRow = document.createElement('tr');
    headRow.append(cell('td', ''));
    for (const arm of table.arms) {
        const th = cell('th', arm);
        th.scope = 'col';
        headRow.append(th);
    }
    head.append(headRow);
    const body = document.createElement('tbody');
    for (const row of table.rows) {
        const tr = document.createElement('tr');
        const th = cell('th', row.label, row.sub ? 'sub' : '');
        th.scope = 'row';
        tr.append(th);
        row.cells.forEach((text, i) => tr.append(cell('td', text, row.marked === i ? 'lowest' : '')));
        body.append(tr);
    }
    element.append(head, body);
    const notes = [table.exactNote, table.footnote, table.tradeOff].filter((l) => l).map((l) => cell('p', l));
    for (const line of table.comparison.split('\n').filter((l) => l)) notes.push(cell('p', line));
    if (table.closedForms) notes.push(cell('pre', table.closedForms));
    box.replaceChildren(element, ...notes);
    drawChart(core, texts, table.arms);
}

// The chart drawn for the screen: each panel as wide as the layout makes it, lettering the core sizes.
function drawChart(core, texts, names) {
    const box = $('chart');
    let holders = box.querySelectorAll('.panel');
    if (holders.length !== 2) {
        holders = [document.createElement('div'), document.createElement('div')];
        holders.forEach((h) => (h.className = 'panel'));
        box.replaceChildren(...holders);
    }
    const chart = core.screenChart(texts, holders[0].clientWidth);
    chart.panels.forEach((panel, i) => {
        const label = `${panel.title} across the record for ${names.join(', ')}; the figures are in the table above`;
        holders[i].innerHTML = QuillmerePageDevice.chartPanelSvg(panel, chart.textPx, label);
    });
    const legend = document.createElement('ul');
    legend.className = 'legend';
    legend.setAttribute('aria-hidden', 'true');
    const keys = chart.panels.length ? chart.panels[0].series.map((s) => s.key) : [];
    keys.forEach((key, i) => {
        const item = document.createElement('li');
        const sample = document.createElement('span');
        sample.className = key;
        item.append(sample, names[i]);
        legend.append(item);
    });
    box.querySelector('.legend')?.remove();
    box.append(legend);
}
