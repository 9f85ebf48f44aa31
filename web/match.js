// The arm and cartridge: the core's rows, its judgement and what to do, or what it still needs, in its words.
import { $ } from './state.js';

function item(kind, text) {
    const element = document.createElement(kind);
    element.textContent = text;
    return element;
}

export function showMatch(core, texts) {
    const view = core.matchView(texts);
    const rows = view.rows || [];
    $('match-table').tBodies[0].replaceChildren(...rows.map((row) => {
        const tr = document.createElement('tr');
        const label = item('th', row.label);
        label.scope = 'row';
        tr.append(label, item('td', row.value));
        return tr;
    }));
    $('match-table').hidden = rows.length === 0;
    $('match-judgement').textContent = view.judgement || '';
    // The verdict's key only chooses the colour the judgement is set in.
    $('match-judgement').dataset.verdict = view.verdict || '';
    $('match-advice').replaceChildren(...(view.advice || []).map((step) => item('li', step)));
    $('match-refused').hidden = !view.refusals;
    $('match-refused').textContent = view.refusals ? view.refusals.join('\n') : '';
}
