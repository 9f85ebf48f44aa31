// The values view: the core's rows in the values table, and those the user sets the arm to beside the spindle field.
import { $ } from './state.js';

function fillRows(body, rows) {
    body.replaceChildren(...rows.map((row) => {
        const tr = document.createElement('tr');
        const label = document.createElement('th');
        label.scope = 'row';
        label.textContent = row.label;
        const value = document.createElement('td');
        value.textContent = row.value;
        tr.append(label, value);
        return tr;
    }));
}

// `view` is the core's {rows} or {refusals}: the values of a setup that does not compute stay, greyed; the refusal
// is shown only once the typing stops (`settled`).
export function showValues(view, settled) {
    const computed = Boolean(view.rows);
    if (computed) {
        fillRows($('values').tBodies[0], view.rows);
        fillRows($('key-table').tBodies[0], view.rows.filter((row) => row.setsTheArm));
    }
    for (const id of ['values', 'key-table']) $(id).classList.toggle('stale', !computed);
    if (settled) {
        $('values-refused').hidden = computed;
        $('values-refused').textContent = computed ? '' : view.refusals.join('\n');
    }
}

// The preset buttons say which preset the radii are ('' for none).
export function showPreset(preset) {
    for (const button of document.querySelectorAll('button[data-preset]')) {
        button.setAttribute('aria-pressed', String(preset === button.dataset.preset));
    }
}

// One short sentence for screen readers once the typing stops, worded by the core; said again only when it changes.
let spoken = '';
export function announce(summary) {
    if (summary !== spoken) {
        spoken = summary;
        $('summary').textContent = summary;
    }
}
